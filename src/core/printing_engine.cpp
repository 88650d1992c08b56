#include "core/printing_engine.h"

#include <memory>

#include "dialogs/findings_dlg.h"
#include "reports/print_composer_impl.h"

namespace {

// Hidden and without a parent: the report parts only read its fields, which wrap the texts.
TFindingsDlgPtr MakeFindingsDialog(CZK470Doc& doc) {
  auto dialog = std::make_unique<TFindingsDlg>(&doc);
  dialog->CreateModeless(nullptr, false);
  return TFindingsDlgPtr(dialog.release(), [](TFindingsDlg* findings) {
    findings->DestroyWindow();
    std::default_delete<TFindingsDlg>()(findings);
  });
}

}  // namespace

void InstallPrintingEngine() {
  InstallPrintComposerFactory([](CZK470Doc& doc) -> std::unique_ptr<PrintComposer> {
    return std::make_unique<TPrintComposer>(doc, MakeFindingsDialog);
  });
}
