#include "win/menu.h"

#include "win/command_target.h"

namespace win {
namespace {

void ApplyUpdate(MenuItem& item, const CmdUI& ui) {
  if (ui.Enabled()) item.enabled = *ui.Enabled();
  if (ui.Check()) {
    item.check = *ui.Check();
    item.radio = false;
  }
  if (ui.Radio()) {
    item.check = *ui.Radio() ? 1 : 0;
    item.radio = true;
  }
  if (ui.Text()) item.text = *ui.Text();
}

}  // namespace

Menu::Menu(const Menu& other) { *this = other; }

Menu& Menu::operator=(const Menu& other) {
  if (this == &other) return *this;
  std::vector<MenuItem> copy;
  copy.reserve(other.items_.size());
  for (const MenuItem& item : other.items_) {
    MenuItem& to = copy.emplace_back();
    to.id = item.id;
    to.text = item.text;
    to.separator = item.separator;
    to.enabled = item.enabled;
    to.check = item.check;
    to.radio = item.radio;
    if (item.popup) to.popup = std::make_unique<Menu>(*item.popup);
  }
  items_ = std::move(copy);
  return *this;
}

void Menu::AppendItem(int id, std::string_view text) {
  MenuItem& item = items_.emplace_back();
  item.id = id;
  item.text = std::string(text);
}

void Menu::AppendSeparator() { items_.emplace_back().separator = true; }

Menu& Menu::AppendPopup(std::string_view text) {
  MenuItem& item = items_.emplace_back();
  item.text = std::string(text);
  item.popup = std::make_unique<Menu>();
  return *item.popup;
}

Menu* Menu::SubMenu(size_t index) { return index < items_.size() ? items_[index].popup.get() : nullptr; }

MenuItem* Menu::FindItem(int id) {
  for (MenuItem& item : items_) {
    if (!item.separator && !item.popup && item.id == id) return &item;
    if (item.popup) {
      if (MenuItem* found = item.popup->FindItem(id)) return found;
    }
  }
  return nullptr;
}

const MenuItem* Menu::FindItem(int id) const { return const_cast<Menu*>(this)->FindItem(id); }

bool Menu::DeleteItem(int id) {
  for (size_t i = 0; i < items_.size(); ++i) {
    MenuItem& item = items_[i];
    if (!item.separator && !item.popup && item.id == id) {
      items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
    if (item.popup && item.popup->DeleteItem(id)) return true;
  }
  return false;
}

bool Menu::RemoveAt(size_t index) {
  if (index >= items_.size()) return false;
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

void Menu::UpdateItems(CommandTarget& target) {
  for (MenuItem& item : items_) {
    if (item.separator || item.popup || item.id == 0) continue;
    ApplyUpdate(item, UpdateCommand(target, item.id));
  }
}

void Menu::UpdateAll(CommandTarget& target) {
  UpdateItems(target);
  for (MenuItem& item : items_) {
    if (item.popup) item.popup->UpdateAll(target);
  }
}

}  // namespace win
