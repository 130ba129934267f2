// An owner that closes its handle on a failure's way out leaves the failure's
// last error for the caller to read.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Handles.h"

namespace pm::tests {
namespace {

// A close that fails, as closing an ended process's or a destroyed
// window's handle may: it sets an error of its own.
void CloseAndFail(int) noexcept {
  SetLastError(ERROR_INVALID_HANDLE);
}
using FailingClose = win32::UniqueHandle<int, CloseAndFail, -1>;

TEST(UniqueHandleTest, ClosingKeepsTheLastErrorOfTheFailureBeforeIt) {
  FailingClose reset(1);
  SetLastError(ERROR_FILE_NOT_FOUND);
  reset.reset();
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << "reset";

  {
    FailingClose scoped(2);
    SetLastError(ERROR_ACCESS_DENIED);
  }
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << "end of scope";

  FailingClose replaced(3);
  SetLastError(ERROR_PIPE_BUSY);
  replaced = FailingClose(4);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PIPE_BUSY)) << "move assignment";
}

}  // namespace
}  // namespace pm::tests
