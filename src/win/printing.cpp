#include "win/printing.h"

#include <algorithm>

#include "gfx/canvas.h"
#include "platform/process_context.h"

namespace win {

namespace {

// Without a host there is no printer: nothing prints and nothing is previewed.
class NoPrinterService : public PrintService {
 public:
  std::optional<PrinterInfo> DefaultPrinter() override { return std::nullopt; }
  bool PrintDialog(CPrintInfo&) override { return false; }
  std::unique_ptr<PrintJob> StartDoc(std::string_view, PageOrientation) override { return nullptr; }
  bool Preview(std::string_view, const std::function<void(PrintJob&)>&) override { return false; }
};

NoPrinterService& DefaultService() {
  static NoPrinterService service;
  return service;
}

PrintService* g_service = nullptr;

const bool kRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kWin, [] { g_service = nullptr; });

void SetDrawRect(PrintJob& job, CPrintInfo& info) {
  const gfx::DeviceInfo& device = job.Canvas().Device();
  info.draw_rect = gfx::Rect{0, 0, device.width_px, device.height_px};
}

// The pages of the chosen range; false when a page could not be started or ended.
bool PrintPages(PrintHooks& hooks, PrintJob& job, CPrintInfo& info) {
  gfx::Canvas& dc = job.Canvas();
  const int first = std::max(info.from_page, info.min_page);
  const int last = std::min(info.to_page, info.max_page);
  for (int page = first; page <= last; ++page) {
    info.current_page = page;
    SetDrawRect(job, info);
    hooks.OnPrepareDC(dc, info);
    if (!info.continue_printing) break;
    if (!job.StartPage()) return false;
    hooks.OnPrint(dc, info);
    if (!job.EndPage()) return false;
  }
  return true;
}

}  // namespace

PrintService& Printing() {
  (void)kRegistered;
  return g_service != nullptr ? *g_service : DefaultService();
}

void SetPrintService(PrintService* service) { g_service = service; }

bool DoPreparePrinting(CPrintInfo& info) {
  if (info.preview) return true;
  return Printing().PrintDialog(info);
}

bool RunPrintJob(PrintHooks& hooks, std::string_view document_name, bool preview) {
  CPrintInfo info;
  info.preview = preview;
  if (!hooks.OnPreparePrinting(info)) return false;

  if (preview) {
    // The preview may ask for its pages more than once (a new page setup); the job begins once
    // and ends when the preview closes.
    bool begun = false;
    const bool shown = Printing().Preview(document_name, [&](PrintJob& job) {
      info.continue_printing = true;
      if (!begun) {
        SetDrawRect(job, info);
        hooks.OnBeginPrinting(job.Canvas(), info);
        begun = true;
      }
      PrintPages(hooks, job, info);
    });
    hooks.OnEndPrinting(nullptr, info);
    return shown;
  }

  std::unique_ptr<PrintJob> job = Printing().StartDoc(document_name, PageOrientation::kPortrait);
  if (job == nullptr) {
    hooks.OnEndPrinting(nullptr, info);
    return false;
  }
  SetDrawRect(*job, info);
  hooks.OnBeginPrinting(job->Canvas(), info);
  const bool printed = PrintPages(hooks, *job, info);
  if (printed) {
    job->EndDoc();
  } else {
    job->AbortDoc();
  }
  hooks.OnEndPrinting(&job->Canvas(), info);
  return printed;
}

}  // namespace win
