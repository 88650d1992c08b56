#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace dialogs {

class COptionTree;
class COptionTreeItem;
class COptionTreeEditItem;
class COptionTreeCheckItem;
class COptionTreeDateItem;

// Fill an option tree row by row. Each inserts the new item under parent (none: the root; the
// tree owns it from then on), sets its label and information text, creates its editor window and
// shows the value in it. True when the window was made; false when no item was given or the
// window could not be made (the item then stays in the tree, without a value).

// A whole number, shown as decimal text; the field takes digits only.
bool AddIntegerItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeEditItem* item,
                    std::string_view label, std::string_view info, int value);
// A decimal number, shown with three places.
bool AddDecimalItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeEditItem* item,
                    std::string_view label, std::string_view info, double value);
// Several lines of text; Enter starts a new line.
bool AddMultilineTextItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeEditItem* item,
                          std::string_view label, std::string_view info, std::string_view value);
bool AddTextItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeEditItem* item,
                 std::string_view label, std::string_view info, std::string_view value);
// A text the user sees but cannot change.
bool AddReadOnlyTextItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeEditItem* item,
                         std::string_view label, std::string_view info, std::string_view value);
// A yes/no row showing "Checked" or "UnChecked"; check 0 or 1.
bool AddCheckItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeCheckItem* item,
                  std::string_view label, std::string_view info, int check);
// A date ("ddd, MMM d, yyyy") and a time of day ("hh:mm tt"); none leaves the picker empty.
bool AddDateItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeDateItem* item,
                 std::string_view label, std::string_view info,
                 const std::optional<platform::LocalDateTime>& value);
bool AddTimeItem(COptionTree& tree, COptionTreeItem* parent, COptionTreeDateItem* item,
                 std::string_view label, std::string_view info,
                 const std::optional<platform::LocalDateTime>& value);

}  // namespace dialogs
