#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "win/printing.h"

class QPrinter;

namespace qthost {

// The system's printers through Qt: the default printer, the print dialog, the preview dialog and
// print documents. Pages are drawn on an image canvas at up to 300 dpi, as the screen draws, and
// each page goes to the printer as one picture covering the whole sheet. User-interface thread only.
class QtPrintService : public win::PrintService {
 public:
  QtPrintService();
  ~QtPrintService() override;
  QtPrintService(const QtPrintService&) = delete;
  QtPrintService& operator=(const QtPrintService&) = delete;

  // Sends every document to this PDF file instead of a printer; the default printer is then an
  // A4 PDF writer. Empty: the system's printers again.
  void SetPdfOutput(const QString& path);

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
};

}  // namespace qthost
