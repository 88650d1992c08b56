#include "reports/richtext/rich_edit2_ctrl.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using richtext::CharFormat;
using richtext::ParaFormat;
using richtext::RichTextDocument;

// Case folding for the letters a letter holds: ASCII and Latin-1.
char32_t Fold(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  return c;
}

// The document as one character sequence: each character with its format, "\r" between paragraphs.
struct FlatText {
  struct Cell {
    char32_t code;
    CharFormat format;
  };
  std::vector<Cell> cells;
  std::vector<ParaFormat> paragraphs;
};

FlatText Flatten(const RichTextDocument& document) {
  FlatText flat;
  for (size_t i = 0; i < document.paragraphs.size(); ++i) {
    const richtext::Paragraph& paragraph = document.paragraphs[i];
    if (i > 0) flat.cells.push_back({U'\r', CharFormat{}});
    for (const richtext::Run& run : paragraph.runs) {
      for (const char32_t c : richtext::DecodeUtf8(run.text)) flat.cells.push_back({c, run.format});
    }
    flat.paragraphs.push_back(paragraph.format);
  }
  return flat;
}

void Unflatten(const FlatText& flat, RichTextDocument& document) {
  std::vector<richtext::Paragraph> paragraphs(1);
  size_t index = 0;
  paragraphs[0].format = flat.paragraphs[0];
  std::string text;
  for (const FlatText::Cell& cell : flat.cells) {
    if (cell.code == U'\r') {
      paragraphs.emplace_back().format = flat.paragraphs[++index];
      continue;
    }
    text.clear();
    richtext::AppendUtf8(text, cell.code);
    paragraphs.back().Append(text, cell.format);
  }
  document.paragraphs = std::move(paragraphs);
}

long ParagraphOf(const FlatText& flat, long position) {
  return std::count_if(flat.cells.begin(), flat.cells.begin() + position,
                       [](const FlatText::Cell& cell) { return cell.code == U'\r'; });
}

}  // namespace

CRichEdit2Ctrl::CRichEdit2Ctrl(richtext::RichTextDocument document) { SetDocument(std::move(document)); }

void CRichEdit2Ctrl::SetDocument(richtext::RichTextDocument document) {
  document_ = std::move(document);
  if (document_.paragraphs.empty()) document_.paragraphs.emplace_back();
  selection_ = {};
}

long CRichEdit2Ctrl::GetTextLength() const {
  return static_cast<long>(richtext::DecodeUtf8(GetText()).size());
}

std::optional<CharRange> CRichEdit2Ctrl::FindText(std::string_view what, long from) const {
  std::u32string needle = richtext::DecodeUtf8(what);
  if (needle.empty()) return std::nullopt;
  std::u32string haystack = richtext::DecodeUtf8(GetText());
  std::transform(needle.begin(), needle.end(), needle.begin(), Fold);
  std::transform(haystack.begin(), haystack.end(), haystack.begin(), Fold);
  const size_t start = static_cast<size_t>(std::clamp<long>(from, 0, static_cast<long>(haystack.size())));
  const size_t found = haystack.find(needle, start);
  if (found == std::u32string::npos) return std::nullopt;
  return CharRange{static_cast<long>(found), static_cast<long>(found + needle.size())};
}

void CRichEdit2Ctrl::SetSel(long start, long end) {
  const long length = GetTextLength();
  start = std::clamp<long>(start, 0, length);
  end = std::clamp<long>(end, 0, length);
  selection_ = {std::min(start, end), std::max(start, end)};
}

void CRichEdit2Ctrl::ReplaceSel(std::string_view text) {
  FlatText flat = Flatten(document_);
  const long length = static_cast<long>(flat.cells.size());
  const long first = std::clamp<long>(selection_.min, 0, length);
  const long last = std::clamp<long>(selection_.max, first, length);

  // The format the new text takes: the first replaced character's, skipping paragraph marks.
  CharFormat format;
  bool have_format = false;
  for (long i = first; i < last && !have_format; ++i) {
    if (flat.cells[i].code != U'\r') format = flat.cells[i].format, have_format = true;
  }
  for (long i = first - 1; i >= 0 && !have_format; --i) {
    if (flat.cells[i].code != U'\r') format = flat.cells[i].format, have_format = true;
  }
  for (long i = last; i < length && !have_format; ++i) {
    if (flat.cells[i].code != U'\r') format = flat.cells[i].format, have_format = true;
  }
  if (!have_format) format.font = document_.default_font;

  const long paragraph = ParagraphOf(flat, first);
  const long removed_marks = ParagraphOf(flat, last) - paragraph;
  flat.paragraphs.erase(flat.paragraphs.begin() + paragraph + 1,
                        flat.paragraphs.begin() + paragraph + 1 + removed_marks);

  std::vector<FlatText::Cell> inserted;
  const std::u32string code_points = richtext::DecodeUtf8(text);
  for (size_t i = 0; i < code_points.size(); ++i) {
    char32_t c = code_points[i];
    if (c == U'\r' && i + 1 < code_points.size() && code_points[i + 1] == U'\n') ++i;
    if (c == U'\n') c = U'\r';
    if (c == U'\r') {
      const ParaFormat copy = flat.paragraphs[paragraph];
      flat.paragraphs.insert(flat.paragraphs.begin() + paragraph, copy);
      inserted.push_back({c, CharFormat{}});
    } else {
      inserted.push_back({c, format});
    }
  }
  flat.cells.erase(flat.cells.begin() + first, flat.cells.begin() + last);
  flat.cells.insert(flat.cells.begin() + first, inserted.begin(), inserted.end());
  Unflatten(flat, document_);
  const long caret = first + static_cast<long>(inserted.size());
  selection_ = {caret, caret};
}

int CRichEdit2Ctrl::ReplaceAll(std::string_view what, std::string_view with) {
  int count = 0;
  long from = 0;
  while (const std::optional<CharRange> found = FindText(what, from)) {
    SetSel(found->min, found->max);
    ReplaceSel(with);
    from = selection_.max;
    ++count;
  }
  return count;
}

gfx::Color CRichEdit2Ctrl::SetBackgroundColor(bool use_system_color, gfx::Color /*color*/) {
  // Any colour a caller asks for is shown as white, as the letter's paper.
  const gfx::Color previous = background_;
  system_background_ = use_system_color;
  background_ = gfx::Rgb(255, 255, 255);
  return previous;
}

bool CRichEdit2Ctrl::SetAutoURLDetect(bool enable) {
  auto_url_detect_ = enable;
  return true;
}
