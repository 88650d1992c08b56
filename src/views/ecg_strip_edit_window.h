#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/ids.h"
#include "platform/resources.h"
#include "views/beat_edit_request.h"
#include "views/ecg_sample_window.h"
#include "views/hit_record.h"
#include "win/menu.h"

// The window node of the main ECG strip: an ECG sample window without a sample slot.
class CECGStripWindowConfig : public CECGSampleWindowConfig {
 public:
  CECGStripWindowConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, bool focusable);

  std::string_view GetClassName() const override { return "CECGStripWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

// The main ECG strip window, on which the physician corrects the analysis: relabels, inserts and
// deletes beats, marks a range of beats and relabels or annotates it, sets user markers, deletes
// events and jumps from a beat or pacemaker event to its template class. Its areas draw the strip
// and answer its hit tests (area messages 1009, 1020, 1030, 41100, 41103); every change of the
// lists goes as a TBeatEditRequest to the edit sink. Zoom commands change the "Zoom-" scale
// indices, which the sample windows follow. User-interface thread only.
class CECGStripWnd : public CECGSampleWnd {
 public:
  // Commands of the window, its toolbar (1025), its context menu (184) and its header's boxes.
  static constexpr int kCmdClassChoice = 32801;
  static constexpr int kCmdNormal = 32845;
  static constexpr int kCmdVES = 32846;
  static constexpr int kCmdSVES = 32847;
  static constexpr int kCmdArtefact = 32848;
  static constexpr int kCmdDeleteBeat = 32950;
  static constexpr int kCmdDeleteEvent = 32851;
  static constexpr int kCmdMarkRangeStart = 32852;
  static constexpr int kCmdRangeUnlabel = 32853;
  static constexpr int kCmdRangeVES = 32830;
  static constexpr int kCmdRangeSVES = 32831;
  static constexpr int kCmdRangeNormal = 32921;
  static constexpr int kCmdRangeArtefact = 32923;
  static constexpr int kCmdRangeFibrillation = 33204;
  static constexpr int kCmdRangeFlutter = 33205;
  static constexpr int kCmdUserMarker = 32872;
  static constexpr int kCmdShowBeatTemplate = 32955;
  static constexpr int kCmdShowPacemakerTemplate = 33200;
  static constexpr int kCmdTakeCursor = 32823;
  static constexpr int kCmdNextPage = cmd::kNextPage;
  static constexpr int kCmdPreviousPage = cmd::kPreviousPage;
  static constexpr int kCmdFaster = 33008;
  static constexpr int kCmdSlower = 33009;
  static constexpr int kCmdLarger = 33010;
  static constexpr int kCmdSmaller = 33011;
  static constexpr int kCmdCaliper = 32957;
  static constexpr int kCmdRRMode = 1340;
  static constexpr int kCmdRRModeMin = 1341;
  static constexpr int kCmdNothing = 32854;

  static constexpr int kToolBarId = 1025;
  static constexpr int kMenuId = 184;
  // The texts of the context menu's entries are strings from here on, one per entry.
  static constexpr int kMenuTextFirst = 15400;
  static constexpr int kToolBarTitleString = 59394;
  // The y of every hit test at the strip cursor.
  static constexpr int kCursorHitY = 20;
  // Rows of a template page, and of the pacemaker class page.
  static constexpr int kTemplatePageRows = 16;
  static constexpr int kLargeTemplatePageRows = 24;
  static constexpr int kPacemakerPageRows = 12;
  // Paper speeds (mm/s) and gains (mm/mV) by "Zoom-Speed" and "Zoom-Amplitude".
  static constexpr double kZoomSpeeds[3] = {12.5, 25.0, 50.0};
  static constexpr double kZoomGains[3] = {5.0, 10.0, 20.0};

  CECGStripWnd(CECGStripWindowConfig* config, CZK470Doc* document);
  ~CECGStripWnd() override;

  std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) override;
  void UpdateScale() override;
  // Neighbouring bands overlap by 1.5 cm each way.
  void WidenChannelBands() override;
  bool PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) override;

  // Refreshes the hit record at the strip cursor (41100, then 1009 or 1020); true unless a free
  // position lies there (a beat, or the cursor outside the strip).
  bool HitTestBeatAtCursor();
  bool HitTestEventAtCursor();
  // One request to the edit sink for the point, then the beat page of the layout is told (1109).
  // Nothing happens outside the strip.
  void ExecuteEditAtPoint(unsigned key_flags, int x, int y, int command_flag, int command_id);
  void OnToggleUserMarker();
  void OnShowBeatTemplate();
  void OnShowPacemakerTemplate();

  const CHitRecord& GetHitRecord() const { return hit_; }
  int GetStripCursorX() const { return cursor_x_; }
  bool IsNotFree() const { return not_free_; }
  // Sub-menu 0 of menu 184, as the context menu shows it, with the texts of the serving pack.
  static win::Menu BuildContextMenu();
  // The menu's entry texts in English or German, for the resource packs.
  static std::vector<platform::StringEntry> ContextMenuStrings(bool german);

  std::string_view ClassName() const override { return "ECGStripWnd"; }

 protected:
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnRButtonDown(unsigned flags, gfx::Point point) override;
  void OnRButtonUp(unsigned flags, gfx::Point point) override;
  void OnLButtonDblClk(unsigned flags, gfx::Point point) override;
  void OnContextMenu(win::Window* window, gfx::Point screen_point) override;

 private:
  // What lies under the strip cursor, for the update handlers.
  struct CursorState {
    bool beat = false;  // a beat of the working list
    bool free = false;  // a free position
    int beat_class = -1;
  };
  CursorState StateAtCursor();
  // The type of the event label under the cursor (1020, or 1030 for pacemaker events only); -1
  // when none.
  int EventTypeAtCursor(uint32_t message);
  bool CaliperOn() const;
  // Beats and events can be edited: an editing engine is installed and the caliper is off.
  bool EditsOn() const;
  bool DisplayMode17() const;
  bool RangeMarked() const;
  // An edit at the strip cursor with command flag 1; by_hand sets the manual-edit flag around it.
  void EditAtCursor(int command_id, bool by_hand);
  void ChangeZoom(int command_id);
  void RegisterCommands();
  win::LParam CursorParam() { return reinterpret_cast<win::LParam>(&cursor_x_); }
  int AskCursorX();

  int cursor_x_ = 0;
  CHitRecord hit_;
  bool not_free_ = true;
};
