#include "contract/RegistryContract.h"
#include "platform/sim/SimRegistry.h"

namespace pm::tests {

INSTANTIATE_TEST_SUITE_P(Backend, RegistryContract,
                         ::testing::Values(RegistryBackend{
                             "Sim", [] { return std::make_unique<sim::SimRegistry>(); }, true}),
                         BackendName);

}  // namespace pm::tests
