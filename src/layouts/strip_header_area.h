#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "document/profile_keys.h"
#include "gfx/drawing_types.h"
#include "views/layout_tree.h"
#include "views/view_area.h"
#include "win/drawn_check_box.h"

class CECGSampleWnd;

namespace platform {
class Locale;
}

// The locale of the header's time of day: the system's own unless start-up or a test sets
// another. Not owned; nullptr returns to the system locale.
const platform::Locale& StripHeaderLocale();
void SetStripHeaderLocale(const platform::Locale* locale);

// The narrow grey column at the left of an example-strip window: the time of day at which the
// shown strip starts (with the day of a recording longer than a day) and the heart rate there.
// Draws from the document and its host window on demand. User-interface thread only.
class CSampleHeaderArea : public CViewArea {
 public:
  // Language strings of the check boxes of the main strip's header.
  static constexpr int kRRModeString = 21088;
  static constexpr int kRRModeMinString = 14389;
  static constexpr int kCaliperString = 23013;

  CSampleHeaderArea(CViewAreaConfig* config, CZK470Doc* document);

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  // A rebuilt strip (1024) may start elsewhere, after a change of paper speed say: redraw.
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override {}

  // The start of the strip the header belongs to, in ms from the recording start: the example
  // strip of the slot (-1 none).
  virtual int GetShownStart() const;
  int GetSlot() const { return slot_; }
  // The two lines as Draw writes them.
  std::string TimeText() const;
  std::string HeartRateText() const;

 protected:
  CECGSampleWnd* HostWindow() const;
  void InvalidateInHost() const;

  int slot_ = -1;
};

class CSampleHeaderAreaConfig : public CViewAreaConfig {
 public:
  CSampleHeaderAreaConfig() = default;
  CSampleHeaderAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, bool clip)
      : CViewAreaConfig(position, min_size, per_mille, clip) {}
  std::string_view GetClassName() const override { return "CSampleHeaderAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The header of the main ECG strip window: the two lines of the example header for the main
// strip, the channel names beside their traces, on the ST screen the current ST value of each ST
// channel, and at its foot three check boxes (children of the host window): the interval row and
// the heart-rate row of the annotation rows, and the caliper. The boxes are hidden during each
// layout pass and shown by the next paint.
class CStripHeaderArea : public CSampleHeaderArea {
 public:
  static constexpr int kRRModeBoxId = 1340;
  static constexpr int kRRModeMinBoxId = 1341;
  static constexpr int kCaliperBoxId = 32957;

  using CSampleHeaderArea::CSampleHeaderArea;
  ~CStripHeaderArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;
  int GetShownStart() const override;

  win::DrawnCheckBox* RRModeBox() const { return rr_mode_box_.get(); }
  win::DrawnCheckBox* RRModeMinBox() const { return rr_mode_min_box_.get(); }
  win::DrawnCheckBox* CaliperBox() const { return caliper_box_.get(); }
  // The ST line of one ST channel ("ST 1 :  0.5"), as Draw writes it.
  static std::string STText(int channel, double value);

 private:
  void DrawSTValues(gfx::Canvas& dc);
  void CreateBox(std::unique_ptr<win::DrawnCheckBox>& box, int id, int string_id, const gfx::Rect& place,
                 gfx::Point out_of_sight, int check);
  void InvertSetting(SettingKey key, win::DrawnCheckBox* box);

  std::unique_ptr<win::DrawnCheckBox> rr_mode_box_;
  std::unique_ptr<win::DrawnCheckBox> rr_mode_min_box_;
  std::unique_ptr<win::DrawnCheckBox> caliper_box_;
  gfx::Font box_font_;
};

class CStripHeaderAreaConfig : public CSampleHeaderAreaConfig {
 public:
  using CSampleHeaderAreaConfig::CSampleHeaderAreaConfig;
  std::string_view GetClassName() const override { return "CStripHeaderAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};
