#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/ids.h"
#include "views/window_area.h"

namespace win {
class Menu;
}
class CZK470Doc;
class TTemplateList;
struct TTemplateClassEntry;

// The window node of the template classes screen (layouts 8 and 10): hosts a CTemplateClassesWnd
// whose children are the pixel grid and the template browsers.
class CTemplateClassesWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  ~CTemplateClassesWindowConfig() override;

  std::string_view GetClassName() const override { return "CTemplateClassesWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

// The template classes screen: one browser per slot shows row first visible + slot of the
// document's template-class rows. Pages through the rows, changes the browsers' scales, opens the
// beat page of a class, moves a class into another family or onto another class, deletes a
// class's beats, keeps a given number of VES classes and rebuilds the rows. The rows and the first
// visible, cursor and selected rows are the document's; the context and drop slots are this
// window's. User-interface thread only.
class CTemplateClassesWnd : public CAreaWnd {
 public:
  static constexpr int kSmallPage = 16;
  static constexpr int kLargePage = 24;
  static constexpr int kRowStep = 8;
  static constexpr int kCmdPageForward = cmd::kNextPageOfPage;
  static constexpr int kCmdPageBack = cmd::kPreviousPageOfPage;
  static constexpr int kCmdRowForward = cmd::kNextRow;
  static constexpr int kCmdRowBack = cmd::kPreviousRow;
  static constexpr int kCmdSpeedDown = cmd::kPageSlower;
  static constexpr int kCmdSpeedUp = cmd::kPageFaster;
  static constexpr int kCmdAmplitudeUp = cmd::kPageLarger;
  static constexpr int kCmdAmplitudeDown = cmd::kPageSmaller;
  static constexpr int kCmdDistanceUp = 32926;
  static constexpr int kCmdDistanceDown = 32927;
  static constexpr int kCmdSelectFirst = 35000;  // + slot: the browsers' count buttons
  static constexpr int kCmdToNormal = 32933;
  static constexpr int kCmdToVES = 32934;
  static constexpr int kCmdToSVES = cmd::kValidationBatchESC;  // the same number
  static constexpr int kCmdToArtefact = 32935;
  static constexpr int kCmdRebuild = 32939;
  static constexpr int kCmdDeleteClass = 32954;
  static constexpr int kCmdSmallPage = 32947;
  static constexpr int kCmdLargePage = 32948;
  static constexpr int kCmdReduceVES = 32949;
  // From the PREV / NEXT buttons: wparam the slot, lparam 0 previous, 1 next.
  static constexpr uint32_t kMsgStepMember = 1046;
  static constexpr int kToolBarId = 1027;
  static constexpr int kToolBarTitleString = 16000;
  // Paper speed (mm/s) and gain (mm/mV) by setting index.
  static constexpr double kSpeeds[4] = {12.5, 25.0, 50.0, 100.0};
  static constexpr double kGains[3] = {5.0, 10.0, 20.0};

  CTemplateClassesWnd(CWindowAreaConfig* config, CZK470Doc* document);
  ~CTemplateClassesWnd() override;

  void Attach(CBaseView* view) override;
  void OnAreaNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) override;

  // Slot queries of the browsers; a slot past the last row answers -1 (the count 0).
  int GetSlotRow(int slot) const;
  int GetSlotFamily(int slot) const;
  int GetSlotClass(int slot) const;
  int GetSlotCount(int slot) const;
  // The slot's current member (beat false) or the beat index of that member (beat true); -1 for
  // no row, an emptied row or an empty class.
  int GetSlotMember(int slot, bool beat) const;

  void SelectSlot(int slot);
  void PreviousMember(int slot);
  void NextMember(int slot);
  void MoveToFamily(int family);
  // The end of a drag from one browser onto another; true when the class moved.
  bool MoveSlotOntoSlot(int source, int target);
  void RebuildKeepingCursor();
  void OnReduceVESClasses();

  int PageSize() const { return page_size_; }
  int GetContextSlot() const { return context_slot_; }
  void SetContextSlot(int slot) { context_slot_ = slot; }
  int GetDropSlot() const { return drop_slot_; }
  void SetDropSlot(int slot) { drop_slot_ = slot; }
  int SpeedIndex() const;
  int AmplitudeIndex() const;
  int DistanceIndex() const;
  double Speed() const { return kSpeeds[SpeedIndex()]; }
  double Gain() const { return kGains[AmplitudeIndex()]; }
  // Whether the 24-class screen is chosen ("View").
  bool LargeView() const;

  std::string_view ClassName() const override { return "TemplateClassesWnd"; }

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
  void Page(int delta);
  void StepSetting(int id, int delta);
  void CompactAndSort();
  void StepMember(int slot, int direction);
  void MoveCursorRow(int row);
  void BroadcastRefresh();
  const TTemplateClassEntry* SlotEntry(int slot) const;

  int context_slot_ = 0;
  int drop_slot_ = 0;
  int page_size_ = kLargePage;
};

// The context menu of both template windows: the four family moves and deleting the class's beats.
inline constexpr int kTemplateMenuFirstString = 20901;  // + family code
inline constexpr int kTemplateMenuDeleteString = 20905;
win::Menu TemplateClassMenu();
// Opens it at the point, owned by the nearest window that is no child.
void OpenTemplateClassMenu(win::Window& window, gfx::Point screen_point);

// The hosted window of an area inside the template classes screen; nullptr elsewhere.
CTemplateClassesWnd* FindTemplateClassesWindow(const CViewAreaConfig* node);

// The recording record's list of one template class; nullptr for a family other than 0..3 or a
// class outside 0..299.
const TTemplateList* FindTemplateClass(const CZK470Doc& document, int family, int class_index);
// The current member index the record keeps for the class; nullptr as above.
int32_t* FindCurrentMember(CZK470Doc& document, int family, int class_index);
// Which of the record's six special classes the class is (0..5: normal 1, normal 2, VES 1, VES 2,
// SVES 1, SVES 2), -1 for none.
int SpecialClassIndex(const CZK470Doc& document, int family, int class_index);
