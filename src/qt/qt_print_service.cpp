#include "qt/qt_print_service.h"

#include <QApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <string>

#include "qt/image_canvas.h"

namespace qthost {

namespace {

// Enough for text and curves on paper; a sheet at this resolution is some 35 MB of pixels.
constexpr int kMaxDpi = 300;

// One document on a QPrinter (a real one or a preview's). The page is drawn on a white image that
// EndPage paints over the printer's whole sheet.
class QtPrintJob : public win::PrintJob {
 public:
  explicit QtPrintJob(QPrinter& printer) : printer_(printer) {
    const QRectF paper_mm = printer.paperRect(QPrinter::Millimeter);
    const int dpi = std::clamp(printer.resolution(), 72, kMaxDpi);
    gfx::DeviceInfo device;
    device.dpi_x = dpi;
    device.dpi_y = dpi;
    device.width_mm = static_cast<int32_t>(std::lround(paper_mm.width()));
    device.height_mm = static_cast<int32_t>(std::lround(paper_mm.height()));
    device.width_px = std::max(1, static_cast<int32_t>(paper_mm.width() * dpi / 25.4));
    device.height_px = std::max(1, static_cast<int32_t>(paper_mm.height() * dpi / 25.4));
    device.physical_width_px = device.width_px;
    device.physical_height_px = device.height_px;
    image_ = QImage(device.width_px, device.height_px, QImage::Format_RGB32);
    image_.fill(Qt::white);
    canvas_ = std::make_unique<ImageCanvas>(image_, QPoint(0, 0), device);
    info_.name = printer.printerName().toStdString();
    if (info_.name.empty()) info_.name = printer.outputFileName().toStdString();
    info_.paper_width_mm = device.width_mm;
    info_.paper_height_mm = device.height_mm;
    info_.color = printer.colorMode() == QPrinter::Color;
  }
  ~QtPrintJob() override {
    if (painter_.isActive()) painter_.end();
  }

  gfx::Canvas& Canvas() override { return *canvas_; }

  bool StartPage() override {
    if (!painter_.isActive()) {
      if (!painter_.begin(&printer_)) return false;
    } else if (!printer_.newPage()) {
      return false;
    }
    image_.fill(Qt::white);
    return true;
  }

  bool EndPage() override {
    if (!painter_.isActive()) return false;
    painter_.drawImage(printer_.paperRect(QPrinter::DevicePixel), image_);
    return true;
  }

  bool EndDoc() override {
    if (!painter_.isActive()) return true;
    return painter_.end();
  }

  void AbortDoc() override {
    printer_.abort();
    if (painter_.isActive()) painter_.end();
  }

  win::PrinterInfo Printer() const override { return info_; }

 private:
  QPrinter& printer_;
  QImage image_;
  std::unique_ptr<ImageCanvas> canvas_;
  QPainter painter_;
  win::PrinterInfo info_;
};

QWidget* DialogParent() { return QApplication::activeWindow(); }

}  // namespace

QtPrintService::QtPrintService() = default;
QtPrintService::~QtPrintService() = default;

void QtPrintService::SetPdfOutput(const QString& path) {
  pdf_output_ = path;
  printer_.reset();
}

QPrinter& QtPrintService::Printer() {
  if (!printer_) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!pdf_output_.isEmpty()) {
      printer_->setOutputFormat(QPrinter::PdfFormat);
      printer_->setOutputFileName(pdf_output_);
      printer_->setPageSize(QPageSize(QPageSize::A4));
    }
  }
  // The program places everything from the sheet's corner.
  printer_->setFullPage(true);
  return *printer_;
}

std::optional<win::PrinterInfo> QtPrintService::DefaultPrinter() {
  if (!pdf_output_.isEmpty()) {
    const QSizeF size = Printer().pageLayout().pageSize().size(QPageSize::Millimeter);
    return win::PrinterInfo{"PDF", static_cast<int>(std::lround(size.width())),
                            static_cast<int>(std::lround(size.height())), true};
  }
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) return std::nullopt;
  const QSizeF size = info.defaultPageSize().size(QPageSize::Millimeter);
  win::PrinterInfo printer;
  printer.name = info.printerName().toStdString();
  printer.paper_width_mm = static_cast<int>(std::lround(size.width()));
  printer.paper_height_mm = static_cast<int>(std::lround(size.height()));
  return printer;
}

bool QtPrintService::PrintDialog(win::CPrintInfo& info) {
  QPrintDialog dialog(&Printer(), DialogParent());
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dialog.setMinMax(info.min_page, std::max(info.min_page, info.max_page));
  dialog.setFromTo(info.from_page, std::min(info.to_page, info.max_page));
  if (dialog.exec() != QDialog::Accepted) return false;
  if (dialog.printRange() == QAbstractPrintDialog::PageRange) {
    info.from_page = dialog.fromPage();
    info.to_page = dialog.toPage();
  }
  return true;
}

std::unique_ptr<win::PrintJob> QtPrintService::StartDoc(std::string_view document_name,
                                                        win::PageOrientation orientation) {
  QPrinter& printer = Printer();
  if (!printer.isValid()) return nullptr;
  printer.setDocName(QString::fromUtf8(document_name.data(), static_cast<qsizetype>(document_name.size())));
  printer.setPageOrientation(orientation == win::PageOrientation::kLandscape ? QPageLayout::Landscape
                                                                             : QPageLayout::Portrait);
  return std::make_unique<QtPrintJob>(printer);
}

bool QtPrintService::Preview(std::string_view document_name,
                             const std::function<void(win::PrintJob&)>& print_pages) {
  QPrinter& printer = Printer();
  printer.setDocName(QString::fromUtf8(document_name.data(), static_cast<qsizetype>(document_name.size())));
  QPrintPreviewDialog dialog(&printer, DialogParent());
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&print_pages](QPrinter* target) {
    QtPrintJob job(*target);
    print_pages(job);
    job.EndDoc();
  });
  dialog.exec();
  return true;
}

}  // namespace qthost
