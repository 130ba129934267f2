// libFuzzer target: the whole export file parser, on any bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "RegFileCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const pm::store::RegFileParse parsed =
      pm::store::ParseRegFile(std::span<const std::uint8_t>(data, size), pm::fuzz::kRootName);
  if (parsed.ok) pm::fuzz::CheckRoundTrip(parsed.content);
  return 0;
}
