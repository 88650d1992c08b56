#include "reports/richtext/rtf_reader.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <map>
#include <optional>

#include "platform/cp1252.h"
#include "platform/io_error.h"

namespace richtext {
namespace {

constexpr size_t kMaxDepth = 512;
constexpr size_t kMaxWordLength = 32;
constexpr size_t kMaxDigits = 10;

enum class Destination { kText, kSkip, kFontTable, kColorTable };

struct GroupState {
  Destination destination = Destination::kText;
  CharFormat chars;
  ParaFormat para;
  int unicode_skip = 1;
};

// Destinations that are never body text although they are not marked ignorable.
constexpr std::string_view kSkippedDestinations[] = {
    "info",      "stylesheet",        "header",  "headerl", "headerr",    "headerf", "footer",
    "footerl",   "footerr",           "footerf", "fldinst", "nonshppict", "filetbl", "revtbl",
    "listtable", "listoverridetable", "pntxta",  "pntxtb",  "xe",         "tc",      "private"};

struct SpecialCharacter {
  std::string_view word;
  char32_t code;
};
constexpr SpecialCharacter kSpecialCharacters[] = {
    {"tab", U'\t'},           {"line", U'\v'},          {"page", U'\f'},        {"emdash", U'\u2014'},
    {"endash", U'\u2013'},    {"bullet", U'\u2022'},    {"lquote", U'\u2018'},  {"rquote", U'\u2019'},
    {"ldblquote", U'\u201C'}, {"rdblquote", U'\u201D'}, {"enspace", U'\u2002'}, {"emspace", U'\u2003'}};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Reader {
 public:
  Reader(std::string_view bytes, std::string_view where) : in_(bytes), where_(where) {}

  RtfReadResult Read() {
    if (in_.substr(0, 5) != "{\\rtf") Fail(0, "not a rich text file: it does not begin with {\\rtf");
    while (pos_ < in_.size()) {
      const char c = in_[pos_];
      if (c == '{') {
        ++pos_;
        OpenGroup();
      } else if (c == '}') {
        ++pos_;
        if (stack_.size() == 1) {
          // The last paragraph takes the formats in force when the document closes.
          EndParagraph(state_.para);
          CloseGroup();
          break;  // whatever follows the outermost group is not part of the text
        }
        CloseGroup();
      } else if (c == '\\') {
        ReadControl();
      } else if (c == '\r' || c == '\n' || c == '\0') {
        ++pos_;
      } else {
        ++pos_;
        group_start_ = false;
        if (c == '\t') {
          Character(U'\t');
        } else {
          Byte(static_cast<unsigned char>(c));
        }
      }
    }
    if (!stack_.empty()) Fail(pos_, "the file ends inside a group");
    result_.document.paragraphs = std::move(paragraphs_);
    Finish();
    return std::move(result_);
  }

 private:
  [[noreturn]] void Fail(size_t offset, const std::string& fault) const {
    throw platform::FormatError(std::string(where_) + ", offset " + std::to_string(offset), fault);
  }

  void OpenGroup() {
    if (stack_.size() >= kMaxDepth) Fail(pos_ - 1, "groups nested too deeply");
    stack_.push_back(state_);
    skip_fallback_ = 0;
    group_start_ = true;
  }

  void CloseGroup() {
    assert(!stack_.empty());  // the outermost group's end stops the reading
    if (state_.destination == Destination::kFontTable) CommitFont();
    state_ = stack_.back();
    stack_.pop_back();
    skip_fallback_ = 0;
    group_start_ = false;
  }

  void ReadControl() {
    const size_t start = pos_;
    ++pos_;
    if (pos_ >= in_.size()) Fail(start, "the file ends after a backslash");
    const char c = in_[pos_];
    if (!IsLetter(c)) {
      ++pos_;
      ControlSymbol(c, start);
      return;
    }
    const size_t word_start = pos_;
    while (pos_ < in_.size() && IsLetter(in_[pos_])) ++pos_;
    if (pos_ - word_start > kMaxWordLength) Fail(start, "control word too long");
    const std::string_view word = in_.substr(word_start, pos_ - word_start);
    std::optional<int> parameter;
    bool negative = false;
    if (pos_ < in_.size() && in_[pos_] == '-' && pos_ + 1 < in_.size() && IsDigit(in_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    if (pos_ < in_.size() && IsDigit(in_[pos_])) {
      const size_t digits_start = pos_;
      int64_t value = 0;
      while (pos_ < in_.size() && IsDigit(in_[pos_])) {
        if (pos_ - digits_start >= kMaxDigits) Fail(start, "number out of range");
        value = value * 10 + (in_[pos_++] - '0');
      }
      if (value > INT32_MAX) Fail(start, "number out of range");
      parameter = static_cast<int>(negative ? -value : value);
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    group_start_ = false;
    ControlWord(word, parameter, start);
  }

  void ControlSymbol(char c, size_t start) {
    const bool at_group_start = group_start_;
    group_start_ = false;
    switch (c) {
      case '\\':
      case '{':
      case '}':
        Byte(static_cast<unsigned char>(c));
        return;
      case '~':
        Character(U'\u00A0');
        return;
      case '-':
        Character(U'\u00AD');
        return;
      case '_':
        Character(U'\u2011');
        return;
      case '\r':
      case '\n':
        ControlWord("par", std::nullopt, start);
        return;
      case '*':
        if (at_group_start) IgnorableGroup();
        return;
      case '\'': {
        if (pos_ + 2 > in_.size()) Fail(start, "the file ends inside \\'hh");
        const int high = HexValue(in_[pos_]);
        const int low = HexValue(in_[pos_ + 1]);
        if (high < 0 || low < 0) Fail(start, "\\' is not followed by two hex digits");
        pos_ += 2;
        Byte(static_cast<unsigned char>(high * 16 + low));
        return;
      }
      default:
        return;
    }
  }

  // The group of "{\*\word": skipped whole, whatever the word; a picture in it is noted.
  void IgnorableGroup() {
    const size_t start = pos_ - 2;
    if (state_.destination != Destination::kSkip && in_.substr(pos_, 8) == "\\shppict")
      result_.dropped.push_back("picture at offset " + std::to_string(start));
    state_.destination = Destination::kSkip;
  }

  void ControlWord(std::string_view word, std::optional<int> parameter, size_t start) {
    if (word == "bin") {
      // Binary data may hold braces and backslashes: step over it whatever the destination.
      const int length = parameter.value_or(0);
      if (length < 0 || static_cast<size_t>(length) > in_.size() - pos_)
        Fail(start, "binary data beyond the end of the file");
      pos_ += static_cast<size_t>(length);
      return;
    }
    if (state_.destination == Destination::kSkip) return;
    if (skip_fallback_ > 0) {
      --skip_fallback_;
      return;
    }
    switch (state_.destination) {
      case Destination::kFontTable:
        FontTableWord(word, parameter);
        return;
      case Destination::kColorTable:
        ColorTableWord(word, parameter);
        return;
      default:
        break;
    }
    if (word == "fonttbl") {
      state_.destination = Destination::kFontTable;
      pending_font_.reset();
      return;
    }
    if (word == "colortbl") {
      state_.destination = Destination::kColorTable;
      pending_color_ = ColorEntry{};
      return;
    }
    if (word == "pict" || word == "object") {
      result_.dropped.push_back(std::string(word == "pict" ? "picture" : "embedded object") + " at offset " +
                                std::to_string(start));
      state_.destination = Destination::kSkip;
      return;
    }
    for (std::string_view skipped : kSkippedDestinations) {
      if (word == skipped) {
        state_.destination = Destination::kSkip;
        return;
      }
    }
    for (const SpecialCharacter& special : kSpecialCharacters) {
      if (word == special.word) {
        Character(special.code);
        return;
      }
    }
    TextWord(word, parameter, start);
  }

  void TextWord(std::string_view word, std::optional<int> parameter, size_t start) {
    const int value = parameter.value_or(1);
    CharFormat& chars = state_.chars;
    ParaFormat& para = state_.para;
    if (word == "par") {
      EndParagraph(para);
    } else if (word == "cell") {
      Character(U'\t');
      cell_tab_pending_ = true;
    } else if (word == "row") {
      if (cell_tab_pending_ && !current_.runs.empty()) {
        std::string& text = current_.runs.back().text;
        text.pop_back();
        if (text.empty()) current_.runs.pop_back();
      }
      EndParagraph(para);
    } else if (word == "u") {
      UnicodeCharacter(value, start);
    } else if (word == "uc") {
      state_.unicode_skip = std::max(0, value);
    } else if (word == "deff") {
      default_font_number_ = value;
    } else if (word == "plain") {
      chars = CharFormat{};
      chars.font = DefaultFont();
    } else if (word == "pard") {
      para = ParaFormat{};
    } else if (word == "b") {
      chars.bold = value != 0;
    } else if (word == "i") {
      chars.italic = value != 0;
    } else if (word == "ul") {
      chars.underline = value != 0;
    } else if (word == "ulnone") {
      chars.underline = false;
    } else if (word == "f") {
      const auto found = font_index_.find(value);
      chars.font = found != font_index_.end() ? found->second : DefaultFont();
    } else if (word == "fs") {
      if (value > 0) chars.size_half_points = value;
    } else if (word == "cf") {
      chars.color = value >= 0 ? value : 0;
    } else if (word == "ql") {
      para.alignment = Alignment::kLeft;
    } else if (word == "qc") {
      para.alignment = Alignment::kCenter;
    } else if (word == "qr") {
      para.alignment = Alignment::kRight;
    } else if (word == "qj") {
      para.alignment = Alignment::kJustify;
    } else if (word == "li") {
      para.left_indent_twips = value;
    } else if (word == "ri") {
      para.right_indent_twips = value;
    } else if (word == "fi") {
      para.first_indent_twips = value;
    } else if (word == "sb") {
      para.space_before_twips = value;
    } else if (word == "sa") {
      para.space_after_twips = value;
    } else if (word == "tx") {
      if (value >= 0) para.tab_stops_twips.push_back(value);
    } else if (word == "paperw") {
      if (value > 0) result_.document.paper_width_twips = value;
    } else if (word == "paperh") {
      if (value > 0) result_.document.paper_height_twips = value;
    } else if (word == "margl") {
      if (value >= 0) result_.document.margin_left_twips = value;
    } else if (word == "margr") {
      if (value >= 0) result_.document.margin_right_twips = value;
    } else if (word == "margt") {
      if (value >= 0) result_.document.margin_top_twips = value;
    } else if (word == "margb") {
      if (value >= 0) result_.document.margin_bottom_twips = value;
    }
  }

  void FontTableWord(std::string_view word, std::optional<int> parameter) {
    static constexpr std::pair<std::string_view, FontFamily> kFamilies[] = {
        {"fnil", FontFamily::kNil},       {"froman", FontFamily::kRoman},   {"fswiss", FontFamily::kSwiss},
        {"fmodern", FontFamily::kModern}, {"fscript", FontFamily::kScript}, {"fdecor", FontFamily::kDecor},
        {"ftech", FontFamily::kTech},     {"fbidi", FontFamily::kNil}};
    if (word == "f") {
      CommitFont();
      pending_font_ = PendingFont{parameter.value_or(0), FontFamily::kNil, 0, {}};
      return;
    }
    if (!pending_font_) return;
    if (word == "fcharset") {
      pending_font_->charset = parameter.value_or(0);
      return;
    }
    for (const auto& [name, family] : kFamilies) {
      if (word == name) pending_font_->family = family;
    }
  }

  void ColorTableWord(std::string_view word, std::optional<int> parameter) {
    const auto component = static_cast<uint8_t>(std::clamp(parameter.value_or(0), 0, 255));
    if (word == "red") {
      pending_color_.red = component;
    } else if (word == "green") {
      pending_color_.green = component;
    } else if (word == "blue") {
      pending_color_.blue = component;
    } else {
      return;
    }
    pending_color_.automatic = false;
  }

  void UnicodeCharacter(int value, size_t start) {
    if (value < -32768 || value > 65535) Fail(start, "\\u value out of range");
    const auto unit = static_cast<char32_t>(value < 0 ? value + 65536 : value);
    skip_fallback_ = state_.unicode_skip;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      high_surrogate_ = unit;
      return;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
      if (high_surrogate_) {
        const char32_t code = 0x10000 + ((*high_surrogate_ - 0xD800) << 10) + (unit - 0xDC00);
        high_surrogate_.reset();
        Emit(code);
      } else {
        Emit(U'\uFFFD');
      }
      return;
    }
    // Control codes other than the tab have no place in the text; line and page breaks are words.
    if (unit < 0x20 && unit != U'\t') return;
    Emit(unit);
  }

  void Byte(unsigned char byte) {
    switch (state_.destination) {
      case Destination::kSkip:
        return;
      case Destination::kFontTable:
        if (!pending_font_) return;
        if (byte == ';') {
          CommitFont();
        } else if (byte >= 0x20) {
          pending_font_->name += static_cast<char>(byte);
        }
        return;
      case Destination::kColorTable:
        if (byte == ';') {
          result_.document.colors.push_back(pending_color_);
          pending_color_ = ColorEntry{};
        }
        return;
      case Destination::kText:
        break;
    }
    if (skip_fallback_ > 0) {
      --skip_fallback_;
      return;
    }
    const char c = static_cast<char>(byte);
    if (byte < 0x20) return;
    AppendText(platform::Cp1252ToUtf8(std::string_view(&c, 1)));
  }

  void Character(char32_t code) {
    if (state_.destination != Destination::kText) return;
    if (skip_fallback_ > 0) {
      --skip_fallback_;
      return;
    }
    Emit(code);
  }

  void Emit(char32_t code) {
    if (high_surrogate_ && (code < 0xDC00 || code > 0xDFFF)) {
      high_surrogate_.reset();
      std::string text;
      AppendUtf8(text, U'\uFFFD');
      AppendText(text);
    }
    std::string text;
    AppendUtf8(text, code);
    AppendText(text);
  }

  void AppendText(std::string_view utf8) {
    if (state_.destination != Destination::kText) return;
    current_.Append(utf8, state_.chars);
    cell_tab_pending_ = false;
  }

  void EndParagraph(const ParaFormat& format) {
    current_.format = format;
    paragraphs_.push_back(std::move(current_));
    current_ = Paragraph{};
    cell_tab_pending_ = false;
  }

  int DefaultFont() const {
    const auto found = font_index_.find(default_font_number_);
    return found != font_index_.end() ? found->second : 0;
  }

  void CommitFont() {
    if (!pending_font_) return;
    std::string name = platform::Cp1252ToUtf8(pending_font_->name);
    const size_t first = name.find_first_not_of(' ');
    name = first == std::string::npos ? std::string()
                                      : name.substr(first, name.find_last_not_of(' ') - first + 1);
    if (!font_index_.contains(pending_font_->number)) {
      font_index_[pending_font_->number] = static_cast<int>(fonts_.size());
      fonts_.push_back(FontEntry{pending_font_->family, pending_font_->charset, std::move(name)});
    }
    pending_font_.reset();
  }

  // Indexes that point outside the tables fall back to the defaults, so that every run's format is
  // valid for the writer and the layout.
  void Finish() {
    RichTextDocument& doc = result_.document;
    if (!fonts_.empty()) doc.fonts = std::move(fonts_);
    doc.default_font = DefaultFont();
    const int font_count = static_cast<int>(doc.fonts.size());
    const int color_count = static_cast<int>(doc.colors.size());
    for (Paragraph& paragraph : doc.paragraphs) {
      std::vector<Run> runs;
      for (Run& run : paragraph.runs) {
        if (run.format.font >= font_count) run.format.font = doc.default_font;
        if (run.format.color >= color_count) run.format.color = 0;
        if (!runs.empty() && runs.back().format == run.format) {
          runs.back().text += run.text;
        } else {
          runs.push_back(std::move(run));
        }
      }
      paragraph.runs = std::move(runs);
    }
  }

  struct PendingFont {
    int number;
    FontFamily family;
    int charset;
    std::string name;  // cp1252 as read
  };

  std::string_view in_;
  std::string_view where_;
  size_t pos_ = 0;
  GroupState state_;
  std::vector<GroupState> stack_;
  bool group_start_ = false;
  int skip_fallback_ = 0;
  std::optional<char32_t> high_surrogate_;
  bool cell_tab_pending_ = false;
  int default_font_number_ = 0;
  std::map<int, int> font_index_;
  std::vector<FontEntry> fonts_;
  std::optional<PendingFont> pending_font_;
  ColorEntry pending_color_;
  Paragraph current_;
  std::vector<Paragraph> paragraphs_;
  RtfReadResult result_;
};

}  // namespace

RtfReadResult ReadRtf(std::string_view bytes, std::string_view where) { return Reader(bytes, where).Read(); }

}  // namespace richtext
