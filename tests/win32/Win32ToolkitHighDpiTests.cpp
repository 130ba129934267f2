// The Windows toolkit under Wine at any DPI: the controls' font fits the
// layouts in twips, and buttons show a built-in icon with their caption at
// the window's DPI and after it changes.
#include <windows.h>

#include <commctrl.h>

#include "platform/win32/Win32DialogFont.h"
#include "win32/Win32ToolkitRig.h"

namespace pm::tests {
namespace {

struct ButtonPictureCase {
  const char* name;
  const char* control;
  int sideAt96Dpi;
  UINT align;
  UINT dpi;  // 0: the window's own; else a DPI change the window is told of
};

class ButtonPictures : public ToolkitTest,
                       public ::testing::WithParamInterface<ButtonPictureCase> {};

TEST_P(ButtonPictures, AButtonShowsItsIconAboveOrBesideItsCaptionAtTheWindowsDpi) {
  Create();
  UINT dpi = GetDpiForWindow(hwnd_);
  if (GetParam().dpi != 0) {
    dpi = GetParam().dpi;
    RECT suggested{0, 0, MulDiv(400, static_cast<int>(dpi), 96),
                   MulDiv(300, static_cast<int>(dpi), 96)};
    SendMessageW(hwnd_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  }
  HWND button = Control(GetParam().control);
  ASSERT_NE(button, nullptr);
  BUTTON_IMAGELIST list{};
  ASSERT_TRUE(SendMessageW(button, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list)));
  ASSERT_NE(list.himl, nullptr);
  int width = 0;
  int height = 0;
  ASSERT_TRUE(ImageList_GetIconSize(list.himl, &width, &height));
  EXPECT_EQ(width, MulDiv(GetParam().sideAt96Dpi, static_cast<int>(dpi), 96));
  EXPECT_EQ(height, width);
  EXPECT_EQ(ImageList_GetImageCount(list.himl), 1);
  EXPECT_EQ(list.uAlign, GetParam().align);
  // The picture comes with the caption, not instead of it.
  EXPECT_EQ(GetWindowLongPtrW(button, GWL_STYLE) & (BS_ICON | BS_BITMAP), 0);
  EXPECT_FALSE(WindowTextW(button).empty());
}

INSTANTIATE_TEST_SUITE_P(Buttons, ButtonPictures,
                         ::testing::Values(ButtonPictureCase{"TallButtonLargeIconAbove",
                                                             "cmdTallPic", 24,
                                                             BUTTON_IMAGELIST_ALIGN_TOP, 0},
                                           ButtonPictureCase{"LowButtonSmallIconLeft", "cmdLowPic",
                                                             16, BUTTON_IMAGELIST_ALIGN_LEFT, 0},
                                           ButtonPictureCase{"TallButtonAt144Dpi", "cmdTallPic", 24,
                                                             BUTTON_IMAGELIST_ALIGN_TOP, 144},
                                           ButtonPictureCase{"LowButtonAt192Dpi", "cmdLowPic", 16,
                                                             BUTTON_IMAGELIST_ALIGN_LEFT, 192}),
                         [](const auto& info) { return std::string(info.param.name); });

class DialogFontAtDpi : public ::testing::TestWithParam<UINT> {};

NONCLIENTMETRICSW MetricsAt(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
  return metrics;
}

// A caption as long as the system's font writes it, less a tenth: Wine stands
// in for Windows with a substitute font whose letters are about a fifth wider
// than the 8-point dialog font the layouts were made for.
TEST_P(DialogFontAtDpi, ACaptionTooWideForItsRoomFitsInNarrowedLettersOfTheSameHeight) {
  const UINT dpi = GetParam();
  const LOGFONTW system = MetricsAt(dpi).lfMessageFont;
  win32::CaptionRoom room{L"Tip: Enter 0 to disable a timer.", 0, MulDiv(17, dpi, 96)};
  room.width = 2000;
  while (win32::CaptionFits(system, room)) room.width -= 4;
  room.width = room.width * 9 / 10;
  const win32::CaptionRoom rooms[] = {room, {L"OK", MulDiv(40, dpi, 96), MulDiv(20, dpi, 96)}};
  const LOGFONTW font = win32::NarrowedToFit(win32::MessageFont(dpi), rooms);
  EXPECT_TRUE(win32::CaptionFits(font, room));
  EXPECT_NE(font.lfWidth, 0);
  EXPECT_EQ(font.lfHeight, system.lfHeight);
}

TEST_P(DialogFontAtDpi, CaptionsThatFitKeepTheSystemsFont) {
  const UINT dpi = GetParam();
  const win32::CaptionRoom rooms[] = {{L"OK", MulDiv(60, dpi, 96), MulDiv(20, dpi, 96)}};
  const LOGFONTW font = win32::NarrowedToFit(win32::MessageFont(dpi), rooms);
  EXPECT_EQ(font.lfWidth, 0);
  EXPECT_EQ(font.lfHeight, MetricsAt(dpi).lfMessageFont.lfHeight);
}

TEST_P(DialogFontAtDpi, ACaptionThatCannotFitAtAllDoesNotNarrowTheOthers) {
  const UINT dpi = GetParam();
  const win32::CaptionRoom rooms[] = {
      {L"A caption far too long for its little room", MulDiv(20, dpi, 96), MulDiv(17, dpi, 96)},
      {L"OK", MulDiv(60, dpi, 96), MulDiv(20, dpi, 96)}};
  EXPECT_EQ(win32::NarrowedToFit(win32::MessageFont(dpi), rooms).lfWidth, 0);
}

INSTANTIATE_TEST_SUITE_P(Dpi, DialogFontAtDpi, ::testing::Values(96u, 120u, 144u, 192u),
                         [](const auto& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace pm::tests
