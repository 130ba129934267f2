#include "platform/win32/Win32Security.h"

#include <sddl.h>

namespace pm::win32 {

UniqueSecurityDescriptor SecurityDescriptorFromSddl(const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor,
                                                            nullptr)) {
    return {};
  }
  return UniqueSecurityDescriptor(descriptor);
}

}  // namespace pm::win32
