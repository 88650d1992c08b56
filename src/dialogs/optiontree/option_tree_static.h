#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dialogs/optiontree/option_tree_item.h"

namespace dialogs {

// A row that shows a fixed text in its value column; it has no editor. The options are kept for
// the caller and mean nothing to the item. User-interface thread only.
class COptionTreeStaticItem : public COptionTreeItem {
 public:
  void SetStaticText(std::string_view text) { text_ = text; }
  const std::string& GetStaticText() const { return text_; }
  // Stored only once the item is in a control; false before.
  bool SetOptions(uint32_t options);
  bool HasOption(uint32_t bit) const { return (options_ & bit) != 0; }
  // A flag of 1 sets the bits, anything else clears them.
  void SetOption(uint32_t bits, int flag);
  uint32_t GetOptions() const { return options_; }

  void DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) override;

 private:
  std::string text_;
  uint32_t options_ = 0;
};

}  // namespace dialogs
