#include "platform/win32/Win32ButtonPictures.h"

#include <commctrl.h>

#include "platform/win32/Win32Icons.h"

namespace pm::win32 {

namespace {

// A 32-pixel icon and two lines of an 8-point caption need about 60 pixels
// at 96 DPI; in twips both scale alike, so the choice holds at every DPI.
constexpr int kTallButtonTwips = 900;

}  // namespace

UniqueImageList SetButtonPicture(HWND button, platform::BuiltIn icon, int heightTwips, UINT dpi) {
  const bool tall = heightTwips >= kTallButtonTwips;
  const int size = MulDiv(tall ? 32 : 16, static_cast<int>(dpi), 96);
  UniqueHicon loaded(LoadBuiltInIcon(icon, size));
  if (!loaded) return {};
  UniqueImageList images(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0));
  if (!images || ImageList_AddIcon(images.get(), loaded.get()) < 0) return {};
  const int gap = MulDiv(tall ? 6 : 4, static_cast<int>(dpi), 96);
  BUTTON_IMAGELIST list{};
  list.himl = images.get();
  list.margin = tall ? RECT{0, gap, 0, 0} : RECT{gap, 0, 0, 0};
  list.uAlign = tall ? BUTTON_IMAGELIST_ALIGN_TOP : BUTTON_IMAGELIST_ALIGN_LEFT;
  if (!SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list))) return {};
  return images;
}

}  // namespace pm::win32
