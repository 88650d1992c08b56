#include <cstddef>
#include <cstdint>

#include "document/event_list.h"
#include "member_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzMember<TEventList>({data, size}, [] { return TEventList(); });
}
