// Exports whose work needs the system variables or the settings dialog. Until
// those exist they take the lock and refuse with the status that fits: no
// system variable is defined, and the dialog cannot be shown.

#include "varnht32/include/varnht32.h"
#include "varnht32/src/library_frame.h"

using namespace vnh;

namespace {

void SetStatus(std::int32_t* status, std::int32_t value) {
  if (status != nullptr) *status = value;
}

}  // namespace

extern "C" {

VNH_API std::int32_t VNH_CALL VNHAssignSystemVariable(const VNHIdentifier*, const VNHValue*,
                                                       std::int32_t* status) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  SetStatus(status, -28);
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHGetSystemVariable(const VNHIdentifier*, VNHValue*,
                                                    std::int32_t* status) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  SetStatus(status, -28);
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHShowCommInfoDialog(void*) {
  if (CurrentClient() == 0) return -2;
  return -4;
}

}  // extern "C"
