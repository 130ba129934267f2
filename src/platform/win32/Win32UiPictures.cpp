#include "platform/win32/Win32UiPictures.h"

#include <wincodec.h>

#include <cstdint>
#include <vector>

#include "platform/PictureHeader.h"
#include "platform/win32/GdiGuards.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32BuiltInResources.h"
#include "platform/win32/Win32Icons.h"

namespace pm::win32 {
namespace {

// The file's first bytes, where its header says how large it is.
std::vector<std::uint8_t> ReadHead(const std::wstring& file) {
  std::vector<std::uint8_t> head;
  const HANDLE raw = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return head;
  const UniqueKernelHandle handle(raw);
  head.resize(platform::kPictureHeadBytes);
  DWORD read = 0;
  if (!ReadFile(handle.get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr)) {
    read = 0;
  }
  head.resize(read);
  return head;
}

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (p_) p_->Release();
  }
  T** put() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

IWICImagingFactory* Factory() {
  static IWICImagingFactory* factory = [] {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* created = nullptr;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                     reinterpret_cast<void**>(&created));
    return created;
  }();
  return factory;
}

platform::PicturePtr Decode(IWICBitmapDecoder* decoder) {
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, frame.put()))) return nullptr;
  UINT width = 0;
  UINT height = 0;
  // Checked again: a file's frame may differ from what its header claimed.
  if (FAILED(frame->GetSize(&width, &height)) ||
      !platform::IsShowablePictureSize({static_cast<std::int64_t>(width), height})) {
    return nullptr;
  }
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(Factory()->CreateFormatConverter(converter.put())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return nullptr;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) return nullptr;
  const UINT stride = width * 4;
  if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
    DeleteObject(bitmap);
    return nullptr;
  }
  return std::make_shared<Win32Picture>(bitmap, static_cast<int>(width), static_cast<int>(height));
}

}  // namespace

HICON Win32Picture::IconForSide(int side) const {
  if (side == width_) return icon_.get();
  if (side != sizedSide_) {
    sizedIcon_.reset(LoadBuiltInIcon(builtInIcon_, side));
    sizedSide_ = side;
  }
  return sizedIcon_ ? sizedIcon_.get() : icon_.get();
}

void Win32Picture::Draw(HDC dc, const RECT& into) const {
  const int width = into.right - into.left;
  const int height = into.bottom - into.top;
  if (icon_) {
    // Stretched only when the control is not square.
    HICON icon = width == height ? IconForSide(width) : icon_.get();
    DrawIconEx(dc, into.left, into.top, icon, width, height, 0, nullptr, DI_NORMAL);
    return;
  }
  const UniqueMemoryDc source(CreateCompatibleDC(dc));
  if (!source) return;
  const SelectGuard selected(source.get(), bitmap_.get());
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, into.left, into.top, width, height, source.get(), 0, 0, width_, height_, SRCCOPY);
}

platform::PicturePtr LoadPictureFile(std::string_view path) {
  if (Factory() == nullptr || path.empty()) return nullptr;
  const std::wstring file = Wide(path);
  // The programs are not long-path aware, so Windows itself refuses longer
  // paths; Wine would open them, and the prompt is to behave the same on both.
  if (file.size() >= MAX_PATH) return nullptr;
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return nullptr;
  }
  // Refused before the decoder sees it: some decoders (Wine's among them)
  // decode the whole picture as soon as they open it.
  const auto claimed = platform::PictureSizeFromHeader(ReadHead(file));
  if (!claimed || !platform::IsShowablePictureSize(*claimed)) return nullptr;
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(Factory()->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.put()))) {
    return nullptr;
  }
  return Decode(decoder.get());
}

platform::PicturePtr LoadBuiltInPicture(platform::BuiltIn picture) {
  if (BuiltInIconResource(picture) != 0) {
    HICON icon = LoadBuiltInIcon(picture, 32);
    return icon ? std::make_shared<Win32Picture>(picture, icon, 32) : nullptr;
  }
  const int id = BuiltInResourceId(picture, ResourceKind::Picture);
  if (id == 0 || Factory() == nullptr) return nullptr;
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (resource == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(module, resource);
  const DWORD size = SizeofResource(module, resource);
  auto* data = static_cast<BYTE*>(LockResource(loaded));
  if (data == nullptr || size == 0) return nullptr;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(Factory()->CreateStream(stream.put())) ||
      FAILED(stream->InitializeFromMemory(data, size)) ||
      FAILED(Factory()->CreateDecoderFromStream(stream.get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, decoder.put()))) {
    return nullptr;
  }
  return Decode(decoder.get());
}

}  // namespace pm::win32
