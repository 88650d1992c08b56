#pragma once

#include <string>

#include "reports/richtext/rich_text_document.h"
#include "reports/richtext/rtf_reader.h"

namespace richtexttest {

// A two-page letter on A4 with 2.5 cm margins: a right-aligned address, a heading with space around
// it, a justified paragraph with a first-line indent and a coloured and an italic run, a row of tab
// stops, a centred underlined line in the fixed-pitch font, then a page break.
inline richtext::RichTextDocument LetterPage() {
  const std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
      "{\\f1\\fmodern\\fcharset0 Courier New;}}{\\colortbl;\\red200\\green0\\blue0;}"
      "\\paperw11906\\paperh16838\\margl1417\\margr1417\\margt1417\\margb1134"
      "\\qr\\fs20 Cardiology Practice\\line Main Street 1\\par"
      "\\pard\\sb240\\sa120\\b\\fs28 Holter report\\b0\\fs22\\par"
      "\\pard\\qj\\fi360 The recording of 24 hours shows a {\\cf1 sinus rhythm} with "
      "a mean rate of 72 beats per minute; {\\i isolated} ventricular beats occur, "
      "mainly at night. No pauses longer than two seconds.\\par"
      "\\pard\\tx2000\\tx4000 Minimum\\tab 48 bpm\\tab 02:14\\par"
      "\\pard\\qc{\\f1\\ul Page one}\\page\\par Second page}";
  return richtext::ReadRtf(rtf, "letter.rtf").document;
}

}  // namespace richtexttest
