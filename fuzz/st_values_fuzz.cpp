#include <cstddef>
#include <cstdint>

#include "document/st_values.h"
#include "member_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzMember<TSTValues>({data, size}, [] { return TSTValues(); });
}
