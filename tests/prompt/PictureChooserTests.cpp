// The owner picks the prompt's pictures from the files of a folder: the
// chooser lists the three picture kinds, previews a choice and stores its
// path for the prompt.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "config/SetupDialogFixture.h"
#include "platform/FolderPath.h"
#include "platform/sim/SimPictures.h"
#include "prompt/PasswordDialogs.h"
#include "prompt/frmpasswordpictureLayout.h"

namespace pm::tests {
namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

constexpr std::string_view kBmp = {"BM\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x20\0\0\0\x10\0\0\0", 26};
constexpr std::string_view kGif = {"GIF89a\x20\0\x10\0", 10};
constexpr std::string_view kJpeg = {"\xFF\xD8\xFF\xC0\0\x11\x08\0\x10\0\x20\0\0\0\0\0", 16};

class PictureChooserTest : public SetupDialogTest {
 protected:
  void SetUp() override {
    static int run = 0;
    folder_ = fs::temp_directory_path() /
              ("pm-pictures-" + std::to_string(::getpid()) + "-" + std::to_string(++run));
    fs::create_directories(folder_ / "Pictures");
    fs::create_directories(folder_ / "h.jpg");  // a folder, not a picture
    WriteFile(folder_ / "a.jpg", kJpeg);
    WriteFile(folder_ / "B.GIF", kGif);
    WriteFile(folder_ / "c.bmp", kBmp);
    WriteFile(folder_ / "d.png", "\x89PNG\r\n\x1a\n");
    WriteFile(folder_ / "e.jpeg", kJpeg);
    WriteFile(folder_ / "f.txt", "text");
    WriteFile(folder_ / "g.bmp.txt", kBmp);
    WriteFile(folder_ / "fake.bmp", "no picture at all");
    WriteFile(folder_ / "Pictures" / "inner.bmp", kBmp);
    programFolder_ = Utf8(folder_);
  }
  void TearDown() override {
    std::error_code error;
    fs::remove_all(folder_, error);
  }

  sim::SimWindow& OpenChooser(int menu = config::kpassboxpic) {
    (process_ && SetupForm().IsLoaded() ? *Ours(SetupForm().hwnd()) : OpenSetup()).ChooseMenu(menu);
    sim::SimWindow* chooser = Window(Chooser());
    EXPECT_NE(chooser, nullptr);
    return *chooser;
  }
  prompt::frmpasswordpicture& Chooser() { return SetupForm().frmpasswordpicture; }
  std::vector<std::string> Entries(sim::SimWindow& window, std::string_view list) {
    std::vector<std::string> entries;
    const int index = window.Index(list);
    for (int i = 0; i < window.ListCount(index); ++i) entries.push_back(window.ListText(index, i));
    return entries;
  }
  int Row(sim::SimWindow& window, std::string_view list, std::string_view text) {
    const auto entries = Entries(window, list);
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].find(text) != std::string::npos) return static_cast<int>(i);
    }
    ADD_FAILURE() << "no entry " << text << " in " << list;
    return -1;
  }
  std::string PreviewSource(sim::SimWindow& window) {
    const auto picture = window.PictureOf("Image1");
    if (!picture) return "<none>";
    return static_cast<const sim::SimPicture&>(*picture).source();
  }
  std::string In(std::string_view name) { return Utf8(folder_ / name); }

  fs::path folder_;
};

TEST_F(PictureChooserTest, ListsOnlyThePictureKindsOfTheProgramFolder) {
  sim::SimWindow& chooser = OpenChooser();
  EXPECT_EQ(Chooser().Dir1Path(), Utf8(folder_));
  EXPECT_EQ(Chooser().File1Path(), Utf8(folder_));
  EXPECT_EQ(Entries(chooser, "File1"),
            (std::vector<std::string>{"a.jpg", "B.GIF", "c.bmp", "fake.bmp"}));
  EXPECT_EQ(Entries(chooser, "Drive1"), std::vector<std::string>{"/"});
  EXPECT_EQ(chooser.ListIndex(chooser.Index("Drive1")), 0);
  // The folder list shows the way down from the root, then the subfolders.
  const auto folders = Entries(chooser, "Dir1");
  EXPECT_EQ(folders.front(), "/");
  EXPECT_EQ(chooser.ListIndex(chooser.Index("Dir1")) + 3, static_cast<int>(folders.size()));
  EXPECT_NE(folders[folders.size() - 2].find("h.jpg"), std::string::npos);
  EXPECT_NE(folders.back().find("Pictures"), std::string::npos);
}

struct OpeningCase {
  const char* name;
  int menu;
  std::string_view caption;
  std::string_view value;
};

class PictureOpeningTest : public PictureChooserTest,
                           public ::testing::WithParamInterface<OpeningCase> {};

TEST_P(PictureOpeningTest, ShowsWhichPictureAndItsStoredPath) {
  Store(GetParam().value, In("B.GIF"));
  sim::SimWindow& chooser = OpenChooser(GetParam().menu);
  EXPECT_TRUE(SetupForm().Enabled()) << "the chooser leaves the setup window enabled";
  EXPECT_EQ(chooser.Caption(), GetParam().caption);
  EXPECT_EQ(chooser.TextOf("Label2"), In("B.GIF"));
  EXPECT_EQ(PreviewSource(chooser), In("B.GIF"));
  EXPECT_EQ(State().PickBadPicture, GetParam().menu == config::kmnupicbad);

  chooser.ClickListEntry("File1", Row(chooser, "File1", "c.bmp"));
  EXPECT_EQ(PreviewSource(chooser), In("c.bmp"));
  EXPECT_EQ(chooser.TextOf("Label2"), In("B.GIF")) << "a click only previews";
  chooser.Click("cmdOK");

  EXPECT_FALSE(Chooser().IsLoaded());
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, GetParam().value), In("c.bmp"));
  const bool bad = GetParam().menu == config::kmnupicbad;
  EXPECT_EQ(bad ? State().BadPasswordPic : State().PasswordPicture, In("c.bmp"));
  EXPECT_TRUE(State().ReloadRequested);
  EXPECT_TRUE(SetupForm().Enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Menus, PictureOpeningTest,
    ::testing::Values(OpeningCase{"password_box", config::kpassboxpic, "Picture for Password Box",
                                  "PasswordPicture"},
                      OpeningCase{"bad_password", config::kmnupicbad, "Picture for Bad Password",
                                  "BadPasswordPic"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PictureChooserTest, TheStoredPathDecidesThePreview) {
  Store("PasswordPicture", "");
  EXPECT_EQ(PreviewSource(OpenChooser()), "<none>") << "no stored picture clears the preview";
  Chooser().Unload();
  Store("PasswordPicture", In("fake.bmp"));
  sim::SimWindow& chooser = OpenChooser();
  EXPECT_EQ(PreviewSource(chooser), "built-in preview picture");
  EXPECT_EQ(chooser.TextOf("Label2"), In("fake.bmp"));
  chooser.ClickListEntry("File1", Row(chooser, "File1", "fake.bmp"));
  EXPECT_EQ(PreviewSource(chooser), "built-in preview picture") << "no picture, no change";
}

TEST_F(PictureChooserTest, OkWithNoFileStoresTheFolderAndThePromptKeepsItsPicture) {
  sim::SimWindow& chooser = OpenChooser();
  chooser.Click("cmdOK");
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "PasswordPicture"), Utf8(folder_) + "/");

  LockItems({{"Notepad", true}});
  Pass(500);
  OpenWindow("Untitled - Notepad");
  Pass(500);
  ASSERT_NE(Prompt(), nullptr);
  const auto picture = Prompt()->PictureOf("Image2");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(static_cast<const sim::SimPicture&>(*picture).source(), "built-in prompt picture");
}

TEST_F(PictureChooserTest, AFileInASubfolderIsStoredWithOneSeparator) {
  sim::SimWindow& chooser = OpenChooser();
  chooser.SetListIndex(chooser.Index("Dir1"), Row(chooser, "Dir1", "Pictures"));
  chooser.DoubleClick("Dir1");
  EXPECT_EQ(Chooser().Dir1Path(), In("Pictures"));
  EXPECT_EQ(Entries(chooser, "File1"), std::vector<std::string>{"inner.bmp"});
  chooser.ClickListEntry("File1", 0);
  chooser.Click("cmdOK");
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "PasswordPicture"),
            Utf8(folder_ / "Pictures" / "inner.bmp"));
}

TEST_F(PictureChooserTest, AtTheRootOfADriveNoSecondSeparatorIsAdded) {
  sim::SimWindow& chooser = OpenChooser();
  chooser.SetListIndex(chooser.Index("Dir1"), 0);
  chooser.DoubleClick("Dir1");
  ASSERT_EQ(Chooser().Dir1Path(), "/");
  chooser.SetListIndex(chooser.Index("File1"), -1);
  chooser.Click("cmdOK");
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "PasswordPicture"), "/");
}

struct PathCase {
  std::string_view folder;
  std::string_view file;
  char separator;
  std::string_view path;
};

class PicturePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PicturePathTest, JoinsWithExactlyOneSeparator) {
  EXPECT_EQ(prompt::PicturePath(GetParam().folder, GetParam().file, GetParam().separator),
            GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, PicturePathTest,
    ::testing::Values(PathCase{"C:\\", "secure6.jpg", '\\', "C:\\secure6.jpg"},
                      PathCase{"C:\\Pictures", "secure6.jpg", '\\', "C:\\Pictures\\secure6.jpg"},
                      PathCase{"C:\\Pictures", "", '\\', "C:\\Pictures\\"},
                      PathCase{"D:\\", "", '\\', "D:\\"}, PathCase{"/", "a.bmp", '/', "/a.bmp"},
                      PathCase{"/home/owner", "a.bmp", '/', "/home/owner/a.bmp"}));

struct SplitCase {
  std::string_view folder;
  std::string_view root;
  std::vector<std::string> names;
};

class FolderSplitTest : public ::testing::TestWithParam<SplitCase> {};

// The folder list shows a folder's ancestors from its root down.
TEST_P(FolderSplitTest, TakesTheRootThenEachName) {
  const platform::FolderParts parts = platform::SplitFolder(GetParam().folder);
  EXPECT_EQ(parts.root, GetParam().root);
  EXPECT_EQ(parts.names, GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FolderSplitTest,
    ::testing::Values(SplitCase{"C:\\Program Files\\Pelmora Pro", "C:\\", {"Program Files", "Pelmora Pro"}},
                      SplitCase{"C:\\", "C:\\", {}}, SplitCase{"C:", "C:", {}},
                      SplitCase{"D:/Pictures//2003/", "D:/", {"Pictures", "2003"}},
                      SplitCase{"\\\\server\\share\\x", "\\\\server\\", {"share", "x"}},
                      SplitCase{"/home//owner", "/", {"home", "owner"}},
                      SplitCase{"relative\\folder", "", {"relative", "folder"}}));

TEST_F(PictureChooserTest, BrowsingGrowsTheWindowOverTheFolderAndDriveLists) {
  sim::SimWindow& chooser = OpenChooser();
  chooser.Click("Label3");
  EXPECT_EQ(chooser.clientHeight(), prompt::kPictureFormExpandedClientHeight);
  const auto drive = chooser.ControlBounds(chooser.Index("Drive1"));
  EXPECT_GE(chooser.clientHeight(), drive.top + drive.height);
  EXPECT_EQ(chooser.TextOf("Label3"), "Browse for more pictures >>");
}

TEST_F(PictureChooserTest, TheOtherMenuItemSwitchesAnOpenChooser) {
  sim::SimWindow& chooser = OpenChooser(config::kpassboxpic);
  const platform::Hwnd handle = chooser.handle();
  Ours(SetupForm().hwnd())->ChooseMenu(config::kmnupicbad);
  ASSERT_EQ(Window(Chooser()), &chooser);
  EXPECT_EQ(world_.Foreground(), handle);
  EXPECT_EQ(chooser.Caption(), "Picture for Password Box") << "set only when it opened";
  chooser.ClickListEntry("File1", Row(chooser, "File1", "a.jpg"));
  chooser.Click("cmdOK");
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "BadPasswordPic"), In("a.jpg"));
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "PasswordPicture"), "");
}

TEST_F(PictureChooserTest, AFailedWriteIsReportedAndKeepsTheStoredPicture) {
  Store("PasswordPicture", In("B.GIF"));
  sim::SimWindow& chooser = OpenChooser();
  const std::string engineCopy = State().PasswordPicture;
  chooser.ClickListEntry("File1", Row(chooser, "File1", "a.jpg"));
  registry_.FailValueWrite("PasswordPicture", platform::reg_error::kAccessDenied);
  chooser.Click("cmdOK");
  ASSERT_EQ(world_.shownMessages.size(), 1u);
  EXPECT_NE(world_.shownMessages[0].text.find(prompt::kPictureNotSaved), std::string::npos);
  EXPECT_NE(world_.shownMessages[0].text.find("Access is denied."), std::string::npos);
  EXPECT_EQ(StoredText(registry_, store::kSettingsKey, "PasswordPicture"), In("B.GIF"));
  EXPECT_EQ(State().PasswordPicture, engineCopy);
  EXPECT_FALSE(State().ReloadRequested);
  EXPECT_TRUE(Chooser().IsLoaded());
}

TEST_F(PictureChooserTest, CancelStoresNothing) {
  sim::SimWindow& chooser = OpenChooser();
  chooser.ClickListEntry("File1", Row(chooser, "File1", "a.jpg"));
  chooser.Click("cmdCancel");
  EXPECT_FALSE(Chooser().IsLoaded());
  EXPECT_FALSE(ValueExists(registry_, store::kSettingsKey, "PasswordPicture"));
  EXPECT_FALSE(State().ReloadRequested);
}

}  // namespace
}  // namespace pm::tests
