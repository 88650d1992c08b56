#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/geometry.h"
#include "platform/resources.h"
#include "views/label_cell.h"
#include "views/text_cell.h"
#include "views/window_area.h"

// The window node of an ECG sample window: the window-area fields plus the example-strip slot
// (0..2, -1 none) that the window shows.
class CECGSampleWindowConfig : public CWindowAreaConfig {
 public:
  CECGSampleWindowConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, bool focusable,
                         int sample_slot);

  std::string_view GetClassName() const override { return "CECGSampleWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;

  int GetSampleSlot() const { return sample_slot_; }

 private:
  int sample_slot_ = -1;
};

// The hosted window that carries ECG strips: it owns what its areas share, the pixel scale, the
// channel bands and labels and the hit cells of every drawn label (the rows refill them on each
// layout; the strip area hit-tests them). In a sample slot it shows that slot's stored example
// of the kind chosen in the event legend, takes the current position as the example (32959) and
// steps to the next example of the kind (32960). Base of the main strip window, whose slot is -1.
// User-interface thread only.
class CECGSampleWnd : public CAreaWnd {
 public:
  static constexpr int kCmdTakeExample = 32959;
  static constexpr int kCmdNextExample = 32960;
  static constexpr int kToolBarId = 178;
  // Language strings: the channel labels follow this id by channel number.
  static constexpr int kChannelLabelString = 14394;
  // Paper speeds (mm/s) and gains (mm/mV) by "Sample-Speed" and "Sample-Amplitude".
  static constexpr double kSampleSpeeds[3] = {12.5, 25.0, 50.0};
  static constexpr double kSampleGains[3] = {2.5, 5.0, 10.0};

  CECGSampleWnd(CECGSampleWindowConfig* config, CZK470Doc* document);
  ~CECGSampleWnd() override;

  void OnAreaNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  std::unique_ptr<win::Window> CreateToolBar(CAreaFrameWnd& frame, uint32_t* style, int* dock_bar) override;
  void Attach(CBaseView* view) override;

  // Band i = the i-th equal share of strip, then widened; runs UpdateScale first.
  void LayoutChannelBands(const gfx::Rect& strip);
  void LayoutChannelLabels(const gfx::Rect& strip);
  // Pixels per second and per millivolt from the screen scale and the sample-speed indices.
  virtual void UpdateScale();
  // Neighbouring bands overlap by half a centimetre each way.
  virtual void WidenChannelBands();

  // Slot and has-example flag again from the document (on attach the kind comes from the
  // setting "ECG\Samples"/"Last", otherwise from the event legend).
  void RefreshSlot(bool on_attach);
  void OnTakeCurrentPosition();
  void OnNextExample();

  int GetSampleSlot() const { return sample_slot_; }
  bool HasExample() const { return has_example_; }
  // The stored example time (ms) of the slot's kind, -1 none or without a slot.
  int GetExampleTime() const;
  double GetPixelsPerSecond() const { return pixels_per_second_; }
  double GetPixelsPerMV() const { return pixels_per_mv_; }
  void SetPixelsPerSecond(double value) { pixels_per_second_ = value; }
  void SetPixelsPerMV(double value) { pixels_per_mv_ = value; }
  // Beats per minute at the strip's reference, -1 none; the strip area writes it.
  int GetHeartRate() const { return heart_rate_; }
  void SetHeartRate(int bpm) { heart_rate_ = bpm; }
  // Event labels are drawn while this is on (it is from creation).
  bool GetLabelSwitch() const { return label_switch_; }
  void SetLabelSwitch(bool on) { label_switch_ = on; }

  std::vector<gfx::Rect>& ChannelBands() { return channel_bands_; }
  std::vector<gfx::Rect>& ChannelLabelRects() { return channel_label_rects_; }
  std::vector<std::string>& ChannelLabelTexts() { return channel_label_texts_; }
  std::vector<CTextCell>& TextCells() { return text_cells_; }
  std::vector<CLabelCell>& BeatLabelCells() { return beat_label_cells_; }
  std::vector<CLabelCell>& EventLabelCells() { return event_label_cells_; }
  std::vector<CLabelCell>& MarkLabelCells() { return mark_label_cells_; }

  std::string_view ClassName() const override { return "ECGSampleWnd"; }

 protected:
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  // The example-strip kind this slot shows (0..39 from the document, -1 out of range).
  int SlotKind() const;
  // Sends the two hints that follow a change of the slot's example.
  void AnnounceExampleChange();
  int32_t FindNextBeatExample(int kind, int start_sample) const;
  int32_t FindNextEventExample(int kind, int start_sample) const;

  int sample_slot_ = -1;
  bool has_example_ = true;

 private:
  CECGSampleWindowConfig* sample_config_ = nullptr;
  std::vector<gfx::Rect> channel_bands_;
  std::vector<gfx::Rect> channel_label_rects_;
  std::vector<std::string> channel_label_texts_;
  std::vector<CTextCell> text_cells_;
  std::vector<CLabelCell> beat_label_cells_;
  std::vector<CLabelCell> event_label_cells_;
  std::vector<CLabelCell> mark_label_cells_;
  double pixels_per_second_ = 0.0;
  double pixels_per_mv_ = 0.0;
  int heart_rate_ = 0;
  bool label_switch_ = true;
};

// The host window of an area inside a sample window (nullptr elsewhere), and the slot of its
// window node (-1 outside one).
CECGSampleWnd* FindSampleWindow(const CViewAreaConfig* node);
int FindSampleSlot(const CViewAreaConfig* node);

// The short labels of the 40 codes and the channel labels, in English or German, for the
// resource packs.
std::span<const platform::StringEntry> SampleWindowStrings(bool german = false);
