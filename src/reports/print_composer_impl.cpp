#include "reports/print_composer_impl.h"

#include <algorithm>

#include "document/profile_keys.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "reports/print_auto_gain.h"
#include "reports/reports_context.h"
#include "trends/report_values.h"

namespace {

constexpr int kBothChannels = 2;

}  // namespace

void CheckMonochromePrinter(gfx::Canvas& dc) {
  SetMonochromePrinting(!IsEmfRecording() && dc.GetDeviceCaps(gfx::DeviceCap::kNumColors) == 2);
}

TPrintComposer::TPrintComposer(CZK470Doc& doc, const TFindingsDlgMaker& make_findings,
                               const std::vector<TPrintPartRow>& parts)
    : TPrinter(0, &doc, -1, nullptr), rows_(parts) {
  const SettingsStore& settings = doc.GetSettings();
  auto_gain_ = std::make_unique<TPrintAutoGain>(doc);
  if (settings.Int(SettingKey::kSamplesAutoAmplitude) != 0) auto_gain_->Compute(kAutoGainLimit);
  report_values_ = std::make_unique<TReportValues>(doc);

  const bool both_channels = settings.Int(SettingKey::kFullDisclosureChannels) == kBothChannels;
  for (const TPrintPartRow& row : rows_) {
    const TPrintPartArgs args{row.full_header, &doc, report_values_.get(),
                              row.gets_auto_gain ? auto_gain_.get() : nullptr};
    const TPrintPartFactory& factory =
        row.single_channel_factory && !both_channels ? row.single_channel_factory : row.factory;
    std::unique_ptr<TPrinter> part = factory ? factory(args) : nullptr;
    // A part not built yet stands as the base, which has no pages.
    if (part == nullptr) part = std::make_unique<TPrinter>(row.full_header, &doc, -1, report_values_.get());
    parts_.push_back(std::move(part));
  }
  part_pages_.assign(parts_.size(), 0);

  if (make_findings) findings_ = make_findings(doc);
  SetDialog(findings_.get());
  for (const auto& part : parts_) part->SetDialog(findings_.get());
}

TPrintComposer::~TPrintComposer() = default;

int TPrintComposer::GetPartPages(int index) const { return part_pages_.at(static_cast<size_t>(index)); }

void TPrintComposer::CountPages(win::CPrintInfo& info, int command) {
  SetCommand(command);
  for (const auto& part : parts_) part->SetCommand(command);
  const SettingsStore& settings = Document()->GetSettings();
  total_pages_ = 0;
  for (size_t i = 0; i < parts_.size(); ++i) {
    // An unselected part is not asked: it would prepare its content for nothing.
    const int pages =
        IsPrintPartSelected(rows_[i], command, settings) ? std::max(parts_[i]->GetPageCount(info), 0) : 0;
    part_pages_[i] = pages;
    total_pages_ += pages;
  }
  page_count_ = total_pages_;
  info.max_page = total_pages_;
}

void TPrintComposer::DecideColour(gfx::Canvas& dc) { CheckMonochromePrinter(dc); }

void TPrintComposer::PrepareDC(gfx::Canvas& dc, win::CPrintInfo& info) {
  dc.SetMapMode(gfx::MapMode::kHiMetric);
  dc.SetBkMode(gfx::BkMode::kTransparent);
  for (const auto& part : parts_) part->PrepareDC(dc, info);
}

void TPrintComposer::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int) {
  // Page 0 or below would otherwise reach the first part as its page 0.
  if (info.current_page < 1) return;
  const int n = static_cast<int>(parts_.size());
  int i = 0;
  int j = 0;
  int k = 0;
  while (k < info.current_page && i < n) {
    ++j;
    if (j > part_pages_[static_cast<size_t>(i)]) {
      ++i;
      j = 0;
    } else {
      ++k;
    }
  }
  if (i < n) parts_[static_cast<size_t>(i)]->PrintPage(dc, info, j);
}

void TPrintComposer::Cleanup(gfx::Canvas* dc, win::CPrintInfo& info) {
  for (const auto& part : parts_) part->Cleanup(dc, info);
}
