// Exports whose work needs the settings dialog. Until it exists it refuses
// with the status that fits: the dialog cannot be shown.

#include "varnht32/include/varnht32.h"
#include "varnht32/src/library_frame.h"

using namespace vnh;

extern "C" {

VNH_API std::int32_t VNH_CALL VNHShowCommInfoDialog(void*) {
  if (CurrentClient() == 0) return -2;
  return -4;
}

}  // extern "C"
