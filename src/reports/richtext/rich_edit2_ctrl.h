#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "gfx/geometry.h"
#include "reports/richtext/rich_text_document.h"

// Positions count the characters (code points) of the plain text, in which "\r" ends a paragraph.
struct CharRange {
  long min = 0;
  long max = 0;
  bool operator==(const CharRange&) const = default;
};

// The narrative letter's rich edit control: owns the document it edits. It always searches towards
// the end of the text and keeps a white background whatever colour it is given. Single thread (the
// one that owns the letter).
class CRichEdit2Ctrl {
 public:
  CRichEdit2Ctrl() = default;
  explicit CRichEdit2Ctrl(richtext::RichTextDocument document);

  const richtext::RichTextDocument& Document() const { return document_; }
  void SetDocument(richtext::RichTextDocument document);

  std::string GetText() const { return document_.PlainText(); }
  long GetTextLength() const;

  // The first occurrence of `what` at or after `from`, ignoring case; it may span runs and, with
  // "\r", paragraphs.
  std::optional<CharRange> FindText(std::string_view what, long from = 0) const;

  // Clamped to the text; a reversed range is put in order.
  void SetSel(long start, long end);
  CharRange GetSel() const { return selection_; }

  // Replaces the selection. The new text takes the format of the first replaced character (of the
  // character before the caret when nothing is selected); its line breaks ("\r\n", "\n" or "\r")
  // start new paragraphs of the format of the paragraph the selection starts in. Removing a "\r"
  // joins two paragraphs under the first one's format. The selection ends up as a caret after the
  // new text.
  void ReplaceSel(std::string_view text);

  // Replaces every occurrence from the start, continuing after each replacement; the count.
  int ReplaceAll(std::string_view what, std::string_view with);

  // The background is white unless the system colour is asked for; the previous colour.
  gfx::Color SetBackgroundColor(bool use_system_color, gfx::Color color);
  gfx::Color GetBackgroundColor() const { return background_; }
  bool UsesSystemBackground() const { return system_background_; }

  bool SetAutoURLDetect(bool enable);
  bool GetAutoURLDetect() const { return auto_url_detect_; }

 private:
  richtext::RichTextDocument document_;
  CharRange selection_;
  gfx::Color background_ = gfx::Rgb(255, 255, 255);
  bool system_background_ = true;
  bool auto_url_detect_ = false;
};
