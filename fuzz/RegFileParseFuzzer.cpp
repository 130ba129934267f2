// libFuzzer target: the whole export file parser, on any bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "RegFileCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const pm::platform::Result<pm::store::RegFileRead> parsed =
      pm::store::ParseRegFile(std::span<const std::uint8_t>(data, size), pm::fuzz::kRootName);
  if (parsed) pm::fuzz::CheckRoundTrip(parsed->content);
  return 0;
}
