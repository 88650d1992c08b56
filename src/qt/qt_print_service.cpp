#include "qt/qt_print_service.h"

#include <QApplication>
#include <QMarginsF>
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

#include "gfx/canvas.h"
#include "qt/image_canvas.h"

namespace qthost {

namespace {

QWidget* DialogParent() { return QApplication::activeWindow(); }

}  // namespace

QtPrintJob::QtPrintJob(QPrinter& printer) : printer_(printer) {
  // The device is the printable area, as a printer's device context is; the physical page and
  // the offsets of the printable area on it come with it.
  const int dpi = printer.resolution();
  const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
  const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
  const bool grey = printer.colorMode() == QPrinter::GrayScale;
  gfx::DeviceInfo device;
  device.dpi_x = dpi;
  device.dpi_y = dpi;
  device.width_px = std::max(1, page.width());
  device.height_px = std::max(1, page.height());
  device.width_mm = static_cast<int32_t>(std::lround(page.width() * 25.4 / dpi));
  device.height_mm = static_cast<int32_t>(std::lround(page.height() * 25.4 / dpi));
  device.physical_width_px = paper.width();
  device.physical_height_px = paper.height();
  device.physical_offset_x_px = page.left() - paper.left();
  device.physical_offset_y_px = page.top() - paper.top();
  device.bits_per_pixel = grey ? 1 : 24;
  device.num_colors = grey ? 2 : -1;
  canvas_ = std::make_unique<PainterCanvas>(painter_, device);
  info_.name = printer.printerName().toStdString();
  if (info_.name.empty()) info_.name = printer.outputFileName().toStdString();
  const QSizeF paper_mm = printer.paperRect(QPrinter::Millimeter).size();
  info_.paper_width_mm = static_cast<int>(std::lround(paper_mm.width()));
  info_.paper_height_mm = static_cast<int>(std::lround(paper_mm.height()));
  info_.color = !grey;
}

QtPrintJob::~QtPrintJob() {
  // The canvas draws through the painter: it goes first.
  canvas_.reset();
  if (painter_.isActive()) painter_.end();
}

gfx::Canvas& QtPrintJob::Canvas() { return *canvas_; }

bool QtPrintJob::StartPage() {
  if (!painter_.isActive()) return painter_.begin(&printer_);
  return printer_.newPage();
}

bool QtPrintJob::EndPage() { return painter_.isActive(); }

bool QtPrintJob::EndDoc() {
  if (!painter_.isActive()) return true;
  return painter_.end();
}

void QtPrintJob::AbortDoc() {
  printer_.abort();
  if (painter_.isActive()) painter_.end();
}

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
      printer_->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
  }
  // The program places everything from the corner of the printable area.
  printer_->setFullPage(false);
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
  if (show_dialog_ && !show_dialog_()) return true;
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
