#pragma once

#include <QPainter>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "win/printing.h"

class QPrinter;

namespace qthost {

class PainterCanvas;

// One document on a QPrinter (a real one, a PDF writer or a preview's). Pages are drawn as
// vectors by a painter canvas whose device pixel (0, 0) is the corner of the printable area, with
// the printer's resolution, printable and physical page, physical offsets, and two colours when
// the printer prints in grey. User-interface thread only.
class QtPrintJob : public win::PrintJob {
 public:
  explicit QtPrintJob(QPrinter& printer);
  ~QtPrintJob() override;
  QtPrintJob(const QtPrintJob&) = delete;
  QtPrintJob& operator=(const QtPrintJob&) = delete;

  gfx::Canvas& Canvas() override;
  bool StartPage() override;
  bool EndPage() override;
  bool EndDoc() override;
  void AbortDoc() override;
  win::PrinterInfo Printer() const override { return info_; }

 private:
  QPrinter& printer_;
  QPainter painter_;
  std::unique_ptr<PainterCanvas> canvas_;
  win::PrinterInfo info_;
};

// The system's printers through Qt: the default printer, the print dialog, the preview dialog and
// print documents. User-interface thread only.
class QtPrintService : public win::PrintService {
 public:
  QtPrintService();
  ~QtPrintService() override;
  QtPrintService(const QtPrintService&) = delete;
  QtPrintService& operator=(const QtPrintService&) = delete;

  // Sends every document to this PDF file instead of a printer; the default printer is then an
  // A4 PDF writer whose printable area is the whole sheet. Empty: the system's printers again.
  void SetPdfOutput(const QString& path);
  // Asked before each print dialog: false prints on the current printer without asking. Unset:
  // the dialog is always shown.
  void SetPrintDialogSwitch(std::function<bool()> show_dialog) { show_dialog_ = std::move(show_dialog); }

  std::optional<win::PrinterInfo> DefaultPrinter() override;
  bool PrintDialog(win::CPrintInfo& info) override;
  std::unique_ptr<win::PrintJob> StartDoc(std::string_view document_name,
                                          win::PageOrientation orientation) override;
  bool Preview(std::string_view document_name,
               const std::function<void(win::PrintJob&)>& print_pages) override;

 private:
  // The printer of the last print dialog, else the default printer (or the PDF writer).
  QPrinter& Printer();

  std::unique_ptr<QPrinter> printer_;
  QString pdf_output_;
  std::function<bool()> show_dialog_;
};

}  // namespace qthost
