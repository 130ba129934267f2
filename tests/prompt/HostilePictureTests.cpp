// The prompt's picture named by the settings may be no picture at all, or
// one too large to show: the prompt then shows its built-in picture.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>

#include "engine/EngineFixture.h"
#include "platform/sim/SimPictures.h"

namespace pm::tests {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Bmp(std::uint32_t width, std::uint32_t height) {
  std::string b = "BM";
  b.append(12, '\0');
  for (std::uint32_t v : {40u, width, height}) {
    for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  b.append(28, '\0');
  return b;
}

struct StoredPicture {
  std::string name;
  // Makes the file in the folder and answers the path to store.
  std::function<std::string(const fs::path& folder)> make;
};

// Named in the test output by its name alone.
void PrintTo(const StoredPicture& value, std::ostream* out) {
  *out << value.name;
}

class HostilePromptPictureTest : public EngineTest,
                                 public ::testing::WithParamInterface<StoredPicture> {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("pm-hostile-pictures-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code error;
    fs::remove_all(folder_, error);
  }
  fs::path folder_;
};

TEST_P(HostilePromptPictureTest, ThePromptShowsItsBuiltInPicture) {
  StorePasswords();
  LockItems({{"Registry Editor", true}});
  Store(store::setting::kPasswordPicture, GetParam().make(folder_));
  StartEngine();
  OpenWindow("Registry Editor");
  Pass(500);
  ASSERT_NE(Prompt(), nullptr);
  const auto picture = Prompt()->PictureOf("Image2");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(static_cast<const sim::SimPicture&>(*picture).source(), "built-in prompt picture");
}

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostilePromptPictureTest,
    ::testing::Values(
        StoredPicture{"TruncatedJpeg",
                      [](const fs::path& f) {
                        WriteFile(f / "cut.jpg", std::string("\xFF\xD8\xFF\xC0\0\x11\x08", 7));
                        return Utf8(f / "cut.jpg");
                      }},
        StoredPicture{"BmpClaiming60000Square",
                      [](const fs::path& f) {
                        WriteFile(f / "huge.bmp", Bmp(60000, 60000));
                        return Utf8(f / "huge.bmp");
                      }},
        StoredPicture{"FolderNamedLikeAPicture",
                      [](const fs::path& f) {
                        fs::create_directories(f / "x.jpg");
                        return Utf8(f / "x.jpg");
                      }},
        StoredPicture{"PathOf300Characters",
                      [](const fs::path& f) {
                        fs::path path = f / std::string(100, 'a') / std::string(100, 'b');
                        fs::create_directories(path);
                        path /=
                            std::string(300, 'c').substr(0, 300 - Utf8(path).size() - 5) + ".bmp";
                        WriteFile(path, Bmp(8, 8));
                        return Utf8(path);
                      }},
        StoredPicture{"NotAPath", [](const fs::path&) { return std::string(4096, '\x01'); }}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace pm::tests
