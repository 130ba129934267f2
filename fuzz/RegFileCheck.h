// What the fuzz targets of the export file reader check besides the
// sanitizers: whatever was read can be written, and reads back the same.
#pragma once

#include <cstdlib>
#include <string_view>

#include "store/RegFile.h"

namespace pm::fuzz {

inline constexpr std::string_view kRootName = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Pelmora Pro";

inline bool SameContent(const store::RegFileContent& a, const store::RegFileContent& b) {
  if (a.keys.size() != b.keys.size()) return false;
  for (std::size_t k = 0; k < a.keys.size(); ++k) {
    const store::RegFileKey& x = a.keys[k];
    const store::RegFileKey& y = b.keys[k];
    if (x.path != y.path || x.values.size() != y.values.size()) return false;
    for (std::size_t i = 0; i < x.values.size(); ++i) {
      if (x.values[i].name != y.values[i].name || x.values[i].type != y.values[i].type ||
          x.values[i].data != y.values[i].data) {
        return false;
      }
    }
  }
  return true;
}

// Writes the content and reads it back; a difference is a bug in one of them.
inline void CheckRoundTrip(const store::RegFileContent& content) {
  const platform::Result<store::ByteArray> written = store::WriteRegFile(kRootName, content);
  if (!written) return;  // a name with a line break, which the format cannot hold
  const platform::Result<store::RegFileRead> again = store::ParseRegFile(*written, kRootName);
  if (!again || !SameContent(again->content, content)) std::abort();
}

}  // namespace pm::fuzz
