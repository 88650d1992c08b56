#include "win/toolbar_model.h"

#include "win/command_target.h"

namespace win {

void ToolBarModel::AddButton(int id, int image, ToolButtonStyle style, std::string_view tooltip) {
  ToolButton& button = buttons_.emplace_back();
  button.id = id;
  button.image = image;
  button.style = style;
  button.tooltip = std::string(tooltip);
}

void ToolBarModel::AddSeparator() { buttons_.emplace_back().style = ToolButtonStyle::kSeparator; }

std::optional<size_t> ToolBarModel::CommandToIndex(int id) const {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i].style != ToolButtonStyle::kSeparator && buttons_[i].id == id) return i;
  }
  return std::nullopt;
}

ToolButton* ToolBarModel::Find(int id) {
  const std::optional<size_t> index = CommandToIndex(id);
  return index ? &buttons_[*index] : nullptr;
}

bool ToolBarModel::HideButton(int id, bool hide) {
  ToolButton* button = Find(id);
  if (button) button->hidden = hide;
  return button != nullptr;
}

bool ToolBarModel::EnableButton(int id, bool enable) {
  ToolButton* button = Find(id);
  if (button) button->enabled = enable;
  return button != nullptr;
}

bool ToolBarModel::CheckButton(int id, bool check) {
  ToolButton* button = Find(id);
  if (button) button->checked = check;
  return button != nullptr;
}

bool ToolBarModel::DeleteButton(size_t index) {
  if (index >= buttons_.size()) return false;
  buttons_.erase(buttons_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

void ToolBarModel::Update(CommandTarget& target, bool disable_if_no_handler) {
  for (ToolButton& button : buttons_) {
    if (button.style == ToolButtonStyle::kSeparator) continue;
    const CmdUI ui = UpdateCommand(target, button.id, disable_if_no_handler);
    if (ui.Enabled()) button.enabled = *ui.Enabled();
    if (ui.Check()) button.checked = *ui.Check() != 0;
    if (ui.Radio()) button.checked = *ui.Radio();
  }
}

}  // namespace win
