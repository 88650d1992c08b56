#include "reports/emf_markers.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/canvas.h"

namespace {

std::string GridText(const char* name, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return std::string(name) + "," + std::to_string(left) + "," + std::to_string(top) + "," +
         std::to_string(right) + "," + std::to_string(bottom);
}

// Characters, not bytes: the limit counts what the page wrote, umlauts as one.
size_t CharacterCount(std::string_view utf8) {
  size_t n = 0;
  for (const char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    fields.push_back(
        text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

// As the C library reads a number: leading digits, 0 when there are none.
int32_t ToInt(std::string_view field) {
  const std::string s(field);
  const long v = std::strtol(s.c_str(), nullptr, 10);
  return static_cast<int32_t>(std::clamp<long>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

void WriteEmfMarker(gfx::Canvas& dc, std::string_view text) { dc.Comment(text); }

void WriteMMGridMarker(gfx::Canvas& dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  WriteEmfMarker(dc, GridText("MMGRID", left, top, right, bottom));
}

void WriteBGGridMarker(gfx::Canvas& dc, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  WriteEmfMarker(dc, GridText("BGGRID", left, top, right, bottom));
}

void WritePageTitleMarker(gfx::Canvas& dc, std::string_view title) {
  WriteEmfMarker(dc, "PAGETITLE," + std::string(title));
}

void WriteScreenDpiMarker(gfx::Canvas& dc, int32_t dpi) {
  WriteEmfMarker(dc, "SCREENDPI," + std::to_string(dpi));
}

std::optional<EmfMarker> ParseEmfMarker(std::string_view comment) {
  const size_t length = CharacterCount(comment);
  if (length == 0 || length > 255) return std::nullopt;
  const std::vector<std::string_view> fields = SplitFields(comment);
  EmfMarker marker;
  const std::string_view name = fields[0];
  if (name == "MMGRID" || name == "BGGRID") {
    if (fields.size() < 5) return std::nullopt;
    marker.kind = name == "MMGRID" ? EmfMarkerKind::kMMGrid : EmfMarkerKind::kBGGrid;
    marker.rect = {ToInt(fields[1]), ToInt(fields[2]), ToInt(fields[3]), ToInt(fields[4])};
    return marker;
  }
  if (name == "PAGETITLE") {
    marker.kind = EmfMarkerKind::kPageTitle;
    // The whole rest: a title may itself hold commas.
    const size_t comma = comment.find(',');
    if (comma != std::string_view::npos) marker.title = std::string(comment.substr(comma + 1));
    return marker;
  }
  if (name == "SCREENDPI") {
    marker.kind = EmfMarkerKind::kScreenDpi;
    marker.dpi = fields.size() > 1 ? ToInt(fields[1]) : 0;
    return marker;
  }
  return std::nullopt;
}
