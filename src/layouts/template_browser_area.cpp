#include "layouts/template_browser_area.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "analysis/editing/beat_editor.h"
#include "document/document_strings.h"
#include "document/template_class_entry.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "layouts/template_classes_window.h"
#include "layouts/template_detail_window.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/ecg_strip_painter.h"
#include "views/preset_font.h"

namespace {

constexpr gfx::Color kBlack = gfx::Rgb(0, 0, 0);
constexpr gfx::Color kWhite = gfx::Rgb(255, 255, 255);
constexpr double kChannelGaps[5] = {-2.0, -1.0, 0.0, 1.0, 2.0};
constexpr double kStripSeconds = 0.9;
constexpr int kTitleHeight = 20;
// Buttons are made off screen and placed by the first layout.
constexpr gfx::Rect kOffScreen{5000, 5000, 5500, 5500};

bool Contains(const gfx::Rect& rect, gfx::Point p) {
  return p.x >= rect.left && p.x < rect.right && p.y >= rect.top && p.y < rect.bottom;
}

void DrawCentred(gfx::Canvas& dc, const std::string& text, gfx::Rect rect) {
  dc.DrawText(text, rect, gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine);
}

void SelectPresetFont(gfx::Canvas& dc, CPresetFont& fonts) {
  if (const gfx::Font* font = fonts.Select(2)) dc.SelectFont(*font);
}

gfx::Font ButtonFont() {
  gfx::Font font;
  font.face = "Arial";
  font.height = 14;
  return font;
}

gfx::Color FamilyColour(const CZK470Doc& doc, int family) {
  SettingKey key = SettingKey::kColorNormal;
  switch (family) {
    case TTemplateClassEntry::kFamilyVES:
      key = SettingKey::kColorVES;
      break;
    case TTemplateClassEntry::kFamilySVES:
      key = SettingKey::kColorSVES;
      break;
    case TTemplateClassEntry::kFamilyArtefact:
      key = SettingKey::kColorArtefakt;
      break;
    default:
      break;
  }
  const auto& table = CECGStripPainter::kDisplayColours;
  const int index = std::clamp(doc.GetSettings().Int(key), 0, static_cast<int>(table.size()) - 1);
  return table[static_cast<size_t>(index)];
}

// Family label above, the special class's name below it, the member number at the bottom left.
void DrawClassLabels(gfx::Canvas& dc, const CZK470Doc& doc, const gfx::Rect& r, int family, int class_index,
                     int member) {
  CPresetFont fonts;
  SelectPresetFont(dc, fonts);
  dc.SetBkMode(gfx::BkMode::kTransparent);
  if (family >= 0) {
    dc.SetTextColor(FamilyColour(doc, family));
    DrawCentred(dc, templatetext::FamilyLabel(family), {r.left, r.top + 20, r.right, r.top + 40});
    const int special = SpecialClassIndex(doc, family, class_index);
    dc.SetTextColor(kBlack);
    if (special >= 0)
      DrawCentred(dc, platform::LoadString(templatetext::kSpecialNames[special]),
                  {r.left, r.top + 41, r.right, r.top + 61});
  }
  dc.SetTextColor(kBlack);
  if (member != -1)
    DrawCentred(dc, std::to_string(member + 1), {r.left, r.bottom - 40, r.left + 40, r.bottom - 20});
}

// The 1 mV and 1 s marks with their bottom-left corner at (left, bottom).
void DrawCalibrationMarks(gfx::Canvas& dc, int left, int bottom, int pixels_per_cm, double speed,
                          double gain) {
  const int h = static_cast<int>(pixels_per_cm * speed * 0.1);
  const int v = static_cast<int>(pixels_per_cm * gain * 0.1);
  const int saved = dc.SaveDC();
  dc.SelectPen({gfx::PenStyle::kSolid, 1, CTemplateBrowserArea::kCalibrationColour});
  dc.MoveTo(left + 5, bottom - 60);
  dc.LineTo(left + 5, bottom - v - 61);
  dc.MoveTo(left + 4, bottom - 60);
  dc.LineTo(left + 7, bottom - 60);
  dc.MoveTo(left + 4, bottom - v - 61);
  dc.LineTo(left + 7, bottom - v - 61);
  dc.MoveTo(left + 10, bottom - 40);
  dc.LineTo(left + h + 11, bottom - 40);
  dc.MoveTo(left + 9, bottom - 39);
  dc.LineTo(left + 9, bottom - 42);
  dc.MoveTo(left + h + 11, bottom - 39);
  dc.LineTo(left + h + 11, bottom - 42);
  CPresetFont fonts;
  SelectPresetFont(dc, fonts);
  dc.SetTextColor(CTemplateBrowserArea::kCalibrationColour);
  dc.SetBkMode(gfx::BkMode::kTransparent);
  DrawCentred(dc, "1" + platform::LoadString(templatetext::kSecondString),
              {left + 8, bottom - 52, left + h + 13, bottom - 42});
  DrawCentred(dc, "1" + platform::LoadString(templatetext::kMillivoltString),
              {left + 10, bottom - v - 66, left + 40, bottom - 55});
  dc.RestoreDC(saved);
}

void ShowButtons(std::initializer_list<win::Window*> buttons) {
  for (win::Window* button : buttons) {
    if (!button->IsWindow()) continue;
    button->ShowWindow(win::kSwShow);
    button->Invalidate(false);
  }
}

void PlaceButtons(win::Window& count, CRepeatButton& previous, CRepeatButton& next, int left, int right,
                  int bottom) {
  if (!count.IsWindow()) return;
  count.MoveWindow({right - 50, bottom - 20, right + 1, bottom + 1}, false);
  previous.MoveWindow({left, bottom - 20, left + 51, bottom + 1}, false);
  next.MoveWindow({left + 19, bottom - 20, left + 70, bottom + 1}, false);
  previous.SizeToContent();
  next.SizeToContent();
  // Hidden until the area draws them in their place.
  for (win::Window* button : {&count, static_cast<win::Window*>(&previous), static_cast<win::Window*>(&next)})
    button->ShowWindow(win::kSwHide);
}

}  // namespace

std::string templatetext::FamilyLabel(int family) {
  const int beat_class = TBeatEditor::BeatClassOfFamily(family);
  if (beat_class < 0) return {};
  return document::DocString(document::strings::kKindNameFirst + beat_class);
}

CTemplateBrowserAreaConfig::CTemplateBrowserAreaConfig(const CPosition& position, gfx::Size min_size,
                                                       gfx::Size per_mille, bool clip, int slot)
    : CViewAreaConfig(position, min_size, per_mille, clip), slot_(slot) {}

CTemplateBrowserAreaConfig::~CTemplateBrowserAreaConfig() = default;

std::unique_ptr<CViewArea> CTemplateBrowserAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CTemplateBrowserArea>(this, doc);
}

std::unique_ptr<CViewArea> CTemplateDetailAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CTemplateDetailArea>(this, doc);
}

// --- Template browser ----------------------------------------------------------------------------

CTemplateBrowserArea::CTemplateBrowserArea(CTemplateBrowserAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document),
      slot_(config->GetSlot()),
      count_button_(platform::LoadString(templatetext::kCountTip)),
      previous_button_(platform::LoadString(templatetext::kPreviousTip), 0),
      next_button_(platform::LoadString(templatetext::kNextTip), 1) {}

CTemplateBrowserArea::~CTemplateBrowserArea() {
  // A drag cut short by the layout's end leaves nothing behind.
  if (dragging_ && window_ != nullptr && win::Windows().GetCapture() == window_)
    win::Windows().ReleaseCapture();
}

void CTemplateBrowserArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  window_ = FindTemplateClassesWindow(config_);
  if (window_ == nullptr || !window_->IsWindow()) return;
  count_button_.CreateControl(window_, kOffScreen, kCountButtonId + slot_, "0",
                              win::kWsChild | win::kWsVisible | win::kWsBorder);
  count_button_.SetFont(ButtonFont(), false);
  config_->GetRoot()->BroadcastUntilHandled(areamsg::kFindPixelGrid, 0,
                                            reinterpret_cast<win::LParam>(&pixel_grid_));
  UpdateCountButton();
  previous_button_.CreateControl(window_, kOffScreen, kPreviousButtonId + slot_, "",
                                 win::kWsChild | win::kWsVisible);
  next_button_.CreateControl(window_, kOffScreen, kNextButtonId + slot_, "", win::kWsChild | win::kWsVisible);
  for (CRepeatButton* button : {&previous_button_, &next_button_}) {
    button->SetTarget(window_);
    button->SetCommandId(slot_);
  }
}

void CTemplateBrowserArea::OnLayout(int left, int top, int right, int bottom) {
  PlaceButtons(count_button_, previous_button_, next_button_, left, right, bottom);
  SetStripRect();
  image_rect_ = {0, 0, (right - left) - 10, (bottom - top) - 75};
}

void CTemplateBrowserArea::SetStripRect() {
  strip_rect_ = {rect_.left + 5, rect_.top + 45, rect_.right - 5, rect_.bottom - 30};
}

void CTemplateBrowserArea::UpdateCountButton() {
  count_ = window_ != nullptr ? window_->GetSlotCount(slot_) : 0;
  if (count_button_.IsWindow()) count_button_.SetWindowText(std::to_string(count_));
}

void CTemplateBrowserArea::Refresh() {
  UpdateCountButton();
  Invalidate(rect_);
}

void CTemplateBrowserArea::Invalidate(const gfx::Rect& rect) const {
  if (window_ != nullptr && window_->IsWindow()) window_->InvalidateRect(rect);
}

int CTemplateBrowserArea::ChannelGap() const {
  return static_cast<int>(document_->GetViewFields().screen_scale * kChannelGaps[window_->DistanceIndex()]);
}

void CTemplateBrowserArea::DrawFrameAndTitle(gfx::Canvas& dc) const {
  const gfx::Rect r = rect_;
  const int saved = dc.SaveDC();
  dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
  const gfx::Point border[] = {{r.left, r.top},
                               {r.right - 1, r.top},
                               {r.right - 1, r.bottom - 1},
                               {r.left, r.bottom - 1},
                               {r.left, r.top}};
  dc.Polyline(border);

  const int row = document_->GetFirstVisibleTemplateRow() + slot_;
  const bool cursor = row == document_->GetTemplateCursorRow();
  dc.SelectPen({gfx::PenStyle::kSolid, 2, kBlack});
  dc.SelectBrush({gfx::BrushStyle::kNull, 0});
  dc.Rectangle(r.left, r.top, r.right + 1, r.top + kTitleHeight);
  CPresetFont fonts;
  SelectPresetFont(dc, fonts);
  dc.SetBkMode(gfx::BkMode::kOpaque);
  const std::string title = platform::LoadString(templatetext::kTitleString) + " " + std::to_string(row + 1);
  const gfx::Rect inside{r.left + 1, r.top + 1, r.right - 1, r.top + 18};
  if (cursor) {
    dc.FillSolidRect(inside, kCursorTitleColour);
    dc.SetTextColor(kWhite);
    dc.SetBkColor(kCursorTitleColour);
    DrawCentred(dc, title, inside);
  } else {
    // Redrawn on the window when the cursor leaves this row: the blue of before must go.
    dc.FillSolidRect(inside, kWhite);
    dc.SetTextColor(kBlack);
    dc.SetBkColor(kWhite);
    DrawCentred(dc, title, {r.left, r.top, r.right + 1, r.top + kTitleHeight});
  }
  dc.RestoreDC(saved);
}

void CTemplateBrowserArea::DrawLabels(gfx::Canvas& dc) const {
  const int saved = dc.SaveDC();
  const int member = window_->GetSlotRow(slot_) >= 0 ? window_->GetSlotMember(slot_, false) : -1;
  DrawClassLabels(dc, *document_, rect_, family_, window_->GetSlotClass(slot_), member);
  dc.RestoreDC(saved);
}

void CTemplateBrowserArea::DrawCalibration() const {
  // The marks sit at the window's bottom-left corner and may reach over three browsers: each of
  // them draws them whole on the window, so that none of their repaints leaves a gap.
  const int first = window_->LargeView() ? 16 : 8;
  if (slot_ < first || slot_ > first + 2) return;
  win::ClientDc dc(*window_);
  const gfx::Rect client = window_->GetClientRect();
  DrawCalibrationMarks(dc.Canvas(), client.left, client.bottom, document_->GetViewFields().screen_scale,
                       window_->Speed(), window_->Gain());
}

void CTemplateBrowserArea::DrawStrip(gfx::Canvas& dc) const {
  const int special = SpecialClassIndex(*document_, family_, window_->GetSlotClass(slot_));
  CECGStripPainter painter(*document_, nullptr, kBlack, strip_rect_.left, strip_rect_.top, strip_rect_.right,
                           strip_rect_.bottom, window_->GetSlotMember(slot_, true), window_->Speed(),
                           window_->Gain(), kStripSeconds, true, 0);
  painter.Prepare();
  painter.SetChannelGap(ChannelGap());
  painter.DrawTo(&dc, true, true, true, special < 0);
}

void CTemplateBrowserArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  if (window_ == nullptr || document_ == nullptr) return;
  family_ = window_->GetSlotFamily(slot_);
  DrawFrameAndTitle(dc);
  DrawLabels(dc);
  DrawCalibration();
  if (!dragging_) {
    SetStripRect();
    DrawStrip(dc);
  }
  ShowButtons({&count_button_, &previous_button_, &next_button_});
}

void CTemplateBrowserArea::MakeCursorRow() {
  const int row = document_->GetFirstVisibleTemplateRow() + slot_;
  const int old = document_->GetTemplateCursorRow();
  if (row == old || row >= static_cast<int>(document_->GetTemplateClassList().size())) return;
  document_->SetTemplateCursorRow(row);
  CViewAreaConfig* root = config_->GetRoot();
  root->BroadcastUntilHandled(areamsg::kTemplateTitleBar, static_cast<win::WParam>(old), 0);
  root->BroadcastUntilHandled(areamsg::kTemplateTitleBar, static_cast<win::WParam>(row), 0);
}

void CTemplateBrowserArea::BeginDrag(gfx::Point point) {
  dragging_ = true;
  {
    // The strip is lifted off the slot at once.
    win::ClientDc dc(*window_);
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(rect_);
    if (pixel_grid_ != nullptr) pixel_grid_->Draw(dc.Canvas(), strip_rect_);
    Draw(dc.Canvas(), rect_);
    dc->RestoreDC(saved);
  }
  MakeCursorRow();
  window_->SetCapture();
  // White ECG of the member on black.
  const int w = image_rect_.Width();
  const int h = image_rect_.Height();
  drag_image_.Begin(*window_, {w, h}, [&](gfx::Canvas& image) {
    image.FillSolidRect({0, 0, w, h}, kBlack);
    CECGStripPainter painter(*document_, &image, kWhite, 0, 0, w, h, window_->GetSlotMember(slot_, true),
                             window_->Speed(), window_->Gain(), kStripSeconds, true, 0);
    painter.Prepare();
    painter.SetChannelGap(ChannelGap());
    painter.Draw(true, true, true);
  });
  drag_image_.MoveTo(point);
}

void CTemplateBrowserArea::EndDrag(gfx::Point point) {
  drag_image_.End();
  window_->SetDropSlot(-1);
  config_->GetRoot()->BroadcastUntilHandled(areamsg::kTemplateDropSlot, 0,
                                            reinterpret_cast<win::LParam>(&point));
  const int drop = window_->GetDropSlot();
  bool moved = false;
  if (drop != -1 && drop != slot_) moved = window_->MoveSlotOntoSlot(slot_, drop);
  dragging_ = false;
  if (!moved) Invalidate(rect_);
  if (win::Windows().GetCapture() == window_) win::Windows().ReleaseCapture();
}

int CTemplateBrowserArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  if (window_ == nullptr || document_ == nullptr) return 0;
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
    case areamsg::kLeftButtonUp:
      if (!dragging_) return 0;
      EndDrag(point());
      return 1;
    case areamsg::kRightButtonUp:
      if (!Contains(rect_, point())) return 0;
      MakeCursorRow();
      window_->SetContextSlot(slot_);
      return 1;
    case areamsg::kBeatPageRefresh:
    case CTemplateClassesWnd::kCmdDistanceUp:
    case CTemplateClassesWnd::kCmdDistanceDown:
      Refresh();
      return 1;
    case areamsg::kTemplateSlotRect:
      if (static_cast<int>(wparam) != slot_) return 0;
      SetStripRect();
      Refresh();
      return 1;
    case areamsg::kTemplateDropSlot:
      if (!Contains(rect_, point())) return 0;
      window_->SetDropSlot(slot_);
      return 1;
    case areamsg::kTemplateTitleBar: {
      if (static_cast<int>(wparam) != document_->GetFirstVisibleTemplateRow() + slot_) return 0;
      win::ClientDc dc(*window_);
      DrawFrameAndTitle(dc.Canvas());
      return 1;
    }
    case CTemplateClassesWnd::kCmdSpeedUp:
    case CTemplateClassesWnd::kCmdSpeedDown:
    case CTemplateClassesWnd::kCmdAmplitudeUp:
    case CTemplateClassesWnd::kCmdAmplitudeDown:
      Invalidate({rect_.left + 1, rect_.top + 45, rect_.right - 1, rect_.bottom - 25});
      return 1;
    default:
      return 0;
  }
}

void CTemplateBrowserArea::OnNotify(document::DocumentView*, int hint_number, THintObject*) {
  // The window has rebuilt the rows once for all browsers before this.
  if (hint_number == hint::kDocumentChanged || hint_number == hint::kSpanMoved) Refresh();
}

// --- Template detail -------------------------------------------------------------------------------

CTemplateDetailArea::CTemplateDetailArea(CTemplateDetailAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document),
      count_button_(""),
      previous_button_(platform::LoadString(templatetext::kPreviousTip), 0),
      next_button_(platform::LoadString(templatetext::kNextTip), 1) {}

CTemplateDetailArea::~CTemplateDetailArea() = default;

void CTemplateDetailArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  window_ = FindTemplateDetailWindow(config_);
  if (window_ == nullptr || !window_->IsWindow()) return;
  count_button_.CreateControl(window_, kOffScreen, 0, "0", win::kWsChild | win::kWsVisible | win::kWsBorder);
  count_button_.SetFont(ButtonFont(), false);
  UpdateCountButton();
  previous_button_.CreateControl(window_, kOffScreen, kPreviousButtonId, "", win::kWsChild | win::kWsVisible);
  next_button_.CreateControl(window_, kOffScreen, kNextButtonId, "", win::kWsChild | win::kWsVisible);
  previous_button_.SetTarget(window_);
  next_button_.SetTarget(window_);
}

void CTemplateDetailArea::OnLayout(int left, int, int right, int bottom) {
  PlaceButtons(count_button_, previous_button_, next_button_, left, right, bottom);
}

void CTemplateDetailArea::UpdateCountButton() {
  count_ = window_ != nullptr ? window_->GetSelectedCount() : 0;
  if (count_button_.IsWindow()) count_button_.SetWindowText(std::to_string(count_));
}

void CTemplateDetailArea::Refresh() {
  UpdateCountButton();
  Invalidate();
}

void CTemplateDetailArea::Invalidate() const {
  if (window_ != nullptr && window_->IsWindow()) window_->InvalidateRect(rect_);
}

void CTemplateDetailArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  if (window_ == nullptr || document_ == nullptr) return;
  const gfx::Rect r = rect_;
  const TTemplateClassEntry* entry = window_->SelectedEntry();
  family_ = entry != nullptr ? entry->family : -1;
  const int class_index = entry != nullptr ? entry->class_index : -1;
  const int saved = dc.SaveDC();

  dc.SelectPen({gfx::PenStyle::kSolid, 1, kBlack});
  dc.SelectBrush({gfx::BrushStyle::kNull, 0});
  dc.Rectangle(r.left, r.top, r.right, r.top + kTitleHeight);
  CPresetFont fonts;
  SelectPresetFont(dc, fonts);
  dc.SetTextColor(kBlack);
  dc.SetBkColor(kWhite);
  dc.SetBkMode(gfx::BkMode::kOpaque);
  DrawCentred(dc,
              platform::LoadString(templatetext::kTitleString) + " " +
                  std::to_string(document_->GetSelectedTemplateRow() + 1),
              {r.left, r.top, r.right, r.top + kTitleHeight});

  const TTemplateList* list = FindTemplateClass(*document_, family_, class_index);
  const int32_t* current = FindCurrentMember(*document_, family_, class_index);
  const int member = current != nullptr ? *current : -1;
  DrawClassLabels(dc, *document_, r, family_, class_index, member);
  DrawCalibrationMarks(dc, r.left, r.bottom, document_->GetViewFields().screen_scale, window_->Speed(),
                       window_->Gain());

  if (list != nullptr && member >= 0 && member < list->GetSize()) {
    CECGStripPainter painter(*document_, &dc, FamilyColour(*document_, TTemplateClassEntry::kFamilyNormal),
                             r.left + 5, r.top, r.right - 5, r.bottom, list->GetAt(member).GetBeatIndex(),
                             window_->Speed(), window_->Gain(), kStripSeconds, true, 0);
    painter.SetLabelMargins(true);
    painter.Prepare();
    painter.Draw(false, false, false);
  }
  dc.RestoreDC(saved);
  ShowButtons({&count_button_, &previous_button_, &next_button_});
}

int CTemplateDetailArea::OnMessage(uint32_t msg, win::WParam, win::LParam) {
  switch (msg) {
    case areamsg::kBeatPageOpenAt:
      Refresh();
      return 1;
    case CTemplateDetailWnd::kCmdSpeedUp:
    case CTemplateDetailWnd::kCmdSpeedDown:
    case CTemplateDetailWnd::kCmdAmplitudeUp:
    case CTemplateDetailWnd::kCmdAmplitudeDown:
      Invalidate();
      return 1;
    default:
      return 0;
  }
}

void CTemplateDetailArea::OnNotify(document::DocumentView*, int hint_number, THintObject*) {
  if (hint_number == hint::kArea1111) Refresh();
}
