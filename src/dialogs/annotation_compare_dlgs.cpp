#include "dialogs/annotation_compare_dlgs.h"

#include "dialogs/optiontree/option_tree_add_items.h"
#include "dialogs/optiontree/option_tree_check_box.h"
#include "dialogs/optiontree/option_tree_edit_item.h"
#include "dialogs/optiontree/option_tree_item.h"
#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlTemplate;

constexpr ControlTemplate kOptionsControls[] = {
    {-1, ControlKind::kStatic, "# Sample Diff", 10, 12, 60, 8},
    {TAnnotationOptionsDlg::kSampleDifferenceId, ControlKind::kEdit, "", 75, 10, 50, 12},
    {TAnnotationOptionsDlg::kTriggerPointOnlyId, ControlKind::kCheckBox, "Only False Trigger Point", 10, 30,
     120, 10},
    {win::kIdOk, ControlKind::kDefPushButton, "OK", 145, 8, 50, 14},
    {win::kIdCancel, ControlKind::kPushButton, "Cancel", 145, 26, 50, 14},
};

// A band of buttons in frame 1401 at the bottom; the tree fills the rest.
constexpr ControlTemplate kCompareControls[] = {
    {TAnnotationCompareDlg::kFrameId, ControlKind::kGroupBox, "", 4, 154, 252, 26},
    {TAnnotationCompareDlg::kCompareId, ControlKind::kPushButton, "Compare", 12, 162, 70, 14},
    {TAnnotationCompareDlg::kExpandAllId, ControlKind::kPushButton, "Expand All", 95, 162, 70, 14},
    {TAnnotationCompareDlg::kCancelId, ControlKind::kPushButton, "Cancel", 178, 162, 70, 14},
};

constexpr win::DialogTemplate kDialogs[] = {
    {TAnnotationOptionsDlg::kTemplateId, "Annotation Comparison Options", 205, 50, kOptionsControls},
    {TAnnotationCompareDlg::kTemplateId, "Annotation Compare Parameter", 260, 184, kCompareControls},
};

constexpr uint32_t kTreeOptions =
    dialogs::OptionShowInfoPane | dialogs::OptionShadeExpandColumn | dialogs::OptionShadeCategories;

}  // namespace

TAnnotationOptionsDlg::TAnnotationOptionsDlg(win::Window* parent) : win::Dialog(kTemplateId, parent) {}

void TAnnotationOptionsDlg::DoDataExchange(win::DataExchange& dx) {
  int difference = static_cast<int>(sample_difference);
  win::DdxText(dx, kSampleDifferenceId, difference);
  win::DdvMinMaxInt(dx, difference, kMinSampleDifference, kMaxSampleDifference);
  if (dx.Saving() && dx.Failed()) return;  // a refused OK changes neither value
  sample_difference = difference;
  win::DdxCheck(dx, kTriggerPointOnlyId, trigger_point_only);
}

TAnnotationCompareDlg::TAnnotationCompareDlg(win::Window* parent) : win::Dialog(kTemplateId, parent) {
  AddCommand(kCompareId, [this] { OnCompare(); });
  AddCommand(kExpandAllId, [] {});
  AddCommand(kCancelId, [this] { EndDialog(kCancelResult); });
}

int TAnnotationCompareDlg::ButtonBand() {
  win::Window* frame = GetDlgItem(kFrameId);
  return frame != nullptr ? frame->GetWindowRect().Height() + 20 : 0;
}

bool TAnnotationCompareDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  gfx::Rect rect = GetClientRect();
  rect.bottom -= ButtonBand();
  if (!tree_.Create(win::kWsChild | win::kWsVisible | win::kWsClipSiblings | win::kWsClipChildren, rect, this,
                    kTreeOptions, -1))
    return true;
  tree_.SetNotifyWindow(1, this);
  common_ = new dialogs::COptionTreeItem;
  common_->SetLabelText("Common");
  common_->SetInfoText("Allgemeine Optionen");
  tree_.InsertItem(common_);
  sample_difference_item_ = new dialogs::COptionTreeEditItem;
  dialogs::AddIntegerItem(tree_, common_, sample_difference_item_, "# Sample Difference", " in Samples > 0",
                          static_cast<int>(sample_difference));
  trigger_point_item_ = new dialogs::COptionTreeCheckItem;
  dialogs::AddCheckItem(tree_, common_, trigger_point_item_, "Do only Trigger Point check", "Ja/Nein",
                        trigger_point_only);
  tree_.ExpandAll();
  return true;
}

void TAnnotationCompareDlg::OnCompare() {
  if (sample_difference_item_ != nullptr) {
    // An edit still open holds the newest text; the field is read as it stands.
    if (dialogs::COptionTreeItem* focused = tree_.GetFocusedItem()) focused->CommitChanges();
    long value = 0;
    sample_difference = sample_difference_item_->GetLongValue(value) ? value : 1;
    trigger_point_only = trigger_point_item_->GetCheck();
  }
  EndDialog(kCompareResult);
}

// Enter would otherwise end the dialog with the result of "Compare" without reading the values.
void TAnnotationCompareDlg::OnOK() { OnCompare(); }

void TAnnotationCompareDlg::OnSize(int type, int cx, int cy) {
  win::Dialog::OnSize(type, cx, cy);
  if (cx <= 0 || cy <= 0 || !tree_.IsWindow()) return;
  // The band of the buttons stays free, or the tree would cover them.
  tree_.MoveWindow({0, 0, cx, cy - ButtonBand()});
}

void AddAnnotationCompareResources(platform::ResourcePack& pack) {
  if (!win::IsExePack(pack)) return;
  win::Templates().Add(pack, kDialogs);
}
