#pragma once
// Heap block types: every record of the library carries one in its header, so
// that lists can hold any record and a handle can be checked by what it points at.

#include <cstdint>

namespace vnh {

enum BlockType : std::uint16_t {
  kTypeListHead = 3,
  kTypeBooleanStorage = 7,
  kTypeIntegerStorage = 8,
  kTypeRealStorage = 9,
  kTypeNull = 11,  // what the type of a null block reads as
  kTypeStringStorage = 13,
  kTypeSystemVariable = 15,
  kTypeMessageBuffer = 16,
  kTypeNodeData = 17,
  kTypeChannel = 18,
  kTypeStream = 19,
  kTypeVariableEntry = 20,
  kTypeReportLink = 21,
  kTypeAssociation = 22,
  kTypeAction = 23,
  kTypeEvent = 24,
  kTypeClient = 25,
  kTypeLocalName = 26,
  kTypeStringItem = 27,
  kTypeBitStringItem = 28,
  kTypeArrayItem = 29,
  kTypeUdpSession = 30,
  kTypeUdpPeer = 2027,
};

// The type word of a block header: 11 bits of type and the flags above them.
constexpr std::uint16_t kTypeMask = 0x07FF;
constexpr std::uint16_t kFlagListElement = 0x4000;
constexpr std::uint16_t kFlagListHead = 0x2000;
// Set while a block waits in a pool's free list: a stale handle to a record that
// was given back must not pass as a live record of its type.
constexpr std::uint16_t kFlagPooled = 0x1000;

// Data bytes of a record of each type (the 12-byte header comes on top).
// String storage is sized when it is allocated; 0 means "no fixed size".
constexpr std::uint32_t RegisteredSize(std::uint16_t type) {
  switch (type) {
    case kTypeListHead: return 0;
    case kTypeBooleanStorage: return 1;
    case kTypeIntegerStorage: return 4;
    case kTypeRealStorage: return 4;
    case kTypeSystemVariable: return 52;
    case kTypeMessageBuffer: return 1036;
    case kTypeNodeData: return 32;
    case kTypeChannel: return 196;
    case kTypeStream: return 28;
    case kTypeVariableEntry: return 24;
    case kTypeReportLink: return 8;
    case kTypeAssociation: return 48;
    case kTypeAction: return 104;
    case kTypeEvent: return 16;
    case kTypeClient: return 212;
    case kTypeLocalName: return 36;
    case kTypeStringItem: return 260;
    case kTypeBitStringItem: return 264;
    case kTypeArrayItem: return 1032;
    case kTypeUdpSession: return 2440;
    case kTypeUdpPeer: return 36;
    default: return 0;
  }
}

}  // namespace vnh
