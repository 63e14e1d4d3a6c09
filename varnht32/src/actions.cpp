#include "varnht32/src/actions.h"

#include <cstring>

#include "varnht32/src/identifiers.h"
#include "varnht32/src/library_frame.h"

namespace vnh {

Action* ActionOf(std::uint32_t action) { return SharedHeap().Data<Action>(action); }

void SetUpActions() {
  Heap heap = SharedHeap();
  PoolSetUp(heap, Shared().services.action_pool, 0, 1, kTypeAction);
}

std::uint32_t NewAction(std::uint32_t owner, std::uint32_t user_value, std::uint32_t kind,
                        std::int32_t* status) {
  Heap heap = SharedHeap();
  std::uint32_t action = PoolGet(heap, Shared().services.action_pool);
  if (action == 0) {
    *status = -4;
    return 0;
  }
  Action* a = ActionOf(action);
  std::memset(a, 0, sizeof *a);
  a->timed = 1;
  a->user_value = user_value;
  a->owner = owner;
  a->kind = kind;
  *status = 1;
  return action;
}

void FreeAction(std::uint32_t action) {
  if (action == 0) return;
  Heap heap = SharedHeap();
  heap.Takeout(action);
  PoolPut(heap, Shared().services.action_pool, &action);
}

void StoreIdentifier(ActionArea& area, const VNHIdentifier* record) {
  std::memset(&area, 0, sizeof area);
  SetIdentifierText(&area.identifier, IdentifierText(record));
}

}  // namespace vnh
