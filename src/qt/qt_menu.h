#pragma once

#include <QMenu>
#include <string>
#include <vector>

namespace win {
class Menu;
}

namespace qthost {

// A QMenu that shows a pop-up of the window system: its actions carry the command id (or the list
// index) as their data. As a menu bar's pull-down, Left and Right (where no sub-menu takes them)
// and Esc end it and say so, so that the bar can open the title beside it. User-interface thread
// only.
class HostMenu : public QMenu {
 public:
  HostMenu() = default;

  // Adds the entries of menu: "&" mnemonics and the accelerator text after a tab as they stand,
  // separators, disabled, ticked and radio entries, pop-ups as sub-menus.
  void AddEntries(const win::Menu& menu);
  // Adds one entry per text, "&" shown as it is; each action's data is its index.
  void AddListEntries(const std::vector<std::string>& texts);

  void SetMenuBarKeys(bool on) { menu_bar_keys_ = on; }
  // The key that ended a menu bar's pull-down: win::kPopupEnded*, 0 for none.
  int KeyEnding() const { return key_ending_; }
  // Lights the first entry that is no separator (a pull-down opened from the keyboard).
  void LightFirstEntry();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool menu_bar_keys_ = false;
  int key_ending_ = 0;
};

}  // namespace qthost
