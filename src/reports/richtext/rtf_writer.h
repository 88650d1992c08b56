#pragma once

#include <string>

#include "reports/richtext/rich_text_document.h"

namespace richtext {

// Writes the document as rich text in the subset the reader reads (cp1252 with \u for the rest).
// The same document always gives the same bytes, and reading them gives the document back.
std::string WriteRtf(const RichTextDocument& document);

}  // namespace richtext
