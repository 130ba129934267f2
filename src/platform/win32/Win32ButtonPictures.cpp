#include "platform/win32/Win32ButtonPictures.h"

#include <commctrl.h>

#include "platform/win32/Win32Icons.h"

namespace pm::win32 {

namespace {

// A 24-pixel icon above three lines of an 8-point caption (a short button
// wraps even a short caption) needs about 66 pixels at 96 DPI; in twips both
// scale alike, so the choice holds at every DPI.
constexpr int kTallButtonTwips = 1000;

int IconSide(bool tall, UINT dpi) {
  return MulDiv(tall ? 24 : 16, static_cast<int>(dpi), 96);
}

int Gap(bool tall, UINT dpi) {
  return MulDiv(tall ? 3 : 4, static_cast<int>(dpi), 96);
}

}  // namespace

SIZE ButtonPictureRoom(int heightTwips, UINT dpi) {
  const bool tall = heightTwips >= kTallButtonTwips;
  const int room = IconSide(tall, dpi) + Gap(tall, dpi);
  return tall ? SIZE{0, room} : SIZE{room, 0};
}

UniqueImageList SetButtonPicture(HWND button, platform::BuiltIn icon, int heightTwips, UINT dpi) {
  const bool tall = heightTwips >= kTallButtonTwips;
  const int size = IconSide(tall, dpi);
  UniqueHicon loaded(LoadBuiltInIcon(icon, size));
  if (!loaded) return {};
  UniqueImageList images(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0));
  if (!images || ImageList_AddIcon(images.get(), loaded.get()) < 0) return {};
  const int gap = Gap(tall, dpi);
  BUTTON_IMAGELIST list{};
  list.himl = images.get();
  list.margin = tall ? RECT{0, gap, 0, 0} : RECT{gap, 0, 0, 0};
  list.uAlign = tall ? BUTTON_IMAGELIST_ALIGN_TOP : BUTTON_IMAGELIST_ALIGN_LEFT;
  if (!SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list))) return {};
  return images;
}

}  // namespace pm::win32
