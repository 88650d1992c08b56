#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/archive.h"
#include "platform/clock.h"
#include "reports/pdf/pdf_writer.h"

// A one-page document of the PDF writer, assembled in memory, with its reports discarded (the
// fuzz loop would print millions of them).
inline void BeginFuzzPdf() {
  tvk_release();
  tvk_setErrorHandler([](int, const std::string&, const std::string&) {});
  tvk_prepare(0);
  (void)tvk_open();
  (void)tvk_beginPage(1, 0, "0 0 595 842", "0 0 595 842");
}

// Writes every object of the document (fonts and images included), then frees it.
inline void FinishFuzzPdf() {
  static const platform::ManualClock clock({2026, 12, 10, 12, 0, 0, 0});
  (void)tvk_finishDocument(clock);
  (void)tvk_memoryBuffer();
  tvk_release();
}

// A small valid PFM metrics file (PostScript name "FuzzFont", codes 32..126 all 500 wide), for
// the targets that fuzz the other file of an external font.
inline std::vector<uint8_t> FuzzPfm() {
  std::vector<uint8_t> b(147 + 52, 0);
  const auto driver_info = static_cast<uint32_t>(b.size());
  for (const char c : std::string_view("FuzzFont")) b.push_back(static_cast<uint8_t>(c));
  b.push_back(0);
  const auto extent = static_cast<uint32_t>(b.size());
  for (int c = 32; c <= 126; ++c) {
    b.push_back(0xF4);
    b.push_back(0x01);
  }
  platform::StoreLE16(&b[0], 0x100);
  platform::StoreLE32(&b[2], static_cast<uint32_t>(b.size()));
  platform::StoreLE16(&b[74], 718);
  b[90] = 0x21;
  platform::StoreLE16(&b[91], 500);
  platform::StoreLE16(&b[93], 1000);
  b[95] = 32;
  b[96] = 126;
  platform::StoreLE16(&b[117], 30);
  platform::StoreLE32(&b[119], 147);
  platform::StoreLE32(&b[123], extent);
  platform::StoreLE32(&b[139], driver_info);
  platform::StoreLE16(&b[147], 52);
  return b;
}

// A small valid PFB outline file: one text segment, one data segment, the end mark.
inline std::vector<uint8_t> FuzzPfb() {
  const std::string_view text = "%!PS-AdobeFont-1.0: FuzzFont\r";
  std::vector<uint8_t> b = {0x80, 0x01, static_cast<uint8_t>(text.size()), 0, 0, 0};
  b.insert(b.end(), text.begin(), text.end());
  b.insert(b.end(), {0x80, 0x02, 4, 0, 0, 0, 0xDE, 0xAD, 0xBE, 0xEF, 0x80, 0x03});
  return b;
}

// Selects the external font at path (without ".pfm"), measures and shows a text with it.
inline void UseFuzzFont(const std::string& path) {
  tvk_beginText(0);
  (void)tvk_setFont(path, "WinAnsiEncoding", 10);
  (void)tvk_stringWidth("Gr\xC3\xB6\xC3\x9F" "e ~");
  tvk_text(72, 700, 0, "Gr\xC3\xB6\xC3\x9F" "e ~");
  (void)tvk_setFont(path, "", 12);
  tvk_text(72, 600, 0, "plain");
  tvk_endText();
}
