#include "varnht32/src/value_items.h"

#include <cstring>

#include "varnht32/src/library_frame.h"
#include "varnht32/src/trace.h"

namespace vnh {

static_assert(sizeof(VNHStringItem) == 260);
static_assert(sizeof(VNHBitStringItem) == 264);
static_assert(sizeof(VNHArrayItem) == 1032);

namespace {

struct ItemKind {
  std::uint32_t value_type;
  std::uint16_t block_type;
  Pool SharedState::*pool;
};

constexpr ItemKind kItemKinds[] = {
    {VNH_VALUE_STRING, kTypeStringItem, &SharedState::string_item_pool},
    {VNH_VALUE_BIT_STRING, kTypeBitStringItem, &SharedState::bit_string_item_pool},
    {VNH_VALUE_ARRAY, kTypeArrayItem, &SharedState::array_item_pool},
};

const ItemKind* KindOfValue(std::uint32_t value_type) {
  for (const ItemKind& k : kItemKinds) {
    if (k.value_type == value_type) return &k;
  }
  return nullptr;
}

const ItemKind* KindOfBlock(std::uint16_t block_type) {
  for (const ItemKind& k : kItemKinds) {
    if (k.block_type == block_type) return &k;
  }
  return nullptr;
}

// A new item on the list of allocated items, its bytes cleared; 0 when none is left.
std::uint32_t NewItem(const ItemKind& kind) {
  SharedState& s = Shared();
  Heap heap = SharedHeap();
  std::uint32_t item = PoolGet(heap, s.*kind.pool);
  if (item == 0) return 0;
  std::memset(heap.Bytes(item), 0, RegisteredSize(kind.block_type));
  heap.Into(item, s.services.allocated_items);
  return item;
}

void* ItemPointer(std::uint32_t item) { return SharedHeap().Bytes(item); }

// The item a pointer of the caller names: only the data of a live item of the
// expected type, handed out in this segment, is taken.
std::uint32_t ItemOf(const void* pointer, std::uint16_t block_type) {
  if (pointer == nullptr) return 0;
  Heap heap = SharedHeap();
  auto address = reinterpret_cast<std::uintptr_t>(pointer);
  auto base = reinterpret_cast<std::uintptr_t>(heap.base());
  if (address < base + kBlockHeaderSize || address - base > 0xFFFFFFFFu) return 0;
  auto block = static_cast<std::uint32_t>(address - base - kBlockHeaderSize);
  return heap.CheckHandle(block, block_type) == 1 ? block : 0;
}

}  // namespace

void SetUpValueItems() { Shared().services.allocated_items = SharedHeap().NewListHead(); }

std::int32_t AllocateItemInContainer(VNHVariableValue* container, std::uint32_t slot,
                                     std::uint32_t value_type) {
  if (slot < 1 || slot > kContainerSlots) return -37;
  if (container == nullptr) return -2;
  const ItemKind* kind = KindOfValue(value_type);
  std::uint32_t item = kind != nullptr ? NewItem(*kind) : 0;
  VNHValuePair& pair = container->pair[slot];
  if (item == 0) {
    pair.type = 0;
    pair.value.word = 0;
    return -4;
  }
  pair.type = value_type;
  void* p = ItemPointer(item);
  switch (value_type) {
    case VNH_VALUE_STRING: pair.value.string = static_cast<VNHStringItem*>(p); break;
    case VNH_VALUE_BIT_STRING: pair.value.bits = static_cast<VNHBitStringItem*>(p); break;
    default: pair.value.array = static_cast<VNHArrayItem*>(p); break;
  }
  if (value_type == VNH_VALUE_ARRAY) pair.value.array->type = VNH_VALUE_INTEGER;
  return 1;
}

std::int32_t ReadContainerValue(const VNHVariableValue& container, PlainValue* out) {
  *out = PlainValue{};
  if (container.pair[0].type != 0 || container.pair[0].value.word != 1) return -6;
  const VNHValuePair& pair = container.pair[1];
  out->kind = pair.type;
  Heap heap = SharedHeap();
  switch (pair.type) {
    case VNH_VALUE_BOOLEAN: out->boolean = pair.value.boolean; return 1;
    case VNH_VALUE_INTEGER: out->integer = pair.value.integer; return 1;
    case VNH_VALUE_REAL: out->real = pair.value.real; return 1;
    case VNH_VALUE_STRING: {
      std::uint32_t item = ItemOf(pair.value.string, kTypeStringItem);
      if (item == 0) return -5;
      const auto* s = heap.Data<VNHStringItem>(item);
      out->length = s->length < sizeof s->text ? s->length : sizeof s->text;
      std::memcpy(out->text, s->text, out->length);
      return 1;
    }
    case VNH_VALUE_BIT_STRING: {
      std::uint32_t item = ItemOf(pair.value.bits, kTypeBitStringItem);
      if (item == 0) return -5;
      const auto* b = heap.Data<VNHBitStringItem>(item);
      out->first = b->first;
      out->count = b->count;
      std::memcpy(out->bits, b->bits, sizeof out->bits);
      return 1;
    }
    case VNH_VALUE_ARRAY: {
      std::uint32_t item = ItemOf(pair.value.array, kTypeArrayItem);
      if (item == 0) return -5;
      const auto* a = heap.Data<VNHArrayItem>(item);
      if (a->type < VNH_VALUE_BOOLEAN || a->type > VNH_VALUE_REAL) return -5;
      out->element_type = a->type;
      out->first = a->start;
      out->count = a->count;
      std::uint32_t n = a->count < kArrayMax ? a->count : kArrayMax;
      std::memcpy(out->element, a->element, n * sizeof a->element[0]);
      return 1;
    }
    default:
      return -5;
  }
}

void ClearContainer(VNHVariableValue* container) {
  std::memset(container, 0, sizeof *container);
}

std::int32_t WriteContainerValue(VNHVariableValue* container, const PlainValue& value) {
  ClearContainer(container);
  container->pair[0].value.word = 1;
  VNHValuePair& pair = container->pair[1];
  pair.type = value.kind;
  switch (value.kind) {
    case VNH_VALUE_BOOLEAN: pair.value.boolean = value.boolean; return 1;
    case VNH_VALUE_INTEGER: pair.value.integer = value.integer; return 1;
    case VNH_VALUE_REAL: pair.value.real = value.real; return 1;
    default: break;
  }
  std::int32_t status = AllocateItemInContainer(container, 1, value.kind);
  if (status != 1) return status;
  switch (value.kind) {
    case VNH_VALUE_STRING: {
      VNHStringItem* s = pair.value.string;
      s->length = value.length < kStringMax ? value.length : kStringMax;
      std::memcpy(s->text, value.text, s->length);
      return 1;
    }
    case VNH_VALUE_BIT_STRING: {
      VNHBitStringItem* b = pair.value.bits;
      b->first = value.first;
      b->count = value.count;
      std::memcpy(b->bits, value.bits, sizeof b->bits);
      return 1;
    }
    default: {
      VNHArrayItem* a = pair.value.array;
      a->type = value.element_type;
      a->start = value.first;
      a->count = value.count < kArrayMax ? value.count : kArrayMax;
      std::memcpy(a->element, value.element, a->count * sizeof a->element[0]);
      return 1;
    }
  }
}

void ReleaseAllItems(VNHVariableValue* container) {
  SharedState& s = Shared();
  Heap heap = SharedHeap();
  while (std::uint32_t item = heap.First(s.services.allocated_items)) {
    heap.Takeout(item);
    const ItemKind* kind = KindOfBlock(heap.BlockType(item));
    if (kind == nullptr) {
      Trace("Runtime error: unknown type in OCReleaseAllInVV()");
      continue;
    }
    PoolPut(heap, s.*kind->pool, &item);
  }
  if (container == nullptr) return;
  std::uint32_t count = container->pair[0].value.word;
  if (count > kContainerSlots) count = kContainerSlots;
  for (std::uint32_t i = 1; i <= count; ++i) container->pair[i] = VNHValuePair{};
}

}  // namespace vnh
