// The portable headers spell some of Windows' numbers themselves, so that
// the code above the platform never includes <windows.h>. Here each is held
// to the header it was copied from: a number that differs does not compile.
// (The root keys are pointers cast from numbers in winreg.h, which no
// constant expression can read; the registry contract suite opens each.)
#include <windows.h>

#include "platform/Registry.h"
#include "platform/ServiceChannel.h"
#include "platform/Shell.h"
#include "platform/Ui.h"

namespace pm::platform {

static_assert(reg_error::kSuccess == ERROR_SUCCESS);
static_assert(reg_error::kFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(reg_error::kAccessDenied == ERROR_ACCESS_DENIED);
static_assert(reg_error::kInvalidHandle == ERROR_INVALID_HANDLE);
static_assert(reg_error::kWriteFault == ERROR_WRITE_FAULT);
static_assert(reg_error::kInvalidParameter == ERROR_INVALID_PARAMETER);
static_assert(reg_error::kAlreadyExists == ERROR_ALREADY_EXISTS);
static_assert(reg_error::kMoreData == ERROR_MORE_DATA);
static_assert(reg_error::kNoMoreItems == ERROR_NO_MORE_ITEMS);
static_assert(reg_error::kKeyDeleted == ERROR_KEY_DELETED);
static_assert(reg_error::kPrivilegeNotHeld == ERROR_PRIVILEGE_NOT_HELD);

static_assert(reg_type::kNone == REG_NONE);
static_assert(reg_type::kSz == REG_SZ);
static_assert(reg_type::kExpandSz == REG_EXPAND_SZ);
static_assert(reg_type::kBinary == REG_BINARY);
static_assert(reg_type::kDword == REG_DWORD);
static_assert(reg_type::kDwordBigEndian == REG_DWORD_BIG_ENDIAN);
static_assert(reg_type::kLink == REG_LINK);
static_assert(reg_type::kMultiSz == REG_MULTI_SZ);

static_assert(reg_access::kRead == KEY_READ);
static_assert(reg_access::kWrite == KEY_WRITE);
static_assert(reg_access::kAllAccess == KEY_ALL_ACCESS);
static_assert(reg_access::kSetValue == KEY_SET_VALUE);
// What RegDeleteTree asks of the key it empties.
static_assert(reg_access::kDeleteTree ==
              (DELETE | KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS));
static_assert(kRegForceRestore == REG_FORCE_RESTORE);

static_assert(kShowNormal == SW_SHOWNORMAL);
static_assert(kShowNormalNoActivate == SW_SHOWNOACTIVATE);
static_assert(kShowMinimizedNoActivate == SW_SHOWMINNOACTIVE);

static_assert(kWmLButtonDblClk == WM_LBUTTONDBLCLK);
static_assert(kWmRButtonUp == WM_RBUTTONUP);
// Ours, not Windows': it must not be taken for a mouse message.
static_assert(kTaskbarCreated > WM_MOUSELAST);

// Ours too: the bit Windows leaves to applications, which no Win32 error uses.
static_assert((service_error::kNotTheService & APPLICATION_ERROR_MASK) != 0);

}  // namespace pm::platform
