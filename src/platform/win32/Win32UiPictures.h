// Pictures decoded with WIC into 32-bit DIBs, and the built-in ones from the
// program's resources; a picture is drawn stretched into an image control,
// an icon square in it.
#pragma once

#include <windows.h>

#include <wincodec.h>
#include <wrl/client.h>

#include <optional>
#include <string_view>
#include <utility>

#include "platform/Toolkit.h"
#include "platform/win32/Handles.h"

namespace pm::win32 {

class Win32Picture final : public platform::Picture {
 public:
  Win32Picture(UniqueHbitmap bitmap, int width, int height)
      : bitmap_(std::move(bitmap)), width_(width), height_(height) {}
  // A built-in icon, loaded at `size`; drawn at another size, it is loaded
  // again at that size from its multi-size resource rather than stretched.
  Win32Picture(platform::BuiltIn builtInIcon, HICON icon, int size)
      : builtInIcon_(builtInIcon), icon_(icon), width_(size), height_(size) {}
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void Draw(HDC dc, const RECT& into) const;

 private:
  // The icon to draw into a square of `side` pixels: the one loaded for that
  // side, kept from the last paint so that a repaint loads nothing.
  HICON IconForSide(int side) const;

  platform::BuiltIn builtInIcon_ = platform::BuiltIn::None;
  UniqueHbitmap bitmap_;
  UniqueHicon icon_;
  mutable UniqueHicon sizedIcon_;
  mutable int sizedSide_ = 0;
  int width_;
  int height_;
};

// The decoder of the program's pictures: WIC's factory, made at the first
// picture and released, with the COM apartment it was made in, when the
// decoder goes (with the toolkit). A picture it made keeps nothing of it.
class Win32PictureDecoder {
 public:
  Win32PictureDecoder() = default;
  Win32PictureDecoder(const Win32PictureDecoder&) = delete;
  Win32PictureDecoder& operator=(const Win32PictureDecoder&) = delete;

  // Null for a missing, unreadable, fake or oversized picture file.
  platform::PicturePtr LoadFile(std::string_view path) const;
  platform::PicturePtr LoadBuiltIn(platform::BuiltIn picture) const;

 private:
  // Null when WIC cannot be had.
  IWICImagingFactory* Factory() const;
  platform::PicturePtr Decode(IWICBitmapDecoder* decoder) const;

  // COM on this thread for as long as the factory lives, made with it;
  // declared first so that the factory goes before the apartment.
  mutable std::optional<ComApartment> apartment_;
  mutable Microsoft::WRL::ComPtr<IWICImagingFactory> factory_;
};

}  // namespace pm::win32
