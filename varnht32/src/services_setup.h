#pragma once
// Set-up of the protocol services at the first InitVarnholtnet of the machine.

namespace vnh {

// The stream table, the name and report lists, the container items, the
// action pool and the association module with its global association.
void SetUpServices();

}  // namespace vnh
