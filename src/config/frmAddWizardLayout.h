// The add-item wizard, control by control (twips), its page captions and
// where the two add-ons are registered and downloaded.
#pragma once

#include "platform/Ui.h"

namespace pm::config {

// The caption of cmdNext is the wizard's page.
inline constexpr std::string_view kNextCaption = "&Next >";
inline constexpr std::string_view kFinishCaption = "Finish";
inline constexpr std::string_view kDownloadFileAddonCaption = "&Download";
inline constexpr std::string_view kDownloadWebAddonCaption = "Download";

inline constexpr std::string_view kWizardIntro =
    "This wizard helps you add a new item to be locked.";
inline constexpr std::string_view kWindowHint = "(appears on title bar at the top of the window)";

inline constexpr std::string_view kFileAddonKey = "Software\\Pelmora Pro\\Addon\\Settings";
inline constexpr std::string_view kWebAddonKey = "Software\\Pelmora Pro\\Addon2\\Settings";
inline constexpr std::string_view kAddonInstallPath = "InstallPath";
inline constexpr std::string_view kFileAddonProgram = "pmpaddon.exe";
inline constexpr std::string_view kWebAddonProgram = "qwenet.exe";
inline constexpr std::string_view kFileAddonDownload =
    "https://www.example.com/download/pmpaddon.exe";
inline constexpr std::string_view kWebAddonDownload = "https://www.example.com/download/qwenet.exe";

inline constexpr std::uint32_t kEtchGrey = 0x808080;
inline constexpr std::uint32_t kEtchWhite = 0xFFFFFF;

// clang-format off
inline constexpr platform::ControlSpec kfrmAddWizardControls[] = {
  //  kind                                name         caption                                             left  top   width height props
  {platform::ControlKind::Image,        "Image1",    "",                                                     0,    0, 2100, 3870, platform::prop::kNone,   {}, platform::kDefaultColor, 0, 0, {}, platform::BuiltIn::WizardPicture},
  {platform::ControlKind::Label,        "Label1",    kWizardIntro,                                        2280,  120, 4575,  255},
  {platform::ControlKind::OptionButton, "Option1",   "Lock a Program or Window",                          2280,  480, 2295,  255},
  {platform::ControlKind::OptionButton, "Option2",   "Lock a File or Folder",                             2280,  720, 2295,  375},
  {platform::ControlKind::OptionButton, "Option3",   "Lock a Web Page",                                   2280, 1080, 3255,  255},
  {platform::ControlKind::Label,        "Label2",    "Type the name of the program window to lock:",      2280, 1320, 3855,  255, platform::prop::kHidden},
  {platform::ControlKind::TextBox,      "txtWindow", kWindowHint,                                         2280, 1560, 4575,  375, platform::prop::kHidden},
  {platform::ControlKind::Label,        "Label4",    "Note: Some windows have parts that should not be entered. eg 'Microsoft Word - Doc 1' would be entered as 'Microsoft Word', omitting 'Doc 1', as this part can change to 'Doc 2' etc, thus making it hard to track.",
                                                                                                          2280, 2040, 4575,  855, platform::prop::kHidden},
  {platform::ControlKind::Image,        "Image2",    "",                                                  2280, 3435,  240,  240, platform::prop::kHidden, {}, platform::kDefaultColor, 0, 0, {}, platform::BuiltIn::DownloadIcon},
  {platform::ControlKind::Label,        "Label3",    "You need to download an addon for this feature. Click Download to continue.",
                                                                                                          2640, 3360, 4335,  390, platform::prop::kHidden},
  {platform::ControlKind::Line,         "Line2",     "",                                                     0, 3870, 7440,    0, platform::prop::kNone,   {}, kEtchGrey},
  {platform::ControlKind::Line,         "Line1",     "",                                                    15, 3885, 7425,    0, platform::prop::kNone,   {}, kEtchWhite},
  {platform::ControlKind::Button,       "cmdBack",   "< &Back",                                           3465, 3990, 1095,  375, platform::prop::kDisabled},
  {platform::ControlKind::Button,       "cmdNext",   kNextCaption,                                        4560, 3990, 1095,  375},
  {platform::ControlKind::Button,       "cmdCancel", "Cancel",                                            5880, 3990, 1095,  375, platform::prop::kCancel},
};
// clang-format on

// Each control of the table by its own name, checked against the table when
// compiled: a name the table lacks does not build.
struct frmAddWizardIds {
  static constexpr platform::ControlId Image1 = platform::IdOf(kfrmAddWizardControls, "Image1");
  static constexpr platform::ControlId Label1 = platform::IdOf(kfrmAddWizardControls, "Label1");
  static constexpr platform::ControlId Option1 = platform::IdOf(kfrmAddWizardControls, "Option1");
  static constexpr platform::ControlId Option2 = platform::IdOf(kfrmAddWizardControls, "Option2");
  static constexpr platform::ControlId Option3 = platform::IdOf(kfrmAddWizardControls, "Option3");
  static constexpr platform::ControlId Label2 = platform::IdOf(kfrmAddWizardControls, "Label2");
  static constexpr platform::ControlId txtWindow =
      platform::IdOf(kfrmAddWizardControls, "txtWindow");
  static constexpr platform::ControlId Label4 = platform::IdOf(kfrmAddWizardControls, "Label4");
  static constexpr platform::ControlId Image2 = platform::IdOf(kfrmAddWizardControls, "Image2");
  static constexpr platform::ControlId Label3 = platform::IdOf(kfrmAddWizardControls, "Label3");
  static constexpr platform::ControlId Line2 = platform::IdOf(kfrmAddWizardControls, "Line2");
  static constexpr platform::ControlId Line1 = platform::IdOf(kfrmAddWizardControls, "Line1");
  static constexpr platform::ControlId cmdBack = platform::IdOf(kfrmAddWizardControls, "cmdBack");
  static constexpr platform::ControlId cmdNext = platform::IdOf(kfrmAddWizardControls, "cmdNext");
  static constexpr platform::ControlId cmdCancel =
      platform::IdOf(kfrmAddWizardControls, "cmdCancel");
};

inline constexpr platform::FormSpec kfrmAddWizardSpec = {
    .caption = "Lock an Item",
    .clientWidth = 7080,
    .clientHeight = 4470,
    .border = platform::Border::FixedDialog,
    .controls = kfrmAddWizardControls,
};

}  // namespace pm::config
