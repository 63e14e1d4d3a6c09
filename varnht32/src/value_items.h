#pragma once
// Variable-value containers and their items. A container is the caller's
// array of eleven pairs; strings, bit strings and arrays sit in items of the
// shared heap that the container points at. Every item handed out is on one
// list for the machine, and the library takes them all back after each
// message, report or server callback. Everything here runs under the library
// mutex.

#include <cstdint>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/value_codec.h"

namespace vnh {

constexpr std::uint32_t kContainerSlots = 10;

void SetUpValueItems();

// VNHAllocate...InVV: an item of that value type (VNH_VALUE_STRING,
// _BIT_STRING or _ARRAY) put into slot 1 to 10. 1; -37 bad slot; -4 when no
// item is left (the slot is then cleared).
std::int32_t AllocateItemInContainer(VNHVariableValue* container, std::uint32_t slot,
                                     std::uint32_t value_type);

// The one value of a container: -6 when it does not hold exactly one usable
// value, -5 when the value type is unknown or an item pointer names no live
// item of its type.
std::int32_t ReadContainerValue(const VNHVariableValue& container, PlainValue* out);
// Makes the container hold the value alone (items taken for it): 1 or -4.
std::int32_t WriteContainerValue(VNHVariableValue* container, const PlainValue& value);
// An empty container, ready for a callback to fill.
void ClearContainer(VNHVariableValue* container);

// Gives every allocated item back to its pool and clears slots 1 to the
// container's value count (when a container is given).
void ReleaseAllItems(VNHVariableValue* container);

}  // namespace vnh
