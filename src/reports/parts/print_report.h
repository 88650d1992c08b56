#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/drawing_types.h"
#include "platform/ids.h"
#include "reports/printer_base.h"

namespace platform {
class ResourcePack;
}
namespace win {
class Dialog;
}

// Texts that the summary report, the hourly tables and the event chart bring themselves
// (AddSummaryReportResources); the table texts they share with the statistics screen.
namespace summary_ids {
inline constexpr int kIdsSummaryTitle = 20010;
inline constexpr int kIdsCommentCaption = 20011;
inline constexpr int kIdsFirstFindingsCaption = 20013;
inline constexpr int kIdsSecondFindingsCaption = 20014;
inline constexpr int kIdsMedicationCaption = 20015;
inline constexpr int kIdsSignature = 20016;
inline constexpr int kIdsHourlyFootnote = 21062;
inline constexpr int kIdsVentricularGroup = 21071;
inline constexpr int kIdsSupraventricularGroup = 21072;
inline constexpr int kIdsOtherGroup = 21073;
inline constexpr int kIdsEventChartTitle = 21106;
inline constexpr int kIdsDayTitle = 30005;
}  // namespace summary_ids

// The findings dialog lives above the reports; the program lends the parts a way from it to its
// window, which is a dialog of our own window system. Without one the parts see no dialog.
using FindingsWindowAccess = const win::Dialog* (*)(const TFindingsDlg*);
void SetFindingsWindowAccess(FindingsWindowAccess access);

// The lines a multi-line edit field shows for text: hard breaks at "\r\n" or "\n", then words
// wrapped at width (pixels) in the field's font; a word wider than the field breaks between
// characters, blanks stay at the end of their line. An empty text is one empty line.
std::vector<std::string> WrapEditText(std::string_view text, int width_px, const gfx::Font& font);

// The summary report: the findings texts of the findings dialog, the key figures of the recording
// in five tables, and the diagnosis, which gets a page of its own when it is longer than eight
// lines. Every figure is a text of the report values; this part only places texts and lines.
class TPrintReport : public TPrinter {
 public:
  static constexpr int kOwnCommand = cmd::kPrint32885;
  static constexpr int kFirstFindingsControl = 1171;
  static constexpr int kSecondFindingsControl = 1172;
  static constexpr int kMedicationControl = 1173;
  static constexpr int kDiagnosisControl = 1174;
  // The longest line an edit field hands out.
  static constexpr size_t kMaxLineChars = 295;
  // Diagnosis lines that still fit the first page.
  static constexpr int kCommentLinesOnFirstPage = 8;

  TPrintReport(int full_header, CZK470Doc* doc, TReportValues* report_values);

  int GetPageCount(win::CPrintInfo& info) override;
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;
  void Print(gfx::Canvas& dc, win::CPrintInfo& info, int page);
  int GetCommentLineCount() const { return comment_lines_; }

  // The lines of a findings field as its edit control wraps them, each cleaned and at most
  // kMaxLineChars long; nothing without the dialog or the control.
  std::optional<std::vector<std::string>> FieldLines(int control_id) const;

  // "(<45 /min)" and the like; an index outside the setting's labels prints "-".
  static std::string ThresholdText(std::string_view opening, int index, std::span<const char* const> labels,
                                   std::string_view unit);

  // Hours and minutes, each at least two digits: 425 -> "07:05", 6000 -> "100:00".
  static std::string DurationText(int minutes);

  void PrintFindingsBox(gfx::Canvas& dc, win::CPrintInfo& info);
  void PrintSummaryTables(gfx::Canvas& dc, win::CPrintInfo& info);
  void PrintComment(gfx::Canvas& dc, win::CPrintInfo& info, int page);

 private:
  // Lines of one text area: y of its first line, the area's capacity (lines while y stays below
  // end_y), and whether the area stops at its capacity.
  void PrintFieldLines(gfx::Canvas& dc, int control_id, const std::string& record_text, int x0, int x1,
                       int first_y, int end_y, bool bounded, int filler_blanks);
  void CountCommentLines();
  std::string RecordingStartText() const;
  std::string RecordingEndText() const;
  std::string ChannelsText() const;

  int comment_lines_ = 0;
};

// The texts of the summary report, hourly tables and event chart that no other part brings.
void AddSummaryReportResources(platform::ResourcePack& pack);
