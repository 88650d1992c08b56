#include "layouts/strip_header_area.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/number_formatter.h"
#include "common/time_formatter.h"
#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/ids.h"
#include "platform/locale.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/base_view.h"
#include "views/ecg_sample_window.h"
#include "views/preset_font.h"
#include "views/sample_slot_hint.h"
#include "win/system_metrics.h"

namespace {

constexpr int64_t kMsPerDay = 86'400'000;
constexpr int kFontTime = 3;       // Arial 15 bold
constexpr int kFontHeartRate = 4;  // Arial 20 bold
constexpr int kTimeTopInset = 5;
constexpr int kSecondLineDown = 15;
constexpr uint32_t kCentredLine = gfx::kDtCenter | gfx::kDtSingleLine;
constexpr uint32_t kRightMiddleLine = gfx::kDtRight | gfx::kDtVCenter | gfx::kDtSingleLine;
constexpr uint32_t kBoxStyle = win::kWsChild | win::kWsVisible | win::kBsCheckBox;
constexpr int kBoxHeight = 15;
constexpr int kSlots = 3;

const platform::Locale* g_locale = nullptr;

gfx::Color ButtonFace() { return win::GetSysColor(win::SysColor::kBtnFace); }

// Seconds of the day at which the recording started.
int StartSecondOfDay(const CZK470Doc& doc) {
  const double days = doc.GetRecordingData().start_time.days;
  const double fraction = days - std::floor(days);
  return static_cast<int>(std::llround(fraction * 86400.0)) % 86400;
}

// Selects preset `kind` into dc for the life of the object.
class ScopedPresetFont {
 public:
  ScopedPresetFont(gfx::Canvas& dc, int kind) : dc_(dc) {
    CPresetFont preset(1);
    const gfx::Font* font = preset.Select(kind);
    old_ = dc_.SelectFont(font != nullptr ? *font : gfx::Font{});
  }
  ~ScopedPresetFont() { dc_.SelectFont(old_); }
  ScopedPresetFont(const ScopedPresetFont&) = delete;
  ScopedPresetFont& operator=(const ScopedPresetFont&) = delete;

 private:
  gfx::Canvas& dc_;
  gfx::Font old_;
};

}  // namespace

const platform::Locale& StripHeaderLocale() {
  static const platform::SystemLocale system_locale;
  return g_locale != nullptr ? *g_locale : system_locale;
}

void SetStripHeaderLocale(const platform::Locale* locale) { g_locale = locale; }

// ---------------------------------------------------------------------------------------------
// CSampleHeaderArea

CSampleHeaderArea::CSampleHeaderArea(CViewAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document) {}

CECGSampleWnd* CSampleHeaderArea::HostWindow() const { return FindSampleWindow(config_); }

void CSampleHeaderArea::InvalidateInHost() const {
  win::Window* host = config_ != nullptr ? config_->GetParentWindow() : nullptr;
  if (host != nullptr && host->IsWindow()) host->InvalidateRect(rect_, true);
}

int CSampleHeaderArea::GetShownStart() const {
  if (document_ == nullptr || slot_ < 0 || slot_ >= kSlots) return -1;
  return document_->GetViewFields().sample_start_ms[static_cast<size_t>(slot_)];
}

std::string CSampleHeaderArea::TimeText() const {
  const int shown = GetShownStart();
  // A strip that starts before the recording (an early example) still names a time of day.
  int64_t t = (int64_t{StartSecondOfDay(*document_)} * 1000 + shown) % kMsPerDay;
  if (t < 0) t += kMsPerDay;
  const TTimeFormatter times(StripHeaderLocale());
  return times.FormatHourLabel(static_cast<int>(t), 0) + document_->GetDayLabelAt(std::max(shown, 0) / 1000);
}

std::string CSampleHeaderArea::HeartRateText() const {
  const CECGSampleWnd* host = HostWindow();
  return TNumberFormatter().FormatCount(host != nullptr ? host->GetHeartRate() : -1);
}

void CSampleHeaderArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  dc.FillSolidRect(rect_, ButtonFace());
  const CECGSampleWnd* host = HostWindow();
  if (host == nullptr || !host->HasExample() || document_ == nullptr) return;
  dc.SetBkColor(ButtonFace());
  dc.SetTextColor(gfx::Rgb(0, 0, 0));
  gfx::Rect text{rect_.left, rect_.top + kTimeTopInset, rect_.right, rect_.bottom};
  {
    const ScopedPresetFont font(dc, kFontTime);
    gfx::Rect line = text;
    dc.DrawText(TimeText(), line, kCentredLine);
  }
  text.top += kSecondLineDown;
  {
    const ScopedPresetFont font(dc, kFontHeartRate);
    gfx::Rect line = text;
    dc.DrawText(HeartRateText(), line, kCentredLine);
  }
}

int CSampleHeaderArea::OnMessage(uint32_t msg, win::WParam, win::LParam) {
  // Every header of the layout hears it; the other windows' strips may have followed the scale.
  if (msg == areamsg::kStripRecomputed) InvalidateInHost();
  return 0;
}

void CSampleHeaderArea::OnNotify(document::DocumentView* sender, int hint_number, THintObject* object) {
  switch (hint_number) {
    case hint::kDocumentChanged:
    case hint::kSpanMoved:
      if (HintConcernsSlot(object, slot_)) InvalidateInHost();
      break;
    case hint::kArea20000:
    case hint::kArea20003:
      slot_ = FindSampleSlot(config_);
      break;
    default:
      break;
  }
}

void CSampleHeaderArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  slot_ = FindSampleSlot(config_);
}

std::unique_ptr<CViewArea> CSampleHeaderAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CSampleHeaderArea>(this, doc);
}

// ---------------------------------------------------------------------------------------------
// CStripHeaderArea

CStripHeaderArea::~CStripHeaderArea() {
  // While the view closes, its window tree takes the boxes' windows with it.
  if (!IsViewClosing()) {
    for (auto* box : {rr_mode_box_.get(), rr_mode_min_box_.get(), caliper_box_.get()})
      if (box != nullptr && box->IsWindow()) box->DestroyWindow();
  }
}

int CStripHeaderArea::GetShownStart() const {
  return document_ != nullptr ? document_->GetStripStartMs() : 0;
}

std::string CStripHeaderArea::STText(int channel, double value) {
  char head[32];
  std::snprintf(head, sizeof head, "ST %d : ", channel + 1);
  return std::string(head) + (value >= 0 ? " " : "") + TNumberFormatter().FormatFixed(value, 1);
}

void CStripHeaderArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CSampleHeaderArea::Draw(dc, update);
  if (CECGSampleWnd* host = HostWindow()) {
    dc.SetBkColor(ButtonFace());
    dc.SetTextColor(gfx::Rgb(0, 0, 0));
    const ScopedPresetFont font(dc, kFontTime);
    const auto& rects = host->ChannelLabelRects();
    const auto& texts = host->ChannelLabelTexts();
    for (size_t i = 0; i < rects.size() && i < texts.size(); ++i) {
      gfx::Rect place{rect_.left + 1, rects[i].top, rect_.right - 5, rects[i].bottom};
      dc.DrawText(texts[i], place, kRightMiddleLine);
    }
  }
  if (document_ != nullptr && document_->GetDisplayMode() == DisplayMode::kStTrend) DrawSTValues(dc);
  for (auto* box : {rr_mode_box_.get(), rr_mode_min_box_.get(), caliper_box_.get()})
    if (box != nullptr && box->IsWindow()) box->ShowWindow(win::kSwShow);
}

void CStripHeaderArea::DrawSTValues(gfx::Canvas& dc) {
  const TRecordingData& record = document_->GetRecordingData();
  // Values without a segment length cannot be placed in time.
  const int segment_s = record.st_interval;
  if (segment_s <= 0) return;
  const document::ChannelSet& st_channels = document::Context().g_STChannels;
  const bool two_channels = document::Context().g_RecordingChannels.count == 2;
  const int shown = GetShownStart();
  const int p = shown + (document_->GetStripEndMs() - shown) / 3;
  const int h = rect_.Height();
  const ScopedPresetFont font(dc, kFontTime);
  dc.SetBkColor(ButtonFace());
  dc.SetTextColor(gfx::Rgb(0, 0, 0));
  bool drawn = false;
  const size_t entries =
      std::min<size_t>(static_cast<size_t>(std::max(st_channels.count, 0)), record.st_levels.size());
  for (size_t i = 0; i < entries; ++i) {
    const TSTValues& values = record.st_levels[i];
    if (values.GetSize() == 0 || record.st_channel_analysed[i] == 0) continue;
    const int channel = st_channels.channels[i];
    const int segment = std::clamp(static_cast<int>(p * 0.001 / segment_s), 0, values.GetSize() - 1);
    const double v = values.GetAt(segment).GetValue();
    int top = 0;
    int bottom = h;
    const int half = two_channels ? 20 : 50;
    if (channel == 0 || (channel == 1 && !two_channels && !drawn)) {
      top = h / 2 - half;
      bottom = h / 2;
    } else if (channel == 1 || (channel == 2 && !two_channels)) {
      top = h / 2;
      bottom = h / 2 + half;
    }
    gfx::Rect place{rect_.left, rect_.top + top, rect_.right, rect_.top + bottom};
    dc.DrawText(STText(channel, v), place, kRightMiddleLine);
    drawn = true;
  }
}

int CStripHeaderArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  switch (msg) {
    case cmd::kPreviousEvent:
    case cmd::kNextEvent:
    case 33008:
    case 33009:
    case 33010:
    case 33011:
      InvalidateInHost();
      return 1;
    case areamsg::kCaliper:
      // The strip area switches the flag after this.
      if (caliper_box_ && caliper_box_->IsWindow())
        caliper_box_->SetCheck(document_->GetViewFields().caliper != 0 ? win::kBstUnchecked
                                                                       : win::kBstChecked);
      return 1;
    case areamsg::kRRMode:
      InvertSetting(SettingKey::kResRRMode, rr_mode_box_.get());
      return 1;
    case areamsg::kRRModeMin:
      InvertSetting(SettingKey::kResRRModeMin, rr_mode_min_box_.get());
      return 1;
    default:
      return CSampleHeaderArea::OnMessage(msg, wparam, lparam);
  }
}

void CStripHeaderArea::InvertSetting(SettingKey key, win::DrawnCheckBox* box) {
  SettingsStore& settings = document_->GetSettings();
  const int value = settings.Int(key) == 0 ? 1 : 0;
  settings.SetInt(key, value);
  if (box != nullptr && box->IsWindow()) box->SetCheck(value != 0 ? win::kBstChecked : win::kBstUnchecked);
  document_->UpdateAllViews(nullptr, hint::kPositionMoved);
}

void CStripHeaderArea::OnNotify(document::DocumentView* sender, int hint_number, THintObject* object) {
  switch (hint_number) {
    case hint::kDisplaySettings:
    case hint::kPositionMoved:
    case hint::kCountsChanged:
    case hint::kHeartRateAveraging:
    case hint::kNavigationRebuild:
    case hint::kPatientData:
    case hint::kArea1019:
    case hint::kEditsChanged:
      InvalidateInHost();
      break;
    case hint::kDocumentChanged:
    case hint::kSpanMoved:
      if (caliper_box_ && caliper_box_->IsWindow())
        caliper_box_->SetCheck(document_->GetViewFields().caliper != 0 ? win::kBstChecked
                                                                       : win::kBstUnchecked);
      break;
    default:
      break;
  }
  CSampleHeaderArea::OnNotify(sender, hint_number, object);
}

void CStripHeaderArea::CreateBox(std::unique_ptr<win::DrawnCheckBox>& box, int id, int string_id,
                                 const gfx::Rect& place, gfx::Point out_of_sight, int check) {
  win::Window* host = config_->GetParentWindow();
  if (host == nullptr || !host->IsWindow()) return;
  box = std::make_unique<win::DrawnCheckBox>();
  if (!box->CreateControl(host, place, id, platform::LoadString(string_id), kBoxStyle)) {
    box.reset();
    return;
  }
  box->SetBackground(ButtonFace());
  box->SetFont(box_font_, true);
  box->MoveWindow({out_of_sight.x, out_of_sight.y, out_of_sight.x + 200, out_of_sight.y + 200});
  box->SetCheck(check != 0 ? win::kBstChecked : win::kBstUnchecked);
}

void CStripHeaderArea::Attach(CBaseView* view) {
  CSampleHeaderArea::Attach(view);
  box_font_ = gfx::Font{};
  box_font_.height = 15;
  box_font_.weight = 400;
  box_font_.face = "Arial";
  const int middle = rect_.left + rect_.Width() / 2;
  const SettingsStore& settings = document_->GetSettings();
  CreateBox(rr_mode_box_, kRRModeBoxId, kRRModeString,
            {rect_.left + 4, rect_.bottom - 23, middle - 2, rect_.bottom - 3}, {2000, 2000},
            settings.Int(SettingKey::kResRRMode));
  CreateBox(rr_mode_min_box_, kRRModeMinBoxId, kRRModeMinString,
            {middle + 2, rect_.bottom - 23, rect_.right - 4, rect_.bottom - 3}, {2200, 2200},
            settings.Int(SettingKey::kResRRModeMin));
  CreateBox(caliper_box_, kCaliperBoxId, kCaliperString,
            {rect_.left + 4, rect_.bottom - 47, middle - 2, rect_.bottom - 27}, {2400, 2400},
            document_->GetViewFields().caliper);
}

void CStripHeaderArea::OnLayout(int left, int top, int right, int bottom) {
  const int w = right - left - 8;
  const auto place = [&](win::DrawnCheckBox* box, int from_bottom) {
    if (box == nullptr || !box->IsWindow()) return;
    box->ShowWindow(win::kSwHide);
    box->MoveWindow({left + 4, bottom - from_bottom, left + 4 + w, bottom - from_bottom + kBoxHeight});
  };
  place(caliper_box_.get(), 45);
  place(rr_mode_box_.get(), 30);
  place(rr_mode_min_box_.get(), 15);
}

std::unique_ptr<CViewArea> CStripHeaderAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CStripHeaderArea>(this, doc);
}
