#include "layouts/pm_template_area.h"

#include <cstdio>
#include <string>

#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "layouts/pm_template_window.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/ecg_strip_painter.h"
#include "views/preset_font.h"
#include "win/system_metrics.h"

namespace {

constexpr gfx::Color kBlack = gfx::Rgb(0, 0, 0);
constexpr gfx::Color kWhite = gfx::Rgb(255, 255, 255);
constexpr gfx::Color kBlue = gfx::Rgb(0, 0, 255);
constexpr gfx::Color kRed = gfx::Rgb(255, 0, 0);
constexpr double kChannelGaps[5] = {-2.0, -1.0, 0.0, 1.0, 2.0};
constexpr int kMsPerDay = 86'400'000;

bool Contains(const gfx::Rect& rect, gfx::Point p) {
  return p.x >= rect.left && p.x < rect.right && p.y >= rect.top && p.y < rect.bottom;
}

void DrawCentred(gfx::Canvas& dc, const std::string& text, gfx::Rect rect) {
  dc.DrawText(text, rect, gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine);
}

}  // namespace

CPMTemplateAreaConfig::CPMTemplateAreaConfig(const CPosition& position, gfx::Size min_size,
                                             gfx::Size per_mille, bool clip, int row)
    : CViewAreaConfig(position, min_size, per_mille, clip), row_(row) {}

CPMTemplateAreaConfig::~CPMTemplateAreaConfig() = default;

std::unique_ptr<CViewArea> CPMTemplateAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CPMTemplateArea>(this, doc);
}

void CPMStepButton::OnRepeat() {
  if (target_ != nullptr && target_->IsWindow())
    target_->SendMessage(CPMTemplateWnd::kMsgStepMember, static_cast<win::WParam>(row_),
                         static_cast<win::LParam>(direction_));
}

CPMTemplateArea::CPMTemplateArea(CPMTemplateAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document), row_(config->GetRow()) {}

// The buttons' windows go with the page window when the view itself is destroyed; the objects
// end here either way.
CPMTemplateArea::~CPMTemplateArea() = default;

void CPMTemplateArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  page_ = FindPMTemplateWindow(config_);
  if (page_ == nullptr || !page_->IsWindow()) return;
  const gfx::Rect off_screen{5000, 5000, 5500, 5500};
  count_button_.CreateControl(page_, off_screen, kCountButtonId + row_, "0",
                              win::kWsChild | win::kWsVisible | win::kWsBorder);
  gfx::Font font;
  font.height = 14;
  font.face = "Arial";
  count_button_.SetFont(font, false);
  RefreshCount();
  config_->GetRoot()->BroadcastUntilHandled(areamsg::kFindPixelGrid, 0,
                                            reinterpret_cast<win::LParam>(&drag_object_));
  previous_button_.CreateControl(page_, off_screen, kPreviousButtonId + row_, "<",
                                 win::kWsChild | win::kWsVisible);
  next_button_.CreateControl(page_, off_screen, kNextButtonId + row_, ">", win::kWsChild | win::kWsVisible);
  previous_button_.SetTarget(page_, row_);
  next_button_.SetTarget(page_, row_);
}

void CPMTemplateArea::OnLayout(int left, int top, int right, int bottom) {
  if (count_button_.IsWindow()) {
    count_button_.MoveWindow({right - 50, bottom - 20, right + 1, bottom + 1}, false);
    previous_button_.MoveWindow({left, bottom - 20, left + 19, bottom + 1}, false);
    next_button_.MoveWindow({left + 19, bottom - 20, left + 38, bottom + 1}, false);
    // Hidden until the area draws them in their place.
    for (win::Window* button :
         {static_cast<win::Window*>(&count_button_), static_cast<win::Window*>(&previous_button_),
          static_cast<win::Window*>(&next_button_)})
      button->ShowWindow(win::kSwHide);
  }
  SetStripRect();
  image_rect_ = {0, 0, (right - left) - 10, (bottom - top) - 55};
}

void CPMTemplateArea::SetStripRect() {
  strip_rect_ = {rect_.left + 5, rect_.top + 25, rect_.right - 5, rect_.bottom - 30};
}

void CPMTemplateArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  if (page_ == nullptr || document_ == nullptr) return;
  const gfx::Rect r = rect_;
  const int saved = dc.SaveDC();
  // 1. Frame.
  dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
  dc.MoveTo(r.left, r.bottom - 1);
  dc.LineTo(r.left, r.top);
  dc.LineTo(r.right - 1, r.top);
  dc.LineTo(r.right - 1, r.bottom - 1);
  dc.LineTo(r.left, r.bottom - 1);

  // 2. Header.
  const TPMTemplateClassEntry* entry = page_->RowEntry(row_);
  const int absolute = page_->FirstVisibleRow() + row_;
  const bool selected = entry != nullptr && absolute == page_->SelectedRow();
  dc.SelectPen({gfx::PenStyle::kSolid, 2, kBlack});
  dc.SelectBrush({gfx::BrushStyle::kNull, 0});
  dc.Rectangle(r.left, r.top, r.right + 1, r.top + 20);
  CPresetFont fonts;
  if (const gfx::Font* font = fonts.Select(2)) dc.SelectFont(*font);
  const std::string name =
      entry != nullptr ? CPMTemplateWnd::ClassName(*document_, entry->class_index) : std::string{};
  if (selected) {
    dc.FillSolidRect({r.left + 1, r.top + 1, r.right - 1, r.top + 18}, kBlue);
    dc.SetTextColor(kWhite);
    dc.SetBkColor(kBlue);
  }
  DrawCentred(dc, name, {r.left, r.top, r.right, r.top + 20});
  const int member = page_->GetCurrentMember(row_, false);
  const int position = page_->GetCurrentMember(row_, true);
  if (selected && position >= 0)
    document_->SetCurrentPosition(static_cast<int32_t>(position / document_->GetSampleRate() * 1000.0), 0);

  // 3. Member number.
  dc.SetTextColor(kBlack);
  dc.SetBkMode(gfx::BkMode::kTransparent);
  if (member >= 0)
    DrawCentred(dc, std::to_string(member + 1), {r.left, r.bottom - 40, r.left + 40, r.bottom - 20});

  // 4. Calibration.
  if (row_ == kCalibrationRow) DrawCalibration(dc);

  // 5. Member time of day.
  if (position >= 0) {
    const double start_ms = document_->GetRecordingData().start_time.days * kMsPerDay;
    const long long ms = static_cast<long long>(position / document_->GetSampleRate() * 1000.0 + start_ms);
    const int of_day = static_cast<int>(((ms % kMsPerDay) + kMsPerDay) % kMsPerDay);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", of_day / 3'600'000, of_day / 60'000 % 60,
                  of_day / 1000 % 60);
    if (const gfx::Font* font = fonts.Select(3)) dc.SelectFont(*font);
    dc.SetBkMode(gfx::BkMode::kOpaque);
    dc.SetBkColor(win::GetSysColor(win::SysColor::kBtnFace));
    DrawCentred(dc, text, {r.left, r.bottom - 20, r.right, r.bottom});
  }

  // 6. The strip around the spike.
  if (!dragging_ && position >= 0) {
    SetStripRect();
    CECGStripPainter painter(*document_, nullptr, kBlack, strip_rect_.left, strip_rect_.top,
                             strip_rect_.right, strip_rect_.bottom, -1, page_->Speed(), page_->Amplitude(),
                             0.0, false, position);
    painter.Prepare();
    const int scale = document_->GetViewFields().screen_scale;
    painter.SetChannelGap(static_cast<int>(scale * kChannelGaps[page_->DistanceIndex()]));
    painter.DrawTo(&dc, false, true, true, true);
  }
  dc.RestoreDC(saved);

  // 7. The buttons.
  for (win::Window* button :
       {static_cast<win::Window*>(&count_button_), static_cast<win::Window*>(&previous_button_),
        static_cast<win::Window*>(&next_button_)}) {
    if (!button->IsWindow()) continue;
    button->ShowWindow(win::kSwShow);
    button->Invalidate(false);
  }
}

void CPMTemplateArea::DrawCalibration(gfx::Canvas& dc) const {
  const gfx::Rect r = rect_;
  const int scale = document_->GetViewFields().screen_scale;
  const int p = static_cast<int>(scale * page_->Amplitude() * 0.1);
  const int q = static_cast<int>(scale * page_->Speed() * 0.1);
  dc.SelectPen({gfx::PenStyle::kSolid, 1, kRed});
  dc.SetTextColor(kRed);
  dc.SetBkMode(gfx::BkMode::kTransparent);
  dc.MoveTo(r.left + 5, r.bottom - 60);
  dc.LineTo(r.left + 5, r.bottom - p - 61);
  dc.MoveTo(r.left + 4, r.bottom - 60);
  dc.LineTo(r.left + 7, r.bottom - 60);
  dc.MoveTo(r.left + 4, r.bottom - p - 61);
  dc.LineTo(r.left + 7, r.bottom - p - 61);
  dc.MoveTo(r.left + 10, r.bottom - 40);
  dc.LineTo(r.left + q + 11, r.bottom - 40);
  dc.MoveTo(r.left + 9, r.bottom - 39);
  dc.LineTo(r.left + 9, r.bottom - 42);
  dc.MoveTo(r.left + q + 11, r.bottom - 39);
  dc.LineTo(r.left + q + 11, r.bottom - 42);
  DrawCentred(dc, "1" + platform::LoadString(kSecondString),
              {r.left + 8, r.bottom - 52, r.left + 13 + q, r.bottom - 42});
  DrawCentred(dc, "1" + platform::LoadString(kMillivoltString),
              {r.left + 10, r.bottom - p - 66, r.left + 40, r.bottom - 55});
}

void CPMTemplateArea::RefreshCount() {
  const TPMTemplateClassEntry* entry = page_ != nullptr ? page_->RowEntry(row_) : nullptr;
  last_count_ = entry != nullptr ? entry->count : 0;
  if (count_button_.IsWindow()) count_button_.SetWindowText(std::to_string(last_count_));
}

void CPMTemplateArea::InvalidateArea(const gfx::Rect& rect) {
  if (page_ != nullptr && page_->IsWindow()) page_->InvalidateRect(rect);
}

void CPMTemplateArea::Select() {
  if (page_ != nullptr) page_->SelectRow(row_);
}

void CPMTemplateArea::BeginDrag(gfx::Point point) {
  dragging_ = true;
  Select();
  page_->SetCapture();
  {
    // The strip is lifted off the area at once, so that the image is never painted over.
    win::ClientDc dc(*page_);
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(rect_);
    if (drag_object_ != nullptr) drag_object_->Draw(dc.Canvas(), strip_rect_);
    Draw(dc.Canvas(), rect_);
    dc->RestoreDC(saved);
  }
  const int position = page_->GetCurrentMember(row_, true);
  const int w = image_rect_.Width();
  const int h = image_rect_.Height();
  // White ECG of the current member on black.
  drag_image_.Begin(*page_, {w, h}, [&](gfx::Canvas& image) {
    image.FillSolidRect({0, 0, w, h}, kBlack);
    if (position < 0) return;
    CECGStripPainter painter(*document_, &image, kWhite, 0, 0, w, h, -1, page_->Speed(), page_->Amplitude(),
                             0.0, false, position);
    painter.Prepare();
    const int scale = document_->GetViewFields().screen_scale;
    painter.SetChannelGap(static_cast<int>(scale * kChannelGaps[page_->DistanceIndex()]));
    painter.Draw(true, true, true);
  });
  drag_image_.MoveTo(point);
}

int CPMTemplateArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (page_ == nullptr) return 0;
  const auto point = [lparam] { return *reinterpret_cast<const gfx::Point*>(lparam); };
  switch (msg) {
    case areamsg::kLeftButtonDown:
      if (!Contains(rect_, point())) return 0;
      BeginDrag(point());
      return 1;
    case areamsg::kMouseMove:
      if (!dragging_) return 0;
      drag_image_.MoveTo(point());
      return 1;
    case areamsg::kLeftButtonUp: {
      if (!dragging_) return 0;
      drag_image_.End();
      gfx::Point p = point();
      page_->SetDropRow(-1);
      config_->GetRoot()->BroadcastUntilHandled(areamsg::kTemplateDropSlot, 0,
                                                reinterpret_cast<win::LParam>(&p));
      const int drop = page_->GetDropRow();
      dragging_ = false;
      bool merged = false;
      if (drop >= 0 && drop != row_) merged = page_->MergeRows(row_, drop, false);
      if (!merged) InvalidateArea(rect_);
      win::Windows().ReleaseCapture();
      return 1;
    }
    case areamsg::kRightButtonUp:
      if (!Contains(rect_, point())) return 0;
      Select();
      page_->SetContextRow(row_);
      return 1;
    case areamsg::kTemplateSlotRect:
      if (static_cast<int>(wparam) != row_) return 0;
      SetStripRect();
      RefreshCount();
      InvalidateArea(rect_);
      return 1;
    case areamsg::kBeatPageRefresh:
    case CPMTemplateWnd::kCmdDistanceUp:
    case CPMTemplateWnd::kCmdDistanceDown:
      RefreshCount();
      InvalidateArea(rect_);
      return 0;
    case areamsg::kTemplateDropSlot:
      if (!Contains(rect_, point())) return 0;
      page_->SetDropRow(row_);
      return 1;
    case areamsg::kTemplateTitleBar:
      if (static_cast<int>(wparam) != page_->FirstVisibleRow() + row_) return 0;
      InvalidateArea({rect_.left, rect_.top, rect_.right + 1, rect_.top + 20});
      return 1;
    case CPMTemplateWnd::kCmdSpeedUp:
    case CPMTemplateWnd::kCmdSpeedDown:
    case CPMTemplateWnd::kCmdAmplitudeUp:
    case CPMTemplateWnd::kCmdAmplitudeDown:
      InvalidateArea({rect_.left + 1, rect_.top + 25, rect_.right - 1, rect_.bottom - 25});
      return 0;
    default:
      return 0;
  }
}

void CPMTemplateArea::OnNotify(document::DocumentView*, int hint_number, THintObject*) {
  if (document_ == nullptr) return;
  if (hint_number == hint::kDocumentChanged || hint_number == hint::kSpanMoved) {
    document_->ClearPMTemplateClassList();
    document_->BuildPMTemplateClassList();
  } else if (hint_number != hint::kArea1100) {
    return;
  }
  RefreshCount();
  InvalidateArea(rect_);
}
