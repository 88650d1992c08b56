#pragma once

#include <cstdint>

#include "dialogs/optiontree/option_tree.h"
#include "win/dialog.h"

namespace dialogs {
class COptionTreeCheckItem;
class COptionTreeEditItem;
}  // namespace dialogs
namespace platform {
class ResourcePack;
}

// The two values of an annotation comparison: how many samples a beat may lie from its reference
// (1..1000) and whether only the trigger points are to be checked. Template 320 of the program's
// own resources; OK keeps the dialog open until the difference lies in range.
// User-interface thread only.
class TAnnotationOptionsDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 320;
  static constexpr int kSampleDifferenceId = 1609;
  static constexpr int kTriggerPointOnlyId = 1610;
  static constexpr int kMinSampleDifference = 1;
  static constexpr int kMaxSampleDifference = 1000;

  explicit TAnnotationOptionsDlg(win::Window* parent = nullptr);

  int trigger_point_only = 0;
  long sample_difference = 0;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// The same two values in an option tree under the category "Common". "Compare" reads them back
// and ends with 1; "Cancel" ends with 2 and leaves them as they were. Template 321 of the
// program's own resources. User-interface thread only.
class TAnnotationCompareDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 321;
  static constexpr int kFrameId = 1401;
  static constexpr int kCompareId = 1481;
  static constexpr int kExpandAllId = 1482;
  static constexpr int kCancelId = 1483;
  static constexpr int kCompareResult = 1;
  static constexpr int kCancelResult = 2;

  explicit TAnnotationCompareDlg(win::Window* parent = nullptr);

  int trigger_point_only = 0;
  long sample_difference = 0;

  dialogs::COptionTree& Tree() { return tree_; }
  // The rows; none before the dialog is open.
  dialogs::COptionTreeItem* CommonItem() const { return common_; }
  dialogs::COptionTreeEditItem* SampleDifferenceItem() const { return sample_difference_item_; }
  dialogs::COptionTreeCheckItem* TriggerPointItem() const { return trigger_point_item_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnSize(int type, int cx, int cy) override;

 private:
  void OnCompare();
  // The height kept free below the tree for the buttons.
  int ButtonBand();

  dialogs::COptionTree tree_;
  dialogs::COptionTreeItem* common_ = nullptr;
  dialogs::COptionTreeEditItem* sample_difference_item_ = nullptr;
  dialogs::COptionTreeCheckItem* trigger_point_item_ = nullptr;
};

// Templates 320 and 321, in the program's own pack only.
void AddAnnotationCompareResources(platform::ResourcePack& pack);
