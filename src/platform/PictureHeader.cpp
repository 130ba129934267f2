#include "platform/PictureHeader.h"

#include <algorithm>
#include <string_view>

namespace pm::platform {
namespace {

using Bytes = std::span<const std::uint8_t>;

std::int64_t LittleEndian(Bytes b, std::size_t at, int count) {
  std::int64_t v = 0;
  for (int i = count - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return v;
}

std::int64_t BigEndian(Bytes b, std::size_t at, int count) {
  std::int64_t v = 0;
  for (int i = 0; i < count; ++i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return v;
}

bool StartsWith(Bytes b, std::string_view prefix) {
  return b.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), b.begin(),
                    [](char c, std::uint8_t byte) { return static_cast<std::uint8_t>(c) == byte; });
}

std::int64_t Signed32(std::int64_t v) {
  return v >= 0x80000000LL ? v - 0x100000000LL : v;
}

std::optional<PictureSize> BmpSize(Bytes b) {
  if (b.size() < 26) return std::nullopt;
  // The old core header holds 16-bit sides, every later one 32-bit signed;
  // a negative height only means the rows are stored top-down.
  if (LittleEndian(b, 14, 4) == 12)
    return PictureSize{LittleEndian(b, 18, 2), LittleEndian(b, 20, 2)};
  const std::int64_t height = Signed32(LittleEndian(b, 22, 4));
  return PictureSize{Signed32(LittleEndian(b, 18, 4)), height < 0 ? -height : height};
}

bool IsStartOfFrame(std::uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The frame header's size, found by walking the segments before it.
std::optional<PictureSize> JpegSize(Bytes b) {
  std::size_t at = 2;
  while (at + 4 <= b.size()) {
    if (b[at] != 0xFF) return std::nullopt;
    const std::uint8_t marker = b[at + 1];
    if (marker == 0xFF) {  // a fill byte before a marker
      ++at;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length follows
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // no frame before the data
    const std::int64_t length = BigEndian(b, at + 2, 2);
    if (length < 2) return std::nullopt;
    if (IsStartOfFrame(marker)) {
      if (at + 9 > b.size() || length < 7) return std::nullopt;
      return PictureSize{BigEndian(b, at + 7, 2), BigEndian(b, at + 5, 2)};
    }
    at += 2 + static_cast<std::size_t>(length);
  }
  return std::nullopt;
}

}  // namespace

std::optional<PictureSize> PictureSizeFromHeader(std::span<const std::uint8_t> head) {
  if (StartsWith(head, "BM")) return BmpSize(head);
  if (StartsWith(head, "GIF87a") || StartsWith(head, "GIF89a")) {
    if (head.size() < 10) return std::nullopt;
    return PictureSize{LittleEndian(head, 6, 2), LittleEndian(head, 8, 2)};
  }
  if (StartsWith(head, "\x89PNG\r\n\x1a\n")) {
    if (head.size() < 24 || !StartsWith(head.subspan(12), "IHDR")) return std::nullopt;
    return PictureSize{BigEndian(head, 16, 4), BigEndian(head, 20, 4)};
  }
  if (StartsWith(head, "\xFF\xD8")) return JpegSize(head);
  return std::nullopt;
}

bool IsShowablePictureSize(const PictureSize& size) {
  return size.width > 0 && size.height > 0 && size.width <= kLargestPictureSide &&
         size.height <= kLargestPictureSide && size.width * size.height <= kLargestPictureArea;
}

}  // namespace pm::platform
