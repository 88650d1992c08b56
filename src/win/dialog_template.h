#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

namespace platform {
class ResourcePack;
}

namespace win {

enum class ControlKind {
  kStatic,
  kPicture,  // an icon or bitmap named by its text ("#232")
  kGroupBox,
  kPushButton,
  kDefPushButton,
  kCheckBox,  // automatic: a click toggles it
  kRadioButton,  // automatic: a click checks it and clears the others of its group
  kEdit,
  kComboBox,      // drop-down with an edit field
  kComboDropList, // drop-down list only
  kListBox,
  kListView,
  kProgressBar,
  kSlider,
  kAnimation,
  kDateTimePicker,
  kSpin,
  kTab,
};

// Kind-specific style bits of template controls.
inline constexpr uint32_t kSsCenter = 0x0001;
inline constexpr uint32_t kSsRight = 0x0002;
inline constexpr uint32_t kSsNoPrefix = 0x0080;
inline constexpr uint32_t kEsMultiline = 0x0004;
inline constexpr uint32_t kEsPassword = 0x0020;
inline constexpr uint32_t kEsReadOnly = 0x0800;
inline constexpr uint32_t kEsWantReturn = 0x1000;
inline constexpr uint32_t kEsNumber = 0x2000;
inline constexpr uint32_t kLbsMultipleSel = 0x0008;
inline constexpr uint32_t kLbsExtendedSel = 0x0800;
inline constexpr uint32_t kLvsReport = 0x0001;
inline constexpr uint32_t kLvsSingleSel = 0x0004;
inline constexpr uint32_t kLvsShowSelAlways = 0x0008;
inline constexpr uint32_t kPbsSmooth = 0x0001;
// Flags of a template control; the default is visible, enabled and (for controls that take
// input) a tab stop.
inline constexpr uint32_t kCtlHidden = 0x1;
inline constexpr uint32_t kCtlDisabled = 0x2;
inline constexpr uint32_t kCtlNoTabStop = 0x4;
inline constexpr uint32_t kCtlGroup = 0x8;  // starts a group of radio buttons

// One control of a dialog template. Positions and sizes are in dialog units.
struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* text;  // UTF-8; the caption of buttons and statics, the start text of edits
  int x;
  int y;
  int cx;
  int cy;
  uint32_t style = 0;
  uint32_t flags = 0;
};

// A dialog template as a language or the program's own pack holds it. Sizes in dialog units.
struct DialogTemplate {
  int id;
  const char* caption;
  int cx;
  int cy;
  std::span<const ControlTemplate> controls;
  bool child = false;  // a page of a property sheet (no frame, no caption of its own)
};

// Dialog units to pixels: the system font gives 6 x 13 base units, so one unit is 1.5 pixels
// across and 1.625 down (rounded down, as the platform does).
constexpr int DluToPixelsX(int dlu) { return dlu * 6 / 4; }
constexpr int DluToPixelsY(int dlu) { return dlu * 13 / 8; }

// The dialog templates of the resource packs, by pack name. A template is found the way strings
// are: the pack that serves loads now first (the resource switch of platform::Resources()), then
// the other one. The tables are static data; the registry keeps pointers to them.
// User-interface thread only.
class DialogTemplates {
 public:
  void Add(std::string_view pack_name, std::span<const DialogTemplate> templates);
  void Add(const platform::ResourcePack& pack, std::span<const DialogTemplate> templates);
  // nullptr when neither pack has it.
  const DialogTemplate* Find(int id) const;
  const DialogTemplate* FindIn(std::string_view pack_name, int id) const;
  void Reset() { packs_.clear(); }

 private:
  std::map<std::string, std::map<int, const DialogTemplate*>, std::less<>> packs_;
};

DialogTemplates& Templates();

// Which text a pack should carry for a subsystem's tables: the German pack the German texts, every
// other pack (the program's own one included, which serves when no language pack is there) the
// English ones.
bool IsGermanPack(const platform::ResourcePack& pack);
// The program's own pack, which alone holds the program's own templates.
bool IsExePack(const platform::ResourcePack& pack);

}  // namespace win
