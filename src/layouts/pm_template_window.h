#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "document/pm_template_list.h"
#include "platform/ids.h"
#include "views/window_area.h"

class CZK470Doc;

// The window node of the pacemaker class page: hosts a CPMTemplateWnd whose twelve children are
// the class areas of the page.
class CPMTemplateWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  ~CPMTemplateWindowConfig() override;

  std::string_view GetClassName() const override { return "CPMTemplateWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

// The pacemaker class page: twelve classes at a time out of the document's class rows. Pages
// through the rows, changes speed, gain and channel distance of the strips, steps the current
// member of a class, moves a member or merges a class into another (context menu, or dragging one
// area onto another). The rows, the first visible and the selected row are the document's; the
// context and drop rows are this window's. User-interface thread only.
class CPMTemplateWnd : public CAreaWnd {
 public:
  static constexpr int kPageRows = 12;
  static constexpr int kMaxFirstRow = 880;
  static constexpr int kCmdPageForward = cmd::kNextPageOfPage;
  static constexpr int kCmdPageBack = cmd::kPreviousPageOfPage;
  static constexpr int kCmdStepForward = cmd::kNextRow;
  static constexpr int kCmdStepBack = cmd::kPreviousRow;
  static constexpr int kCmdSpeedUp = cmd::kPageFaster;
  static constexpr int kCmdSpeedDown = cmd::kPageSlower;
  static constexpr int kCmdAmplitudeUp = cmd::kPageLarger;
  static constexpr int kCmdAmplitudeDown = cmd::kPageSmaller;
  static constexpr int kCmdDistanceUp = 32926;
  static constexpr int kCmdDistanceDown = 32927;
  // Move the context row's current member to pacemaker class k, and merge its class into k.
  static constexpr int kCmdMoveFirst = 33100;
  static constexpr int kCmdMergeFirst = 33130;
  static constexpr int kMenuClasses = 14;
  // From the row buttons: wparam the page row, lparam 0 previous, 1 next.
  static constexpr uint32_t kMsgStepMember = 1046;
  static constexpr int kToolBarId = 278;
  static constexpr int kToolBarTitleString = 16000;
  static constexpr int kClassName13String = 21061;
  static constexpr int kClassName14String = 14399;
  // Paper speed (mm/s) and gain (mm/mV) by index.
  static constexpr double kSpeeds[3] = {12.5, 25.0, 50.0};
  static constexpr double kAmplitudes[4] = {2.5, 5.0, 10.0, 20.0};

  CPMTemplateWnd(CWindowAreaConfig* config, CZK470Doc* document);
  ~CPMTemplateWnd() override;

  void Attach(CBaseView* view) override;
  std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) override;

  // The class row shown in page row `row`; nullptr for none.
  const TPMTemplateClassEntry* RowEntry(int row) const;
  int RowCount() const;
  int FirstVisibleRow() const;
  int SelectedRow() const;
  // Member index (or with want_position its spike position) of the row's current member; -1 for
  // no row or an empty class.
  int GetCurrentMember(int row, bool want_position) const;
  void StepMember(int row, int direction);
  // The page row becomes the selected row (unless it is, or has no class row); the title bars of
  // the old and new selection are redrawn.
  void SelectRow(int row);
  // k names a pacemaker class. True when the editor moved the member.
  bool MovePMTemplateToClass(int row, int member, int k);
  // target: a pacemaker class (target_is_class) or a page row (drag and drop). True on a merge.
  bool MergeRows(int row, int target, bool target_is_class);

  int GetContextRow() const { return context_row_; }
  void SetContextRow(int row) { context_row_ = row; }
  int GetDropRow() const { return drop_row_; }
  void SetDropRow(int row) { drop_row_ = row; }

  int SpeedIndex() const;
  int AmplitudeIndex() const;
  int DistanceIndex() const;
  double Speed() const { return kSpeeds[SpeedIndex()]; }
  double Amplitude() const { return kAmplitudes[AmplitudeIndex()]; }

  // The header text of a pacemaker class.
  static std::string ClassName(const CZK470Doc& document, int pm_class);
  std::string_view ClassName() const override { return "PMTemplateWnd"; }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  bool PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnRButtonUp(unsigned flags, gfx::Point point) override;
  void OnContextMenu(win::Window* window, gfx::Point screen_point) override;

 private:
  void AddCommands();
  void MoveFirstRow(int delta);
  void StepSetting(int id, int delta, int high);
  void RefreshAreas();
  // The class behind an absolute row; -1 for none.
  int ClassOfRow(int absolute_row) const;

  int drop_row_ = 0;
  int context_row_ = 0;
};

// The hosted window of an area inside the pacemaker class page; nullptr elsewhere.
CPMTemplateWnd* FindPMTemplateWindow(const CViewAreaConfig* node);
