#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "gfx/drawing_types.h"
#include "platform/ids.h"
#include "win/printing.h"

class CPresetFont;
class CZK470Doc;
class TDateInputDlg;
class TFindingsDlg;
class TReportValues;

namespace gfx {
class Canvas;
}
namespace platform {
class Locale;
}

// The locale of printed dates and clock times: the system's own unless start-up or a test sets
// another. Not owned; nullptr returns to the system locale.
const platform::Locale& PrintLocale();
void SetPrintLocale(const platform::Locale* locale);

// The base of every report part and of the elements parts place on their pages (time axes, trend
// charts). Positions are 0.01 mm from the margin corner, y downward, relative to the offsets of
// the block being drawn; they become the device's 0.01 mm mode (y up) through XToPage / YToPage
// and the twips mode of text through XToTwips / YToTwips. Every drawing step restores the pen,
// font and mapping mode it found. Owns its preset font; the document, report values and dialogs
// belong to the print job. One thread at a time: the user-interface thread or the PDF export's
// worker.
class TPrinter {
 public:
  static constexpr int kWholeReportCommand = cmd::kPrintWholeReport;
  // DrawText formats of single-line text, vertically centred: left, centred, right.
  static constexpr uint32_t kLeftText = 0x24;
  static constexpr uint32_t kCentredText = 0x25;
  static constexpr uint32_t kRightText = 0x26;
  static constexpr double kTwipsPerCm = 566.9291338582677;

  // Only for elements that an owning part positions: no document, no preset font, no margins.
  TPrinter();
  TPrinter(int full_header, CZK470Doc* doc, int command, TReportValues* report_values);
  virtual ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // 0 unless the part is selected for the job; a selected part paginates and returns its pages.
  virtual int GetPageCount(win::CPrintInfo& info);
  virtual void PrepareDC(gfx::Canvas& dc, win::CPrintInfo& info);
  // The base prints the page header and footer; parts call it first, then draw their content.
  // page counts from 1 within the part.
  virtual void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page);
  virtual void Cleanup(gfx::Canvas* dc, win::CPrintInfo& info);
  virtual void Paginate();

  int XToPage(int x) const;
  int YToPage(int y) const;
  int XToTwips(int x) const;
  int YToTwips(int y) const;
  void PrintHeader(gfx::Canvas& dc, win::CPrintInfo& info);
  void PrintFooter(gfx::Canvas& dc, win::CPrintInfo& info);

  void SetCommand(int command) { command_ = command; }
  int GetCommand() const { return command_; }
  void SetFullHeader(int full_header) { full_header_ = full_header; }
  int GetFullHeader() const { return full_header_; }
  void SetOffset(int x, int y) {
    x_offset_ = x;
    y_offset_ = y;
  }
  int GetXOffset() const { return x_offset_; }
  int GetYOffset() const { return y_offset_; }
  void SetDocValue(TDateInputDlg* dialog) { date_input_ = dialog; }
  void SetDialog(TFindingsDlg* dialog) { findings_ = dialog; }
  int GetLeftMargin() const { return left_margin_; }
  int GetTopMargin() const { return top_margin_; }
  int GetLeftMarginTwips() const { return left_margin_twips_; }
  int GetTopMarginTwips() const { return top_margin_twips_; }
  // Rewritten by the footer on every page.
  const std::string& GetTitle() const { return title_; }

  // The rectangle is in twips, as the callers convert it.
  void PrintText(gfx::Canvas& dc, std::string_view text, int left, int top, int right, int bottom,
                 uint32_t format);
  void PrintResText(gfx::Canvas& dc, int string_id, int left, int top, int right, int bottom,
                    uint32_t format);
  // Valid until the next call on this part.
  const std::string& IntToText(int value);
  // Fixed point without a leading zero (0.5 -> ".5", 12.5 -> "12.5"); negative values keep their
  // sign ("-.5"). Valid until the next call on this part.
  const std::string& FixedToText(double value, int decimals);
  // A text of fewer than four characters that starts with an apostrophe becomes empty; any other
  // is cut before the first character 1 or 19.
  static void CleanText(std::string& text);
  static int HimetricToTwips(int value);

  // Texts of the frame, in the language resources unless noted.
  static constexpr int kTitleString = 21064;
  static constexpr int kAppTitleString = 57344;  // program's own
  static constexpr int kVersionString = 30000;   // program's own

 protected:
  // Whether the job prints on a two-colour device; class colours are black then.
  static bool IsMonochromeJob();
  // Whether the page is being recorded for the PDF export.
  static bool IsPdfExport();
  // The document's colour of a beat-class or event-kind code, or of a colour setting.
  gfx::Color CodeColour(int code) const;
  gfx::Color SettingColour(int colour_number) const;

  // Text in a box of block coordinates (0.01 mm); the caller has the twips mode selected.
  void TextBox(gfx::Canvas& dc, std::string_view text, int x0, int x1, int y0, int y1, uint32_t format);
  void ResTextBox(gfx::Canvas& dc, int string_id, int x0, int x1, int y0, int y1, uint32_t format);
  // The preset font of that kind and weight (0 light, 1 bold) selected into dc; nothing without
  // a preset font.
  void SelectPresetFont(gfx::Canvas& dc, int kind, int weight);
  void Line(gfx::Canvas& dc, int x0, int y0, int x1, int y1);
  void Frame(gfx::Canvas& dc, int x0, int y0, int x1, int y1);

  // Restores the pen, font and mapping mode of dc when a drawing step ends.
  class DrawStep {
   public:
    explicit DrawStep(gfx::Canvas& dc);
    ~DrawStep();
    DrawStep(const DrawStep&) = delete;
    DrawStep& operator=(const DrawStep&) = delete;

   private:
    gfx::Canvas& dc_;
    gfx::Pen pen_;
    gfx::Font font_;
    gfx::MapMode map_mode_;
  };

  CZK470Doc* Document() const { return doc_; }
  TReportValues* ReportValues() const { return report_values_; }
  CPresetFont* PresetFont() const { return preset_font_.get(); }
  TDateInputDlg* DateInputDialog() const { return date_input_; }
  TFindingsDlg* FindingsDialog() const { return findings_; }

  int page_count_ = 0;

  const gfx::Pen thin_pen_{gfx::PenStyle::kSolid, 8, 0x000000};
  const gfx::Pen medium_pen_{gfx::PenStyle::kSolid, 16, 0x000000};
  const gfx::Pen thick_pen_{gfx::PenStyle::kSolid, 32, 0x000000};
  const gfx::Pen light_grey_pen_{gfx::PenStyle::kSolid, 8, gfx::Rgb(192, 192, 192)};
  const gfx::Pen grey_pen_{gfx::PenStyle::kSolid, 8, gfx::Rgb(160, 160, 160)};

 private:
  std::string DateText(double ole_days, bool with_date, bool with_time) const;
  void HeaderValues(gfx::Canvas& dc);

  int full_header_ = 0;
  CZK470Doc* doc_ = nullptr;
  int command_ = -1;
  TReportValues* report_values_ = nullptr;
  std::string title_;
  int x_offset_ = 0;
  int y_offset_ = 0;
  int left_margin_ = 0;
  int top_margin_ = 0;
  int left_margin_twips_ = 0;
  int top_margin_twips_ = 0;
  std::string scratch_text_;
  std::string number_text_;
  std::string fixed_text_;
  std::unique_ptr<CPresetFont> preset_font_;
  TDateInputDlg* date_input_ = nullptr;
  TFindingsDlg* findings_ = nullptr;
};
