#pragma once

namespace vnh {

// Sets up every module of the library, once for the machine (the first
// InitVarnholtnet in the system), under the library mutex.
void SetUpModules();

}  // namespace vnh
