#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/ids.h"
#include "platform/resources.h"
#include "views/window_area.h"
#include "win/menu.h"

class CZK470Doc;

// The window node of the beat page: hosts a CBeatPageWnd over a pixel grid and the beat page area.
class CBeatPageWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  ~CBeatPageWindowConfig() override;

  std::string_view GetClassName() const override { return "CBeatPageWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

// The beat page of one template class: pages through the class, changes time scale, gain and
// channel distance of the page ("Details-" settings of the document), relabels the selected
// beats through the edit sink, asks the strip window of the layout to delete the current beat and
// leads back to the template classes screen. Draws nothing itself; its areas draw. firstRow is
// the first row of 20 beats shown, a multiple of 5; the beat page area reads and writes it.
// User-interface thread only.
class CBeatPageWnd : public CAreaWnd {
 public:
  static constexpr int kCmdTemplateClasses = 32925;
  static constexpr int kCmdPageBack = 32945;
  static constexpr int kCmdPageForward = 32946;
  static constexpr int kCmdSpeedDown = cmd::kPageSlower;
  static constexpr int kCmdSpeedUp = cmd::kPageFaster;
  static constexpr int kCmdAmplitudeUp = cmd::kPageLarger;
  static constexpr int kCmdAmplitudeDown = cmd::kPageSmaller;
  static constexpr int kCmdDistanceUp = 32926;
  static constexpr int kCmdDistanceDown = 32927;
  static constexpr int kCmdNormal = 32936;
  static constexpr int kCmdVES = 32937;
  // The page's own SVES relabel shares its id with the main view's ST statistic.
  static constexpr int kCmdSVES = cmd::kSTStatistic;
  static constexpr int kCmdArtefact = 32938;
  static constexpr int kCmdPreviousBeat = cmd::kPreviousEvent;
  static constexpr int kCmdNextBeat = cmd::kNextEvent;
  static constexpr int kCmdDeleteBeat = 32944;
  // The area messages of the keyboard steps.
  static constexpr uint32_t kMsgPreviousBeat = 32787;
  static constexpr uint32_t kMsgNextBeat = 32788;
  // Ask: lparam std::vector<CHitRecord>*, one record appended per selected cell.
  static constexpr uint32_t kMsgSelectionRecords = 1032;

  static constexpr int kToolBarId = 1028;
  static constexpr int kMenuId = 208;
  static constexpr int kToolBarTitleString = 16000;
  // The entries of the context menu take their texts from strings from here on, one per entry.
  static constexpr int kMenuTextFirst = 15487;
  static constexpr int kMaxSpeedIndex = 3;
  static constexpr int kMaxAmplitudeIndex = 3;
  static constexpr int kMaxDistanceIndex = 4;

  CBeatPageWnd(CWindowAreaConfig* config, CZK470Doc* document);
  ~CBeatPageWnd() override;

  std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) override;
  void Attach(CBaseView* view) override;
  bool PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) override;

  int GetFirstRow() const { return first_row_; }
  void SetFirstRow(int row) { first_row_ = row; }
  // The selected cells' beats relabelled to beat_class with the edit command of that class.
  void RelabelSelection(int beat_class, int edit_command);

  // Sub-menu 0 of menu 208, with the texts of the serving pack.
  static win::Menu BuildContextMenu();
  // The menu's entry texts in English or German, for the resource packs.
  static std::vector<platform::StringEntry> ContextMenuStrings(bool german);

  std::string_view ClassName() const override { return "BeatPageWnd"; }

 protected:
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnRButtonDown(unsigned flags, gfx::Point point) override;
  void OnRButtonUp(unsigned flags, gfx::Point point) override;
  void OnContextMenu(win::Window* window, gfx::Point screen_point) override;

 private:
  void RegisterCommands();
  int Ask(uint32_t message, int initial);
  void StepSetting(int command, int delta);
  void MoveFirstRow(int rows);

  int first_row_ = 0;
};

// The hosted window of an area inside the beat page window; nullptr elsewhere.
CBeatPageWnd* FindBeatPageWindow(const CViewAreaConfig* node);
