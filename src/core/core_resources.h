#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "win/menu.h"

namespace platform {
class ResourcePack;
}

// The resources of the application core: the texts of the main frame, the start-up and the
// automation run, the templates of the About box and the analysis dialogs, the menus of the main
// frame (the main menu and the drop-down menus of the toolbar) and the toolbars. Texts and
// templates go to every pack (German to the German pack, English to the others); the program's
// own strings (title, build, document string) and the toolbars only to the program's own pack.
void AddCoreResources(platform::ResourcePack& pack);

// One line of a menu table: depth 0 lies in the menu itself, depth 1 in the pop-up opened by the
// line above it at depth 0, and so on. id 0 with a text opens a pop-up; id -1 is a separator.
struct MenuLine {
  int depth;
  int id;
  const char* text;  // UTF-8; "&" marks the mnemonic, "\t" the accelerator text
};

struct MenuTemplate {
  int id;
  std::span<const MenuLine> lines;
};

// Registers the menus of a pack (as the dialog templates are registered).
void AddMenuTemplates(const platform::ResourcePack& pack, std::span<const MenuTemplate> menus);
// The menu resource id from the pack that serves loads now, else the other one; nullopt when
// neither has it.
std::optional<win::Menu> LoadMenuResource(int id);
void ResetMenuTemplates();
// The menu ids a pack registered, ascending.
std::vector<int> MenuIdsIn(std::string_view pack);

// One key of the main frame's accelerator table; the menus show the same keys after their entries.
struct Accelerator {
  int key;  // virtual key code
  bool control;
  bool shift;
  int command;
};

// The main frame's accelerator table.
std::span<const Accelerator> MainAccelerators();
// The command of a key pressed with these modifiers (Alt not held); 0 when none.
int FindAccelerator(int key, bool control, bool shift);

// The picture a toolbar button shows (the program draws it; no bitmap files).
enum class ToolGlyph {
  kNone,
  kOpen,
  kSave,
  kRecorder,
  kAnalysis,
  kPrint,
  kMail,
  kAbout,
  kPdf,
  kQrs,
  kGdtTake,
  kGdtSend,
  kPagePrevious,
  kPageNext,
};

struct ToolbarButtonTemplate {
  int id;  // 0: a separator
  ToolGlyph glyph;
};

// The buttons of toolbar resource id (306 the main toolbar, 326 the time-span toolbar, 305 the
// menu images); empty for an unknown id.
std::span<const ToolbarButtonTemplate> FindToolbarResource(int id);

// The tool tip of a command: the part of its prompt string after the first line end (the whole
// string when it has none); empty when the command has no string.
std::string CommandToolTip(int id);
