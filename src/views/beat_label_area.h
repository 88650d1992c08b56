#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "views/layout_tree.h"
#include "views/view_area.h"

class CECGSampleWnd;

// The beat-label row of a sample window: each beat's class label above it.
class CSampleBeatLabelAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CSampleBeatLabelAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The same row in the main strip window.
class CBeatLabelAreaConfig : public CSampleBeatLabelAreaConfig {
 public:
  using CSampleBeatLabelAreaConfig::CSampleBeatLabelAreaConfig;
  std::string_view GetClassName() const override { return "CBeatLabelAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// Writes the class label of every beat label cell of the host window (the annotation row built
// them) in its class colour, with "*" when the beat was edited by hand. Holds no cells itself.
class CBeatLabelArea : public CViewArea {
 public:
  CBeatLabelArea(CViewAreaConfig* config, CZK470Doc* document);

  void Attach(CBaseView* view) override;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;

  virtual int GetStartTime() const;
  virtual int GetEndTime() const;

  int GetSampleSlot() const { return sample_slot_; }
  int GetExampleKind() const { return example_kind_; }
  // The classes whose labels are written.
  static bool IsLabelledClass(int code);

 protected:
  CECGSampleWnd* Host() const;
  void TakeSlot();
  void Invalidate();

  int sample_slot_ = -1;
  int example_kind_ = -1;
};

class CStripBeatLabelArea : public CBeatLabelArea {
 public:
  using CBeatLabelArea::CBeatLabelArea;

  int GetStartTime() const override;
  int GetEndTime() const override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
};
