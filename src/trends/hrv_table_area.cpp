#include "trends/hrv_table_area.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "win/grid_ctrl.h"
#include "win/system_metrics.h"

namespace {

enum class Format { kPercent, kMs, kCount };

struct RowKind {
  Format format;
  const char* unit;
};

constexpr std::array<RowKind, CHRVTableArea::kValueRows> kRows = {{
    {Format::kPercent, " [%]"},  // coverage
    {Format::kMs, " [ms]"},      // mean NN
    {Format::kMs, " [ms]"},      // SDNN
    {Format::kMs, " [ms]"},      // SDANN
    {Format::kMs, " [ms]"},      // SDNN index
    {Format::kMs, " [ms]"},      // RMSSD
    {Format::kCount, ""},        // differences above 6 samples
    {Format::kPercent, " [%]"},
    {Format::kCount, ""},  // above 13 samples
    {Format::kPercent, " [%]"},
    {Format::kCount, ""},  // above 25 samples
    {Format::kPercent, " [%]"},
}};

constexpr int kTableRows = CHRVTableArea::kValueRows + 1;

// One decimal, rounded, with a point whatever the locale.
std::string OneDecimal(double value) {
  std::array<char, 64> buffer{};
  const auto [end, ec] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 1);
  return ec == std::errc{} ? std::string(buffer.data(), end) : std::string("0.0");
}

double ValueOf(const THRVValues& v, int row) {
  switch (row) {
    case 0:
      return v.coverage;
    case 1:
      return v.mean_nn;
    case 2:
      return v.sdnn;
    case 3:
      return v.sdann;
    case 4:
      return v.sdnn_index;
    case 5:
      return v.rmssd;
    case 6:
      return v.counts[0];
    case 7:
      return v.percents[0];
    case 8:
      return v.counts[1];
    case 9:
      return v.percents[1];
    case 10:
      return v.counts[2];
    case 11:
      return v.percents[2];
    default:
      return 0.0;
  }
}

}  // namespace

CHRVTableArea::CHRVTableArea(CViewAreaConfig* config, CZK470Doc* document) : CViewArea(config, document) {}

CHRVTableArea::~CHRVTableArea() {
  if (grid_ && grid_->IsWindow()) grid_->DestroyWindow();
}

std::string CHRVTableArea::FormatValue(const THRVResult& result, int row, int column) {
  if (row < 0 || row >= kValueRows || column < 0 || column >= kValueColumns) return {};
  const THRVValues& values = column == 2 ? result.whole : result.groups[static_cast<size_t>(column)];
  const double value = ValueOf(values, row);
  // Interval values are cut, not rounded: a mean NN of 812.9 ms reads 812.
  return kRows[static_cast<size_t>(row)].format == Format::kPercent
             ? OneDecimal(value)
             : std::to_string(static_cast<int64_t>(value));
}

void CHRVTableArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  if (document_ == nullptr) return;
  statistics_ = std::make_unique<THRVStatistics>(*document_);
  statistics_->Update();
}

void CHRVTableArea::OnLayout(int left, int top, int right, int bottom) {
  const gfx::Rect grid_rect{left + kGridMargin, top + kGridMargin, right - kGridMargin, bottom - kGridMargin};
  win::Window* host = config_ != nullptr ? config_->GetParentWindow() : nullptr;
  if (!grid_) {
    if (host == nullptr || !host->IsWindow()) return;
    auto grid = std::make_unique<win::GridCtrl>();
    if (!grid->CreateGrid(*host, grid_rect, kGridId,
                          win::kWsChild | win::kWsVisible | win::kWsBorder | win::kWsTabStop))
      return;
    grid_ = std::move(grid);
  }
  {
    // The headers come from the program's own texts.
    const platform::ScopedExeResources own_resources;
    grid_->SetRowCount(kTableRows);
    grid_->SetColumnCount(kValueColumns + 1);
    grid_->SetFixedRowCount(1);
    grid_->SetFixedColumnCount(1);
    for (int row = 0; row < kValueRows; ++row)
      grid_->SetItemText(
          row + 1, 0,
          " " + platform::LoadString(kFirstRowString + row) + kRows[static_cast<size_t>(row)].unit);
    for (int column = 0; column < kValueColumns; ++column)
      grid_->SetItemText(0, column + 1, platform::LoadString(kFirstColumnString + column));
  }
  grid_->MoveWindow(grid_rect);
  // Each row gets the remaining height divided by the remaining rows.
  int remaining = std::max(0, grid_rect.Height() - 2);
  for (int row = 0; row < kTableRows; ++row) {
    const int height = remaining / (kTableRows - row);
    grid_->SetRowHeight(row, height);
    remaining -= height;
  }
  grid_->SetColumnWidth(0, kHeaderColumnWidth);
  for (int column = 1; column <= kValueColumns; ++column) grid_->SetColumnWidth(column, kValueColumnWidth);
  Fill();
}

void CHRVTableArea::Fill() {
  if (!grid_ || !statistics_) return;
  const THRVResult& result = statistics_->GetResult();
  for (int row = 0; row < kValueRows; ++row)
    for (int column = 0; column < kValueColumns; ++column)
      grid_->SetItemText(row + 1, column + 1, FormatValue(result, row, column));
  if (grid_->IsWindow()) grid_->Invalidate();
}

void CHRVTableArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  const gfx::Brush old_brush =
      dc.SelectBrush(gfx::Brush{gfx::BrushStyle::kSolid, win::GetSysColor(win::SysColor::kBtnFace)});
  dc.Rectangle(rect_);
  dc.SelectBrush(old_brush);
}

int CHRVTableArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (msg != kFindHRVTableArea || lparam == 0) return 0;
  *reinterpret_cast<CHRVTableArea**>(lparam) = this;
  return 1;
}

void CHRVTableArea::OnNotify(document::DocumentView* sender, int hint_number, THintObject* object) {
  if (!statistics_ || document_ == nullptr) return;
  const bool recalculate =
      ((hint_number == hint::kDocumentChanged || hint_number == hint::kSpanMoved) && object == nullptr) ||
      hint_number == hint::kPatientDataEdited;
  if (recalculate) {
    statistics_->Invalidate();
    statistics_->Update();
  } else if (hint_number == hint::kTrend22224) {
    // The stored results of the new day show at once; the next Update recomputes every day.
    statistics_->Invalidate();
    statistics_->SelectDay(document_->GetHRVSelectedDay());
  } else {
    return;
  }
  Fill();
  InvalidateArea();
}

void CHRVTableArea::InvalidateArea() {
  win::Window* host = config_ != nullptr ? config_->GetParentWindow() : nullptr;
  if (host != nullptr && host->IsWindow()) host->InvalidateRect(rect_, true);
}

std::unique_ptr<CViewArea> CHRVTableAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CHRVTableArea>(this, doc);
}
