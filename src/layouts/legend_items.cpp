#include "layouts/legend_items.h"

#include <string>

#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/ecg_strip_painter.h"
#include "views/layout_tree.h"
#include "views/preset_font.h"
#include "views/view_area.h"
#include "win/dialog_template.h"
#include "win/window.h"

namespace {

constexpr int kNameStringSVBigeminy = 4140;
constexpr platform::StringEntry kEnglishStrings[] = {{kNameStringSVBigeminy, "SV bigem./trigem."}};
constexpr platform::StringEntry kGermanStrings[] = {{kNameStringSVBigeminy, "SV-Bigem./Trigem."}};
constexpr int kSTEpisodeFirstCode = 25;
constexpr int kTextInset = 5;
constexpr uint32_t kLineCentred = gfx::kDtSingleLine | gfx::kDtVCenter;

std::string SVBigeminyName() {
  std::string text = platform::LoadString(kNameStringSVBigeminy);
  return text.empty() ? std::string("SV bigem./trigem.") : text;
}

gfx::Rect Deflated(const gfx::Rect& r) { return {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}; }

}  // namespace

void AddLegendResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack))
    pack.AddStrings(kGermanStrings);
  else
    pack.AddStrings(kEnglishStrings);
}

std::vector<LegendRow> LegendRowsOfVariant(int variant) {
  switch (variant) {
    case 0:
      return {{3, false},  {4, false},  {0, false},  {5, false},  {6, false},  {7, false},
              {8, false},  {24, false}, {9, true},   {10, true},  {11, true},  {12, true},
              {13, true},  {15, false}, {16, false}, {17, false}, {18, false}, {19, false},
              {20, false}, {23, false}, {35, true},  {21, true}};
    case 1: {
      std::vector<LegendRow> rows{{3, false}, {5, false}};
      for (const int32_t channel : document::Context().g_RecordingChannels.Channels())
        if (channel >= 0 && channel <= 2) rows.push_back({kSTEpisodeFirstCode + channel, false});
      rows.push_back({21, true});
      return rows;
    }
    case 2:
      return {{6, false}};
    case 3:
      return {{4, false}};
    default:
      return {};
  }
}

std::vector<gfx::Rect> LayOutLegendRows(const gfx::Rect& area, int n, CZK470Doc* doc) {
  std::vector<gfx::Rect> rows;
  if (n < 1) return rows;
  const int height = area.bottom - area.top;
  const int h = height / n;
  const int remainder = height - n * h;
  if (doc != nullptr) doc->GetViewFields().legend_row_height = h;
  int top = area.top;
  for (int i = 0; i < n; ++i) {
    const int row_height = h + (i > 0 && i + remainder >= n ? 1 : 0);
    rows.push_back({area.left, top, area.right, top + row_height});
    top += row_height;
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    rows[i].right += 1;
    if (i + 1 < rows.size()) rows[i].bottom += 1;
  }
  return rows;
}

std::vector<int> CoupledKinds(int code) {
  switch (code) {
    case 13:
      return {14};
    case 24:
      return {30, 31};
    case 4:
      return {32, 34};
    default:
      return {};
  }
}

bool IsBeatCode(int code) { return code == 1 || code == 5 || code == 9 || code == 15 || code == 35; }

int CountOfCode(const CZK470Doc& doc, int code) {
  if (!IsValidClassCode(code)) return 0;
  if (IsBeatCode(code)) return doc.GetQRSList().GetCounter(code);
  int count = doc.GetEventList().GetCounter(code);
  for (const int kind : CoupledKinds(code)) count += doc.GetEventList().GetCounter(kind);
  return count;
}

gfx::Color CodeColour(const CZK470Doc& doc, int code) {
  const int index = doc.GetSettings().Color(code);
  if (index < 0 || index >= static_cast<int>(CECGStripPainter::kDisplayColours.size())) return 0x000000;
  return CECGStripPainter::kDisplayColours[static_cast<size_t>(index)];
}

void CLegendItem::DrawBox(gfx::Canvas& dc, gfx::Color back, int right_inset) {
  const gfx::Brush brush{gfx::BrushStyle::kSolid, back};
  const gfx::Brush old_brush = dc.SelectBrush(brush);
  dc.Rectangle(rect_.left, rect_.top, rect_.right - right_inset, rect_.bottom);
  dc.SelectBrush(old_brush);
  dc.FillRect(Deflated(rect_), brush);
}

void CClassLegendItem::Draw(gfx::Canvas& dc) {
  const gfx::Color old_text = dc.SetTextColor(text_);
  const gfx::Color old_back = dc.SetBkColor(back_);
  const gfx::Font old_font = dc.GetFont();
  DrawBox(dc, back_, 1);
  CPresetFont fonts;
  dc.SelectFont(*fonts.Select(3));
  if (doc_ != nullptr && doc_->GetAnalysisRunning() == 0) {
    gfx::Rect box = Deflated(rect_);
    box.right -= kTextInset;
    dc.DrawText(std::to_string(CountOfCode(*doc_, code_)), box, kLineCentred | gfx::kDtRight);
  }
  dc.SelectFont(old_font);
  dc.SetBkColor(old_back);
  dc.SetTextColor(old_text);
}

void CClassNameItem::Draw(gfx::Canvas& dc) {
  const bool selected = doc_ != nullptr && IsValidClassCode(code_) &&
                        doc_->GetNavigationFlags()[static_cast<size_t>(code_)] == 1;
  const gfx::Color back = selected ? selected_back_ : back_;
  const gfx::Color old_text = dc.SetTextColor(selected ? selected_text_ : text_);
  const gfx::Color old_back = dc.SetBkColor(back);
  const gfx::Font old_font = dc.GetFont();
  DrawBox(dc, back, 0);
  CPresetFont fonts;
  dc.SelectFont(*fonts.Select(3));
  if (doc_ != nullptr && doc_->GetAnalysisRunning() == 0) {
    gfx::Rect box = Deflated(rect_);
    box.left += kTextInset;
    const std::string name = code_ == 13 ? SVBigeminyName() : doc_->GetKindName(code_);
    dc.DrawText(name, box, kLineCentred | gfx::kDtLeft);
  }
  dc.SelectFont(old_font);
  dc.SetBkColor(old_back);
  dc.SetTextColor(old_text);
}

void InvalidateArea(const CViewArea& area, const gfx::Rect& rect) {
  win::Window* window = HostWindowOf(area);
  if (window != nullptr) window->InvalidateRect(rect, true);
}

win::Window* HostWindowOf(const CViewArea& area) {
  win::Window* window = area.GetConfig() != nullptr ? area.GetConfig()->GetParentWindow() : nullptr;
  return window != nullptr && window->IsWindow() ? window : nullptr;
}

bool IsLegendRebuildHint(int hint, const void* object) {
  // A hint that names one example slot concerns that slot's areas only.
  return object == nullptr && (hint == hint::kDocumentChanged || hint == hint::kSpanMoved);
}

void DrawMarkedItems(gfx::Canvas& dc, const LegendItems& items, const TCountsHint& counts) {
  for (const auto& item : items) {
    const int code = item->GetCode();
    if (IsValidClassCode(code) && counts.marks[static_cast<size_t>(code)] != 0) item->Draw(dc);
  }
}

bool TakeListedKind(CViewAreaConfig* config, const LegendItems& items) {
  if (config == nullptr || items.size() != 1) return false;
  CViewAreaConfig* root = config->GetRoot();
  int kind = -1;
  if (root == nullptr ||
      !root->BroadcastUntilHandled(areamsg::kSelectedSampleKind, 0, reinterpret_cast<win::LParam>(&kind)) ||
      kind < 0 || items.front()->GetCode() == kind)
    return false;
  items.front()->SetCode(kind);
  return true;
}
