#include "store/WireFormat.h"

namespace pm::store {

void WireWriter::U32(std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    bytes_.push_back(static_cast<std::uint8_t>(value >> shift));
}

void WireWriter::Bytes(std::span<const std::uint8_t> data) {
  U32(static_cast<std::uint32_t>(data.size()));
  bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void WireWriter::Text(std::string_view text) {
  Bytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

bool WireReader::U8(std::uint8_t& value) {
  if (bytes_.size() - offset_ < 1) return false;
  value = bytes_[offset_++];
  return true;
}

bool WireReader::U32(std::uint32_t& value) {
  if (bytes_.size() - offset_ < 4) return false;
  value = 0;
  for (int i = 0; i < 4; ++i) value |= std::uint32_t{bytes_[offset_ + i]} << (8 * i);
  offset_ += 4;
  return true;
}

bool WireReader::Bytes(ByteArray& data, std::size_t limit) {
  std::uint32_t size = 0;
  if (!U32(size) || size > limit || size > bytes_.size() - offset_) return false;
  data.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(offset_),
              bytes_.begin() + static_cast<std::ptrdiff_t>(offset_ + size));
  offset_ += size;
  return true;
}

bool WireReader::Text(std::string& text, std::size_t limit) {
  ByteArray data;
  if (!Bytes(data, limit)) return false;
  text.assign(data.begin(), data.end());
  return true;
}

}  // namespace pm::store
