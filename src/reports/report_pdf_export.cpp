#include "reports/report_pdf_export.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "gfx/canvas.h"
#include "platform/resources.h"
#include "reports/emf2pdf.h"
#include "reports/pdf/pdf_writer.h"
#include "win/dialog_template.h"
#include "win/printing.h"

namespace {

// The writer keeps output names up to this length; a longer one would be saved cut short.
constexpr size_t kMaxOutputName = 1022;

constexpr platform::StringEntry kEnglishStrings[] = {
    {kIdsReportPdfSubject, "Holter ECG report"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {kIdsReportPdfSubject, "Langzeit-EKG-Befund"},
};

}  // namespace

std::string ReportPdfPath(std::string_view recording_path) {
  const size_t keep = recording_path.size() - std::min<size_t>(3, recording_path.size());
  return std::string(recording_path.substr(0, keep)) + "PDF";
}

std::string ReportPdfBookmarkTitle(std::string_view page_label, int page) {
  char number[16];
  std::snprintf(number, sizeof number, " %2d", page);
  return std::string(page_label) + number;
}

bool ReportPdfWriter::Write(win::PrintHooks& hooks, win::CPrintInfo& info, const ReportPdfTexts& texts,
                            const std::string& pdf_path, const std::function<bool()>& stop_requested) {
  messages_.clear();
  if (pdf_path.empty() || pdf_path.size() > kMaxOutputName) return false;
  CEmf2Pdf converter(clock_);
  // Pages stay in memory until the whole document is saved in one piece.
  if (converter.OpenPdf({}, texts.creator, texts.title, texts.subject, "") == 0) {
    tvk_release();
    return false;
  }
  const int first = std::max(info.from_page, info.min_page);
  const int last = std::min(info.to_page, info.max_page);
  bool complete = true;
  bool begun = false;
  for (int page = first; page <= last && complete; ++page) {
    if (stop_requested && stop_requested()) {
      complete = false;
      break;
    }
    info.current_page = page;
    if (converter.OpenEmfDC(nullptr) == 0) {
      messages_.push_back("Internal error: emf2pdf.OpenEmfDC");
      complete = false;
      break;
    }
    gfx::Canvas& dc = *converter.GetEmfDC();
    const gfx::DeviceInfo& device = dc.Device();
    info.draw_rect = {0, 0, device.width_px, device.height_px};
    // The colour decision sees a recording page, so the PDF is in colour whatever printer was
    // used last.
    if (!begun) {
      hooks.OnBeginPrinting(dc, info);
      begun = true;
    }
    hooks.OnPrepareDC(dc, info);
    if (!info.continue_printing) {
      converter.CloseEmfDC();
      converter.DeleteEmf();
      break;
    }
    hooks.OnPrint(dc, info);
    converter.CloseEmfDC();
    if (converter.ConvertPage(page, ReportPdfBookmarkTitle(texts.page_label, page), stop_requested) == 0)
      complete = false;
    converter.DeleteEmf();
  }
  for (const std::string& message : converter.Messages()) messages_.push_back(message);
  if (!complete) {
    tvk_release();
    return false;
  }
  return converter.ClosePdf(pdf_path, false) != 0;
}

void AddReportPdfExportResources(platform::ResourcePack& pack) {
  pack.AddStrings(win::IsGermanPack(pack) ? std::span<const platform::StringEntry>(kGermanStrings)
                                          : std::span<const platform::StringEntry>(kEnglishStrings));
}
