#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Clock;
class ResourcePack;
}  // namespace platform
namespace win {
struct CPrintInfo;
class PrintHooks;
}  // namespace win

// The subject of the report's PDF, from the language pack.
inline constexpr int kIdsReportPdfSubject = 14400;

// What the exported report's PDF says about itself.
struct ReportPdfTexts {
  std::string creator;
  std::string title;
  std::string subject;
  // A page that names no title of its own is bookmarked "<page_label> %2d".
  std::string page_label;
};

// The report's PDF beside the recording: the path's last three characters become "PDF".
std::string ReportPdfPath(std::string_view recording_path);
// The default bookmark title of a page: the label and the page number in " %2d".
std::string ReportPdfBookmarkTitle(std::string_view page_label, int page);

// Prints the pages of a prepared print job (the range of its print record) one by one into
// recorded pages on the reference device (a 96 dpi screen) and converts them into one PDF file,
// written beside the old one and renamed over it only when complete, so a failed export leaves an
// earlier PDF as it was. Runs on the export's worker thread and shows nothing: what the user
// should be told is kept in Messages() for the caller's thread. Preparing and ending the job stay
// with the caller.
class ReportPdfWriter {
 public:
  explicit ReportPdfWriter(const platform::Clock& clock) : clock_(clock) {}

  // True when every page was converted and the file was saved. stop_requested, when given, is
  // asked between pages and records; a stop gives false and writes nothing.
  bool Write(win::PrintHooks& hooks, win::CPrintInfo& info, const ReportPdfTexts& texts,
             const std::string& pdf_path, const std::function<bool()>& stop_requested = {});

  const std::vector<std::string>& Messages() const { return messages_; }

 private:
  const platform::Clock& clock_;
  std::vector<std::string> messages_;
};

// The subject text, English in every pack and German in "ZK470Ger".
void AddReportPdfExportResources(platform::ResourcePack& pack);
