#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win {

class CommandTarget;

enum class ToolButtonStyle {
  kButton,
  kSeparator,
  kCheck,       // toggles
  kCheckGroup,  // one of a group is down
};

struct ToolButton {
  int id = 0;          // command id; 0 for separators
  int image = -1;      // index into the bar's image strip; -1 none
  ToolButtonStyle style = ToolButtonStyle::kButton;
  bool enabled = true;
  bool checked = false;
  bool hidden = false;
  std::string tooltip;
};

// The buttons of a toolbar, in order, as the host or a bar window shows them. Indices count
// hidden buttons and separators too, as the framework's toolbar messages do.
class ToolBarModel {
 public:
  void AddButton(int id, int image, ToolButtonStyle style = ToolButtonStyle::kButton,
                 std::string_view tooltip = {});
  void AddSeparator();

  size_t Count() const { return buttons_.size(); }
  ToolButton& At(size_t index) { return buttons_.at(index); }
  const ToolButton& At(size_t index) const { return buttons_.at(index); }
  std::optional<size_t> CommandToIndex(int id) const;
  ToolButton* Find(int id);

  // By command id; false when no button carries it.
  bool HideButton(int id, bool hide = true);
  bool EnableButton(int id, bool enable = true);
  bool CheckButton(int id, bool check = true);
  // By index, as the delete-button message does.
  bool DeleteButton(size_t index);

  // Buttons take their enabled and checked state from the update handlers along target's route
  // (a radio mark shows as checked); a button nobody handles is disabled when
  // disable_if_no_handler is set.
  void Update(CommandTarget& target, bool disable_if_no_handler = true);

 private:
  std::vector<ToolButton> buttons_;
};

}  // namespace win
