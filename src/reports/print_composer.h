#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "win/printing.h"

class CZK470Doc;

namespace gfx {
class Canvas;
}
namespace win {
class PropertyPage;
}

// The printing engine's side of one print job: counts the pages of a report kind, prepares the
// device and prints each page. The view owns one from preparation to the end of the job.
class PrintComposer {
 public:
  virtual ~PrintComposer() = default;
  // Sets info.max_page for the report of print_kind.
  virtual void CountPages(win::CPrintInfo& info, int print_kind) = 0;
  // Colour or monochrome output for this device.
  virtual void DecideColour(gfx::Canvas& dc) = 0;
  virtual void PrepareDC(gfx::Canvas& dc, win::CPrintInfo& info) = 0;
  virtual void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int flag) = 0;
  virtual void CleanUp(gfx::Canvas* dc, win::CPrintInfo& info) = 0;
};

// The pages of the print options sheet, in the sheet's order, built from the document; OK stores
// every page's values back into the document's print settings.
class PrintOptionPages {
 public:
  virtual ~PrintOptionPages() = default;
  virtual win::PropertyPage& TemplatesPage() = 0;
  virtual win::PropertyPage& SamplesPage() = 0;
  // One page per recording day that has one: day -1 for a one-day recording, else 0, 1 (and 2).
  virtual std::vector<win::PropertyPage*> FullDisclosurePages() = 0;
  virtual win::PropertyPage& UserPage() = 0;
  virtual void StoreValues() = 0;
};

// Installed by the printing engine at start-up; printing stays disabled while none is installed.
using PrintComposerFactory = std::function<std::unique_ptr<PrintComposer>(CZK470Doc& doc)>;
using PrintOptionPagesFactory = std::function<std::unique_ptr<PrintOptionPages>(CZK470Doc& doc)>;

void InstallPrintComposerFactory(PrintComposerFactory factory);
const PrintComposerFactory& GetPrintComposerFactory();
void InstallPrintOptionPagesFactory(PrintOptionPagesFactory factory);
const PrintOptionPagesFactory& GetPrintOptionPagesFactory();
