#include "dialogs/optiontree/option_tree_add_items.h"

#include <cstdint>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_check_box.h"
#include "dialogs/optiontree/option_tree_date_item.h"
#include "dialogs/optiontree/option_tree_edit_item.h"
#include "win/dialog_template.h"

namespace dialogs {
namespace {

constexpr std::string_view kDateFormat = "ddd, MMM d, yyyy";
constexpr std::string_view kTimeFormat = "hh:mm tt";

// Inserts the item and sets its texts; false when there is none.
bool Insert(COptionTree& tree, COptionTreeItem* parent, COptionTreeItem* item, std::string_view label,
            std::string_view info) {
  if (item == nullptr) return false;
  tree.InsertItem(item, parent);
  item->SetLabelText(label);
  item->SetInfoText(info);
  return true;
}

bool AddEdit(COptionTree& tree, COptionTreeItem* parent, COptionTreeEditItem* item, std::string_view label,
             std::string_view info, uint32_t options, uint32_t style) {
  return Insert(tree, parent, item, label, info) && item->CreateEditWindow(options, style);
}

bool AddDateOrTime(COptionTree& tree, COptionTreeItem* parent, COptionTreeDateItem* item,
                   std::string_view label, std::string_view info, std::string_view format, uint32_t style,
                   const std::optional<platform::LocalDateTime>& value) {
  if (!Insert(tree, parent, item, label, info) || !item->CreateDateWindow(format, style)) return false;
  item->SetTime(value);
  return true;
}

}  // namespace

bool AddIntegerItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeEditItem* item,
                    std::string_view label, std::string_view info, int value) {
  if (!AddEdit(tree, parent, item, label, info, kEditOptionInteger, 0)) return false;
  item->SetIntValue(value);
  return true;
}

bool AddDecimalItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeEditItem* item,
                    std::string_view label, std::string_view info, double value) {
  if (!AddEdit(tree, parent, item, label, info, kEditOptionDecimal, 0)) return false;
  item->SetDoubleValue(value);
  return true;
}

bool AddMultilineTextItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeEditItem* item,
                          std::string_view label, std::string_view info, std::string_view value) {
  if (!AddEdit(tree, parent, item, label, info, kEditOptionMultiline, win::kEsWantReturn)) return false;
  item->GetEdit().SetWindowText(value);
  return true;
}

bool AddTextItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeEditItem* item,
                 std::string_view label, std::string_view info, std::string_view value) {
  if (!AddEdit(tree, parent, item, label, info, 0, 0)) return false;
  item->GetEdit().SetWindowText(value);
  return true;
}

bool AddReadOnlyTextItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeEditItem* item,
                         std::string_view label, std::string_view info, std::string_view value) {
  if (!AddEdit(tree, parent, item, label, info, 0, 0)) return false;
  item->SetReadOnly(true);
  item->GetEdit().SetWindowText(value);
  return true;
}

bool AddCheckItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeCheckItem* item,
                  std::string_view label, std::string_view info, int check) {
  if (!Insert(tree, parent, item, label, info) ||
      !item->CreateCheckWindow(check, CheckOptionDrawBox | CheckOptionDrawText))
    return false;
  item->SetStateTexts("Checked", "UnChecked");
  return true;
}

bool AddDateItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeDateItem* item,
                 std::string_view label, std::string_view info,
                 const std::optional<platform::LocalDateTime>& value) {
  return AddDateOrTime(tree, parent, item, label, info, kDateFormat, kDtsLongDateFormat, value);
}

bool AddTimeItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeDateItem* item,
                 std::string_view label, std::string_view info,
                 const std::optional<platform::LocalDateTime>& value) {
  return AddDateOrTime(tree, parent, item, label, info, kTimeFormat, kDtsTimeFormat, value);
}

}  // namespace dialogs
