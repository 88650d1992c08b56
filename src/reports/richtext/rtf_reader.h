#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reports/richtext/rich_text_document.h"

namespace richtext {

struct RtfReadResult {
  RichTextDocument document;
  // What the reader left out on purpose (pictures, embedded objects), one line each with its offset.
  std::vector<std::string> dropped;
};

// Reads the rich text subset the letters use. Information, style sheet, headers, footers and every
// ignorable group are skipped; field results are kept; a table row becomes one paragraph with its
// cells separated by tabs; pictures are dropped and listed. Throws platform::FormatError naming
// `where` and the byte offset when the bytes are not rich text or are broken.
RtfReadResult ReadRtf(std::string_view bytes, std::string_view where);

}  // namespace richtext
