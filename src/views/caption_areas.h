#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/time_axis_mark.h"
#include "views/layout_tree.h"
#include "views/view_area.h"

class TTimeFormatter;

namespace platform {
class Locale;
}

// The small areas under the navigation band and the trend charts: a framed caption, the time axis
// of the displayed span and a box with the recording's number of beats. They draw from the document
// on demand; only the time axis keeps something, its marks. User-interface thread only.

// The locale of the hour labels: the system's own unless start-up or a test sets another. Not
// owned; nullptr returns to the system locale.
const platform::Locale& TimeAxisLocale();
void SetTimeAxisLocale(const platform::Locale* locale);

// The caption's text and its string id in the language resources.
inline constexpr int kCaptionStringId = 14382;

class CCaptionArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
};

class CCaptionAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CCaptionAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

class CBeatCountArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
};

class CBeatCountAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CBeatCountAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// What the marks of a time axis depend on, so that they can be worked out without a document.
struct TimeAxisSpan {
  int width_px = 0;          // right - left of the area
  int length_minutes = 0;    // the displayed span
  int start_ms = 0;          // span start from the recording start
  int start_clock_hour = 0;  // clock time of the span start; may exceed 23
  int start_clock_minute = 0;
  bool longer_than_day = false;
};

// Ticks every 10 minutes with an hour mark every hour (20 minutes and 3 steps for spans longer than
// a day); labels every H hours, H doubling until labels of label_width pixels fit. day_label_at gives
// the day text of a second from the recording start. An empty span or a width below one pixel gives
// no marks.
std::vector<TTimeAxisMark> BuildTimeAxisMarks(const TimeAxisSpan& span, int label_width,
                                              const TTimeFormatter& times,
                                              const std::function<std::string(int seconds)>& day_label_at);

class CTimeAxisArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void OnLayout(int left, int top, int right, int bottom) override;

  void RebuildMarks();
  const std::vector<TTimeAxisMark>& GetMarks() const { return marks_; }

 private:
  std::vector<TTimeAxisMark> marks_;
};

class CTimeAxisAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CTimeAxisAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};
