// The simulated PC's crypto provider can be made to fail, as the system's
// may (a provider that is missing or broken): while a CryptoOutage lives,
// every call of platform/Crypto.h throws as the Windows backend does.
#pragma once

namespace pm::sim {

class CryptoOutage {
 public:
  CryptoOutage();
  ~CryptoOutage();
  CryptoOutage(const CryptoOutage&) = delete;
  CryptoOutage& operator=(const CryptoOutage&) = delete;
};

}  // namespace pm::sim
