// The service on a simulated PC: a journal in memory, a clock the test
// moves, and a registry that can die half-way through a change as a
// process does when it is killed or the power goes.
#pragma once

#include <chrono>
#include <optional>
#include <stdexcept>

#include "platform/ServiceChannel.h"
#include "platform/sim/SimRegistry.h"
#include "service/SettingsService.h"
#include "store/SettingsTransaction.h"

namespace pm::tests {

class MemoryJournal final : public store::ChangeJournal {
 public:
  store::RegResult Write(std::span<const std::uint8_t> bytes) override {
    if (refuseWrites) return platform::Error{platform::reg_error::kWriteFault, {}};
    bytes_ = store::ByteArray(bytes.begin(), bytes.end());
    return {};
  }
  std::optional<store::ByteArray> Read() override { return bytes_; }
  store::RegResult Clear() override {
    if (refuseClearing) return platform::Error{platform::reg_error::kAccessDenied, {}};
    bytes_.reset();
    return {};
  }
  bool holdsChange() const { return bytes_.has_value(); }
  bool refuseWrites = false;
  bool refuseClearing = false;

 private:
  std::optional<store::ByteArray> bytes_;
};

// The pipe, in one process: the registry takes writes only while the
// service handles a request.
class InProcessService final : public platform::ServiceChannel {
 public:
  InProcessService(sim::SimRegistry& registry, service::SettingsService& service,
                   std::uint32_t session = 0)
      : registry_(registry), service_(service), session_(session) {}
  // From now on only the service writes.
  void Open() { DenyEveryoneElse(); }
  std::int32_t Transact(std::span<const std::uint8_t> request,
                        std::vector<std::uint8_t>& reply) override {
    ++requests;
    registry_.AllowWrites();
    service::Caller caller;
    caller.session = session_;
    reply = service_.Serve(request, caller);
    DenyEveryoneElse();
    return 0;
  }
  int requests = 0;

 private:
  void DenyEveryoneElse() { registry_.DenyWrites(platform::RootKey::LocalMachine, "SOFTWARE"); }
  sim::SimRegistry& registry_;
  service::SettingsService& service_;
  std::uint32_t session_;  // the caller's, as the pipe tells the service
};

struct ProcessKilled : std::runtime_error {
  ProcessKilled() : std::runtime_error("killed") {}
};

// Passes everything to a SimRegistry; the process "dies" (ProcessKilled)
// when the change's `writesLeft` are used up, and an enumeration fails when
// `failEnumeration` is set.
class DyingRegistry final : public platform::Registry {
 public:
  explicit DyingRegistry(sim::SimRegistry& real) : real_(real) {}
  std::optional<int> writesLeft;
  bool failEnumeration = false;

  platform::RegStatus OpenKey(platform::RootKey root, std::string_view path, std::uint32_t access,
                              Handle& key) override {
    return real_.OpenKey(root, path, access, key);
  }
  platform::RegStatus CreateKey(platform::RootKey root, std::string_view path, std::uint32_t access,
                                Handle& key, bool& existed) override {
    Write();
    return real_.CreateKey(root, path, access, key, existed);
  }
  void CloseKey(Handle key) noexcept override { real_.CloseKey(key); }
  platform::RegStatus QueryValue(Handle key, std::string_view name, std::uint32_t& type,
                                 std::span<std::uint8_t> buffer, std::uint32_t& size) override {
    return real_.QueryValue(key, name, type, buffer, size);
  }
  platform::RegStatus SetValue(Handle key, std::string_view name, std::uint32_t type,
                               std::span<const std::uint8_t> data) override {
    Write();
    return real_.SetValue(key, name, type, data);
  }
  platform::RegStatus DeleteValue(Handle key, std::string_view name) override {
    Write();
    return real_.DeleteValue(key, name);
  }
  platform::RegStatus DeleteKey(platform::RootKey root, std::string_view path) override {
    Write();
    return real_.DeleteKey(root, path);
  }
  platform::RegStatus DeleteTree(platform::RootKey root, std::string_view path) override {
    Write();
    return real_.DeleteTree(root, path);
  }
  platform::RegStatus EnumKey(Handle key, std::uint32_t index, std::string& name) override {
    return real_.EnumKey(key, index, name);
  }
  platform::RegStatus EnumValue(Handle key, std::uint32_t index, std::string& name,
                                std::uint32_t& type, std::vector<std::uint8_t>& data) override {
    if (failEnumeration) return platform::reg_error::kInvalidHandle;
    return real_.EnumValue(key, index, name, type, data);
  }
  platform::RegStatus SaveKey(Handle key, const std::string& filePath) override {
    return real_.SaveKey(key, filePath);
  }
  platform::RegStatus RestoreKey(Handle key, const std::string& filePath,
                                 std::uint32_t flags) override {
    return real_.RestoreKey(key, filePath, flags);
  }
  bool EnablePrivilege(std::string_view privilegeName) override {
    return real_.EnablePrivilege(privilegeName);
  }
  platform::RegStatus ProtectKey(platform::RootKey root, std::string_view path,
                                 platform::KeyRules rules) override {
    return real_.ProtectKey(root, path, rules);
  }

 private:
  void Write() {
    if (writesLeft && (*writesLeft)-- == 0) throw ProcessKilled();
  }
  sim::SimRegistry& real_;
};

// The service's pipe, in one process: every request goes to `service` as
// from `caller`; while `unreachable`, nothing gets through.
class LoopbackChannel final : public platform::ServiceChannel {
 public:
  explicit LoopbackChannel(service::SettingsService& service, service::Caller caller = {})
      : service_(service), caller_(std::move(caller)) {}
  std::int32_t Transact(std::span<const std::uint8_t> request,
                        std::vector<std::uint8_t>& reply) override {
    constexpr std::int32_t kFileNotFound = 2;
    if (unreachable) return kFileNotFound;
    ++requests;
    reply = service_.Serve(request, caller_);
    return 0;
  }
  bool unreachable = false;
  int requests = 0;

 private:
  service::SettingsService& service_;
  service::Caller caller_;
};

}  // namespace pm::tests
