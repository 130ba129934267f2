// The configuration tool's window: its panels, lists and buttons (twips,
// relative to the frame that holds them) and its menu bar.
#pragma once

#include "platform/Ui.h"

namespace pm::config {

using platform::ControlKind;
using platform::ControlSpec;
using platform::MenuSpec;
namespace prop = platform::prop;

// The title that makes the tool a locked window.
inline constexpr std::string_view kSetupTitle = "Configuration Tool";
inline constexpr std::string_view kSettingsNotSaved =
    "The settings could not be saved, and the settings stored before are kept.";
inline constexpr std::string_view kNoPasswordProtects =
    "The settings were saved, but no password protects them: anyone can change them. Choose a "
    "password with \"Set Passwords...\" in the Settings menu.";
inline constexpr std::string_view kIgnoreShown = "<< Ignore List";
inline constexpr std::string_view kIgnoreHidden = "Ignore List >>";

// Menu command ids, for the tests and the end-to-end harness.
inline constexpr int kmnuAdd = 201;
inline constexpr int kmnuRemove = 202;
inline constexpr int kmnuModify = 203;
inline constexpr int kmnuSelectAll = 204;
inline constexpr int kmnuimport = 205;
inline constexpr int kmnuexport = 206;
inline constexpr int kmnuClose = 207;
inline constexpr int kmnuChangePassword = 211;
inline constexpr int kmnuTimeDelay = 212;
inline constexpr int kmnupasswordprompt = 213;
inline constexpr int kpassboxpic = 214;
inline constexpr int kmnupicbad = 215;
inline constexpr int kmnuBlankScreen = 216;
inline constexpr int kmnuHideMenu = 217;
inline constexpr int kmnudisablemenu = 218;
inline constexpr int kmnuLockDesktop = 221;
inline constexpr int kmnuLockInternetDownloads = 222;
inline constexpr int kmnuLockInternet = 223;
inline constexpr int kmnublockinstall = 224;
inline constexpr int kmnulockzip = 225;
inline constexpr int kmlockstartup = 226;
inline constexpr int kmnuunlock = 231;
inline constexpr int kmnurelock = 232;
inline constexpr int kmnushutdown = 233;
inline constexpr int kmnuHelpTopics = 241;
inline constexpr int kmnuvisitwebsite = 242;
inline constexpr int kmnuupdate = 243;
inline constexpr int kmnuAbout = 244;

inline constexpr std::uint32_t kPanelGrey = 0x808080;
inline constexpr std::uint32_t kWhite = 0xFFFFFF;

// clang-format off
inline constexpr ControlSpec kfrmSetupControls[] = {
  // kind                name          caption                        left   top  width height props            container    color
  {ControlKind::Frame,   "Frame1",     "",                               0,    0, 1335, 4935, prop::kNone,      {},          kPanelGrey},
  {ControlKind::Button,  "cmdAdd",     "Lock an Item...",              120,  120, 1125, 1095, prop::kNone,      "Frame1",    platform::kDefaultColor, 0, 0, "Add an item to be locked to the list", platform::BuiltIn::AddItemIcon},
  {ControlKind::Button,  "cmdRemove",  "Remove",                       120, 1320, 1125,  375, prop::kNone,      "Frame1",    platform::kDefaultColor, 0, 0, "Remove an item from the list", platform::BuiltIn::RemoveItemIcon},
  {ControlKind::Button,  "cmdModify",  "Change",                       120, 1800, 1125,  375, prop::kNone,      "Frame1",    platform::kDefaultColor, 0, 0, "Change an item in the list", platform::BuiltIn::ChangeItemIcon},
  {ControlKind::Button,  "Command1",   "Set Passwords...",             120, 2280, 1095,  495, prop::kNone,      "Frame1",    platform::kDefaultColor, 0, 0, "Set passwords for Locked Programs and Configuration Tool"},
  {ControlKind::Frame,   "Frame2",     "",                            1320,    0, 5655, 4935, prop::kNone,      {},          kWhite},
  {ControlKind::Label,   "Label1",     "Locked Programs and Windows",  120,  240, 2415,  255, prop::kNone,      "Frame2"},
  {ControlKind::ListBox, "List1",      "",                             120,  600, 5415, 3900, prop::kCheckBoxes | prop::kSorted, "Frame2"},
  {ControlKind::Label,   "cmdignore",  kIgnoreHidden,                  120, 4560, 1215,  255, prop::kUnderlined, "Frame2",   0x0000FF},
  {ControlKind::Frame,   "fraignore",  "",                             120, 5400, 5535, 1095, prop::kHidden,    "Frame2",    kWhite},
  {ControlKind::TextBox, "txtignore",  "Type Here",                      0,    0, 2775,  285, prop::kNone,      "fraignore"},
  {ControlKind::Label,   "cmdadd2",    "Add",                         3000,    0,  375,  255, prop::kUnderlined, "fraignore", 0x0000FF},
  {ControlKind::Label,   "cmdremove2", "Del",                         3600,    0,  375,  255, prop::kUnderlined, "fraignore", 0x0000FF},
  {ControlKind::ListBox, "List2",      "",                               0,  360, 5415,  645, prop::kNone,      "fraignore"},
  {ControlKind::Button,  "cmdOK",      "OK",                          3360, 5040, 1095,  375, prop::kNone},
  {ControlKind::Button,  "cmdCancel",  "Cancel",                      4560, 5040, 1095,  375, prop::kNone},
  {ControlKind::Button,  "cmdApply",   "Apply",                       5760, 5040, 1095,  375, prop::kDisabled},
};
// Each control of the table by its own name, checked against the table when
// compiled: a name the table lacks does not build.
struct frmSetupIds {
  static constexpr platform::ControlId Frame1 = platform::IdOf(kfrmSetupControls, "Frame1");
  static constexpr platform::ControlId cmdAdd = platform::IdOf(kfrmSetupControls, "cmdAdd");
  static constexpr platform::ControlId cmdRemove = platform::IdOf(kfrmSetupControls, "cmdRemove");
  static constexpr platform::ControlId cmdModify = platform::IdOf(kfrmSetupControls, "cmdModify");
  static constexpr platform::ControlId Command1 = platform::IdOf(kfrmSetupControls, "Command1");
  static constexpr platform::ControlId Frame2 = platform::IdOf(kfrmSetupControls, "Frame2");
  static constexpr platform::ControlId Label1 = platform::IdOf(kfrmSetupControls, "Label1");
  static constexpr platform::ControlId List1 = platform::IdOf(kfrmSetupControls, "List1");
  static constexpr platform::ControlId cmdignore = platform::IdOf(kfrmSetupControls, "cmdignore");
  static constexpr platform::ControlId fraignore = platform::IdOf(kfrmSetupControls, "fraignore");
  static constexpr platform::ControlId txtignore = platform::IdOf(kfrmSetupControls, "txtignore");
  static constexpr platform::ControlId cmdadd2 = platform::IdOf(kfrmSetupControls, "cmdadd2");
  static constexpr platform::ControlId cmdremove2 = platform::IdOf(kfrmSetupControls, "cmdremove2");
  static constexpr platform::ControlId List2 = platform::IdOf(kfrmSetupControls, "List2");
  static constexpr platform::ControlId cmdOK = platform::IdOf(kfrmSetupControls, "cmdOK");
  static constexpr platform::ControlId cmdCancel = platform::IdOf(kfrmSetupControls, "cmdCancel");
  static constexpr platform::ControlId cmdApply = platform::IdOf(kfrmSetupControls, "cmdApply");
};

inline constexpr MenuSpec kfrmSetupMenus[] = {
  {"mnuWindows",               "&File",                              0,                          {}},
  {"mnuAdd",                   "&Lock an Item...",                   kmnuAdd,                    "mnuWindows"},
  {"mnuRemove",                "&Remove",                            kmnuRemove,                 "mnuWindows"},
  {"mnuModify",                "&Change...",                         kmnuModify,                 "mnuWindows"},
  {"mnuSelectAll",             "&Select All",                        kmnuSelectAll,              "mnuWindows"},
  {"mnub4",                    "-",                                  0,                          "mnuWindows"},
  {"mnuimport",                "Import Settings",                    kmnuimport,                 "mnuWindows"},
  {"mnuexport",                "Export Settings",                    kmnuexport,                 "mnuWindows"},
  {"mnubb",                    "-",                                  0,                          "mnuWindows"},
  {"mnuClose",                 "Close",                              kmnuClose,                  "mnuWindows"},
  {"mnuSettings",              "&Settings",                          0,                          {}},
  {"mnuChangePassword",        "&Set Passwords...",                  kmnuChangePassword,         "mnuSettings"},
  {"mnuTimeDelay",             "Set &Timers...",                     kmnuTimeDelay,              "mnuSettings"},
  {"mnub2",                    "-",                                  0,                          "mnuSettings"},
  {"mnupasswordprompt",        "Don't Display a Password Prompt",    kmnupasswordprompt,         "mnuSettings"},
  {"passboxpic",               "Picture for Password Box...",        kpassboxpic,                "mnuSettings"},
  {"mnupicbad",                "Picture for Bad Password...",        kmnupicbad,                 "mnuSettings"},
  {"mnuBlankScreen",           "&Blank Screen on Password Box",      kmnuBlankScreen,            "mnuSettings"},
  {"mnub7",                    "-",                                  0,                          "mnuSettings"},
  {"mnuHideMenu",              "Hide Configuation on Tray Icon",     kmnuHideMenu,               "mnuSettings"},
  {"mnudisablemenu",           "Disable Tray Icon",                  kmnudisablemenu,            "mnuSettings"},
  {"mnuAdvanced",              "&Extra Locking",                     0,                          {}},
  {"mnuLockDesktop",           "Lock Desktop",                       kmnuLockDesktop,            "mnuAdvanced"},
  {"mnuLockInternetDownloads", "Lock Internet Explorer Downloads",   kmnuLockInternetDownloads,  "mnuAdvanced"},
  {"mnuLockInternet",          "Lock Dialup Networking",             kmnuLockInternet,           "mnuAdvanced"},
  {"mnublockinstall",          "Lock Software Installations",        kmnublockinstall,           "mnuAdvanced"},
  {"mnulockzip",               "Lock Zip and Self Extracting Files", kmnulockzip,                "mnuAdvanced"},
  {"mlockstartup",             "Lock Windows at Startup",            kmlockstartup,              "mnuAdvanced"},
  {"madv",                     "&Advanced",                          0,                          {}},
  {"mnuunlock",                "Unlock Everything",                  kmnuunlock,                 "madv"},
  {"mnurelock",                "Relock Everything",                  kmnurelock,                 "madv"},
  {"mnushutdown",              "End Pelmora Pro",                    kmnushutdown,               "madv"},
  {"mnuHelp",                  "&Help",                              0,                          {}},
  {"mnuHelpTopics",            "Help &Topics",                       kmnuHelpTopics,             "mnuHelp"},
  {"mnuvisitwebsite",          "&Visit Website",                     kmnuvisitwebsite,           "mnuHelp"},
  {"mnuupdate",                "Check For Update",                   kmnuupdate,                 "mnuHelp"},
  {"mnub3",                    "-",                                  0,                          "mnuHelp"},
  {"mnuAbout",                 "&About",                             kmnuAbout,                  "mnuHelp"},
};
// clang-format on

inline constexpr platform::FormSpec kfrmSetupSpec = {
    .caption = kSetupTitle,
    .clientWidth = 6975,
    .clientHeight = 5505,
    .border = platform::Border::FixedSingle,
    .minButton = true,
    .initialState = platform::WindowState::Minimized,
    .controls = kfrmSetupControls,
    .menuBar = kfrmSetupMenus,
};

}  // namespace pm::config
