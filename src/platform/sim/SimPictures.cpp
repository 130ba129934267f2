#include "platform/sim/SimPictures.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/PictureHeader.h"
#include "platform/Text.h"

namespace pm::sim {

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
  // As on Windows, for programs that are not long-path aware.
  constexpr std::size_t kMaxPath = 260;
  if (platform::Utf8ToUtf16(path).size() >= kMaxPath) return nullptr;
  const std::filesystem::path file(std::u8string(path.begin(), path.end()));
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return nullptr;
  std::ifstream in(file, std::ios::binary);
  std::string head(platform::kPictureHeadBytes, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  const auto size = platform::PictureSizeFromHeader(
      std::span(reinterpret_cast<const std::uint8_t*>(head.data()), head.size()));
  if (!size || !platform::IsShowablePictureSize(*size)) return nullptr;
  return std::make_shared<SimPicture>(std::string(path), static_cast<int>(size->width),
                                      static_cast<int>(size->height));
}

}  // namespace pm::sim
