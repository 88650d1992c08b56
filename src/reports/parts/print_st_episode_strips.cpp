#include "reports/parts/print_st_episode_strips.h"

#include <algorithm>
#include <string>

#include "common/number_formatter.h"
#include "document/document_context.h"
#include "document/profile_keys.h"
#include "document/recording_data.h"
#include "document/st_details.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "reports/emf_markers.h"
#include "reports/parts/print_st_page.h"

TPrintSTEpisodeStrips::TPrintSTEpisodeStrips(int full_header, CZK470Doc* doc, TReportValues* report_values,
                                             TPrintAutoGain* auto_gain)
    : TPrintStripPage(full_header, doc, report_values, auto_gain) {}

TPrintSTEpisodeStrips::~TPrintSTEpisodeStrips() = default;

int TPrintSTEpisodeStrips::GetPageCount(win::CPrintInfo&) {
  page_count_ = 0;
  if (IsSelectedFor(kOwnCommand, SettingKey::kPrintSTEpisodes)) Paginate();
  return page_count_;
}

void TPrintSTEpisodeStrips::Paginate() {
  items_.clear();
  page_count_ = 0;
  const CZK470Doc* doc = Document();
  if (doc == nullptr) return;
  const TRecordingData& record = doc->GetRecordingData();
  const int channels = std::clamp(document::Context().g_STChannels.count, 0, TRecordingData::kStChannels);
  for (int k = 0; k < channels; ++k)
    if (record.st_episodes[static_cast<size_t>(k)].GetSize() > 0) page_count_ = 1;
  if (page_count_ == 0) return;

  lowest_.fill(Entry{});
  for (int k = 0; k < channels; ++k) {
    const TSTDetails& episodes = record.st_episodes[static_cast<size_t>(k)];
    for (int e = 0; e < episodes.GetSize(); ++e) {
      const TSTPoint& extreme = episodes.Elements()[static_cast<size_t>(e)].points[TSTDetail::kExtreme];
      // Strictly greater: an equal level found later goes after the earlier one.
      const auto place =
          std::ranges::find_if(lowest_, [&](const Entry& entry) { return entry.level > extreme.level; });
      if (place == lowest_.end()) continue;
      std::move_backward(place, lowest_.end() - 1, lowest_.end());
      *place = {extreme.level, extreme.slope, e, k};
    }
  }
  TPrintStripPageItem item;
  for (size_t row = 0; row < lowest_.size(); ++row) {
    const Entry& entry = lowest_[row];
    if (entry.level >= kNoLevel) continue;
    item.positions[row] = record.st_episodes[static_cast<size_t>(entry.channel)]
                              .Elements()[static_cast<size_t>(entry.episode)]
                              .points[TSTDetail::kExtreme]
                              .position;
  }
  items_.push_back(item);
}

void TPrintSTEpisodeStrips::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) {
  if (Document() == nullptr || page < 1 || page > static_cast<int>(items_.size())) return;
  TPrintStripPage::PrintPage(dc, info, page);
  if (IsPdfExport()) {
    std::string title = platform::LoadString(kIdsSTEpisodesTitle);
    while (!title.empty() && title.back() == ':') title.pop_back();
    WritePageTitleMarker(dc, title);
  }
  DrawStep step(dc);
  SetOffset(0, 1500);
  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 8, 1);
  ResTextBox(dc, kIdsSTEpisodesTitle, 0, 12000, 0, 600, kLeftText);

  SetOffset(0, kFirstStripTop);
  SelectPresetFont(dc, 7, 1);
  const TNumberFormatter numbers;
  const std::string level_prefix = platform::LoadString(kIdsSTLevelPrefix);
  const std::string slope_prefix = platform::LoadString(kIdsSTSlopePrefix);
  for (int row = 0; row < kRows; ++row) {
    const Entry& entry = lowest_[static_cast<size_t>(row)];
    if (entry.level >= kNoLevel) continue;
    const int top = kStripPitch * row;
    const std::string text = level_prefix + " " + numbers.FormatFixed(entry.level, 1) + "mm   " +
                             slope_prefix + " " + numbers.FormatFixed(entry.slope, 1) + "mV/s";
    TextBox(dc, text, 7000, 15000, top - 400, top - 100, kLeftText);
  }
}
