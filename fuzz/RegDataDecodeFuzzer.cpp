// libFuzzer target: the decoder of one value's data ("text", dword:, hex:,
// hex(type):), on any text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "RegFileCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const pm::platform::Result<pm::store::RegData> decoded =
      pm::store::DecodeRegData(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!decoded) return 0;
  pm::store::RegFileContent content;
  content.keys.push_back({"", {{"v", decoded->type, decoded->data}}});
  pm::fuzz::CheckRoundTrip(content);
  return 0;
}
