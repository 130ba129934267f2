// The registry access layer's suite, run against every Registry backend: the
// in-memory one natively and the real registry under Wine, so the fake is
// proven to behave like the real thing.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/Registry.h"

namespace pm::tests {

struct RegistryBackend {
  std::string name;
  std::function<std::unique_ptr<platform::Registry>()> make;
  // Wine's RegRestoreKey returns success and restores nothing.
  bool restoresHives = true;
};

class RegistryContract : public ::testing::TestWithParam<RegistryBackend> {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A key that was not there is removed already.
  void RemoveBase();

  // A key of this test's own below HKLM, absent at the start of the test.
  std::string Key(std::string_view subkey = {}) const;
  void SetRaw(std::string_view subkey, std::string_view name, std::uint32_t type,
              std::vector<std::uint8_t> data);
  std::uint32_t RawType(std::string_view subkey, std::string_view name, std::uint32_t& size);

  std::unique_ptr<platform::Registry> registry_;
  std::string base_;
};

std::string BackendName(const ::testing::TestParamInfo<RegistryBackend>& info);

}  // namespace pm::tests
