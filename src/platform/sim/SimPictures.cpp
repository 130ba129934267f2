#include "platform/sim/SimPictures.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace pm::sim {
namespace {

constexpr int kLargestSide = 16384;

int LittleEndian(const std::string& b, std::size_t at, int bytes) {
  int v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

int BigEndian(const std::string& b, std::size_t at, int bytes) {
  int v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

// The frame size of a JPEG from its first start-of-frame marker.
bool JpegSize(const std::string& b, int& width, int& height) {
  std::size_t at = 2;
  while (at + 9 < b.size()) {
    if (static_cast<unsigned char>(b[at]) != 0xFF) return false;
    const auto marker = static_cast<unsigned char>(b[at + 1]);
    const int length = BigEndian(b, at + 2, 2);
    if (marker >= 0xC0 && marker <= 0xC3) {
      height = BigEndian(b, at + 5, 2);
      width = BigEndian(b, at + 7, 2);
      return true;
    }
    if (length < 2) return false;
    at += 2 + static_cast<std::size_t>(length);
  }
  return false;
}

}  // namespace

platform::PicturePtr BuiltInSimPicture(platform::BuiltIn picture) {
  switch (picture) {
    case platform::BuiltIn::PromptPicture:
      return std::make_shared<SimPicture>("built-in prompt picture", 150, 194);
    case platform::BuiltIn::BadPasswordPicture:
      return std::make_shared<SimPicture>("built-in bad password picture", 354, 290);
    case platform::BuiltIn::WizardPicture:
      return std::make_shared<SimPicture>("built-in wizard picture", 280, 516);
    case platform::BuiltIn::PreviewPicture:
      return std::make_shared<SimPicture>("built-in preview picture", 242, 186);
    case platform::BuiltIn::None:
      return nullptr;
    default:
      return std::make_shared<SimPicture>("built-in icon", 32, 32);
  }
}

platform::PicturePtr LoadSimPicture(std::string_view path) {
  const std::filesystem::path file(std::u8string(path.begin(), path.end()));
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return nullptr;
  std::ifstream in(file, std::ios::binary);
  std::string head(64 * 1024, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  int width = 0;
  int height = 0;
  if (head.size() >= 26 && head.compare(0, 2, "BM") == 0) {
    width = LittleEndian(head, 18, 4);
    height = std::abs(LittleEndian(head, 22, 4));
  } else if (head.size() >= 10 && head.compare(0, 4, "GIF8") == 0) {
    width = LittleEndian(head, 6, 2);
    height = LittleEndian(head, 8, 2);
  } else if (head.size() >= 24 && head.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) {
    width = BigEndian(head, 16, 4);
    height = BigEndian(head, 20, 4);
  } else if (head.size() >= 4 && head.compare(0, 2, "\xFF\xD8") == 0) {
    if (!JpegSize(head, width, height)) return nullptr;
  } else {
    return nullptr;
  }
  if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) return nullptr;
  return std::make_shared<SimPicture>(std::string(path), width, height);
}

}  // namespace pm::sim
