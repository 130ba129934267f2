// The size a picture file claims in its first bytes, read without decoding
// anything, so that a picture too large to show is refused before any pixel
// memory is asked for: a header can claim any size, whatever the file holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace pm::platform {

struct PictureSize {
  std::int64_t width = 0;
  std::int64_t height = 0;
};

// How much of a file's start the size is looked for in: enough for a JPEG
// whose frame header follows a full-size metadata block and its thumbnail.
inline constexpr std::size_t kPictureHeadBytes = 256 * 1024;

// Pictures larger than this are refused. A side of 16384 pixels is the most
// a GDI bitmap is safely made with; the area bounds the memory the shown
// picture keeps (4 bytes a pixel: 160 MB), which still takes an 8K screen's
// wallpaper or a 24-megapixel photograph.
inline constexpr std::int64_t kLargestPictureSide = 16384;
inline constexpr std::int64_t kLargestPictureArea = 40'000'000;

// The size in a BMP, GIF, PNG or JPEG header; nothing for any other file or
// a header cut short.
std::optional<PictureSize> PictureSizeFromHeader(std::span<const std::uint8_t> head);

// Neither side empty or beyond the largest, and the area within its bound.
bool IsShowablePictureSize(const PictureSize& size);

}  // namespace pm::platform
