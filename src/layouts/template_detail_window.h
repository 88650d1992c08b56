#pragma once

#include <memory>
#include <string_view>

#include "platform/ids.h"
#include "views/window_area.h"

class CZK470Doc;
struct TTemplateClassEntry;

// The window node of the template detail in layout 9 (below the beat page, left of the strip).
class CTemplateDetailWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  ~CTemplateDetailWindowConfig() override;

  std::string_view GetClassName() const override { return "CTemplateDetailWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

// Hosts the template detail area and carries the commands on the class the beat page shows (the
// document's selected row): the previous or next class that holds beats, the detail scales, a
// move into another family, deleting all its beats, and stepping its member. The cursor row
// follows the selected row in every step. Draws nothing itself; keeps no state. User-interface
// thread only.
class CTemplateDetailWnd : public CAreaWnd {
 public:
  static constexpr int kCmdNextClass = cmd::kNextPageOfPage;
  static constexpr int kCmdPreviousClass = cmd::kPreviousPageOfPage;
  static constexpr int kCmdSpeedDown = cmd::kPageSlower;
  static constexpr int kCmdSpeedUp = cmd::kPageFaster;
  static constexpr int kCmdAmplitudeUp = cmd::kPageLarger;
  static constexpr int kCmdAmplitudeDown = cmd::kPageSmaller;
  static constexpr int kCmdDistanceUp = 32926;
  static constexpr int kCmdDistanceDown = 32927;
  static constexpr int kCmdToNormal = 32933;
  static constexpr int kCmdToVES = 32934;
  static constexpr int kCmdToSVES = cmd::kValidationBatchESC;  // the same number
  static constexpr int kCmdToArtefact = 32935;
  static constexpr int kCmdDeleteClass = 32954;
  static constexpr uint32_t kMsgStepMember = 1046;
  static constexpr int kToolBarId = 1029;
  static constexpr double kSpeeds[4] = {12.5, 25.0, 50.0, 100.0};
  static constexpr double kGains[3] = {5.0, 10.0, 20.0};

  CTemplateDetailWnd(CWindowAreaConfig* config, CZK470Doc* document);
  ~CTemplateDetailWnd() override;

  std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) override;

  // The selected row's entry; nullptr when it lies outside the rows.
  const TTemplateClassEntry* SelectedEntry() const;
  // Beat count of the selected row's class (0 for a family outside 0..3).
  int GetSelectedCount() const;
  void NextClass(bool commit);
  void PreviousClass(bool commit);
  void MoveToFamily(int family);
  void OnDeleteClass();

  int SpeedIndex() const;
  int AmplitudeIndex() const;
  double Speed() const { return kSpeeds[SpeedIndex()]; }
  double Gain() const { return kGains[AmplitudeIndex()]; }

  std::string_view ClassName() const override { return "TemplateDetailWnd"; }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  bool PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  void OnContextMenu(win::Window* window, gfx::Point screen_point) override;

 private:
  void AddCommands();
  void StepClass(int direction);
  void StepMember(int direction);
  void StepSetting(int id, int delta);
  // The relabels pending before a move: the class's own records are dropped when they cover
  // every beat of the class, all others are committed.
  void SettlePendingRelabels();
};

// The hosted window of an area inside the template detail window; nullptr elsewhere.
CTemplateDetailWnd* FindTemplateDetailWindow(const CViewAreaConfig* node);
