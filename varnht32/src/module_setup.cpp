#include "varnht32/src/module_setup.h"

#include <cstring>

#include "varnht32/src/channels.h"
#include "varnht32/src/client.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/system_variables.h"

namespace vnh {

namespace {

constexpr std::uint8_t kDefaultOption = 0x21;  // '!'
constexpr std::uint32_t kDefaultSoftware = 276;

void SetUpVariableValuePools() {
  SharedState& s = Shared();
  Heap heap = SharedHeap();
  PoolSetUp(heap, s.string_item_pool, 0, 1, kTypeStringItem);
  PoolSetUp(heap, s.bit_string_item_pool, 0, 1, kTypeBitStringItem);
  PoolSetUp(heap, s.array_item_pool, 0, 1, kTypeArrayItem);
}

void SetDefaultIdentity() {
  Identity& id = Shared().default_identity;
  std::memcpy(id.name, "VNH  ", 5);
  id.restart = 0;
  id.option = kDefaultOption;
  id.spare = 0;
  id.software = kDefaultSoftware;
}

}  // namespace

void SetUpModules() {
  ++Shared().module_setups;
  // The settings come first: `PoolAllowed` decides how every pool starts.
  ReadSettingsFile();
  SetUpVariableValuePools();
  SetUpClientModule();
  DefineLibraryVariables();
  SetDefaultIdentity();
  SetUpChannelModule();
}

}  // namespace vnh
