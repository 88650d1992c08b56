#include "support/recording_print_service.h"

#include <utility>

#include "gfx/recording_canvas.h"

namespace testsupport {

class RecordingPrintService::RecordingJob : public win::PrintJob {
 public:
  RecordingJob(RecordingPrintService& service, size_t index, const gfx::DeviceInfo& device,
               win::PrinterInfo printer)
      : service_(service), index_(index), canvas_(device), printer_(std::move(printer)) {}

  gfx::Canvas& Canvas() override { return canvas_; }
  bool StartPage() override {
    canvas_.Clear();
    in_page_ = true;
    return true;
  }
  bool EndPage() override {
    if (!in_page_) return false;
    in_page_ = false;
    service_.jobs_[index_].pages.push_back(canvas_.Lines());
    canvas_.Clear();
    return true;
  }
  bool EndDoc() override {
    service_.jobs_[index_].ended = true;
    return true;
  }
  void AbortDoc() override { service_.jobs_[index_].aborted = true; }
  win::PrinterInfo Printer() const override { return printer_; }

 private:
  RecordingPrintService& service_;
  size_t index_;
  gfx::RecordingCanvas canvas_;
  win::PrinterInfo printer_;
  bool in_page_ = false;
};

RecordingPrintService::RecordingPrintService() = default;
RecordingPrintService::~RecordingPrintService() = default;

void RecordingPrintService::SetDefaultPrinter(std::optional<win::PrinterInfo> printer) {
  printer_ = std::move(printer);
}

void RecordingPrintService::SetDefaultPrinter(std::string name, int paper_width_mm, int paper_height_mm) {
  win::PrinterInfo info;
  info.name = std::move(name);
  info.paper_width_mm = paper_width_mm;
  info.paper_height_mm = paper_height_mm;
  printer_ = info;
}

std::vector<std::vector<std::string>> RecordingPrintService::AllPages() const {
  std::vector<std::vector<std::string>> pages;
  for (const Job& job : jobs_) pages.insert(pages.end(), job.pages.begin(), job.pages.end());
  return pages;
}

void RecordingPrintService::Clear() {
  answers_.clear();
  print_dialog_count_ = 0;
  preview_count_ = 0;
  dialog_infos_.clear();
  jobs_.clear();
}

std::optional<win::PrinterInfo> RecordingPrintService::DefaultPrinter() { return printer_; }

bool RecordingPrintService::PrintDialog(win::CPrintInfo& info) {
  ++print_dialog_count_;
  dialog_infos_.push_back(info);
  if (answers_.empty()) return true;
  const DialogAnswer answer = answers_.front();
  answers_.pop_front();
  if (!answer.ok) return false;
  if (answer.from_page) info.from_page = *answer.from_page;
  if (answer.to_page) info.to_page = *answer.to_page;
  return true;
}

std::unique_ptr<win::PrintJob> RecordingPrintService::MakeJob(std::string_view name,
                                                              win::PageOrientation orientation,
                                                              bool preview) {
  // A preview without a printer shows an A4 page.
  win::PrinterInfo printer = printer_.value_or(win::PrinterInfo{"", 210, 297, true});
  int width_mm = printer.paper_width_mm;
  int height_mm = printer.paper_height_mm;
  if (orientation == win::PageOrientation::kLandscape) std::swap(width_mm, height_mm);
  gfx::DeviceInfo device;
  device.dpi_x = dpi_;
  device.dpi_y = dpi_;
  device.width_mm = width_mm;
  device.height_mm = height_mm;
  device.width_px = static_cast<int32_t>(width_mm * dpi_ * 10 / 254);
  device.height_px = static_cast<int32_t>(height_mm * dpi_ * 10 / 254);
  device.physical_width_px = device.width_px;
  device.physical_height_px = device.height_px;
  if (!printer.color) {
    device.bits_per_pixel = 1;
    device.num_colors = 2;
  }
  Job job;
  job.name = std::string(name);
  job.orientation = orientation;
  job.preview = preview;
  jobs_.push_back(std::move(job));
  return std::make_unique<RecordingJob>(*this, jobs_.size() - 1, device, printer);
}

std::unique_ptr<win::PrintJob> RecordingPrintService::StartDoc(std::string_view document_name,
                                                               win::PageOrientation orientation) {
  if (start_doc_fails_ || !printer_) return nullptr;
  return MakeJob(document_name, orientation, false);
}

bool RecordingPrintService::Preview(std::string_view document_name,
                                    const std::function<void(win::PrintJob&)>& print_pages) {
  if (preview_fails_) return false;
  ++preview_count_;
  auto job = MakeJob(document_name, win::PageOrientation::kPortrait, true);
  print_pages(*job);
  return true;
}

ScopedPrintService::ScopedPrintService(win::PrintService& service) : previous_(&win::Printing()) {
  win::SetPrintService(&service);
}

ScopedPrintService::~ScopedPrintService() { win::SetPrintService(previous_); }

}  // namespace testsupport
