#include "reports/parts/print_sample_strips.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "analysis/example_strips.h"
#include "document/beat_class.h"
#include "document/event_list.h"
#include "document/heart_rate_trend.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/locale.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/parts/print_ecg_strip.h"
#include "reports/parts/print_grids.h"
#include "reports/print_auto_gain.h"

namespace {

// The kinds with example pages, in the order of the report, and their "Print\Samples" switches.
struct ExampleKind {
  int code;
  SettingKey key;
};
constexpr ExampleKind kExampleKinds[] = {
    {kClassBradycardia, SettingKey::kSamplesBradycardia},
    {kClassTachycardia, SettingKey::kSamplesTachycardia},
    {kClassPause, SettingKey::kSamplesPause},
    {kClassArrhythmia, SettingKey::kSamplesArrhythmia},
    {kClassSVES, SettingKey::kSamplesSVES},
    {kClassSVCouplet, SettingKey::kSamplesSVCouplet},
    {kClassSVTriplet, SettingKey::kSamplesSVTriplet},
    {kClassSVTachycardia, SettingKey::kSamplesSVTachycardia},
    {kClassSVBigeminy, SettingKey::kSamplesSVBigeminy},
    {kClassSVTrigeminy, SettingKey::kSamplesSVTrigeminy},
    {kClassVES, SettingKey::kSamplesVES},
    {kClassVCouplet, SettingKey::kSamplesVCouplet},
    {kClassVTriplet, SettingKey::kSamplesVTriplet},
    {kClassVTachycardia, SettingKey::kSamplesVTachycardia},
    {kClassVBigeminy, SettingKey::kSamplesVBigeminy},
    {kClassVTrigeminy, SettingKey::kSamplesVTrigeminy},
    {kClassRonT, SettingKey::kSamplesRonT},
};

std::string Caption(int code) {
  const auto join = [](int group, int name) {
    return platform::LoadString(group) + " : " + platform::LoadString(name);
  };
  switch (code) {
    case kClassPause:
    case kClassBradycardia:
    case kClassTachycardia:
      return join(kIdsSinusGroup, kIdsKindNameBase + code);
    case kClassSVES:
      return join(kIdsSupraventricularGroup, kIdsSVESCaption);
    case kClassSVCouplet:
    case kClassSVTriplet:
    case kClassSVTachycardia:
    case kClassSVBigeminy:
    case kClassSVTrigeminy:
      return join(kIdsSupraventricularGroup, kIdsSVKindNameBase + code);
    case kClassVES:
      return join(kIdsVentricularGroup, kIdsVESCaption);
    case kClassArrhythmia:
      return platform::LoadString(kIdsArrhythmiaCaption);
    default:
      return join(kIdsVentricularGroup, kIdsKindNameBase + code);
  }
}

// The nearest whole sample, halves upward.
int32_t MsToNearestSample(int32_t ms, double sample_rate) {
  return static_cast<int32_t>(std::floor(ms * 0.001 * sample_rate + 0.5));
}

int Index(int value, int count) { return std::clamp(value, 0, count - 1); }

}  // namespace

TPrintSampleStrips::TPrintSampleStrips() = default;

TPrintSampleStrips::TPrintSampleStrips(int full_header, CZK470Doc* doc, TReportValues* report_values,
                                       TPrintAutoGain* auto_gain)
    : TPrinter(full_header, doc, -1, report_values), auto_gain_(auto_gain) {}

TPrintSampleStrips::~TPrintSampleStrips() = default;

bool TPrintSampleStrips::IsSelectedFor(int own_command, SettingKey user_switch) const {
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return false;
  return GetCommand() == own_command ||
         (GetCommand() == kWholeReportCommand && doc->GetSettings().Int(user_switch) != 0);
}

bool TPrintSampleStrips::IsSelected() const { return IsSelectedFor(kOwnCommand, SettingKey::kPrintSamples); }

int TPrintSampleStrips::GetPageCount(win::CPrintInfo&) {
  page_count_ = 0;
  if (IsSelected()) Paginate();
  return page_count_;
}

void TPrintSampleStrips::Paginate() {
  records_.clear();
  page_count_ = 0;
  CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  analysis::CheckExampleStrips(*doc);
  const SettingsStore& settings = doc->GetSettings();
  for (const ExampleKind& kind : kExampleKinds)
    if (settings.Int(kind.key) != 0) AddRecord(kind.code);
  page_count_ = static_cast<int>(records_.size());
}

void TPrintSampleStrips::AddRecord(int code) {
  const CZK470Doc* doc = Document();
  const auto& times = doc->GetRecordingData().example_strips[static_cast<size_t>(code)];
  TSampleStripRecord record;
  size_t filled = 0;
  for (const int32_t ms : times) {
    if (ms < 0) continue;
    record.beats[filled++] =
        TQRSComplex(MsToNearestSample(ms, doc->GetSampleRate()), static_cast<uint8_t>(code));
  }
  if (filled == 0) return;
  record.caption = Caption(code);
  record.code = code;
  records_.push_back(std::move(record));
}

void TPrintSampleStrips::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  if (Document() == nullptr || page < 1 || page > static_cast<int>(records_.size())) return;
  TPrinter::PrintPage(dc, info, page);
  const TSampleStripRecord& record = records_[static_cast<size_t>(page - 1)];
  SetOffset(0, 0);
  if (IsPdfExport()) {
    std::string title = record.caption;
    while (!title.empty() && title.back() == ':') title.pop_back();
    WritePageTitleMarker(dc, title);
  }
  {
    DrawStep step(dc);
    dc.SetMapMode(gfx::MapMode::kTwips);
    SelectPresetFont(dc, 8, 1);
    TextBox(dc, record.caption, 0, 18000, 1500, 2100, kLeftText);
  }
  ChooseSpeedAndGain();
  for (int row = 0; row < kRowsPerPage; ++row) {
    const int32_t position = record.beats[static_cast<size_t>(row)].GetPosition();
    if (position <= -1) break;
    SetStripRect(0, kFirstRowTop + kRowPitch * row, kStripWidth, kStripHeight);
    PrintRow(dc, info, position);
  }
}

void TPrintSampleStrips::ChooseSpeedAndGain() {
  const SettingsStore& settings = Document()->GetSettings();
  speed_ = kSpeeds[static_cast<size_t>(Index(settings.Int(SettingKey::kSamplesSpeed), 2))];
  int gain_index = Index(settings.Int(SettingKey::kSamplesAmplitude), 2);
  if (settings.Int(SettingKey::kSamplesAutoAmplitude) != 0)
    gain_index = auto_gain_ != nullptr && auto_gain_->IsSmallAmplitude() ? 1 : 0;
  gain_ = TPrintAutoGain::kGainMmPerMv[static_cast<size_t>(gain_index)];
}

void TPrintSampleStrips::SetStripRect(int left, int top, int width, int height) {
  strip_left_ = left;
  strip_top_ = top;
  strip_width_ = width;
  strip_height_ = height;
}

double TPrintSampleStrips::StripSeconds() const { return strip_width_ * 0.01 / speed_; }

int32_t TPrintSampleStrips::StripSamples() const {
  return static_cast<int32_t>(std::trunc(Document()->GetSampleRate() * StripSeconds()));
}

int32_t TPrintSampleStrips::StripStart(int32_t position) const {
  const auto third = static_cast<int32_t>(std::trunc(Document()->GetSampleRate() * StripSeconds() / 3));
  return std::max(position - third, 0);
}

int TPrintSampleStrips::SampleX(int32_t position, int32_t start) const {
  return strip_left_ + static_cast<int>(std::trunc(speed_ * 100 * (int64_t{position} - start) /
                                                   Document()->GetSampleRate()));
}

void TPrintSampleStrips::PrintRow(gfx::Canvas& dc, win::CPrintInfo& info, int32_t position) {
  PrintPaper(dc, info);
  const int32_t start = StripStart(position);
  PrintAnnotations(dc, start);
  PrintECG(dc, info, start);
  PrintLegend(dc);
  PrintTimeLabel(dc, start);
  PrintContext(dc, info, start);
}

void TPrintSampleStrips::PrintPaper(gfx::Canvas& dc, win::CPrintInfo& info) {
  const int no_grid = Document()->GetSettings().Int(SettingKey::kPrintNoGrid);
  TPrintECGGrid grid(XToPage(strip_left_), YToPage(strip_top_), XToPage(strip_left_ + strip_width_),
                     YToPage(strip_top_ + strip_height_), no_grid);
  grid.Draw(dc, info);
}

void TPrintSampleStrips::PrintECG(gfx::Canvas& dc, win::CPrintInfo& info, int32_t start) {
  TPrintECGStrip strip(Document(), start, XToPage(strip_left_), YToPage(strip_top_),
                       XToPage(strip_left_ + strip_width_), YToPage(strip_top_ + strip_height_), speed_,
                       gain_, kChannelSpread);
  strip.Draw(dc, info);
}

void TPrintSampleStrips::PrintLegend(gfx::Canvas& dc) {
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 0);
  // FixedToText reuses one buffer: copy the gain before the speed is formatted.
  std::string legend = FixedToText(gain_, 1);
  legend += " mm/mV  ";
  legend += FixedToText(speed_, 1);
  legend += " mm/s";
  const int right = strip_left_ + strip_width_;
  TextBox(dc, legend, right - 7000, right, strip_top_ - 300, strip_top_ - 100, kRightText);
}

void TPrintSampleStrips::PrintTimeLabel(gfx::Canvas& dc, int32_t start) {
  const CZK470Doc* doc = Document();
  const TRecordingData& recording = doc->GetRecordingData();
  const double seconds = std::trunc(start / doc->GetSampleRate());
  const platform::OleDateTime when{0,
                                   recording.start_date.days + recording.start_time.days + seconds / 86400.0};
  std::string text;
  if (const std::optional<platform::LocalDateTime> local = document::ToLocalDateTime(when)) {
    const platform::Locale& locale = PrintLocale();
    text = locale.FormatShortDate(local->year, local->month, local->day) + " " +
           locale.FormatTime(local->hour, local->minute, local->second);
  }
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 1);
  TextBox(dc, text, strip_left_ + 300, strip_left_ + 7000, strip_top_ - 400, strip_top_ - 100, kLeftText);
}

void TPrintSampleStrips::PrintAnnotations(gfx::Canvas& dc, int32_t start) {
  const TQRSList& beats = Document()->GetQRSList();
  const int32_t samples = StripSamples();
  // Labels may run on past the strip's end: E is where the annotated stretch stops.
  int32_t end = start + samples;
  if (beats.GetSize() > 0) {
    const int after = std::min(beats.FindNextAfterPosition(start + samples, 0), beats.GetSize() - 1);
    end = beats.ElementAt(after)->GetPosition() + samples;
  }
  PrintBeatLabels(dc, start, end);
  PrintHeartRate(dc, start);
  PrintEventLabels(dc, start, end);
}

void TPrintSampleStrips::PrintBeatLabels(gfx::Canvas& dc, int32_t start, int32_t end) {
  const CZK470Doc* doc = Document();
  const TQRSList& beats = doc->GetQRSList();
  const SettingsStore& settings = doc->GetSettings();
  const int rr_mode = settings.Int(SettingKey::kResRRMode);
  const int rate_mode = settings.Int(SettingKey::kResRRModeMin);
  const int x = strip_left_;
  const int right = strip_left_ + strip_width_;
  const int y = strip_top_;
  const int h = strip_height_;

  DrawStep step(dc);
  dc.SelectPen(thin_pen_);
  SelectPresetFont(dc, 7, 0);
  const int first_after = beats.FindNextAfterPosition(start, 0);
  // The beat at or before the start only opens the first interval.
  int i = first_after > 0 ? first_after - 1 : 0;
  const bool has_opening = first_after > 0;
  std::optional<int32_t> previous;
  for (; i < beats.GetSize(); ++i) {
    const TQRSComplex& beat = *beats.ElementAt(i);
    const int32_t p = beat.GetPosition();
    if (p >= end) break;
    const int xp = SampleX(p, start);
    if (!(has_opening && i == first_after - 1) && xp < right) {
      dc.SetMapMode(gfx::MapMode::kTwips);
      ResTextBox(dc, kIdsBeatCodeBase + beat.GetClass(), xp - 300, xp + 300, y, y + 300, kCentredText);
      dc.SetMapMode(gfx::MapMode::kHiMetric);
      Line(dc, xp, y + h - 280, xp, y + h - 120);
    }
    if (previous) {
      const int32_t rr_ms = static_cast<int32_t>((int64_t{p} - *previous) * 1000 / doc->GetSampleRate());
      const int band_left = std::max(SampleX(*previous, start), x);
      const int band_right = std::min(xp, right);
      // Two beats at one sample have no interval and no rate to print.
      if (band_right - band_left > kMinIntervalBand && rr_ms > 0) {
        std::string rr_text = IntToText(rr_ms);
        const std::string rate_text = IntToText(60000 / rr_ms);
        dc.SetMapMode(gfx::MapMode::kTwips);
        if (rr_mode != 0 && rate_mode != 0) {
          TextBox(dc, rr_text, band_left, band_right, y + h - 600, y + h - 400, kCentredText);
          TextBox(dc, rate_text, band_left, band_right, y + h - 300, y + h - 100, kCentredText);
        } else if (rr_mode == 1) {
          TextBox(dc, rr_text, band_left, band_right, y + h - 300, y + h - 100, kCentredText);
        } else if (rate_mode == 1) {
          TextBox(dc, rate_text, band_left, band_right, y + h - 300, y + h - 100, kCentredText);
        }
        dc.SetMapMode(gfx::MapMode::kHiMetric);
      }
    }
    previous = p;
  }
}

void TPrintSampleStrips::PrintHeartRate(gfx::Canvas& dc, int32_t start) {
  CZK470Doc* doc = Document();
  const TQRSList& beats = doc->GetQRSList();
  int rate = -1;
  if (beats.GetSize() > 0) {
    const auto third = static_cast<int32_t>(std::trunc(doc->GetSampleRate() * StripSeconds() / 3));
    const auto trend = std::make_unique<THeartRateTrend>(*doc);
    rate = trend->GetHeartRateAt(beats.FindNearest(TQRSComplex(start + third, 0)), 0);
  }
  const std::string text = platform::LoadString(kIdsHeartRateLabel) + " " +
                           (rate < 0 ? std::string("--") : std::to_string(rate)) +
                           platform::LoadString(kIdsRatePerMinute);
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 1);
  TextBox(dc, text, strip_left_ + 4300, strip_left_ + 11000, strip_top_ - 400, strip_top_ - 100, kLeftText);
}

void TPrintSampleStrips::PrintEventLabels(gfx::Canvas& dc, int32_t start, int32_t end) {
  const TEventList& events = Document()->GetEventList();
  const int right = strip_left_ + strip_width_;
  const int y = strip_top_;
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 0);
  std::optional<int> previous_x;
  int stacked = 0;
  for (int i = events.FindNextAfterPosition(start, 0); i < events.GetSize(); ++i) {
    const TEvent& event = *events.ElementAt(i);
    if (event.GetPosition() >= end) break;
    const int kind = event.GetClass();
    if (kind == kClassPaceMaker || kind == kClassUser) continue;
    const int xp = SampleX(event.GetPosition(), start);
    if (xp < right) {
      if (!previous_x || xp - *previous_x > kEventLabelSpacing) {
        stacked = 0;
        ResTextBox(dc, kIdsBeatCodeBase + kind, xp - 100, xp + 2500, y + 300, y + 600, kLeftText);
      } else {
        ResTextBox(dc, kIdsBeatCodeBase + kind, xp - 100, xp + 2500, y + 600 + 300 * stacked,
                   y + 900 + 300 * stacked, kLeftText);
        ++stacked;
      }
    }
    previous_x = xp;
  }
}

void TPrintSampleStrips::PrintContext(gfx::Canvas& dc, win::CPrintInfo& info, int32_t start) {
  CZK470Doc* doc = Document();
  const int x = strip_left_;
  const int w = strip_width_;
  const int bottom = strip_top_ + strip_height_;
  {
    DrawStep step(dc);
    dc.SelectPen(thin_pen_);
    dc.MoveTo(XToPage(x), YToPage(bottom));
    dc.LineTo(XToPage(x), YToPage(bottom + 1500));
    dc.LineTo(XToPage(x + w), YToPage(bottom + 1500));
    dc.LineTo(XToPage(x + w), YToPage(bottom));
  }
  // Half the printed stretch at the context's 185 mm per minute.
  const int half = static_cast<int>(std::trunc(185 / speed_ * 0.5 * (w / 60)));
  const int highlight_left = context_ends_at_strip_ != 0 ? x + w - 2 * half : x + w / 2 - half;
  const int highlight_right = context_ends_at_strip_ != 0 ? x + w : x + w / 2 + half;
  TPrintDotGrid highlight(XToPage(highlight_left), YToPage(bottom), XToPage(highlight_right),
                          YToPage(bottom + 1500));
  highlight.Draw(dc, info);

  const double rate = doc->GetSampleRate();
  const double lead_seconds = context_ends_at_strip_ != 0 ? 60 - 185 / speed_ : 30 - 185 / speed_ * 0.5;
  const auto context_start = static_cast<int32_t>(std::trunc(start - lead_seconds * rate));
  const int amplitude = doc->GetSettings().Int(SettingKey::kFullDisclosureAmplitude);
  TPrintECGStrip context(doc, context_start, XToPage(x), YToPage(bottom + 100), XToPage(x + w),
                         YToPage(bottom + 1600), kContextSpeed,
                         kContextGains[static_cast<size_t>(Index(amplitude, 3))], 100);
  context.DrawCompressed(dc, info, 2);
}

namespace {

constexpr platform::StringEntry kEnglishStrings[] = {
    {kIdsSVKindNameBase + kClassSVBigeminy, "Bigeminy"},
    {kIdsSVKindNameBase + kClassSVTrigeminy, "Trigeminy"},
    {kIdsHeartRateLabel, "HR"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {kIdsSVKindNameBase + kClassSVBigeminy, "Bigeminus"},
    {kIdsSVKindNameBase + kClassSVTrigeminy, "Trigeminus"},
    {kIdsHeartRateLabel, "HF"},
};

}  // namespace

void AddSampleStripResources(platform::ResourcePack& pack) {
  if (pack.Name() == "ZK470Ger")
    pack.AddStrings(kGermanStrings);
  else
    pack.AddStrings(kEnglishStrings);
}
