// The exports of the system variables: reading and assigning them, and the
// trace callback that rides on an assignment.

#include <dlfcn.h>

#include <cstring>
#include <string_view>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/identifiers.h"
#include "varnht32/src/library_frame.h"
#include "varnht32/src/system_variables.h"
#include "varnht32/src/trace.h"

using namespace vnh;

namespace {

// Value types of the value record: the variable's type plus one, or 0 to ask.
enum ValueRecordType : std::uint32_t {
  kAskType = 0,
  kBooleanValue = 1,
  kIntegerValue = 2,
  kRealValue = 3,
  kStringValue = 4,
};

constexpr std::string_view kTraceCallBackName = "OCPutsCallBack";

void SetStatus(std::int32_t* status, std::int32_t value) {
  if (status != nullptr) *status = value;
}

// The name is compared on its own length, so longer names that begin with it match too.
bool NamesTraceCallBack(std::string_view name) {
  return name.substr(0, kTraceCallBackName.size()) == kTraceCallBackName;
}

// A trace callback that points into no loaded module would be called on the
// next trace: a value that carried only 32 of an address's 64 bits, say.
bool InLoadedModule(VNHTraceCallBack callback) {
  Dl_info info{};
  return dladdr(reinterpret_cast<void*>(callback), &info) != 0 && info.dli_fname != nullptr;
}

std::int32_t AssignTraceCallBack(VNHTraceCallBack callback) {
  if (callback != nullptr && !InLoadedModule(callback)) return -38;
  SetTraceCallBack(callback);
  return 1;
}

std::int32_t GetVariable(std::string_view name, VNHValue* out) {
  VariableValue v;
  if (SystemVariables().Get(name, &v) != 1) return -28;
  if (out == nullptr) return -5;
  std::uint32_t type = v.type + 1;
  if (out->type == kAskType) {
    out->type = type;
    if (type == kStringValue) return -28;  // no buffer was named
  }
  if (out->type != type) return -5;
  switch (v.type) {
    case kVariableBoolean: out->value.boolean = v.boolean ? 1 : 0; break;
    case kVariableInteger: out->value.integer = v.integer; break;
    case kVariableReal: out->value.real = v.real; break;
    case kVariableString: {
      VNHSettingText* buffer = out->value.string;
      if (buffer == nullptr) return -70;
      std::size_t n = v.text.size() < kVariableTextMax ? v.text.size() : kVariableTextMax;
      std::memcpy(buffer->text, v.text.data(), n);
      buffer->text[n] = '\0';
      buffer->length = static_cast<std::uint32_t>(n);
      break;
    }
  }
  return 1;
}

std::int32_t AssignVariable(std::string_view name, const VNHValue* in) {
  if (in == nullptr) return -5;
  if (in->type == kIntegerValue && NamesTraceCallBack(name)) return AssignTraceCallBack(in->value.callback);
  VariableTable table = SystemVariables();
  VariableValue current;
  if (table.Get(name, &current) != 1) return -28;
  VariableValue v;
  switch (in->type) {
    case kBooleanValue: v = VariableValue::Boolean(in->value.boolean != 0); break;
    case kIntegerValue: v = VariableValue::Integer(in->value.integer); break;
    case kRealValue: v = VariableValue::Real(in->value.real); break;
    case kStringValue: {
      const VNHSettingText* buffer = in->value.string;
      if (buffer == nullptr) return -70;
      std::size_t n = buffer->length < sizeof buffer->text ? buffer->length : sizeof buffer->text;
      v = VariableValue::String(std::string_view(buffer->text, n));
      break;
    }
    default: return -5;
  }
  std::int32_t result = table.Assign(name, v);
  if (result == 1) ApplySettings();
  return result;
}

}  // namespace

extern "C" {

VNH_API std::int32_t VNH_CALL VNHAssignSystemVariable(const VNHIdentifier* name,
                                                       const VNHValue* value,
                                                       std::int32_t* status) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  SetStatus(status, AssignVariable(IdentifierText(name), value));
  return lock.Unlock();
}

VNH_API std::int32_t VNH_CALL VNHGetSystemVariable(const VNHIdentifier* name, VNHValue* value,
                                                    std::int32_t* status) {
  InterfaceLock lock(status);
  if (!lock.held()) return lock.failure();
  SetStatus(status, GetVariable(IdentifierText(name), value));
  return lock.Unlock();
}

}  // extern "C"
