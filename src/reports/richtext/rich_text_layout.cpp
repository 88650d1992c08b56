#include "reports/richtext/rich_text_layout.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <optional>

#include "gfx/canvas.h"
#include "gfx/font_metrics.h"
#include "gfx/standard_fonts.h"
#include "platform/cp1252.h"
#include "reports/emf_markers.h"

namespace richtext {
namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kDefaultSizeHalfPoints = 24;
constexpr char32_t kLineBreak = U'\v';
constexpr char32_t kPageBreak = U'\f';
constexpr char32_t kNoBreakSpace = U'\u00A0';
constexpr char32_t kOptionalHyphen = U'\u00AD';

// A font of the document as the layout measures and the canvas draws it.
struct Face {
  const gfx::StandardFontMetrics* widths = nullptr;
  gfx::Font font;  // in twips: height is minus the em
  double em_twips = 0;
  double ascent_twips = 0;
  double descent_twips = 0;
};

const FontEntry& FontOf(const std::vector<FontEntry>& fonts, int index) {
  static const FontEntry kFallback;
  if (index >= 0 && index < static_cast<int>(fonts.size())) return fonts[index];
  return fonts.empty() ? kFallback : fonts.front();
}

// The canvas picks its face by name: name the one whose widths the layout measured with.
std::string CanvasFaceName(std::string_view postscript_name) {
  if (postscript_name.starts_with("Times")) return "Times New Roman";
  if (postscript_name.starts_with("Courier")) return "Courier New";
  if (postscript_name == "Symbol" || postscript_name == "ZapfDingbats") return std::string(postscript_name);
  return "Arial";
}

Face MakeFace(const std::vector<FontEntry>& fonts, const CharFormat& format) {
  const std::string_view postscript =
      StandardFontName(FontOf(fonts, format.font), format.bold, format.italic);
  Face face;
  face.widths = gfx::FindStandardFont(postscript);
  if (face.widths == nullptr) face.widths = gfx::FindStandardFont("Helvetica");
  const int half_points = format.size_half_points > 0 ? format.size_half_points : kDefaultSizeHalfPoints;
  face.em_twips = half_points * 10.0;
  face.font.face = CanvasFaceName(postscript);
  face.font.height = -static_cast<int32_t>(std::lround(face.em_twips));
  face.font.weight = format.bold ? gfx::kFwBold : gfx::kFwNormal;
  face.font.italic = format.italic;
  face.font.underline = format.underline;
  const gfx::FontFace vertical = gfx::ResolveFontFace(face.font);
  face.ascent_twips = face.em_twips * vertical.ascent_em;
  face.descent_twips = face.em_twips * vertical.descent_em;
  return face;
}

uint8_t Cp1252Code(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<uint8_t>(c);
  std::string utf8;
  AppendUtf8(utf8, c);
  const std::string code = platform::Utf8ToCp1252(utf8);
  return code.size() == 1 ? static_cast<uint8_t>(code[0]) : static_cast<uint8_t>('?');
}

double CharWidth(const Face& face, char32_t c) {
  return face.widths->winansi_widths[Cp1252Code(c)] * face.em_twips / 1000.0;
}

// One character of a paragraph with the run it belongs to.
struct Item {
  char32_t code;
  int run;
  double width;  // as set; a tab's width depends on where it stands
};

bool IsBlank(char32_t c) { return c == U' ' || c == U'\t'; }
bool BreaksAfter(char32_t c) { return c == U' ' || c == U'\t' || c == U'-' || c == kOptionalHyphen; }
bool Invisible(char32_t c) {
  return c == U'\t' || c == kLineBreak || c == kPageBreak || c == kOptionalHyphen;
}

double NextTabStop(const ParaFormat& format, double x) {
  for (const int stop : format.tab_stops_twips) {
    if (stop > x + 0.5) return stop;
  }
  return (std::floor(x / RichTextLayout::kDefaultTabTwips + 1e-9) + 1) * RichTextLayout::kDefaultTabTwips;
}

enum class LineEnd { kWrapped, kLineBreak, kPageBreak, kParagraph };

// A paragraph's lines before they are placed on pages.
struct BrokenLine {
  size_t first = 0;  // item indices: [first, end)
  size_t end = 0;
  LineEnd ending = LineEnd::kParagraph;
  bool page_before = false;  // a page break stood at its start
  int height = 0;
  int ascent = 0;
  std::vector<LayoutFragment> fragments;
};

class ParagraphBreaker {
 public:
  // An empty paragraph is as high as a line of the carried format, the one in force before it.
  ParagraphBreaker(const Paragraph& paragraph, const std::vector<FontEntry>& fonts, const CharFormat& carried,
                   int area_width)
      : paragraph_(paragraph), format_(paragraph.format), area_width_(area_width) {
    for (size_t r = 0; r < paragraph.runs.size(); ++r) {
      faces_.push_back(MakeFace(fonts, paragraph.runs[r].format));
      for (const char32_t c : DecodeUtf8(paragraph.runs[r].text)) {
        items_.push_back({c, static_cast<int>(r), Invisible(c) ? 0.0 : CharWidth(faces_.back(), c)});
      }
    }
    empty_face_ = MakeFace(fonts, paragraph.runs.empty() ? carried : paragraph.runs.back().format);
    xs_.resize(items_.size() + 1);
  }

  size_t ItemCount() const { return items_.size(); }

  std::vector<BrokenLine> Break() {
    std::vector<BrokenLine> lines;
    size_t i = 0;
    do {
      BrokenLine line;
      line.first = i;
      // Page breaks at the start of a line move the line itself to the next page.
      while (i < items_.size() && items_[i].code == kPageBreak) {
        line.page_before = true;
        ++i;
      }
      BreakLine(line, i, lines.empty());
      i = line.end;
      lines.push_back(std::move(line));
      // A line break at the end of the paragraph still opens an (empty) line.
    } while (i < items_.size() || lines.back().ending == LineEnd::kLineBreak);
    return lines;
  }

 private:
  double LeftEdge(bool first_line) const {
    const int left = format_.left_indent_twips + (first_line ? format_.first_indent_twips : 0);
    return std::max(0, left);
  }
  double RightEdge() const { return static_cast<double>(area_width_) - format_.right_indent_twips; }

  // Fills line.end, line.ending and the line's geometry for the items from `start`.
  void BreakLine(BrokenLine& line, size_t start, bool first_line) {
    const double left = LeftEdge(first_line);
    const double right = RightEdge();
    double x = left;
    std::optional<size_t> opportunity;  // the line may end before this item
    size_t j = start;
    line.ending = LineEnd::kParagraph;
    for (; j < items_.size(); ++j) {
      Item& item = items_[j];
      xs_[j] = x;
      if (item.code == kLineBreak || item.code == kPageBreak) {
        line.ending = item.code == kLineBreak ? LineEnd::kLineBreak : LineEnd::kPageBreak;
        ++j;
        break;
      }
      if (item.code == U'\t') item.width = NextTabStop(format_, x) - x;
      // Blanks and optional hyphens never push a line over: they hang.
      const bool hangs = item.code == U' ' || item.code == U'\t' || item.code == kOptionalHyphen;
      if (!hangs && x + item.width > right + 1e-6 && j > start) {
        j = opportunity.value_or(j);
        line.ending = LineEnd::kWrapped;
        break;
      }
      x += item.width;
      // A minus sign after a blank stays with its number.
      const bool minus = item.code == U'-' && (j == start || IsBlank(items_[j - 1].code));
      if (BreaksAfter(item.code) && !minus) opportunity = j + 1;
    }
    line.end = j;
    xs_[j] = x;
    Shape(line, left, right);
  }

  // Places the fragments of a broken line by the alignment and measures its height.
  void Shape(BrokenLine& line, double left, double right) {
    size_t visible_end = line.end;
    while (visible_end > line.first &&
           (IsBlank(items_[visible_end - 1].code) || items_[visible_end - 1].code == kLineBreak ||
            items_[visible_end - 1].code == kPageBreak))
      --visible_end;
    const bool hyphenated = line.ending == LineEnd::kWrapped && visible_end > line.first &&
                            items_[visible_end - 1].code == kOptionalHyphen;
    double content_end =
        visible_end > line.first ? xs_[visible_end - 1] + items_[visible_end - 1].width : left;
    const Face* hyphen_face = hyphenated ? &faces_[items_[visible_end - 1].run] : nullptr;
    if (hyphen_face) content_end += CharWidth(*hyphen_face, U'-');

    double shift = 0;
    double extra_per_blank = 0;
    size_t stretch_from = line.first;  // blanks before the last tab stay where the tab put them
    for (size_t k = line.first; k < visible_end; ++k)
      if (items_[k].code == U'\t') stretch_from = k + 1;
    switch (format_.alignment) {
      case Alignment::kLeft:
        break;
      case Alignment::kCenter:
        shift = std::max(0.0, (right - content_end) / 2);
        break;
      case Alignment::kRight:
        shift = std::max(0.0, right - content_end);
        break;
      case Alignment::kJustify:
        if (line.ending == LineEnd::kWrapped) {
          int blanks = 0;
          for (size_t k = stretch_from; k < visible_end; ++k) blanks += items_[k].code == U' ' ? 1 : 0;
          if (blanks > 0) extra_per_blank = std::max(0.0, (right - content_end) / blanks);
        }
        break;
    }

    double ascent = 0, descent = 0;
    for (size_t k = line.first; k < line.end; ++k) {
      const Face& face = faces_[items_[k].run];
      ascent = std::max(ascent, face.ascent_twips);
      descent = std::max(descent, face.descent_twips);
    }
    if (line.end == line.first) {
      // Nothing but the paragraph mark: the height of the text before it, or of the default font.
      const Face& face = items_.empty() ? empty_face_ : faces_[items_.back().run];
      ascent = face.ascent_twips;
      descent = face.descent_twips;
    }
    line.ascent = static_cast<int>(std::lround(ascent));
    line.height = line.ascent + static_cast<int>(std::lround(descent));

    double extra = 0;
    LayoutFragment* open = nullptr;
    const auto close = [&](double end_x) {
      if (open) open->width_twips = static_cast<int>(std::lround(end_x)) - open->x_twips;
      open = nullptr;
    };
    for (size_t k = line.first; k < visible_end; ++k) {
      const Item& item = items_[k];
      const double at = xs_[k] + shift + extra;
      const bool last = k + 1 == visible_end;
      if (Invisible(item.code) && !(hyphenated && last)) {
        // Text after a tab starts where the stop puts it; the other marks take no room.
        if (item.code == U'\t') close(at);
        if (last) close(at);
        continue;
      }
      const CharFormat& format = paragraph_.runs[item.run].format;
      if (open == nullptr || open->format != format) {
        close(at);
        line.fragments.push_back({{}, format, static_cast<int>(std::lround(at)), 0});
        open = &line.fragments.back();
      }
      double width = item.width;
      if (item.code == kOptionalHyphen) {
        open->text += '-';
        width = CharWidth(faces_[item.run], U'-');
      } else {
        AppendUtf8(open->text, item.code);
      }
      if (item.code == U' ' && k >= stretch_from && extra_per_blank > 0) {
        // A stretched blank ends the fragment so that the next word starts where justification puts it.
        extra += extra_per_blank;
        close(at + width);
      } else if (last) {
        close(at + width);
      }
    }
  }

  const Paragraph& paragraph_;
  const ParaFormat& format_;
  int area_width_;
  std::vector<Face> faces_;
  Face empty_face_;
  std::vector<Item> items_;
  std::vector<double> xs_;
};

}  // namespace

RichTextLayout::RichTextLayout(const RichTextDocument& document, int width_twips, int height_twips)
    : width_twips_(std::max(0, width_twips)), height_twips_(std::max(0, height_twips)) {
  Build(document);
}

RichTextLayout::RichTextLayout(const RichTextDocument& document)
    : RichTextLayout(document,
                     document.paper_width_twips - document.margin_left_twips - document.margin_right_twips,
                     document.paper_height_twips - document.margin_top_twips - document.margin_bottom_twips) {
}

const LayoutPage& RichTextLayout::Page(int index) const {
  assert(index >= 0 && index < PageCount());
  return pages_[static_cast<size_t>(index)];
}

void RichTextLayout::Build(const RichTextDocument& document) {
  fonts_ = document.fonts;
  colors_ = document.colors;
  pages_.assign(1, LayoutPage{});
  int y = 0;
  bool page_pending = false;
  long position = 0;
  CharFormat carried;
  carried.font = document.default_font;
  for (size_t p = 0; p < document.paragraphs.size(); ++p) {
    const Paragraph& paragraph = document.paragraphs[p];
    ParagraphBreaker breaker(paragraph, fonts_, carried, width_twips_);
    if (!paragraph.runs.empty()) carried = paragraph.runs.back().format;
    std::vector<BrokenLine> lines = breaker.Break();
    const long paragraph_start = position;
    const bool has_mark = p + 1 < document.paragraphs.size();
    for (size_t l = 0; l < lines.size(); ++l) {
      BrokenLine& broken = lines[l];
      const bool first = l == 0;
      const bool last = l + 1 == lines.size();
      const int before = first ? paragraph.format.space_before_twips : 0;
      LayoutPage* page = &pages_.back();
      const bool new_page = page_pending || broken.page_before || y + before + broken.height > height_twips_;
      if (new_page && !page->lines.empty()) {
        pages_.push_back(LayoutPage{});
        page = &pages_.back();
        y = 0;
      }
      page_pending = false;
      LayoutLine line;
      line.chars.min = paragraph_start + static_cast<long>(broken.first);
      line.chars.max = paragraph_start + static_cast<long>(broken.end) + (last && has_mark ? 1 : 0);
      line.top_twips = y + before;
      line.height_twips = broken.height;
      line.ascent_twips = broken.ascent;
      line.fragments = std::move(broken.fragments);
      y = line.top_twips + line.height_twips + (last ? paragraph.format.space_after_twips : 0);
      if (page->lines.empty()) page->chars.min = line.chars.min;
      page->chars.max = line.chars.max;
      page->lines.push_back(std::move(line));
      if (broken.ending == LineEnd::kPageBreak) page_pending = true;
    }
    position += static_cast<long>(breaker.ItemCount()) + (has_mark ? 1 : 0);
  }
  // A page break with no text after it opens no page; its characters stay on the last one.
  pages_.back().chars.max = position;
}

void RichTextLayout::DrawPage(gfx::Canvas& dc, int index, gfx::Point origin_twips,
                              bool screen_dpi_markers) const {
  const LayoutPage& page = Page(index);
  const int dpi_x = dc.GetDeviceCaps(gfx::DeviceCap::kLogPixelsX);
  const int dpi_y = dc.GetDeviceCaps(gfx::DeviceCap::kLogPixelsY);
  const auto px = [](double twips, int dpi) {
    return static_cast<int32_t>(std::lround(twips * dpi / kTwipsPerInch));
  };

  if (screen_dpi_markers) WriteScreenDpiMarker(dc, dpi_x);
  const int32_t saved = dc.SaveDC();
  dc.SetMapMode(gfx::MapMode::kText);
  dc.SetWindowOrg(0, 0);
  dc.SetViewportOrg(0, 0);
  dc.SetBkMode(gfx::BkMode::kTransparent);
  dc.SetTextAlign(gfx::kTaBaseline | gfx::kTaLeft | gfx::kTaNoUpdateCp);
  std::optional<gfx::Font> selected;
  std::optional<gfx::Color> text_color;
  for (const LayoutLine& line : page.lines) {
    const int32_t baseline = px(origin_twips.y + line.top_twips + line.ascent_twips, dpi_y);
    for (const LayoutFragment& fragment : line.fragments) {
      const Face face = MakeFace(fonts_, fragment.format);
      gfx::Font font = face.font;
      font.height = -std::max(1, px(face.em_twips, dpi_y));
      if (font != selected) {
        dc.SelectFont(font);
        selected = font;
      }
      gfx::Color color = 0;
      if (fragment.format.color >= 0 && fragment.format.color < static_cast<int>(colors_.size())) {
        const ColorEntry& entry = colors_[static_cast<size_t>(fragment.format.color)];
        if (!entry.automatic) color = gfx::Rgb(entry.red, entry.green, entry.blue);
      }
      if (color != text_color) {
        dc.SetTextColor(color);
        text_color = color;
      }
      dc.TextOut(px(origin_twips.x + fragment.x_twips, dpi_x), baseline, fragment.text);
    }
  }
  dc.RestoreDC(saved);
  if (screen_dpi_markers) WriteScreenDpiMarker(dc, 0);
}

}  // namespace richtext
