#include "reports/envelope_printer.h"

#include <memory>
#include <optional>
#include <utility>

#include "gfx/canvas.h"
#include "platform/resources.h"
#include "reports/print_envelopes_dlg.h"
#include "reports/report_resources.h"
#include "views/preset_font.h"
#include "win/printing.h"
#include "win/prompt.h"

namespace {

// Millimetres; the boxes' origins from the envelope's top left corner.
struct EnvelopeFormat {
  int width;
  int height;
  gfx::Point recipient;
  gfx::Point sender;
};

constexpr EnvelopeFormat kFormats[] = {
    {229, 162, {114, 113}, {10, 8}},
    {229, 162, {114, 113}, {10, 8}},
    {279, 215, {141, 148}, {10, 11}},
};
constexpr int kBoxWidthMm = 70;
constexpr int kBoxHeightMm = 30;

const EnvelopeFormat& FormatOf(int format) {
  return format >= 0 && format < 3 ? kFormats[format] : kFormats[0];
}

constexpr int kTitles[] = {kIdsInsuranceEnvelope, kIdsPatientEnvelope, kIdsReferToEnvelope,
                           kIdsReferredByEnvelope};

// Draws in 0.1 mm with y upward from the top left corner of the page.
void DrawEnvelope(gfx::Canvas& dc, const EnvelopeFormat& format, int feed_method, int paper_width_mm,
                  int paper_height_mm, const std::string& recipient, const std::string& sender) {
  dc.SetMapMode(gfx::MapMode::kLoMetric);
  int x0 = format.width;
  int y0 = format.height;
  if (feed_method == 0) {
    x0 = paper_width_mm / 2 - format.width / 2;
    y0 = 0;
  } else if (feed_method == 1) {
    x0 = paper_width_mm - format.width;
    y0 = format.height / 2 - paper_height_mm / 2;
  }
  const auto box = [&](gfx::Point origin) {
    return gfx::Rect{(x0 + origin.x) * 10, (y0 - origin.y) * 10, (x0 + origin.x + kBoxWidthMm) * 10,
                     (y0 - origin.y - kBoxHeightMm) * 10};
  };
  const gfx::Pen old_pen = dc.SelectPen(gfx::Pen{gfx::PenStyle::kSolid, 1, gfx::Rgb(0, 0, 0)});
  const gfx::Font old_font = dc.GetFont();
  CPresetFont fonts(1);
  if (const gfx::Font* font = fonts.SelectScaled(12, 0)) dc.SelectFont(*font);
  gfx::Rect recipient_box = box(format.recipient);
  dc.DrawText(recipient, recipient_box, gfx::kDtLeft | gfx::kDtTop);
  if (const gfx::Font* font = fonts.SelectScaled(11, 0)) dc.SelectFont(*font);
  gfx::Rect sender_box = box(format.sender);
  dc.DrawText(sender, sender_box, gfx::kDtLeft | gfx::kDtTop);
  dc.SelectFont(old_font);
  dc.SelectPen(old_pen);
}

}  // namespace

void PrintEnvelopes(const EnvelopeRequest& request, win::Window* parent) {
  win::PrintService& printing = win::Printing();
  const std::optional<win::PrinterInfo> printer = printing.DefaultPrinter();
  if (!printer) {
    win::CurrentPrompt().MessageBox(platform::LoadString(kIdsNoPrinterSelected), request.application_title,
                                    win::kMbOk);
    return;
  }
  const EnvelopeFormat& format = FormatOf(request.format);

  TPrintEnvelopesDlg dialog(parent);
  dialog.feed_method = 1;
  dialog.single_feed = format.width > printer->paper_width_mm ? 1 : 0;

  for (size_t i = 0; i < request.addressees.size(); ++i) {
    const EnvelopeAddressee& addressee = request.addressees[i];
    if (!addressee.print) continue;
    dialog.name = platform::LoadString(kTitles[i]);
    const int result = dialog.DoModal();
    if (result == TPrintEnvelopesDlg::kSkipResult) continue;
    if (result != win::kIdOk) return;

    std::string recipient = addressee.address;
    if (i == 1) {
      recipient = request.patient_first_name + " " + request.patient_last_name + "\r\n" + addressee.address;
    }
    // The printer's own orientation for any other feed method.
    const win::PageOrientation orientation =
        dialog.feed_method == 1 ? win::PageOrientation::kLandscape : win::PageOrientation::kPortrait;
    std::unique_ptr<win::PrintJob> job = printing.StartDoc(request.application_title, orientation);
    if (job == nullptr) continue;
    // The page as the job lays it out (turned for landscape).
    const gfx::DeviceInfo& device = job->Canvas().Device();
    int width_mm = device.width_mm;
    int height_mm = device.height_mm;
    if (width_mm <= 0 || height_mm <= 0) {
      width_mm = printer->paper_width_mm;
      height_mm = printer->paper_height_mm;
      if (orientation == win::PageOrientation::kLandscape) std::swap(width_mm, height_mm);
    }
    if (!job->StartPage()) {
      job->AbortDoc();
      continue;
    }
    DrawEnvelope(job->Canvas(), format, dialog.feed_method, width_mm, height_mm, recipient,
                 request.practice_address);
    if (!job->EndPage()) {
      job->AbortDoc();
      continue;
    }
    job->EndDoc();
  }
}
