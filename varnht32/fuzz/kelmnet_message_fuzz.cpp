// The message decoder on any bytes from the network: it never reads outside
// the message, every part it points at lies inside it, and a value it hands
// on decodes, if at all, into a value that encodes back to the same bytes.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "varnht32/src/kelmnet_messages.h"
#include "varnht32/src/value_codec.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool Inside(const std::uint8_t* p, std::uint32_t n, const std::uint8_t* begin, std::size_t size) {
  return p == nullptr ? n == 0 : p >= begin && p + n <= begin + size;
}

// Booleans come back as 0 or 1 and reals may change their NaN bits: the
// others must give back exactly the bytes they came from.
bool ExactType(std::uint8_t type) {
  std::uint8_t e = vnh::ElementOf(type);
  return e != vnh::kElementBit && e != vnh::kElementBoolean && e != vnh::kElementReal;
}

void CheckValue(const vnh::KelmnetMessage& m) {
  for (bool signed_regs : {false, true}) {
    for (vnh::DecodeForm form : {vnh::DecodeForm::kByName, vnh::DecodeForm::kByRegister}) {
      vnh::PlainValue v;
      std::int32_t status = vnh::DecodeValue(m.type_byte, m.value, m.value_length, form, signed_regs, &v);
      Check(status == 1 || status == -5 || status == -6);
      if (status != 1 || form != vnh::DecodeForm::kByName || !ExactType(m.type_byte)) continue;
      std::uint8_t out[1100];
      std::uint32_t used = 0;
      Check(vnh::EncodeValue(m.type_byte, v, false, out, sizeof out, &used) == 1);
      Check(used == m.value_length && std::memcmp(out, m.value, used) == 0);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1024) return 0;  // no message is longer
  vnh::KelmnetMessage m;
  std::int32_t status = vnh::DecodeMessage(data, static_cast<std::uint32_t>(size), &m);
  Check(status == 1 || status == 0 || status == -6 || status == -470);
  if (status != 1) return 0;
  Check(Inside(m.value, m.value_length, data, size));
  Check(Inside(m.data, m.data_length, data, size));
  Check(m.data_length <= size);
  if (m.value != nullptr) CheckValue(m);
  return 0;
}
