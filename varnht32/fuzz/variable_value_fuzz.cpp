// The value decoder on any type byte and bytes: it answers 1, -5 or -6, fills
// no more than a value can hold, and what it gives encodes again.
//
// Input: [0] type byte, [1] bit 0 register form, bit 1 signed registers,
// then the value bytes.

#include <cstdint>
#include <cstdlib>

#include "varnht32/src/value_codec.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 1100) return 0;
  std::uint8_t type = data[0];
  bool by_register = (data[1] & 1) != 0;
  bool signed_regs = (data[1] & 2) != 0;
  vnh::PlainValue v;
  std::int32_t status = vnh::DecodeValue(type, data + 2, static_cast<std::uint32_t>(size - 2),
                                         by_register ? vnh::DecodeForm::kByRegister
                                                     : vnh::DecodeForm::kByName,
                                         signed_regs, &v);
  Check(status == 1 || status == -5 || status == -6);
  if (status != 1) return 0;
  Check(v.length <= vnh::kStringMax && v.count <= 255 * 8);
  if (v.kind == VNH_VALUE_ARRAY) Check(v.count <= vnh::kArrayMax);
  // What was read goes out again, as the type byte it came with or, for the
  // register form, as the type a server would give it.
  std::uint8_t out[1100];
  std::uint32_t used = 0;
  std::uint8_t length = 0;
  std::uint8_t start = 0;
  std::uint8_t count = 0;
  std::uint8_t again = type;
  if (by_register) Check(vnh::ServerTypeOf(v, 4, &again, &length, &start, &count) != -5);
  status = vnh::EncodeValue(again, v, signed_regs, out, sizeof out, &used);
  Check(status == 1 || status == -38 || status == -5);
  Check(used <= sizeof out);
  return 0;
}
