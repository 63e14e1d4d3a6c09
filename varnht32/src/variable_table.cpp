#include "varnht32/src/variable_table.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "varnht32/src/block_types.h"

namespace vnh {

static_assert(sizeof(VariableRecord) <= RegisteredSize(kTypeSystemVariable));
static_assert(kSettingsEntriesMax == VariableTable::kMaxVariables);

namespace {

constexpr std::uint16_t StorageType(VariableType type) {
  switch (type) {
    case kVariableBoolean: return kTypeBooleanStorage;
    case kVariableInteger: return kTypeIntegerStorage;
    case kVariableReal: return kTypeRealStorage;
    case kVariableString: return kTypeStringStorage;
  }
  return kTypeNull;
}

constexpr std::uint32_t StorageBytes(VariableType type) {
  return type == kVariableString ? kVariableTextStorage : (type == kVariableBoolean ? 1 : 4);
}

std::uint32_t LoadWord(const Heap& heap, std::uint32_t block) {
  std::uint32_t w = 0;
  std::memcpy(&w, heap.Bytes(block), sizeof w);
  return w;
}

void StoreWord(const Heap& heap, std::uint32_t block, std::uint32_t w) {
  std::memcpy(heap.Bytes(block), &w, sizeof w);
}

std::string_view LoadText(const Heap& heap, std::uint32_t block) {
  const char* text = reinterpret_cast<const char*>(heap.Bytes(block));
  return std::string_view(text, strnlen(text, kVariableTextMax));
}

void StoreText(const Heap& heap, std::uint32_t block, std::string_view text) {
  text = VariableText(text);
  char* out = reinterpret_cast<char*>(heap.Bytes(block));
  std::memset(out, 0, kVariableTextStorage);
  std::memcpy(out, text.data(), text.size());
}

std::uint32_t IntegerWord(double v) {
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
}

VariableDefinition FileDefinition(std::string_view name, const VariableValue& v) {
  double limit = v.type == kVariableReal ? kRealLimit : kIntegerLimit;
  return VariableDefinition{name, v.type, v.boolean, v.integer, v.real, v.text, -limit, limit};
}

VariableValue ValueOf(const VariableDefinition& d) {
  VariableValue v;
  v.type = d.type;
  v.boolean = d.boolean;
  v.integer = d.integer;
  v.real = d.real;
  v.text = std::string(VariableText(d.text));
  return v;
}

const char* TypeName(std::uint32_t type) {
  switch (type) {
    case kVariableBoolean: return "boolean";
    case kVariableInteger: return "integer";
    case kVariableReal: return "real";
    default: return "string";
  }
}

void Note(std::string* problem, std::string text) {
  if (problem != nullptr) *problem = std::move(text);
}

}  // namespace

void VariableIndex::Clear() {
  records_.Clear();
  base_ = nullptr;
  list_ = seen_ = first_ = last_ = 0;
  std::memset(first_name_, 0, sizeof first_name_);
  std::memset(last_name_, 0, sizeof last_name_);
}

namespace {

std::string_view RecordName(const VariableRecord* r) {
  return std::string_view(r->name, strnlen(r->name, kVariableNameMax));
}

std::string_view RecordName(const Heap& heap, std::uint32_t record) {
  return RecordName(heap.Data<VariableRecord>(record));
}

}  // namespace

bool VariableIndex::CatchUp(const Heap& heap, const VariableTableControl& control) {
  // A table made again in the same place starts with other records: its
  // first and last seen ones tell, short of an exact copy of the old one.
  bool same = base_ == heap.base() && list_ == control.list && seen_ <= control.count;
  if (same && seen_ > 0) {
    same = heap.First(list_) == first_ &&
           std::memcmp(heap.Data<VariableRecord>(first_)->name, first_name_, sizeof first_name_) == 0 &&
           std::memcmp(heap.Data<VariableRecord>(last_)->name, last_name_, sizeof last_name_) == 0;
  }
  if (!same) {
    Clear();
    base_ = heap.base();
    list_ = control.list;
  }
  if (seen_ == control.count) return true;
  while (seen_ < control.count) {
    std::uint32_t next = last_ == 0 ? heap.First(list_) : heap.SuccElem(last_);
    if (next == 0) {
      Clear();
      return false;
    }
    // A name is defined once; should it come twice, the first one is found,
    // as a walk would.
    std::string_view name = RecordName(heap, next);
    std::uint32_t hash = NameSlots::Hash(name);
    if (records_.Find(hash, [&](std::uint32_t r) { return RecordName(heap, r) == name; }) == 0) {
      records_.Add(hash, next);
    }
    if (seen_ == 0) first_ = next;
    last_ = next;
    ++seen_;
  }
  std::memcpy(first_name_, heap.Data<VariableRecord>(first_)->name, sizeof first_name_);
  std::memcpy(last_name_, heap.Data<VariableRecord>(last_)->name, sizeof last_name_);
  return true;
}

std::uint32_t VariableIndex::Lookup(std::string_view name) const {
  if (base_ == nullptr) return 0;
  return records_.Find(NameSlots::Hash(name), [&](std::uint32_t r) {
    return RecordName(reinterpret_cast<const VariableRecord*>(base_ + r + kBlockHeaderSize)) == name;
  });
}

bool VariableTable::SetUp() {
  ctl_.list = heap_.NewListHead();
  ctl_.count = 0;
  if (index_ != nullptr) index_->Clear();
  return ctl_.list != 0;
}

std::uint32_t VariableTable::Find(std::string_view name) const {
  if (name.empty() || name.size() > kVariableNameMax) return 0;
  // The index compares the names in the records themselves: it never answers
  // with a record of another name.
  if (index_ != nullptr && index_->CatchUp(heap_, ctl_)) return index_->Lookup(name);
  return Walk(name);
}

std::uint32_t VariableTable::Walk(std::string_view name) const {
  for (std::uint32_t v = heap_.First(ctl_.list); v != 0; v = heap_.SuccElem(v)) {
    const VariableRecord* r = Record(v);
    // The first character sorts out nearly every record before the compare.
    if (r->name[0] == name[0] && std::memcmp(r->name, name.data(), name.size()) == 0 &&
        r->name[name.size()] == '\0') {
      return v;
    }
  }
  return 0;
}

std::uint32_t VariableTable::NewRecord(std::string_view name, VariableType type) {
  std::uint32_t v = heap_.AllocateTyped(kTypeSystemVariable);
  if (v == 0) return 0;
  VariableRecord* r = Rec(v);
  std::memset(r, 0, sizeof *r);
  std::memcpy(r->name, name.data(), name.size());
  if (!Retype(*r, type)) return 0;
  heap_.Into(v, ctl_.list);
  ++ctl_.count;
  return v;
}

bool VariableTable::Retype(VariableRecord& r, VariableType type) {
  // The old blocks stay behind: the heap takes nothing back, and a type
  // changes only when a hand-edited file gave the wrong one.
  std::uint32_t storage = heap_.Allocate(StorageBytes(type), StorageType(type), false);
  std::uint32_t copy = type == kVariableString
                           ? heap_.Allocate(kVariableTextStorage, kTypeStringStorage, false)
                           : 1;
  if (storage == 0 || copy == 0) return false;
  std::memset(heap_.Bytes(storage), 0, StorageBytes(type));
  if (type == kVariableString) std::memset(heap_.Bytes(copy), 0, kVariableTextStorage);
  r.type = type;
  r.storage = storage;
  r.default_value = type == kVariableString ? copy : 0;
  r.minimum = r.maximum = 0;
  r.range = 0;
  return true;
}

void VariableTable::SetDefault(VariableRecord& r, const VariableDefinition& d) {
  switch (r.type) {
    case kVariableBoolean: r.default_value = d.boolean ? 1 : 0; break;
    case kVariableInteger: r.default_value = static_cast<std::uint32_t>(d.integer); break;
    case kVariableReal: r.default_value = std::bit_cast<std::uint32_t>(d.real); break;
    default: StoreText(heap_, r.default_value, d.text); break;
  }
  SetRange(r, d.minimum, d.maximum);
}

void VariableTable::SetRange(VariableRecord& r, double minimum, double maximum) {
  r.range = (r.type == kVariableInteger || r.type == kVariableReal) && maximum > minimum;
  if (r.type == kVariableReal) {
    r.minimum = std::bit_cast<std::uint32_t>(static_cast<float>(minimum));
    r.maximum = std::bit_cast<std::uint32_t>(static_cast<float>(maximum));
  } else if (r.type == kVariableInteger) {
    r.minimum = IntegerWord(minimum);
    r.maximum = IntegerWord(maximum);
  }
}

void VariableTable::Store(VariableRecord& r, const VariableValue& value) {
  switch (r.type) {
    case kVariableBoolean: *heap_.Bytes(r.storage) = value.boolean ? 1 : 0; break;
    case kVariableInteger: StoreWord(heap_, r.storage, static_cast<std::uint32_t>(value.integer)); break;
    case kVariableReal: StoreWord(heap_, r.storage, std::bit_cast<std::uint32_t>(value.real)); break;
    default: StoreText(heap_, r.storage, value.text); break;
  }
}

VariableValue VariableTable::Value(std::uint32_t record) const {
  const VariableRecord& r = *Record(record);
  switch (r.type) {
    case kVariableBoolean: return VariableValue::Boolean(*heap_.Bytes(r.storage) != 0);
    case kVariableInteger:
      return VariableValue::Integer(static_cast<std::int32_t>(LoadWord(heap_, r.storage)));
    case kVariableReal: return VariableValue::Real(std::bit_cast<float>(LoadWord(heap_, r.storage)));
    default: return VariableValue::String(LoadText(heap_, r.storage));
  }
}

bool VariableTable::InRange(const VariableRecord& r, const VariableValue& value) const {
  if (r.type == kVariableReal) {
    // Written so that a NaN is outside every range.
    bool finite = std::isfinite(value.real);
    if (!r.range) return finite;
    return value.real >= std::bit_cast<float>(r.minimum) && value.real <= std::bit_cast<float>(r.maximum);
  }
  if (r.type != kVariableInteger || !r.range) return true;
  return value.integer >= static_cast<std::int32_t>(r.minimum) &&
         value.integer <= static_cast<std::int32_t>(r.maximum);
}

VariableValue VariableTable::Clamped(const VariableRecord& r, VariableValue value) const {
  if (!r.range) return value;
  if (r.type == kVariableInteger) {
    auto lo = static_cast<std::int32_t>(r.minimum);
    auto hi = static_cast<std::int32_t>(r.maximum);
    value.integer = value.integer < lo ? lo : (value.integer > hi ? hi : value.integer);
  } else if (r.type == kVariableReal) {
    float lo = std::bit_cast<float>(r.minimum);
    float hi = std::bit_cast<float>(r.maximum);
    value.real = value.real < lo ? lo : (value.real > hi ? hi : value.real);
  }
  return value;
}

std::uint32_t VariableTable::DefineByLibrary(const VariableDefinition& definition,
                                             std::string* problem) {
  std::string_view name = VariableName(definition.name);
  std::uint32_t v = Find(name);
  if (v == 0) {
    if (ctl_.count >= kMaxVariables) {
      Note(problem, "System variable: " + std::string(name) + " not defined: too many variables");
      return 0;
    }
    v = NewRecord(name, definition.type);
    if (v == 0) return 0;
    VariableRecord& r = *Rec(v);
    SetDefault(r, definition);
    Store(r, ValueOf(definition));
    r.defined_by_library = 1;
    return r.storage;
  }
  VariableRecord& r = *Rec(v);
  if (r.type != definition.type) {
    // Taking the file's value would read a byte as a word or a word as a
    // text: the variable starts from its default instead.
    Note(problem, "System variable: " + std::string(name) + " is a " + TypeName(definition.type) +
                      ", the settings file gives a " + TypeName(r.type) + ": default used");
    if (!Retype(r, definition.type)) return 0;
    SetDefault(r, definition);
    Store(r, ValueOf(definition));
    r.from_file = 0;
  } else {
    SetDefault(r, definition);
    Store(r, Clamped(r, Value(v)));
  }
  r.defined_by_library = 1;
  return r.storage;
}

std::uint32_t VariableTable::DefineFromFile(const SettingsEntry& entry, std::uint32_t reserved,
                                            std::string* problem) {
  std::string_view name = VariableName(entry.name);
  if (name.empty()) return 0;
  VariableDefinition d = FileDefinition(name, entry.value);
  std::uint32_t v = Find(name);
  if (v == 0) {
    if (ctl_.count >= kMaxVariables || kMaxVariables - ctl_.count <= reserved) {
      Note(problem, "System variable: " + std::string(name) + " skipped: too many variables");
      return 0;
    }
    v = NewRecord(name, d.type);
    if (v == 0) return 0;
    VariableRecord& r = *Rec(v);
    SetDefault(r, d);
    Store(r, entry.value);
    r.from_file = 1;
    return r.storage;
  }
  VariableRecord& r = *Rec(v);
  if (r.defined_by_library != 0) {
    if (r.type != d.type) {
      Note(problem, "System variable: " + std::string(name) + " is a " + TypeName(r.type) +
                        ", the settings file gives a " + TypeName(d.type) + ": skipped");
      return 0;
    }
    Store(r, Clamped(r, entry.value));
  } else {
    if (r.type != d.type && !Retype(r, d.type)) return 0;
    SetDefault(r, d);
    Store(r, entry.value);
  }
  r.from_file = 1;
  return r.storage;
}

std::int32_t VariableTable::Get(std::string_view name, VariableValue* value) const {
  std::uint32_t v = Find(VariableName(name));
  if (v == 0 || Record(v)->defined_by_library == 0) return -28;
  *value = Value(v);
  return 1;
}

std::int32_t VariableTable::Assign(std::string_view name, const VariableValue& value) {
  std::uint32_t v = Find(VariableName(name));
  if (v == 0 || Record(v)->defined_by_library == 0) return -28;
  VariableRecord& r = *Rec(v);
  if (value.type != r.type) return -5;
  if (!InRange(r, value)) return -38;
  Store(r, value);
  return 1;
}

std::string VariableTable::FormatFile() const {
  std::string out;
  for (std::uint32_t v = heap_.First(ctl_.list); v != 0; v = heap_.SuccElem(v)) {
    const VariableRecord& r = *Record(v);
    // Compared as stored, so only the values written are made.
    bool differs = false;
    switch (r.type) {
      case kVariableBoolean: differs = (*heap_.Bytes(r.storage) != 0) != (r.default_value != 0); break;
      case kVariableInteger: differs = LoadWord(heap_, r.storage) != r.default_value; break;
      case kVariableReal: {
        double value = std::bit_cast<float>(LoadWord(heap_, r.storage));
        double def = std::bit_cast<float>(r.default_value);
        differs = std::fabs(value - def) * 10000.0 >= 0.0001;
        break;
      }
      default: differs = LoadText(heap_, r.storage) != LoadText(heap_, r.default_value); break;
    }
    if (r.from_file != 0 || differs) AppendSettingsEntry(&out, RecordName(&r), Value(v));
  }
  return out;
}

bool ReadBoundBoolean(const Heap& heap, std::uint32_t storage, bool fallback) {
  if (heap.CheckHandle(storage, kTypeBooleanStorage) != 1) return fallback;
  return *heap.Bytes(storage) != 0;
}

std::int32_t ReadBoundInteger(const Heap& heap, std::uint32_t storage, std::int32_t fallback) {
  if (heap.CheckHandle(storage, kTypeIntegerStorage) != 1) return fallback;
  return static_cast<std::int32_t>(LoadWord(heap, storage));
}

float ReadBoundReal(const Heap& heap, std::uint32_t storage, float fallback) {
  if (heap.CheckHandle(storage, kTypeRealStorage) != 1) return fallback;
  return std::bit_cast<float>(LoadWord(heap, storage));
}

std::string_view ReadBoundText(const Heap& heap, std::uint32_t storage, std::string_view fallback) {
  if (heap.CheckHandle(storage, kTypeStringStorage) != 1) return fallback;
  return LoadText(heap, storage);
}

}  // namespace vnh
