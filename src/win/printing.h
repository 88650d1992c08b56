#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "gfx/geometry.h"

namespace gfx {
class Canvas;
}

namespace win {

struct PrinterInfo {
  std::string name;
  int paper_width_mm = 0;
  int paper_height_mm = 0;
  bool color = true;
};

enum class PageOrientation { kPortrait, kLandscape };

// What the print loop hands to the hooks of the view that prints.
struct CPrintInfo {
  bool preview = false;
  int min_page = 1;
  int max_page = 0xFFFF;
  // The range the user chose in the print dialog.
  int from_page = 1;
  int to_page = 0xFFFF;
  int current_page = 1;
  // A hook clears it to end the loop before the next page.
  bool continue_printing = true;
  // The printable area of the page in device units.
  gfx::Rect draw_rect;
};

// One open print document on a printer (or in a preview). Pages are drawn on Canvas() between
// StartPage and EndPage.
class PrintJob {
 public:
  virtual ~PrintJob() = default;
  virtual gfx::Canvas& Canvas() = 0;
  virtual bool StartPage() = 0;
  virtual bool EndPage() = 0;
  virtual bool EndDoc() = 0;
  virtual void AbortDoc() = 0;
  virtual PrinterInfo Printer() const = 0;
};

// The printers of the machine. The host implements it with the system's print system; without a
// host there is no printer. User-interface thread only.
class PrintService {
 public:
  virtual ~PrintService() = default;
  virtual std::optional<PrinterInfo> DefaultPrinter() = 0;
  // The print dialog: the printer and the page range; false when cancelled.
  virtual bool PrintDialog(CPrintInfo& info) = 0;
  // nullptr when the document cannot be started.
  virtual std::unique_ptr<PrintJob> StartDoc(std::string_view document_name, PageOrientation orientation) = 0;
  // Shows a preview whose pages print_pages draws on the job it is given; false when none was shown.
  virtual bool Preview(std::string_view document_name, const std::function<void(PrintJob&)>& print_pages) = 0;
};

// The service in use; a service without printers until the host sets one. Not owned.
PrintService& Printing();
void SetPrintService(PrintService* service);

// What a view does at each step of the print loop.
class PrintHooks {
 public:
  virtual ~PrintHooks() = default;
  // Sets the page count; calls DoPreparePrinting for the dialog; false ends the job at once.
  virtual bool OnPreparePrinting(CPrintInfo& info) = 0;
  virtual void OnBeginPrinting(gfx::Canvas& dc, CPrintInfo& info) {}
  virtual void OnPrepareDC(gfx::Canvas& dc, CPrintInfo& info) {}
  virtual void OnPrint(gfx::Canvas& dc, CPrintInfo& info) = 0;
  virtual void OnEndPrinting(gfx::Canvas* dc, CPrintInfo& info) {}
};

// The print dialog of a print job (none for a preview); false when cancelled.
bool DoPreparePrinting(CPrintInfo& info);
// The print loop: prepare, begin, each page (prepare DC, print), end. False when the job was
// cancelled or could not start.
bool RunPrintJob(PrintHooks& hooks, std::string_view document_name, bool preview);

}  // namespace win
