// The engine takes a window for its own when the program file of the window's
// process lies in the program folder; the two paths come from different calls
// and must spell the folder the same way.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/Text.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Paths.h"
#include "win32/Win32ToolkitRig.h"

namespace pm::tests {
namespace {

TEST_F(ToolkitTest, TheOwnerOfOurFormIsAProgramFileInTheProgramFolder) {
  Create();
  win32::Win32Desktop desktop;
  const std::string owner = desktop.OwnerProgramPath(window_->handle());
  const std::string folder = TheToolkit().ProgramFolder() + "\\";
  ASSERT_GT(owner.size(), folder.size()) << owner;
  EXPECT_TRUE(platform::EqualsNoCase(owner.substr(0, folder.size()), folder))
      << owner << " is not in " << folder;
  EXPECT_EQ(owner.find('\\', folder.size()), std::string::npos) << owner;
}

TEST(Win32PathsTest, AShortPathIsSpelledInItsLongForm) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring longFolder = win32::LongPath(temp) + L"Pelmora long folder name Ж";
  CreateDirectoryW(longFolder.c_str(), nullptr);
  wchar_t shortFolder[MAX_PATH] = {};
  const DWORD length = GetShortPathNameW(longFolder.c_str(), shortFolder, MAX_PATH);
  const std::wstring spelled = win32::LongPath(shortFolder);
  RemoveDirectoryW(longFolder.c_str());
  if (length == 0 || longFolder == shortFolder) GTEST_SKIP() << "no short names on this volume";
  EXPECT_TRUE(platform::EqualsNoCase(win32::Narrow(spelled), win32::Narrow(longFolder)))
      << win32::Narrow(shortFolder) << " became " << win32::Narrow(spelled);
}

TEST(Win32PathsTest, APathThatCannotBeReachedStaysAsItIs) {
  const std::wstring missing = L"C:\\No Such Folder 7f3a\\pmpro.exe";
  EXPECT_EQ(win32::LongPath(missing), missing);
}

}  // namespace
}  // namespace pm::tests
