#pragma once

#include <string>
#include <vector>

#include "gfx/geometry.h"
#include "reports/richtext/rich_edit2_ctrl.h"
#include "reports/richtext/rich_text_document.h"

namespace gfx {
class Canvas;
}

namespace richtext {

// Text of one format at one place on a line; tabs, breaks and the blanks that end a line are left
// out. An optional hyphen at which the line breaks is drawn as "-".
struct LayoutFragment {
  std::string text;  // UTF-8
  CharFormat format;
  int x_twips = 0;  // from the left edge of the text area
  int width_twips = 0;
};

// Characters count as in CRichEdit2Ctrl: code points of the plain text with "\r" between paragraphs.
// The last line of a paragraph holds its paragraph mark, so the lines of a document cover every
// character once and in order.
struct LayoutLine {
  CharRange chars;
  int top_twips = 0;  // from the top of the text area
  int height_twips = 0;
  int ascent_twips = 0;  // the baseline below the top
  std::vector<LayoutFragment> fragments;
};

// The characters of a page run from its first line's first to the first of the next page; those of
// the last page to the end of the text.
struct LayoutPage {
  CharRange chars;
  std::vector<LayoutLine> lines;
};

// A rich text broken into lines and pages for a text area of a given size, measured with the widths
// of the standard faces the document's fonts map to; all positions in twips. Lines break after
// blanks, tabs, hyphens and optional hyphens; a word wider than the line breaks inside it; blanks
// at the end of a line hang into the right indent. Tab stops count from the left edge of the text
// area, every 720 twips after the paragraph's own. A page break ("\f") starts the text after it on
// a new page; a page also ends where the next line would not fit (a line taller than a page stands
// alone). An empty paragraph keeps the height of a line in the format before it (the default font
// at 12 points at the start). There is
// always at least one page. Plain data once built: any thread may read it.
class RichTextLayout {
 public:
  static constexpr int kDefaultTabTwips = 720;

  // A text area of that many twips.
  RichTextLayout(const RichTextDocument& document, int width_twips, int height_twips);
  // The document's own paper less its margins.
  explicit RichTextLayout(const RichTextDocument& document);

  int WidthTwips() const { return width_twips_; }
  int HeightTwips() const { return height_twips_; }
  int PageCount() const { return static_cast<int>(pages_.size()); }
  // From 0; the index must be below PageCount().
  const LayoutPage& Page(int index) const;

  // Draws a page with the text area's top-left corner at origin (twips from the device's origin),
  // in MM_TEXT at the device's resolution, as the platform's rich edit control renders a range:
  // the canvas's mapping and objects are as they were afterwards. For a page recorded for the PDF
  // export, screen_dpi_markers brackets the drawing with "SCREENDPI" markers (the device's
  // horizontal resolution before, 0 after) so that the converter places the text by that resolution.
  void DrawPage(gfx::Canvas& dc, int index, gfx::Point origin_twips, bool screen_dpi_markers) const;

 private:
  void Build(const RichTextDocument& document);

  int width_twips_ = 0;
  int height_twips_ = 0;
  std::vector<FontEntry> fonts_;
  std::vector<ColorEntry> colors_;
  std::vector<LayoutPage> pages_;
};

}  // namespace richtext
