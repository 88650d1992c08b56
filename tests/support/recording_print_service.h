#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win/printing.h"

namespace testsupport {

// A printer service for tests: one settable default printer, scripted print-dialog answers, and
// every page of every job (printed or previewed) kept as display-list lines of a recording canvas
// at the printer's resolution. Install it with ScopedPrintService.
class RecordingPrintService : public win::PrintService {
 public:
  struct Job {
    std::string name;
    win::PageOrientation orientation = win::PageOrientation::kPortrait;
    bool preview = false;
    // The display-list lines of each page, in order.
    std::vector<std::vector<std::string>> pages;
    bool ended = false;    // EndDoc was called
    bool aborted = false;  // AbortDoc was called
  };

  // One answer of the print dialog: OK or Cancel, and the page range the user chose (kept as the
  // loop set it when not given).
  struct DialogAnswer {
    bool ok = true;
    std::optional<int> from_page;
    std::optional<int> to_page;
  };

  RecordingPrintService();
  ~RecordingPrintService() override;

  // No printer by default. The printer's pages are drawn at dpi dots per inch.
  void SetDefaultPrinter(std::optional<win::PrinterInfo> printer);
  void SetDefaultPrinter(std::string name, int paper_width_mm, int paper_height_mm);
  void SetDpi(int dpi) { dpi_ = dpi; }
  // Answers of the coming print dialogs, in order; without a scripted answer the dialog says OK
  // and keeps the page range.
  void QueueDialogAnswer(DialogAnswer answer) { answers_.push_back(answer); }
  void QueueDialogAnswer(bool ok) { answers_.push_back(DialogAnswer{ok, {}, {}}); }
  // StartDoc returns nullptr while set.
  void SetStartDocFails(bool fails) { start_doc_fails_ = fails; }
  // Preview returns false without drawing while set.
  void SetPreviewFails(bool fails) { preview_fails_ = fails; }

  int PrintDialogCount() const { return print_dialog_count_; }
  int PreviewCount() const { return preview_count_; }
  // What each print dialog was shown with.
  const std::vector<win::CPrintInfo>& DialogInfos() const { return dialog_infos_; }
  // Every job started, printed and previewed, in order.
  const std::vector<Job>& Jobs() const { return jobs_; }
  // All pages of all jobs, in order.
  std::vector<std::vector<std::string>> AllPages() const;
  void Clear();

  // win::PrintService.
  std::optional<win::PrinterInfo> DefaultPrinter() override;
  bool PrintDialog(win::CPrintInfo& info) override;
  std::unique_ptr<win::PrintJob> StartDoc(std::string_view document_name,
                                          win::PageOrientation orientation) override;
  bool Preview(std::string_view document_name,
               const std::function<void(win::PrintJob&)>& print_pages) override;

 private:
  class RecordingJob;
  std::unique_ptr<win::PrintJob> MakeJob(std::string_view name, win::PageOrientation orientation,
                                         bool preview);

  std::optional<win::PrinterInfo> printer_;
  int dpi_ = 300;
  std::deque<DialogAnswer> answers_;
  bool start_doc_fails_ = false;
  bool preview_fails_ = false;
  int print_dialog_count_ = 0;
  int preview_count_ = 0;
  std::vector<win::CPrintInfo> dialog_infos_;
  std::vector<Job> jobs_;
};

// Installs a service as the process's printer service for a scope, then puts the previous back.
class ScopedPrintService {
 public:
  explicit ScopedPrintService(win::PrintService& service);
  ~ScopedPrintService();
  ScopedPrintService(const ScopedPrintService&) = delete;
  ScopedPrintService& operator=(const ScopedPrintService&) = delete;

 private:
  win::PrintService* previous_;
};

}  // namespace testsupport
