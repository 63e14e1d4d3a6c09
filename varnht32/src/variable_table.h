#pragma once
// The system variables: one list of records (heap type 15) in definition
// order, each with its name, flags, type, the block that holds its value, its
// default and its range. A module binds to a variable's value block and reads
// it whenever it needs the setting, so an assignment takes effect at once for
// every reader in every process. Runs under the library mutex.

#include <cstdint>
#include <string>
#include <string_view>

#include "varnht32/src/heap.h"
#include "varnht32/src/name_slots.h"
#include "varnht32/src/settings_file.h"
#include "varnht32/src/variable_value.h"

namespace vnh {

// Lives in the shared memory.
struct VariableTableControl {
  std::uint32_t list;
  std::uint32_t count;
};

struct VariableDefinition {
  std::string_view name;
  VariableType type;
  bool boolean;
  std::int32_t integer;
  float real;
  std::string_view text;
  // Integers and reals; the range applies when the maximum is above the minimum.
  double minimum;
  double maximum;
};

// Lives in the shared heap (type 15). Numbers are kept as their 32-bit
// patterns: an integer, or the bits of a float.
struct VariableRecord {
  char name[kVariableNameMax + 1];
  std::uint8_t from_file;           // defined while the settings file was read: always written back
  std::uint8_t defined_by_library;  // only such variables are visible to the exports
  std::uint32_t type;
  std::uint32_t storage;        // the value block
  std::uint32_t default_value;  // the value, or for a string the block of a copy
  std::uint32_t minimum;
  std::uint32_t maximum;
  std::uint8_t range;
  std::uint8_t reserved[3];
};

// Finds the records of one table by name without walking its list. It lives
// in one process beside the table in shared memory, whose layout it leaves as
// it is: it keeps only the records' places and compares the names in the
// records themselves. Records are only ever appended, so it catches up with
// what other processes defined by following the list on from the last record
// it saw.
class VariableIndex {
 public:
  // Forgets every record: the table it stood for is no longer mapped.
  void Clear();
  // Takes in the records appended since the last call; false when the list
  // does not agree with the count (the caller then walks the list itself).
  bool CatchUp(const Heap& heap, const VariableTableControl& control);
  // The record of a name among those taken in; 0 when there is none.
  std::uint32_t Lookup(std::string_view name) const;

 private:
  NameSlots records_;
  const std::uint8_t* base_ = nullptr;
  std::uint32_t list_ = 0;
  std::uint32_t seen_ = 0;
  std::uint32_t first_ = 0;
  std::uint32_t last_ = 0;
  // The name fields of the first and last records seen, byte for byte.
  char first_name_[kVariableNameMax + 1] = {};
  char last_name_[kVariableNameMax + 1] = {};
};

class VariableTable {
 public:
  static constexpr std::uint32_t kMaxVariables = 10000;

  // Without an index every name is found by walking the list.
  VariableTable(Heap heap, VariableTableControl& control, VariableIndex* index = nullptr)
      : heap_(heap), ctl_(control), index_(index) {}

  // An empty table; false when the heap cannot hold its list head.
  bool SetUp();

  // A variable of the library. A new name gets a record holding the default;
  // a name the settings file defined first keeps its stored value, brought
  // into the range, unless the file gave it another type: then the file's
  // value is refused and the default used (`problem` says so). Returns the
  // value block to bind to, or 0 when no record could be had.
  std::uint32_t DefineByLibrary(const VariableDefinition& definition, std::string* problem);
  // A variable read from the settings file. A new name needs room for
  // `reserved` more records after it (the library's own variables). A
  // variable the library defined before keeps its type and range: a value of
  // another type is refused. Returns the value block, or 0.
  std::uint32_t DefineFromFile(const SettingsEntry& entry, std::uint32_t reserved,
                               std::string* problem);

  // For the exports: 1, or -28 for a name the library does not define.
  std::int32_t Get(std::string_view name, VariableValue* value) const;
  // 1, -28 unknown name, -5 another type, -38 outside the range (the value stays).
  std::int32_t Assign(std::string_view name, const VariableValue& value);

  // The settings file's text: every variable from the file, and every other
  // one whose value differs from its default, in definition order.
  std::string FormatFile() const;

  std::uint32_t count() const { return ctl_.count; }
  // The record of a name, compared exactly; 0 when there is none.
  std::uint32_t Find(std::string_view name) const;
  const VariableRecord* Record(std::uint32_t record) const {
    return heap_.Data<VariableRecord>(record);
  }
  VariableValue Value(std::uint32_t record) const;

 private:
  VariableRecord* Rec(std::uint32_t record) const { return heap_.Data<VariableRecord>(record); }
  std::uint32_t NewRecord(std::string_view name, VariableType type);
  bool Retype(VariableRecord& r, VariableType type);
  void SetDefault(VariableRecord& r, const VariableDefinition& d);
  void SetRange(VariableRecord& r, double minimum, double maximum);
  void Store(VariableRecord& r, const VariableValue& value);
  bool InRange(const VariableRecord& r, const VariableValue& value) const;
  VariableValue Clamped(const VariableRecord& r, VariableValue value) const;

  std::uint32_t Walk(std::string_view name) const;

  Heap heap_;
  VariableTableControl& ctl_;
  VariableIndex* index_;
};

// Reads of a bound value block. A block that is not one of the type (a
// variable that could not be defined) reads as `fallback`.
bool ReadBoundBoolean(const Heap& heap, std::uint32_t storage, bool fallback);
std::int32_t ReadBoundInteger(const Heap& heap, std::uint32_t storage, std::int32_t fallback);
float ReadBoundReal(const Heap& heap, std::uint32_t storage, float fallback);
std::string_view ReadBoundText(const Heap& heap, std::uint32_t storage, std::string_view fallback);

}  // namespace vnh
