// The time of one password check with the stored count (600,000 rounds of
// PBKDF2-HMAC-SHA256): what the prompt costs the owner after OK, and what
// each guess costs anyone trying passwords.
#include <benchmark/benchmark.h>

#include "store/PasswordCheck.h"

namespace {

void BM_PasswordCheck(benchmark::State& state) {
  const std::string stored =
      pm::store::HashPassword("secret", static_cast<std::uint32_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(pm::store::PasswordMatches("secret", stored));
}
BENCHMARK(BM_PasswordCheck)
    ->Arg(pm::store::kPasswordHashIterations)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
