#include <cstddef>
#include <cstdint>

#include "document/pm_template_list.h"
#include "member_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzMember<TPMTemplateList>({data, size}, [] { return TPMTemplateList(); });
}
