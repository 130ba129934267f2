// Pictures decoded with WIC, and drawn into the controls that show them.
#include "platform/win32/Win32UiPictures.h"

#include <algorithm>
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
  const UniqueKernelHandle handle =
      OwnFileHandle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return head;
  head.resize(platform::kPictureHeadBytes);
  DWORD read = 0;
  if (!ReadFile(handle.get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr)) {
    read = 0;
  }
  head.resize(read);
  return head;
}

// A 32-bit top-down DIB of `width` x `height` into which WIC copies the
// picture's pixels.
UniqueHbitmap CreateDib(UINT width, UINT height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return UniqueHbitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0));
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
    // An icon keeps its square, the largest the control holds, centred: a
    // control's sides grow apart when the font's base units do.
    const int side = std::min(width, height);
    DrawIconEx(dc, into.left + (width - side) / 2, into.top + (height - side) / 2,
               IconForSide(side), side, side, 0, nullptr, DI_NORMAL);
    return;
  }
  const UniqueMemoryDc source(CreateCompatibleDC(dc));
  if (!source) return;
  const SelectGuard selected(source.get(), bitmap_.get());
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, into.left, into.top, width, height, source.get(), 0, 0, width_, height_, SRCCOPY);
}

IWICImagingFactory* Win32PictureDecoder::Factory() const {
  if (!factory_) {
    if (!apartment_) apartment_.emplace();
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                     IID_PPV_ARGS(factory_.ReleaseAndGetAddressOf()));
  }
  return factory_.Get();
}

platform::PicturePtr Win32PictureDecoder::Decode(IWICBitmapDecoder* decoder) const {
  Microsoft::WRL::ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, &frame))) return nullptr;
  UINT width = 0;
  UINT height = 0;
  // Checked again: a file's frame may differ from what its header claimed.
  if (FAILED(frame->GetSize(&width, &height)) ||
      !platform::IsShowablePictureSize({static_cast<std::int64_t>(width), height})) {
    return nullptr;
  }
  Microsoft::WRL::ComPtr<IWICFormatConverter> converter;
  if (FAILED(Factory()->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return nullptr;
  }
  void* bits = nullptr;
  UniqueHbitmap bitmap = CreateDib(width, height, &bits);
  const UINT stride = width * 4;
  if (!bitmap ||
      FAILED(converter->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
    return nullptr;
  }
  return std::make_shared<Win32Picture>(std::move(bitmap), static_cast<int>(width),
                                        static_cast<int>(height));
}

platform::PicturePtr Win32PictureDecoder::LoadFile(std::string_view path) const {
  if (path.empty() || Factory() == nullptr) return nullptr;
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
  Microsoft::WRL::ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(Factory()->CreateDecoderFromFilename(file.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, &decoder))) {
    return nullptr;
  }
  return Decode(decoder.Get());
}

platform::PicturePtr Win32PictureDecoder::LoadBuiltIn(platform::BuiltIn picture) const {
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
  Microsoft::WRL::ComPtr<IWICStream> stream;
  Microsoft::WRL::ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(Factory()->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromMemory(data, size)) ||
      FAILED(Factory()->CreateDecoderFromStream(stream.Get(), nullptr,
                                                WICDecodeMetadataCacheOnDemand, &decoder))) {
    return nullptr;
  }
  return Decode(decoder.Get());
}

}  // namespace pm::win32
