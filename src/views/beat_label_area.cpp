#include "views/beat_label_area.h"

#include <string>

#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "views/ecg_sample_window.h"
#include "views/ecg_strip_painter.h"
#include "views/preset_font.h"

namespace {

constexpr uint32_t kStripSpeedUp = 33008;
constexpr uint32_t kStripSpeedDown = 33009;
constexpr int kFirstLabelString = 4200;
// The label may be wider than its cell: this much on each side.
constexpr int kLabelOverhang = 20;
constexpr int kTextTopMargin = 3;

gfx::Color ColourOf(const CZK470Doc& doc, int code) {
  const int index = doc.GetSettings().Color(code);
  const auto& table = CECGStripPainter::kDisplayColours;
  return table[index >= 0 && index < static_cast<int>(table.size()) ? static_cast<size_t>(index) : 0];
}

}  // namespace

std::unique_ptr<CViewArea> CSampleBeatLabelAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CBeatLabelArea>(this, doc);
}

std::unique_ptr<CViewArea> CBeatLabelAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CStripBeatLabelArea>(this, doc);
}

CBeatLabelArea::CBeatLabelArea(CViewAreaConfig* config, CZK470Doc* document) : CViewArea(config, document) {}

CECGSampleWnd* CBeatLabelArea::Host() const { return FindSampleWindow(config_); }

bool CBeatLabelArea::IsLabelledClass(int code) {
  switch (code) {
    case kClassPaceMaker:
    case kClassNormal:
    case kClassArtefact:
    case kClassSVES:
    case kClassVES:
    case kClassPacedBeat:
    case kClassExternalType5:
      return true;
    default:
      return false;
  }
}

void CBeatLabelArea::TakeSlot() {
  sample_slot_ = FindSampleSlot(config_);
  example_kind_ = sample_slot_ >= 0 && sample_slot_ <= 2
                      ? document_->GetViewFields().sample_kind[static_cast<size_t>(sample_slot_)]
                      : -1;
}

void CBeatLabelArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  TakeSlot();
}

int CBeatLabelArea::GetStartTime() const {
  if (sample_slot_ < 0 || sample_slot_ > 2) return -1;
  return document_->GetViewFields().sample_start_ms[static_cast<size_t>(sample_slot_)];
}

int CBeatLabelArea::GetEndTime() const {
  const CECGSampleWnd* host = Host();
  const int start = GetStartTime();
  if (host == nullptr || host->GetPixelsPerSecond() <= 0.0) return start;
  return start + static_cast<int>((rect_.right - rect_.left) * 1000 / host->GetPixelsPerSecond());
}

void CBeatLabelArea::Invalidate() {
  if (CECGSampleWnd* host = Host(); host != nullptr && host->IsWindow()) host->InvalidateRect(rect_, true);
}

void CBeatLabelArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CECGSampleWnd* host = Host();
  if (host == nullptr || !host->HasExample()) return;
  CPresetFont preset;
  const gfx::Font old_font = dc.SelectFont(*preset.Select(2));
  const gfx::BkMode old_mode = dc.SetBkMode(gfx::BkMode::kTransparent);
  const gfx::Color old_color = dc.GetTextColor();
  constexpr uint32_t kFormat = gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine | gfx::kDtNoClip;
  for (const CLabelCell& cell : host->BeatLabelCells()) {
    if (!IsLabelledClass(cell.code)) continue;
    dc.SetTextColor(ColourOf(*document_, cell.code));
    std::string text = platform::LoadString(kFirstLabelString + cell.code);
    if (cell.mark != kPriorNeverEdited) text.insert(0, "*");
    gfx::Rect box{cell.rect.left - kLabelOverhang, rect_.top + kTextTopMargin,
                  cell.rect.right + kLabelOverhang, rect_.bottom};
    dc.DrawText(text, box, kFormat);
  }
  dc.SetTextColor(old_color);
  dc.SetBkMode(old_mode);
  dc.SelectFont(old_font);
}

void CBeatLabelArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  switch (hint) {
    case hint::kCountsChanged:
      Invalidate();
      break;
    case hint::kArea20000:
    case hint::kArea20003:
      TakeSlot();
      break;
    default:
      break;
  }
}

int CStripBeatLabelArea::GetStartTime() const { return document_->GetStripStartMs(); }

int CStripBeatLabelArea::GetEndTime() const { return document_->GetStripEndMs(); }

int CStripBeatLabelArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (msg != kStripSpeedUp && msg != kStripSpeedDown) return 0;
  Invalidate();
  return 1;
}

void CStripBeatLabelArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  switch (hint) {
    case hint::kPositionMoved:
    case hint::kDocumentChanged:
    case hint::kNavigationRebuild:
    case hint::kEditsChanged:
    case hint::kSpanMoved:
      Invalidate();
      break;
    default:
      break;
  }
  CBeatLabelArea::OnNotify(sender, hint, object);
}
