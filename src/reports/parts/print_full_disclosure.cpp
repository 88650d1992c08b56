#include "reports/parts/print_full_disclosure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "common/time_formatter.h"
#include "document/document_context.h"
#include "document/profile_keys.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/parts/print_ecg_strip.h"

namespace {

constexpr int kMinutesPerDay = 1440;
constexpr int kHalfHourRowHeight = 766;
constexpr int kHourRowHeight = 383;
// Two-channel rows bring the channels 1 mm closer; single-channel rows draw on the middle line.
constexpr int kTwoChannelSpread = 50;
constexpr int kMiddleLineSpread = -1;
constexpr int32_t kLeadInMs = 15 * 60 * 1000;

std::string Printf(const char* format, const std::string& a, const std::string& b, const std::string& c,
                   const std::string& d) {
  std::vector<char> text(a.size() + b.size() + c.size() + d.size() + 16);
  std::snprintf(text.data(), text.size(), format, a.c_str(), b.c_str(), c.c_str(), d.c_str());
  return text.data();
}

// Seconds of the day at which the recording started.
int StartSecondOfDay(const CZK470Doc& doc) {
  const std::optional<platform::LocalDateTime> start =
      document::ToLocalDateTime(doc.GetRecordingData().start_time);
  return start ? (start->hour * 60 + start->minute) * 60 + start->second : 0;
}

int64_t SamplesPerMinute(const CZK470Doc& doc) { return static_cast<int64_t>(doc.GetSampleRate() * 60.0); }

}  // namespace

TPrintFullDisclosure::TPrintFullDisclosure(int full_header, CZK470Doc* doc, TReportValues* report_values)
    : TPrintFullDisclosure(full_header, doc, report_values, kHalfHourRowHeight, 30, 144) {}

TPrintFullDisclosure::TPrintFullDisclosure(int full_header, CZK470Doc* doc, TReportValues* report_values,
                                           int row_height, int block_minutes, int page_limit)
    : TPrinter(full_header, doc, -1, report_values),
      row_height_(row_height),
      block_minutes_(block_minutes),
      page_limit_(page_limit) {}

TPrintFullDisclosure::~TPrintFullDisclosure() = default;

bool TPrintFullDisclosure::IsSelected() const {
  const CZK470Doc* doc = Document();
  return doc != nullptr &&
         (GetCommand() == kOwnCommand ||
          (GetCommand() == kWholeReportCommand && doc->GetSettings().Int(SettingKey::kPrintFull) != 0));
}

int TPrintFullDisclosure::GetPageCount(win::CPrintInfo&) {
  page_count_ = 0;
  if (IsSelected()) Paginate();
  return page_count_;
}

bool TPrintFullDisclosure::BlockPrints(int day, int index) const {
  const CZK470Doc& doc = *Document();
  const TRecordingData& recording = doc.GetRecordingData();
  const int minutes = doc.GetMinutesInDay(day);
  const int mode = recording.fd_day_switches[static_cast<size_t>(day)];
  // A whole day prints every block the recording reaches into.
  if (mode == 0) return block_minutes_ * index < minutes;
  if (mode != 1) return false;
  // Hours use the flag of their first half-hour; a flagged half-hour needs all its minutes, a
  // flagged hour at least one.
  const int half_hour = index * block_minutes_ / 30;
  if (recording.fd_half_hours[static_cast<size_t>(day)][static_cast<size_t>(half_hour)] == 0) return false;
  return block_minutes_ == 30 ? minutes >= 30 * (index + 1) : 60 * index < minutes;
}

void TPrintFullDisclosure::Paginate() {
  page_count_ = 0;
  const CZK470Doc* doc = Document();
  if (doc == nullptr || doc->GetRecordingMinutes() <= 0) return;
  for (int day = 0; day < TRecordingData::kDays; ++day) {
    for (int index = 0; index < BlocksPerDay(); ++index) page_count_ += BlockPrints(day, index) ? 1 : 0;
    if (doc->GetRecordingData().fd_day_switches[static_cast<size_t>(day)] == 0)
      page_count_ = std::min(page_count_, page_limit_);
  }
}

std::optional<TPrintFullDisclosure::Block> TPrintFullDisclosure::FindBlock(int page) const {
  if (Document() == nullptr || page < 1 || page > page_count_) return std::nullopt;
  int count = 0;
  for (int day = 0; day < TRecordingData::kDays; ++day)
    for (int index = 0; index < BlocksPerDay(); ++index)
      if (BlockPrints(day, index) && ++count == page) return Block{day, index};
  return std::nullopt;
}

int TPrintFullDisclosure::BlockFirstMinute(const Block& block) const {
  return block_minutes_ * (BlocksPerDay() * block.day + block.index);
}

std::string TPrintFullDisclosure::BlockTitle(const Block& block) const {
  const CZK470Doc& doc = *Document();
  const TTimeFormatter times(PrintLocale());
  const int64_t start_seconds = StartSecondOfDay(doc) + int64_t{block_minutes_} * block.index * 60;
  const auto clock_ms = [](int64_t seconds) { return static_cast<int>(seconds % 86400 * 1000); };
  std::string date;
  if (const std::optional<platform::LocalDateTime> start =
          document::ToLocalDateTime(doc.GetRecordingData().start_date))
    date = times.FormatDate(*start, block.day);
  return Printf("%s %s - %s (%s)", platform::LoadString(kIdsFullDisclosureTitle),
                times.FormatHourLabel(clock_ms(start_seconds), 0),
                times.FormatHourLabel(clock_ms(start_seconds + (block_minutes_ - 1) * 60), 0), date);
}

double TPrintFullDisclosure::Gain() const {
  static constexpr std::array<double, 3> kGains = {1.0, 1.5, 3.0};
  const int index =
      Document() != nullptr ? Document()->GetSettings().Int(SettingKey::kFullDisclosureAmplitude) : 1;
  return kGains[static_cast<size_t>(std::clamp(index, 0, 2))];
}

int TPrintFullDisclosure::ChannelChoice() const {
  return Document() != nullptr ? Document()->GetSettings().Int(SettingKey::kFullDisclosureChannels) : 2;
}

void TPrintFullDisclosure::PrintTitle(gfx::Canvas& dc, const std::string& title,
                                      const std::string& bookmark) {
  if (IsPdfExport()) WritePageTitleMarker(dc, bookmark);
  DrawStep step(dc);
  SetOffset(0, 0);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 8, 1);
  TextBox(dc, title, 0, 18000, 1500, 2100, kLeftText);
}

void TPrintFullDisclosure::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  if (Document() == nullptr) return;
  TPrinter::PrintPage(dc, info, page);
  const std::optional<Block> block = FindBlock(page);
  if (!block) return;
  const std::string title = BlockTitle(*block);
  PrintTitle(dc, title, title);
  PrintRows(dc, info, BlockFirstMinute(*block) * SamplesPerMinute(*Document()), ChannelChoice());
}

void TPrintFullDisclosure::PrintRows(gfx::Canvas& dc, win::CPrintInfo& info, int64_t first_sample,
                                     int channels) {
  CZK470Doc* doc = Document();
  SetOffset(0, 0);
  PrintSpeedLegend(dc, info);
  PrintChannelLegend(dc, info, channels);
  const int64_t per_minute = SamplesPerMinute(*doc);
  const int64_t end_sample = int64_t{doc->GetRecordingMinutes()} * per_minute;
  const int spread = channels == 2 ? kTwoChannelSpread : kMiddleLineSpread;
  for (int y = kFirstRowY, r = 0; y < kRowsEndY; y += row_height_, ++r) {
    const int64_t row_start = first_sample + r * per_minute;
    // Nothing is recorded there: no samples to load, no time to show.
    if (row_start >= end_sample) break;
    {
      TPrintECGStrip strip(doc, static_cast<int32_t>(row_start), XToPage(kRowLeft), YToPage(y),
                           XToPage(kRowLeft + kRowWidth), YToPage(y + row_height_), kSpeed, Gain(), spread);
      strip.DrawCompressed(dc, info, channels);
    }
    PrintRowTime(dc, info, row_start, y);
  }
}

void TPrintFullDisclosure::PrintChannelLegend(gfx::Canvas& dc, win::CPrintInfo&, int channels) {
  const document::ChannelSet& set = document::Context().g_RecordingChannels;
  const auto number = [&](int k) { return k < set.count ? set.channels[static_cast<size_t>(k)] + 1 : k + 1; };
  std::string text = platform::LoadString(kIdsFullDisclosureChannel);
  if (channels == 0)
    text += " " + std::to_string(number(0));
  else if (channels == 1)
    text += " " + std::to_string(number(1));
  else
    text += " " + std::to_string(number(0)) + "+" + std::to_string(number(1));
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 6, 1);
  TextBox(dc, text, 5000, 13500, 1900, 2100, kCentredText);
}

void TPrintFullDisclosure::PrintSpeedLegend(gfx::Canvas& dc, win::CPrintInfo&) {
  // FixedToText reuses its buffer: copy the gain before the speed.
  std::string text = FixedToText(Gain(), 1);
  text += "mm/mV  " + FixedToText(kSpeed, 1) + "mm/s";
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 6, 1);
  TextBox(dc, text, 10500, 18500, 1900, 2100, kRightText);
}

void TPrintFullDisclosure::PrintRowTime(gfx::Canvas& dc, win::CPrintInfo&, int64_t row_start, int y) {
  const CZK470Doc& doc = *Document();
  const auto seconds = static_cast<int64_t>(static_cast<double>(row_start) / doc.GetSampleRate());
  const int64_t of_day = (StartSecondOfDay(doc) + seconds) % 86400;
  const std::string text = PrintLocale().FormatTime(
      static_cast<int>(of_day / 3600), static_cast<int>(of_day / 60 % 60), static_cast<int>(of_day % 60));
  DrawStep step(dc);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 6, 1);
  TextBox(dc, text, 0, 1500, y, y + row_height_, kLeftText);
}

TPrintFullDisclosureSingle::TPrintFullDisclosureSingle(int full_header, CZK470Doc* doc,
                                                       TReportValues* report_values)
    : TPrintFullDisclosure(full_header, doc, report_values, kHourRowHeight, 60, 72) {}

TPrintFullDisclosureAtPosition::TPrintFullDisclosureAtPosition(int full_header, CZK470Doc* doc,
                                                               TReportValues* report_values)
    : TPrintFullDisclosure(full_header, doc, report_values) {}

int TPrintFullDisclosureAtPosition::GetPageCount(win::CPrintInfo&) {
  page_count_ = Document() != nullptr && GetCommand() == kOwnCommand ? 1 : 0;
  return page_count_;
}

void TPrintFullDisclosureAtPosition::Paginate() { page_count_ = 1; }

int64_t TPrintFullDisclosureAtPosition::FirstSample() const {
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return 0;
  const int32_t start_ms = std::max(0, doc->GetCurrentPosition() - kLeadInMs);
  return static_cast<int64_t>(start_ms * 0.001 * doc->GetSampleRate());
}

void TPrintFullDisclosureAtPosition::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  if (Document() == nullptr) return;
  TPrinter::PrintPage(dc, info, page);
  const std::string title = platform::LoadString(kIdsFullDisclosureAtPositionTitle);
  std::string bookmark = title;
  while (!bookmark.empty() && bookmark.back() == ':') bookmark.pop_back();
  PrintTitle(dc, title, bookmark);
  PrintRows(dc, info, FirstSample(), 2);
}

namespace {

// The position page's title is the screens' text of the same number.
constexpr platform::StringEntry kEnglishStrings[] = {
    {kIdsFullDisclosureTitle, "Full disclosure"},
    {kIdsFullDisclosureAtPositionTitle, "Full disclosure:"},
    {kIdsFullDisclosureChannel, "Channel"},
};

constexpr platform::StringEntry kGermanStrings[] = {
    {kIdsFullDisclosureTitle, "Voll-EKG"},
    {kIdsFullDisclosureAtPositionTitle, "Voll-EKG:"},
    {kIdsFullDisclosureChannel, "Kanal"},
};

}  // namespace

void AddFullDisclosureResources(platform::ResourcePack& pack) {
  if (pack.Name() == "ZK470Ger")
    pack.AddStrings(kGermanStrings);
  else
    pack.AddStrings(kEnglishStrings);
}
