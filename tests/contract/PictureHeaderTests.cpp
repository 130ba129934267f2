// The size a picture's header claims, read before anything is decoded, and
// which sizes the prompt refuses to show.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/PictureHeader.h"

namespace pm::tests {
namespace {

using platform::PictureSize;

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

void Put(std::string& out, std::uint32_t value, int count, bool bigEndian = false) {
  for (int i = 0; i < count; ++i) {
    const int shift = 8 * (bigEndian ? count - 1 - i : i);
    out += static_cast<char>((value >> shift) & 0xFF);
  }
}

std::string BmpHeader(std::int32_t width, std::int32_t height, std::uint32_t headerSize = 40) {
  std::string b = "BM";
  b.append(12, '\0');
  Put(b, headerSize, 4);
  if (headerSize == 12) {
    Put(b, static_cast<std::uint32_t>(width), 2);
    Put(b, static_cast<std::uint32_t>(height), 2);
  } else {
    Put(b, static_cast<std::uint32_t>(width), 4);
    Put(b, static_cast<std::uint32_t>(height), 4);
  }
  b.append(8, '\0');
  return b;
}

std::string JpegWithFrame(std::uint16_t width, std::uint16_t height, std::string before = {}) {
  std::string j = "\xFF\xD8";
  j += before;
  j += "\xFF\xC2";  // progressive
  Put(j, 17, 2, true);
  j += '\x08';
  Put(j, height, 2, true);
  Put(j, width, 2, true);
  j.append(12, '\0');
  return j;
}

std::string App1(std::size_t payload) {
  std::string segment = "\xFF\xE1";
  Put(segment, static_cast<std::uint32_t>(payload + 2), 2, true);
  segment.append(payload, 'e');
  return segment;
}

struct HeaderCase {
  std::string name;
  std::string bytes;
  std::optional<PictureSize> size;
  bool showable;
};

std::vector<HeaderCase> HeaderCases() {
  std::string gif1 = "GIF89a";
  Put(gif1, 1, 2);
  Put(gif1, 1, 2);
  gif1 += "\x80\0\0";
  std::string png = "\x89PNG\r\n\x1a\n";
  Put(png, 13, 4, true);
  png += "IHDR";
  Put(png, 800, 4, true);
  Put(png, 600, 4, true);
  std::string truncatedJpeg = JpegWithFrame(640, 480).substr(0, 9);
  return {
      {"SmallBmp", BmpHeader(37, 21), PictureSize{37, 21}, true},
      {"TopDownBmp", BmpHeader(37, -21), PictureSize{37, 21}, true},
      {"CoreHeaderBmp", BmpHeader(300, 200, 12), PictureSize{300, 200}, true},
      {"BmpClaiming60000Square", BmpHeader(60000, 60000), PictureSize{60000, 60000}, false},
      {"BmpOfTheLowestHeight", BmpHeader(10, INT32_MIN), PictureSize{10, 2147483648LL}, false},
      {"BmpOfNegativeWidth", BmpHeader(-5, 5), PictureSize{-5, 5}, false},
      {"WidestSide", BmpHeader(16384, 1), PictureSize{16384, 1}, true},
      {"OnePixelTooWide", BmpHeader(16385, 1), PictureSize{16385, 1}, false},
      {"LargestSideSquared", BmpHeader(16384, 16384), PictureSize{16384, 16384}, false},
      {"EightKScreen", BmpHeader(7680, 4320), PictureSize{7680, 4320}, true},
      {"GifOfOnePixel", gif1, PictureSize{1, 1}, true},
      {"EmptyGif", BmpHeader(0, 0).replace(0, 2, "GIF89a"), PictureSize{0, 0}, false},
      {"Png", png, PictureSize{800, 600}, true},
      {"JpegAfterAFullMetadataBlock", JpegWithFrame(6000, 4000, App1(65533) + App1(1000)),
       PictureSize{6000, 4000}, true},
      {"JpegWithFillBytes", JpegWithFrame(64, 48, "\xFF\xFF"), PictureSize{64, 48}, true},
      {"JpegCutInsideItsFrameHeader", truncatedJpeg, std::nullopt, false},
      {"JpegWithoutAFrame", "\xFF\xD8\xFF\xDA\0\x02", std::nullopt, false},
      {"JpegWithAZeroLengthSegment", std::string("\xFF\xD8\xFF\xE0\0\0", 6), std::nullopt, false},
      {"ShortBmp", "BM\x01\x02", std::nullopt, false},
      {"Text", "this is not a picture", std::nullopt, false},
      {"Empty", "", std::nullopt, false},
  };
}

class PictureHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(PictureHeader, GivesTheClaimedSizeAndWhetherItMayBeShown) {
  const HeaderCase& c = GetParam();
  const auto size = platform::PictureSizeFromHeader(Bytes(c.bytes));
  ASSERT_EQ(size.has_value(), c.size.has_value());
  if (size) {
    EXPECT_EQ(size->width, c.size->width);
    EXPECT_EQ(size->height, c.size->height);
    EXPECT_EQ(platform::IsShowablePictureSize(*size), c.showable);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, PictureHeader, ::testing::ValuesIn(HeaderCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace pm::tests
