#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace win {

class CommandTarget;
class Menu;

struct MenuItem {
  int id = 0;        // 0 for separators and pop-ups
  std::string text;  // "&" marks the mnemonic; "\t" separates the accelerator text
  bool separator = false;
  bool enabled = true;
  int check = 0;       // 0 none, 1 ticked
  bool radio = false;  // shows a bullet while check is 1
  std::unique_ptr<Menu> popup;
};

// A menu bar, pop-up or context menu as a model: the host renders it, the program edits it and
// its entries take their state from update handlers just before they are shown.
class Menu {
 public:
  Menu() = default;
  Menu(const Menu& other);
  Menu& operator=(const Menu& other);
  Menu(Menu&&) = default;
  Menu& operator=(Menu&&) = default;

  void AppendItem(int id, std::string_view text);
  void AppendSeparator();
  Menu& AppendPopup(std::string_view text);

  size_t Count() const { return items_.size(); }
  MenuItem& At(size_t index) { return items_.at(index); }
  const MenuItem& At(size_t index) const { return items_.at(index); }
  // The pop-up at index, nullptr when that entry is none.
  Menu* SubMenu(size_t index);

  // First entry with this command id, searched depth first; nullptr when none.
  MenuItem* FindItem(int id);
  const MenuItem* FindItem(int id) const;
  // Deletes the first entry with this command id, in this menu or a pop-up below it.
  bool DeleteItem(int id);
  bool RemoveAt(size_t index);

  // The update pass of a pop-up about to open: each command entry of this menu (not the pop-ups
  // below it) takes enabled, check, radio and text from the update handlers along target's route;
  // an entry nobody handles is disabled.
  void UpdateItems(CommandTarget& target);
  // The same through every pop-up below.
  void UpdateAll(CommandTarget& target);

 private:
  std::vector<MenuItem> items_;
};

}  // namespace win
