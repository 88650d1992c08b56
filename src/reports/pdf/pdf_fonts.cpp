#include "reports/pdf/pdf_fonts.h"

#include <algorithm>
#include <cstdint>
#include <fstream>

#include "gfx/standard_fonts.h"
#include "platform/archive.h"
#include "platform/io_error.h"
#include "reports/pdf/pdf_format.h"
#include "reports/pdf/pdf_state.h"

namespace {

constexpr const char* kNames[tvk_kFontCount] = {
    "Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique", "Times-Roman",
    "Times-Bold", "Times-Italic", "Times-BoldItalic", "Courier", "Courier-Bold", "Courier-Oblique",
    "Courier-BoldOblique", "Symbol", "ZapfDingbats", "AvantGarde-Book", "AvantGarde-BookOblique",
    "AvantGarde-Demi", "AvantGarde-DemiOblique", "Bookman-Demi", "Bookman-DemiItalic",
    "Bookman-Light", "Bookman-LightItalic", "Helvetica-Narrow", "Helvetica-Narrow-Oblique",
    "Helvetica-Narrow-Bold", "Helvetica-Narrow-BoldOblique", "NewCenturySchlbk-Roman",
    "NewCenturySchlbk-Italic", "NewCenturySchlbk-Bold", "NewCenturySchlbk-BoldItalic",
    "Palatino-Roman", "Palatino-Italic", "Palatino-Bold", "Palatino-BoldItalic",
    "ZapfChancery-MediumItalic", "Helvetica-Condensed", "Helvetica-Condensed-Bold",
    "Helvetica-Condensed-Oblique", "Helvetica-Condensed-BoldObl", "TVK-Monospace", "TVK-SmallCap"};

// Cap heights of the standard fonts 0..13 (the aligned text uses them).
constexpr int kStandardCapHeights[14] = {718, 718, 718, 718, 662, 676, 653,
                                         669, 562, 562, 562, 562, 718, 718};

struct DescriptorRow {
  long flags;
  int ascent, cap_height, descent;
  int bbox[4];
  double italic_angle;
  int stem_v, x_height;
};
// Fonts 14..40.
constexpr DescriptorRow kDescriptors[27] = {
    {32, 740, 740, -192, {-113, -222, 1148, 955}, 0, 70, 547},
    {96, 740, 740, -192, {-113, -222, 1279, 955}, -10.5, 70, 547},
    {262176, 740, 740, -185, {-123, -251, 1222, 1021}, 0, 133, 555},
    {262240, 740, 740, -185, {-123, -251, 1256, 1021}, -10.5, 133, 555},
    {262178, 725, 681, -212, {-194, -250, 1346, 934}, 0, 167, 502},
    {262242, 732, 681, -213, {-231, -250, 1333, 941}, -10, 172, 515},
    {34, 717, 681, -228, {-188, -251, 1266, 908}, 0, 96, 484},
    {98, 717, 681, -212, {-228, -250, 1269, 883}, -10, 96, 494},
    {32, 718, 718, -207, {-136, -225, 820, 931}, 0, 88, 523},
    {96, 718, 718, -207, {-139, -225, 915, 931}, -12, 88, 523},
    {262176, 718, 718, -207, {-139, -228, 822, 962}, 0, 140, 532},
    {262240, 718, 718, -207, {-143, -228, 913, 962}, -12, 140, 532},
    {34, 737, 722, -205, {-195, -250, 1000, 965}, 0, 92, 464},
    {98, 737, 722, -205, {-166, -250, 994, 958}, -16, 80, 466},
    {262178, 737, 722, -205, {-165, -250, 1000, 988}, 0, 154, 475},
    {262242, 737, 722, -205, {-205, -250, 1147, 991}, -16, 150, 477},
    {34, 726, 692, -281, {-166, -283, 1021, 927}, 0, 84, 469},
    {98, 733, 692, -276, {-170, -276, 1010, 918}, -10, 84, 482},
    {262178, 720, 681, -258, {-152, -266, 1000, 924}, 0, 122, 471},
    {262242, 726, 681, -271, {-170, -271, 1073, 926}, -10, 122, 469},
    {98, 714, 708, -314, {-181, -314, 1065, 831}, -14, 70, 438},
    {32, 750, 750, -188, {-174, -224, 1071, 990}, 0, 79, 556},
    {262176, 750, 750, -189, {-169, -228, 1091, 971}, 0, 130, 564},
    {96, 750, 750, -188, {-174, -224, 1118, 990}, -12, 79, 556},
    {262240, 750, 750, -189, {-169, -228, 1141, 971}, -12, 130, 564},
    {33, 718, 718, -207, {-166, -225, 1000, 931}, 0, 84, 523},
    {131106, 683, 662, -217, {-168, -218, 1000, 898}, 0, 84, 480}};

// Small capitals of "TVK-SmallCap", a..z.
constexpr int16_t kSmallCapWidths[26] = {524, 484, 484, 524, 443, 403, 524, 524, 241,
                                         282, 524, 443, 645, 524, 524, 403, 524, 484,
                                         403, 443, 524, 524, 684, 524, 524, 443};

enum class Row { kWinAnsi, kBuiltin, kAscii };

Row RowFor(int index, std::string_view encoding) {
  if (index == 12 || index == 13) return Row::kBuiltin;
  if (encoding == "WinAnsiEncoding") return Row::kWinAnsi;
  if (encoding.empty() || encoding == "StandardEncoding") return Row::kBuiltin;
  return Row::kAscii;
}

std::array<int16_t, 256> Pick(const gfx::StandardFontMetrics& face, Row row) {
  if (row == Row::kBuiltin) return face.builtin_widths;
  std::array<int16_t, 256> w = face.winansi_widths;
  // Other encodings agree with WinAnsi on ASCII only, the only text they are given.
  if (row == Row::kAscii)
    for (int c = 0; c < 256; ++c)
      if (c < 32 || c > 126) w[c] = 0;
  return w;
}

// The standard face whose widths a built-in font uses.
const char* FaceOf(int index) {
  switch (index) {
    // No free metrics of the condensed faces exist; the narrow faces stand in.
    case 35: return "Helvetica-Narrow";
    case 36: return "Helvetica-Narrow-Bold";
    case 37: return "Helvetica-Narrow-Oblique";
    case 38: return "Helvetica-Narrow-BoldOblique";
    case 39: return "Helvetica";
    case 40: return "Times-Roman";
    default: return kNames[index];
  }
}

std::array<int16_t, 256> BuiltinWidths(int index, Row row) {
  std::array<int16_t, 256> w = Pick(*gfx::FindStandardFont(FaceOf(index)), row);
  if (index == 39) {
    for (int16_t& v : w)
      if (v != 0) v = 400;
  } else if (index == 40) {
    for (int c = 0; c < 26; ++c) w['a' + c] = kSmallCapWidths[c];
  }
  return w;
}

bool IsNameChar(uint8_t c) {
  return c > 32 && c < 127 && std::string_view("()<>[]{}/%#").find(static_cast<char>(c)) == std::string_view::npos;
}

// Reads a Windows PFM metrics file. 0 read; 1 not opened; 2 not a Type 1 PFM; 3 the width
// table lies beyond the file; 4 the width table is cut short.
int ReadPFM(const std::string& path, tvk_ExternalFont& font, tvk_FontDescriptor& descriptor) {
  std::vector<uint8_t> bytes;
  try {
    bytes = platform::ReadFileBytes(path);
  } catch (const platform::IoError&) {
    return 1;
  }
  const size_t size = bytes.size();
  auto invalid = [&]() {
    tvk_reportError(tvk_kSeverityWarning, tvk_writerName(), "ReadPFM - Not a valid Type1 PFM file:  %s",
                    path.c_str());
    return 2;
  };
  if (size < 143) return invalid();
  const uint8_t* b = bytes.data();
  const uint16_t ascent = platform::LoadLE16(b + 74);
  const uint8_t pitch_and_family = b[90];
  const uint16_t avg_width = platform::LoadLE16(b + 91);
  const uint16_t max_width = platform::LoadLE16(b + 93);
  const int first = b[95];
  const int last = b[96];
  const uint16_t size_fields = platform::LoadLE16(b + 117);
  const uint32_t ext_metrics = platform::LoadLE32(b + 119);
  const uint32_t extent_table = platform::LoadLE32(b + 123);
  const uint32_t driver_info = platform::LoadLE32(b + 139);
  // Every offset is checked against the file before it is followed.
  if (size_fields != 30 || first > last || ext_metrics > size || size - ext_metrics < 36 ||
      driver_info >= size)
    return invalid();

  const uint8_t* etm = b + ext_metrics;
  const uint16_t cap_height = platform::LoadLE16(etm + 14);
  const uint16_t x_height = platform::LoadLE16(etm + 16);
  const uint16_t lower_descent = platform::LoadLE16(etm + 20);
  const auto slant = static_cast<int16_t>(platform::LoadLE16(etm + 22));

  std::string ps_name;
  for (size_t i = driver_info; i < size && i < driver_info + 256 && ps_name.size() < 64; ++i) {
    if (b[i] == 0 || b[i] == ' ') break;
    if (!IsNameChar(b[i])) return invalid();
    ps_name += static_cast<char>(b[i]);
  }
  if (ps_name.empty()) return invalid();

  const size_t count = static_cast<size_t>(last - first + 1);
  if (extent_table >= size) return 3;
  if (size - extent_table < 2 * count) return 4;

  font.first_char = first;
  font.last_char = last;
  font.widths.fill(0);
  for (size_t i = 0; i < count; ++i)
    font.widths[first + i] = static_cast<int16_t>(platform::LoadLE16(b + extent_table + 2 * i));
  font.postscript_name = ps_name;

  const bool fixed_pitch = (pitch_and_family & 1) == 0 || avg_width == max_width;
  descriptor.ascent = ascent;
  descriptor.cap_height = cap_height;
  // The PFM gives the descent as a distance; in PDF it lies below the baseline.
  descriptor.descent = -static_cast<int>(lower_descent);
  descriptor.flags = 6;
  descriptor.bbox = {fixed_pitch ? -20 : -100, -5 - lower_descent, max_width + 10, ascent + 5};
  descriptor.font_name = ps_name;
  descriptor.italic_angle = slant * 0.1;
  descriptor.stem_v = 80;
  descriptor.x_height = x_height;
  return 0;
}

// Reads a PFB outline file: segments of byte 128, a type (1 text, 2 data, 3 end) and for 1 and 2
// a 32-bit length. 0 read, or 1..5 (reported).
int ReadPFB(const std::string& path, tvk_ExternalFont& font) {
  std::vector<uint8_t> bytes;
  try {
    bytes = platform::ReadFileBytes(path);
  } catch (const platform::IoError&) {
    tvk_reportError(tvk_kSeverityWarning, tvk_writerName(), "ReadPFB - Unable to open PFB file: %s",
                    path.c_str());
    return 1;
  }
  font.data.clear();
  font.length1 = font.length2 = font.length3 = 0;
  bool seen_data = false;
  size_t pos = 0;
  for (int segment = 1; pos < bytes.size(); ++segment) {
    if (bytes[pos] != 128) {
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(),
                      "ReadPFB - PFB file invalid (No magic number 128): %s, %d", path.c_str(), segment);
      return 2;
    }
    if (pos + 1 >= bytes.size()) break;
    const int type = bytes[pos + 1];
    if (type == 3) break;
    if (type != 1 && type != 2) {
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(), "ReadPFB - Unknown field type: %d", type);
      return 5;
    }
    const bool header_short = bytes.size() - pos < 6;
    const size_t length = header_short ? 0 : platform::LoadLE32(bytes.data() + pos + 2);
    if (header_short || length > bytes.size() - pos - 6) {
      if (type == 1) {
        tvk_reportError(tvk_kSeverityWarning, tvk_writerName(), "ReadPFB - ASCII section read error: %s, %d",
                        path.c_str(), segment);
        return 3;
      }
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(), "ReadPFB - BINARY section read error: %s",
                      path.c_str());
      return 4;
    }
    const uint8_t* data = bytes.data() + pos + 6;
    if (type == 1) {
      for (size_t i = 0; i < length; ++i) font.data.push_back(data[i] == '\r' ? '\n' : data[i]);
      (seen_data ? font.length3 : font.length1) += static_cast<long>(length);
    } else {
      font.data.insert(font.data.end(), data, data + length);
      font.length2 += static_cast<long>(length);
      seen_data = true;
    }
    pos += 6 + length;
  }
  return 0;
}

// Reads the metrics and the outlines of an external font; 0 or an error number.
int _tvk_loadExternalFont(std::string_view name, tvk_ExternalFont& font, tvk_FontDescriptor& descriptor) {
  tvk_Document& doc = tvk_doc();
  const std::string n(name);
  std::string pfb;
  if (ReadPFM(n + ".pfm", font, descriptor) == 0) {
    pfb = n + ".pfb";
  } else if (ReadPFM(doc.pfm_dir + "/" + n + ".pfm", font, descriptor) == 0) {
    pfb = doc.pfb_dir + "/" + n + ".pfb";
  } else {
    std::string pfm;
    const int found = tvk_readFontMap(name, &pfm, &pfb);
    if (found == -1) {
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(), "_tvk_loadExternalFont() Font not found: %s",
                      n.c_str());
      return -1;
    }
    if (found == 1) {
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(),
                      "_tvk_loadExternalFont() Fontmap file not found: %s", doc.font_map.c_str());
      return 1;
    }
    if (found == 2) {
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(),
                      "_tvk_loadExternalFont() Syntax error in fontmap file: %s", doc.font_map.c_str());
      return 2;
    }
    const int pfm_result = ReadPFM(pfm, font, descriptor);
    if (pfm_result != 0) {
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(),
                      "_tvk_loadExternalFont() Fontmap file %s or PFM file %s for %s is invalid.",
                      doc.font_map.c_str(), pfm.c_str(), n.c_str());
      return pfm_result;
    }
  }
  return ReadPFB(pfb, font);
}

// Texts between "(" and ")" on a font map line, from pos on.
bool NextParenthesised(const std::string& line, size_t& pos, std::string* out) {
  const size_t open = line.find('(', pos);
  if (open == std::string::npos) return false;
  const size_t close = line.find(')', open + 1);
  *out = line.substr(open + 1, (close == std::string::npos ? line.size() : close) - open - 1);
  pos = close == std::string::npos ? line.size() : close + 1;
  return true;
}

void FillBuiltin(tvk_Document& doc, tvk_Font& font) {
  const Row row = RowFor(font.index, font.encoding);
  font.kind = font.index < 14 ? 0 : 1;
  font.first_char = 32;
  // WinAnsi letters reach up to 255 (ü is 252): the widths must cover them.
  font.last_char = 255;
  font.widths = BuiltinWidths(font.index, row);
  font.ascii_only = row == Row::kAscii || (row == Row::kBuiltin && font.index != 12 && font.index != 13);
  if (font.kind == 0) {
    font.cap_height = kStandardCapHeights[font.index];
    return;
  }
  const DescriptorRow& r = kDescriptors[font.index - 14];
  tvk_FontDescriptor d;
  d.ascent = r.ascent;
  d.cap_height = r.cap_height;
  d.descent = r.descent;
  d.flags = r.flags;
  d.bbox = {r.bbox[0], r.bbox[1], r.bbox[2], r.bbox[3]};
  d.font_name = font.base_font;
  d.italic_angle = r.italic_angle;
  d.stem_v = r.stem_v;
  d.x_height = r.x_height;
  font.cap_height = r.cap_height;
  font.descriptor = static_cast<int>(doc.descriptors.size());
  doc.descriptors.push_back(std::move(d));
}

void WriteTf(int record) {
  tvk_Document& doc = tvk_doc();
  tvk_Page* page = tvk_drawingPage();
  if (page == nullptr) return;
  if (std::find(page->fonts.begin(), page->fonts.end(), record) == page->fonts.end())
    page->fonts.push_back(record);
  page->font_in_effect = record;
  tvk_emit(tvk_format("/%s %.3f Tf\n", doc.fonts[record].resource.c_str(), doc.text.font_size));
}

}  // namespace

const char* tvk_builtinFontName(int index) {
  return index >= 0 && index < tvk_kFontCount ? kNames[index] : nullptr;
}

void tvk_setFontMap(std::string_view path) { tvk_doc().font_map = path.substr(0, 1023); }

void tvk_setFontDirectories(std::string_view pfm_dir, std::string_view pfb_dir) {
  tvk_doc().pfm_dir = pfm_dir.substr(0, 1020);
  tvk_doc().pfb_dir = pfb_dir.substr(0, 1020);
}

int tvk_readFontMap(std::string_view name, std::string* pfm_path, std::string* pfb_path) {
  std::ifstream in(tvk_doc().font_map);
  if (!in) return 1;
  std::string pfm_dir, pfb_dir;
  std::vector<std::string> prefixes;
  bool have_dirs = false;
  bool have_prefixes = false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() <= 2 || line[0] == '#' || line[0] == '%') continue;
    size_t pos = 0;
    if (line.rfind("$Font_Directories", 0) == 0) {
      if (!NextParenthesised(line, pos, &pfm_dir) || !NextParenthesised(line, pos, &pfb_dir)) return 2;
      have_dirs = true;
      continue;
    }
    if (line.rfind("$Abs_Path_Prefix", 0) == 0) {
      prefixes.clear();
      std::string prefix;
      while (prefixes.size() < 10 && NextParenthesised(line, pos, &prefix))
        if (!prefix.empty() && prefix.size() <= 7) prefixes.push_back(prefix);
      have_prefixes = true;
      continue;
    }
    if (line[0] == '$') continue;
    const size_t word_end = line.find_first_of(" \t(");
    if (line.substr(0, word_end) != name) continue;
    std::string pfm, pfb;
    if (!NextParenthesised(line, pos, &pfm) || !NextParenthesised(line, pos, &pfb)) return 2;
    auto resolve = [&](const std::string& path, const std::string& dir) {
      if (!(have_dirs && have_prefixes)) return path;
      for (const std::string& p : prefixes)
        if (path.rfind(p, 0) == 0) return path;
      return dir + "/" + path;
    };
    if (pfm_path != nullptr) *pfm_path = resolve(pfm, pfm_dir);
    if (pfb_path != nullptr) *pfb_path = resolve(pfb, pfb_dir);
    return 0;
  }
  return -1;
}

int tvk_findFont(std::string_view name, std::string_view encoding, int* index, int* same_name_index) {
  const tvk_Document& doc = tvk_doc();
  int same = -1;
  for (size_t i = 0; i < doc.fonts.size(); ++i) {
    if (doc.fonts[i].name != name) continue;
    if (doc.fonts[i].encoding == encoding) {
      if (index != nullptr) *index = static_cast<int>(i);
      return 0;
    }
    if (same < 0) same = static_cast<int>(i);
  }
  if (same >= 0) {
    if (same_name_index != nullptr) *same_name_index = same;
    return 1;
  }
  return 2;
}

int tvk_setFont(std::string_view name, std::string_view encoding, double size) {
  tvk_Document& doc = tvk_doc();
  std::string font_name(name);
  int index = -1;
  for (int i = 0; i < tvk_kFontCount; ++i)
    if (font_name == kNames[i]) index = i;
  if (index < 0) {
    for (size_t i = 0; i < doc.external_fonts.size(); ++i)
      if (doc.external_fonts[i].name == font_name) index = tvk_kFontCount + static_cast<int>(i);
  }
  if (index < 0) {
    tvk_ExternalFont external;
    tvk_FontDescriptor descriptor;
    if (_tvk_loadExternalFont(font_name, external, descriptor) == 0) {
      const int position = static_cast<int>(doc.external_fonts.size());
      external.name = font_name;
      descriptor.font_file = position;
      external.descriptor = static_cast<int>(doc.descriptors.size());
      doc.descriptors.push_back(std::move(descriptor));
      doc.external_fonts.push_back(std::move(external));
      index = tvk_kFontCount + position;
    } else {
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(),
                      "Font not found: %s >> substituting Times-Roman.", font_name.c_str());
      font_name = "Times-Roman";
      index = 4;
    }
  }

  int record = -1;
  if (tvk_findFont(font_name, encoding, &record, nullptr) != 0) {
    if (static_cast<int64_t>(doc.fonts.size()) >= 4 * static_cast<int64_t>(doc.limits.fonts)) {
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(),
                      "Too many fonts: %d. Increase limit by tvk_setDocumentLimits()", doc.limits.fonts);
      return 1;
    }
    tvk_Font font;
    font.resource = tvk_format("Ftvk%d", static_cast<int>(doc.fonts.size()));
    font.index = index;
    font.name = font_name;
    font.encoding = encoding;
    if (index >= tvk_kFontCount) {
      // Records of one external font share its widths and its descriptor.
      const tvk_ExternalFont& external = doc.external_fonts[index - tvk_kFontCount];
      const tvk_FontDescriptor& descriptor = doc.descriptors[external.descriptor];
      font.kind = 2;
      font.base_font = descriptor.font_name;
      font.first_char = external.first_char;
      font.last_char = external.last_char;
      font.widths = external.widths;
      font.cap_height = descriptor.cap_height;
      font.descriptor = external.descriptor;
      font.ascii_only = encoding != "WinAnsiEncoding";
    } else {
      font.base_font = font_name;
      FillBuiltin(doc, font);
    }
    record = static_cast<int>(doc.fonts.size());
    doc.fonts.push_back(std::move(font));
  }
  doc.text.font = record;
  doc.text.font_size = size;
  doc.text.in_text = 1;
  WriteTf(record);
  return 0;
}

std::string tvk_fontBytes(std::string_view utf8) {
  const tvk_Document& doc = tvk_doc();
  const bool ascii_only = doc.text.font >= 0 && doc.fonts[doc.text.font].ascii_only;
  return tvk_toFontBytes(utf8, ascii_only);
}

void tvk_ensurePageFont() {
  tvk_Document& doc = tvk_doc();
  tvk_Page* page = tvk_drawingPage();
  if (page == nullptr) return;
  // PDF keeps no text state across pages: a page whose content has not selected the current
  // font gets its own Tf, and a text without any font gets Helvetica.
  if (doc.text.font < 0) {
    tvk_setFont("Helvetica", "WinAnsiEncoding", doc.text.font_size);
  } else if (page->font_in_effect != doc.text.font) {
    WriteTf(doc.text.font);
  }
}

void tvk_numberFonts(int& next_object) {
  tvk_Document& doc = tvk_doc();
  for (tvk_Font& font : doc.fonts) {
    font.object = next_object++;
    if (font.descriptor < 0) continue;
    tvk_FontDescriptor& d = doc.descriptors[font.descriptor];
    if (d.object == 0) d.object = next_object++;
    if (d.font_file >= 0 && doc.external_fonts[d.font_file].object == 0)
      doc.external_fonts[d.font_file].object = next_object++;
  }
}

void tvk_writeFonts() {
  tvk_Document& doc = tvk_doc();
  std::vector<bool> descriptor_written(doc.descriptors.size());
  std::vector<bool> file_written(doc.external_fonts.size());
  for (const tvk_Font& font : doc.fonts) {
    tvk_beginObject(font.object);
    std::string s = "<<\n/Type /Font\n/Subtype /Type1\n";
    tvk_appendFormat(s, "/Name /%s\n", font.resource.c_str());
    tvk_appendFormat(s, "/BaseFont /%s\n", font.base_font.c_str());
    if (!font.encoding.empty() && font.index != 12 && font.index != 13)
      tvk_appendFormat(s, "/Encoding /%s\n", font.encoding.c_str());
    if (font.kind != 0) {
      tvk_appendFormat(s, "/FirstChar %d\n", font.first_char);
      tvk_appendFormat(s, "/LastChar %d\n", font.last_char);
      s += "/Widths [\n";
      for (int c = font.first_char, i = 0; c <= font.last_char; ++c, ++i) {
        if ((i + 1) % 16 == 0) s += '\n';
        tvk_appendFormat(s, "%d ", font.widths[c]);
      }
      s += "]\n";
      tvk_appendFormat(s, "/FontDescriptor %d 0 R\n", doc.descriptors[font.descriptor].object);
    }
    s += ">>\n";
    tvk_writeOutput(s);
    tvk_endObject();
    if (font.descriptor < 0 || descriptor_written[font.descriptor]) continue;

    descriptor_written[font.descriptor] = true;
    const tvk_FontDescriptor& d = doc.descriptors[font.descriptor];
    tvk_beginObject(d.object);
    s = "<<\n/Type /FontDescriptor\n";
    tvk_appendFormat(s, "/Ascent %d\n", d.ascent);
    tvk_appendFormat(s, "/CapHeight %d\n", d.cap_height);
    tvk_appendFormat(s, "/Descent %d\n", d.descent);
    tvk_appendFormat(s, "/Flags %ld\n", d.flags);
    tvk_appendFormat(s, "/FontBBox [%d %d %d %d]\n", d.bbox[0], d.bbox[1], d.bbox[2], d.bbox[3]);
    tvk_appendFormat(s, "/FontName /%s\n", d.font_name.c_str());
    tvk_appendFormat(s, "/ItalicAngle %g\n", d.italic_angle);
    tvk_appendFormat(s, "/StemV %d\n", d.stem_v);
    tvk_appendFormat(s, "/XHeight %d\n", d.x_height);
    if (d.font_file >= 0)
      tvk_appendFormat(s, "/FontFile %d 0 R\n", doc.external_fonts[d.font_file].object);
    s += ">>\n";
    tvk_writeOutput(s);
    tvk_endObject();
    if (d.font_file < 0 || file_written[d.font_file]) continue;

    file_written[d.font_file] = true;
    const tvk_ExternalFont& e = doc.external_fonts[d.font_file];
    tvk_beginObject(e.object);
    s = "<<\n";
    tvk_appendFormat(s, "/Length %ld\n", static_cast<long>(e.data.size()));
    tvk_appendFormat(s, "/Length1 %ld\n", e.length1);
    tvk_appendFormat(s, "/Length2 %ld\n", e.length2);
    tvk_appendFormat(s, "/Length3 %ld\n", e.length3);
    s += ">>\nstream\n";
    tvk_writeOutput(s);
    doc.whole->Append(e.data.data(), e.data.size());
    tvk_writeOutput("\nendstream\n");
    tvk_endObject();
  }
}
