// The simulated backend's PBKDF2-HMAC-SHA256: SHA-256 as FIPS 180-4 gives
// it, HMAC with the key's inner and outer states computed once, so each of
// the many iterations costs two compressions.
#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>

#include "platform/Crypto.h"
#include "platform/sim/SimCrypto.h"

namespace pm::platform {
namespace {

constexpr std::size_t kBlockSize = 64;
constexpr std::size_t kDigestSize = 32;

constexpr std::uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr std::array<std::uint32_t, 8> kInitialState = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

using State = std::array<std::uint32_t, 8>;
using Block = std::array<std::uint8_t, kBlockSize>;
using Digest = std::array<std::uint8_t, kDigestSize>;

constexpr std::uint32_t Rotr(std::uint32_t x, int n) {
  return (x >> n) | (x << (32 - n));
}

void Compress(State& stateArray, const std::uint8_t* block) {
  std::uint32_t* const state = stateArray.data();
  std::uint32_t w[64];
  for (int i = 0; i < 16; ++i) {
    w[i] = (std::uint32_t{block[4 * i]} << 24) | (std::uint32_t{block[4 * i + 1]} << 16) |
           (std::uint32_t{block[4 * i + 2]} << 8) | std::uint32_t{block[4 * i + 3]};
  }
  for (int i = 16; i < 64; ++i) {
    const std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
    const std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
    w[i] = w[i - 16] + s0 + w[i - 7] + s1;
  }
  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
  for (int i = 0; i < 64; ++i) {
    const std::uint32_t s1 = Rotr(e, 6) ^ Rotr(e, 11) ^ Rotr(e, 25);
    const std::uint32_t choose = (e & f) ^ (~e & g);
    const std::uint32_t t1 = h + s1 + choose + kRoundConstants[i] + w[i];
    const std::uint32_t s0 = Rotr(a, 2) ^ Rotr(a, 13) ^ Rotr(a, 22);
    const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
    const std::uint32_t t2 = s0 + majority;
    h = g;
    g = f;
    f = e;
    e = d + t1;
    d = c;
    c = b;
    b = a;
    a = t1 + t2;
  }
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
  state[4] += e;
  state[5] += f;
  state[6] += g;
  state[7] += h;
}

Digest ToDigest(const State& state) {
  Digest out{};
  for (std::size_t i = 0; i < 8; ++i) {
    out[4 * i] = static_cast<std::uint8_t>(state[i] >> 24);
    out[4 * i + 1] = static_cast<std::uint8_t>(state[i] >> 16);
    out[4 * i + 2] = static_cast<std::uint8_t>(state[i] >> 8);
    out[4 * i + 3] = static_cast<std::uint8_t>(state[i]);
  }
  return out;
}

// SHA-256 of `data`, continuing from `state` after `prefixBlocks` whole
// blocks were already compressed into it.
Digest FinishSha256(State state, std::size_t prefixBlocks, std::span<const std::uint8_t> data) {
  const std::uint64_t bitLength = (prefixBlocks * kBlockSize + data.size()) * 8;
  std::size_t at = 0;
  for (; at + kBlockSize <= data.size(); at += kBlockSize) Compress(state, data.data() + at);
  Block tail{};
  const std::size_t rest = data.size() - at;
  if (rest > 0) std::memcpy(tail.data(), data.data() + at, rest);
  tail[rest] = 0x80;
  if (rest + 1 > kBlockSize - 8) {
    Compress(state, tail.data());
    tail.fill(0);
  }
  for (int i = 0; i < 8; ++i)
    tail[kBlockSize - 1 - i] = static_cast<std::uint8_t>(bitLength >> (8 * i));
  Compress(state, tail.data());
  return ToDigest(state);
}

// HMAC-SHA256 with a fixed key: the key's padded blocks are compressed once.
class Hmac {
 public:
  explicit Hmac(std::span<const std::uint8_t> key) {
    Block padded{};
    if (key.size() > kBlockSize) {
      const Digest hashed = FinishSha256(kInitialState, 0, key);
      std::memcpy(padded.data(), hashed.data(), hashed.size());
    } else if (!key.empty()) {
      std::memcpy(padded.data(), key.data(), key.size());
    }
    Block inner{};
    Block outer{};
    for (std::size_t i = 0; i < kBlockSize; ++i) {
      inner[i] = padded[i] ^ 0x36;
      outer[i] = padded[i] ^ 0x5c;
    }
    inner_ = kInitialState;
    outer_ = kInitialState;
    Compress(inner_, inner.data());
    Compress(outer_, outer.data());
  }

  Digest Mac(std::span<const std::uint8_t> message) const {
    const Digest innerDigest = FinishSha256(inner_, 1, message);
    return FinishSha256(outer_, 1, innerDigest);
  }

  // The MAC of a 32-byte message, the step PBKDF2 repeats: both final
  // blocks are laid out once and only their first 32 bytes change.
  void MacDigest(Digest& inOut, Block& innerBlock, Block& outerBlock) const {
    std::memcpy(innerBlock.data(), inOut.data(), kDigestSize);
    State state = inner_;
    Compress(state, innerBlock.data());
    const Digest innerDigest = ToDigest(state);
    std::memcpy(outerBlock.data(), innerDigest.data(), kDigestSize);
    state = outer_;
    Compress(state, outerBlock.data());
    inOut = ToDigest(state);
  }

 private:
  State inner_{};
  State outer_{};
};

// The final block of SHA-256 over one key block and a 32-byte message.
Block DigestMessageBlock() {
  Block block{};
  block[kDigestSize] = 0x80;
  const std::uint64_t bitLength = (kBlockSize + kDigestSize) * 8;
  for (int i = 0; i < 8; ++i)
    block[kBlockSize - 1 - i] = static_cast<std::uint8_t>(bitLength >> (8 * i));
  return block;
}

// Outages in force; the hash runs on background threads.
std::atomic<int> outages{0};

void FailDuringAnOutage(const char* what) {
  if (outages.load() > 0) throw std::runtime_error(std::string(what) + " failed (no provider)");
}

}  // namespace

std::vector<std::uint8_t> Pbkdf2Sha256(std::string_view password,
                                       std::span<const std::uint8_t> salt, std::uint32_t iterations,
                                       std::size_t length) {
  FailDuringAnOutage("PBKDF2");
  if (iterations == 0) throw std::runtime_error("PBKDF2 needs at least one iteration");
  const Hmac hmac(
      std::span(reinterpret_cast<const std::uint8_t*>(password.data()), password.size()));
  std::vector<std::uint8_t> result;
  result.reserve(length);
  std::vector<std::uint8_t> saltAndIndex(salt.begin(), salt.end());
  saltAndIndex.resize(salt.size() + 4);
  Block innerBlock = DigestMessageBlock();
  Block outerBlock = DigestMessageBlock();
  for (std::uint32_t blockIndex = 1; result.size() < length; ++blockIndex) {
    for (int i = 0; i < 4; ++i) {
      saltAndIndex[salt.size() + i] = static_cast<std::uint8_t>(blockIndex >> (24 - 8 * i));
    }
    Digest u = hmac.Mac(saltAndIndex);
    Digest t = u;
    for (std::uint32_t i = 1; i < iterations; ++i) {
      hmac.MacDigest(u, innerBlock, outerBlock);
      for (std::size_t j = 0; j < kDigestSize; ++j) t[j] ^= u[j];
    }
    const std::size_t take = std::min(kDigestSize, length - result.size());
    result.insert(result.end(), t.begin(), t.begin() + static_cast<std::ptrdiff_t>(take));
  }
  return result;
}

std::vector<std::uint8_t> RandomBytes(std::size_t count) {
  FailDuringAnOutage("The random source");
  std::random_device source;
  std::vector<std::uint8_t> bytes(count);
  for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(source());
  return bytes;
}

}  // namespace pm::platform

namespace pm::sim {

CryptoOutage::CryptoOutage() {
  ++platform::outages;
}

CryptoOutage::~CryptoOutage() {
  --platform::outages;
}

}  // namespace pm::sim
