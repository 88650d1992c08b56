#include "views/beat_annotation_area.h"

#include <string>
#include <vector>

#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "views/ecg_sample_window.h"
#include "views/preset_font.h"
#include "views/sample_slot_hint.h"

namespace {

// The strip window's speed commands: the strip moved, the rows follow.
constexpr uint32_t kStripSpeedUp = 33008;
constexpr uint32_t kStripSpeedDown = 33009;
constexpr int kTickAbove = 3;
constexpr int kTickBelow = 4;
constexpr int kTextHeight = 13;

int Trunc(double value) { return static_cast<int>(value); }

// Beats per minute of an interval; an interval of 0 ms (two beats on one sample) has no rate.
std::string RateText(int rr_ms) {
  if (rr_ms == 0) return "--";
  return std::to_string(Trunc(1000.0 / rr_ms * 60.0));
}

}  // namespace

std::unique_ptr<CViewArea> CSampleAnnotationAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CSampleAnnotationArea>(this, doc);
}

std::unique_ptr<CViewArea> CBeatAnnotationAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CBeatAnnotationArea>(this, doc);
}

CSampleAnnotationArea::CSampleAnnotationArea(CViewAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document) {}

CECGSampleWnd* CSampleAnnotationArea::Host() const { return FindSampleWindow(config_); }

void CSampleAnnotationArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  sample_slot_ = FindSampleSlot(config_);
}

int CSampleAnnotationArea::GetStartTime() const {
  if (sample_slot_ < 0 || sample_slot_ > 2) return -1;
  return document_->GetViewFields().sample_start_ms[static_cast<size_t>(sample_slot_)];
}

int CSampleAnnotationArea::GetEndTime() const {
  const CECGSampleWnd* host = Host();
  const int start = GetStartTime();
  if (host == nullptr || host->GetPixelsPerSecond() <= 0.0) return start;
  return start + Trunc((rect_.right - rect_.left) * 1000 / host->GetPixelsPerSecond());
}

bool CSampleAnnotationArea::HasWindowStart() const {
  if (sample_slot_ < 0 || sample_slot_ > 2) return false;
  const auto slot = static_cast<size_t>(sample_slot_);
  const CZK470Doc::ViewFields& fields = document_->GetViewFields();
  return fields.sample_end_ms[slot] > fields.sample_start_ms[slot];
}

void CSampleAnnotationArea::OnLayout(int left, int top, int right, int bottom) {
  if (HasWindowStart()) BuildCells({left, top, right, bottom});
}

void CSampleAnnotationArea::Refresh() {
  if (HasWindowStart()) BuildCells(rect_);
  if (CECGSampleWnd* host = Host(); host != nullptr && host->IsWindow()) host->InvalidateRect(rect_, true);
}

void CSampleAnnotationArea::BuildCells(const gfx::Rect& r) {
  CECGSampleWnd* host = Host();
  if (host == nullptr) return;
  std::vector<CTextCell>& texts = host->TextCells();
  std::vector<CLabelCell>& labels = host->BeatLabelCells();
  texts.clear();
  labels.clear();
  const TQRSList& beats = document_->GetQRSList();
  const int count = beats.GetSize();
  if (count == 0) return;

  const int start = GetStartTime();
  const int end = GetEndTime();
  const double pps = host->GetPixelsPerSecond();
  const double rate = document_->GetSampleRate();
  const int half = Trunc(kMarkerWidthMs * pps * 0.0005);
  const auto time_of = [&](int index) { return Trunc(beats.GetAt(index).GetPosition() * 1000.0 / rate); };
  const auto x_of = [&](int t) { return r.left + Trunc((t - start) * pps / 1000.0) + 1; };
  const auto add_label = [&](int index) {
    const TQRSComplex beat = beats.GetAt(index);
    const int x = x_of(time_of(index));
    labels.emplace_back(gfx::Rect{x - half, r.top, x + half, r.bottom}, beat.GetClass(), index,
                        beat.GetPriorClass());
  };
  const auto text_cell = [&](int left, int right, int rr_ms) {
    return CTextCell({left, r.top, right, r.bottom}, std::to_string(rr_ms), RateText(rr_ms));
  };

  const int first = beats.FindNextAfterPosition(Trunc(start * rate / 1000.0) + 1, 0);
  int last_visible = -1;
  if (first < count && time_of(first) <= end) {
    add_label(first);
    last_visible = first;
    int left = x_of(time_of(first));
    for (int j = first + 1; j < count; ++j) {
      const int t = time_of(j);
      if (t >= end) break;
      CTextCell cell = text_cell(left, x_of(t), t - time_of(j - 1));
      if (cell.rect.left < r.left && cell.rect.right > r.left + kLeftCut) cell.rect.left = r.left;
      left = cell.rect.right;
      texts.push_back(std::move(cell));
      add_label(j);
      last_visible = j;
    }
  }

  if (!texts.empty()) {
    if (last_visible + 1 < count && r.right - texts.back().rect.right > kEdgeGap)
      texts.push_back(
          text_cell(texts.back().rect.right, r.right, time_of(last_visible + 1) - time_of(last_visible)));
    if (first > 0 && texts.front().rect.left - r.left > kEdgeGap)
      texts.insert(texts.begin(),
                   text_cell(r.left, texts.front().rect.left, time_of(first) - time_of(first - 1)));
  } else if (last_visible < 0) {
    // No beat in view: the interval that holds the whole view.
    if (first > 0 && first < count)
      texts.push_back(text_cell(r.left, r.right, time_of(first) - time_of(first - 1)));
  } else {
    const int x = x_of(time_of(first));
    if (first > 0 && x - r.left > kEdgeGap)
      texts.push_back(text_cell(r.left, x, time_of(first) - time_of(first - 1)));
    if (first + 1 < count && r.right - x > kEdgeGap)
      texts.push_back(text_cell(x, r.right, time_of(first + 1) - time_of(first)));
  }
}

void CSampleAnnotationArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CECGSampleWnd* host = Host();
  if (host == nullptr || !host->HasExample()) return;
  const std::vector<CTextCell>& cells = host->TextCells();
  if (cells.empty()) return;
  const gfx::Rect& r = rect_;
  const int y = r.top + (r.bottom - r.top) / 2;
  const gfx::Pen old_pen = dc.SelectPen({gfx::PenStyle::kSolid, 1, 0x000000});
  dc.MoveTo(cells.front().rect.left, y);
  dc.LineTo(cells.back().rect.right + 1, y);
  for (const CTextCell& cell : cells) {
    if (cell.rect.left <= r.left) continue;
    dc.MoveTo(cell.rect.left, y - kTickAbove);
    dc.LineTo(cell.rect.left, y + kTickBelow);
  }
  dc.MoveTo(cells.back().rect.right, y - kTickAbove);
  dc.LineTo(cells.back().rect.right, y + kTickBelow);
  dc.SelectPen(old_pen);

  const SettingsStore& settings = document_->GetSettings();
  const bool upper = settings.Int(SettingKey::kResRRMode) == 1;
  const bool lower = settings.Int(SettingKey::kResRRModeMin) == 1;
  if (!upper && !lower) return;
  CPresetFont preset;
  const gfx::Font old_font = dc.SelectFont(*preset.Select(2));
  const gfx::BkMode old_mode = dc.SetBkMode(gfx::BkMode::kTransparent);
  const gfx::Color old_color = dc.SetTextColor(0x000000);
  constexpr uint32_t kFormat = gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine;
  for (const CTextCell& cell : cells) {
    if (upper) {
      gfx::Rect box{cell.rect.left, y - kTextHeight, cell.rect.right, y};
      dc.DrawText(cell.upper, box, kFormat);
    }
    if (lower) {
      gfx::Rect box{cell.rect.left, y, cell.rect.right, y + kTextHeight};
      dc.DrawText(cell.lower, box, kFormat);
    }
  }
  dc.SetTextColor(old_color);
  dc.SetBkMode(old_mode);
  dc.SelectFont(old_font);
}

int CSampleAnnotationArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (msg != kStripSpeedUp && msg != kStripSpeedDown) return 0;
  Refresh();
  return 1;
}

void CSampleAnnotationArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  switch (hint) {
    case hint::kDocumentChanged:
    case hint::kSpanMoved:
      if (HintConcernsSlot(object, sample_slot_)) Refresh();
      break;
    case hint::kDisplaySettings:
    case hint::kCountsChanged:
      Refresh();
      break;
    case hint::kArea20000:
    case hint::kArea20003:
      sample_slot_ = FindSampleSlot(config_);
      break;
    default:
      break;
  }
}

int CBeatAnnotationArea::GetStartTime() const { return document_->GetStripStartMs(); }

int CBeatAnnotationArea::GetEndTime() const { return document_->GetStripEndMs(); }

bool CBeatAnnotationArea::HasWindowStart() const { return GetStartTime() >= 0; }

void CBeatAnnotationArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  if (hint == hint::kPositionMoved || hint == hint::kNavigationRebuild || hint == hint::kEditsChanged)
    Refresh();
  CSampleAnnotationArea::OnNotify(sender, hint, object);
}
