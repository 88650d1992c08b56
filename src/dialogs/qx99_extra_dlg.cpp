#include "dialogs/qx99_extra_dlg.h"

#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using Dlg = TQX99ExtraDlg;
using win::ControlKind;
using win::ControlLayout;

constexpr win::DialogLayout kLayout{Dlg::kTemplateId, 200, 120};
constexpr ControlLayout kControls[] = {
    {-1, ControlKind::kGroupBox, 7, 4, 186, 50},
    {Dlg::kAnalysisBuiltInId, ControlKind::kRadioButton, 14, 16, 100, 10, 0, win::kCtlGroup},
    {Dlg::kAnalysisLibraryId, ControlKind::kRadioButton, 14, 28, 100, 10},
    {Dlg::kAnalysisVariantId, ControlKind::kRadioButton, 14, 40, 100, 10},
    {Dlg::kVersionId, ControlKind::kStatic, 130, 17, 56, 8},
    {Dlg::kLongVersionId, ControlKind::kStatic, 130, 29, 56, 8},
    {-1, ControlKind::kGroupBox, 7, 58, 186, 36},
    {Dlg::kFileBuiltInId, ControlKind::kRadioButton, 14, 70, 100, 10, 0, win::kCtlGroup},
    {Dlg::kFileLibraryId, ControlKind::kRadioButton, 14, 80, 100, 10},
    {win::kIdOk, ControlKind::kDefPushButton, 84, 100, 50, 14, 0, win::kCtlGroup},
    {win::kIdCancel, ControlKind::kPushButton, 143, 100, 50, 14},
};
constexpr auto kTexts =
    win::LocalizeControls(kControls, {"Analysis", "Olvek Built In", "VRA Dll", "Olvek Dll", "X.XX",
                                      "X.XX.XX.XX", "File", "File Built In", "Vexa", "OK", "Cancel"});
constexpr win::DialogTemplate kDialogs[] = {win::LocalizeDialog(kLayout, "Extras", kTexts)};

}  // namespace

TQX99ExtraDlg::TQX99ExtraDlg(const CZK470Doc& doc, win::Window* parent)
    : win::Dialog(kTemplateId, parent), analysis_mode(doc.GetSettings().Int(SettingKey::kUserAnalyzeModus)) {
  // The settings keep no file mode: the data-management library is no part of the program, so the
  // file mode is the built-in one.
}

void TQX99ExtraDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxRadio(dx, kAnalysisBuiltInId, analysis_mode);
  win::DdxRadio(dx, kFileBuiltInId, file_mode);
}

void AddQX99ExtraDlgResources(platform::ResourcePack& pack) { win::Templates().Add(pack, kDialogs); }
