#include "common/dib_palette.h"

#include <utility>

#include "common/dib.h"

bool CDIBPalette::CreateFromDIB(const CDIB& dib) {
  const int32_t n = dib.GetNumColors();
  const std::vector<CDIB::RgbQuad>& table = dib.GetColorTable();
  if (n <= 0 || table.empty()) return false;
  std::vector<Entry> entries;
  entries.reserve(table.size());
  for (const CDIB::RgbQuad& q : table) entries.push_back({q.red, q.green, q.blue, 0});
  entries_ = std::move(entries);
  return true;
}
