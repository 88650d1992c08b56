#include "layouts/band_legend_area.h"

#include <array>
#include <string>
#include <vector>

#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "layouts/legend_items.h"
#include "platform/resources.h"

namespace {

constexpr int kLetterLine = 13;
constexpr int kSVESCode = 9;

// The characters of a UTF-8 text, one string each.
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> characters;
  for (size_t i = 0; i < text.size();) {
    size_t length = 1;
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0xF0)
      length = 4;
    else if (lead >= 0xE0)
      length = 3;
    else if (lead >= 0xC0)
      length = 2;
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

// Characters first..last - 1 of the name, one below the other, centred across the box.
void WriteDown(gfx::Canvas& dc, const gfx::Rect& box, const std::vector<std::string>& characters,
               size_t first, size_t last, int top) {
  int y = top;
  for (size_t i = first; i < last && i < characters.size(); ++i, y += kLetterLine) {
    gfx::Rect line{box.left, y, box.right, y + kLetterLine};
    dc.DrawText(characters[i], line, gfx::kDtCenter);
  }
}

void FillInside(gfx::Canvas& dc, const gfx::Rect& box) {
  dc.FillSolidRect({box.left + 1, box.top + 1, box.right, box.bottom - 1}, kLegendLightBlue);
}

}  // namespace

void CBandLegendArea::OnLayout(int left, int top, int right, int bottom) {
  const int height = bottom - top;
  const int h = height / kRows;
  const int remainder = height % kRows;
  if (document_ != nullptr) document_->GetViewFields().legend_row_height = h;
  std::array<int, kRows + 1> y{};
  y[0] = top;
  y[1] = top + h;
  for (int i = 1; i < kRows; ++i) y[i + 1] = y[i] + h + (i + remainder > kRows - 1 ? 1 : 0);
  // Neighbouring boxes share rows 8, 13 and 20, so their frames meet inside those rows.
  general_box_ = {left, y[0], right + 1, y[9] + 1};
  supra_box_ = {left, y[8], right + 1, y[14] + 1};
  ventricular_box_ = {left, y[13], right + 1, y[21] + 1};
  last_box_ = {left, y[20], right + 1, y[22]};
}

void CBandLegendArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  const gfx::Color old_text = dc.GetTextColor();
  const gfx::Color old_back = dc.GetBkColor();
  dc.Rectangle(rect_.left, rect_.top, rect_.right + 1, rect_.bottom);
  dc.Rectangle(general_box_);

  std::string name = platform::LoadString(kNameStringId);
  if (name.empty() && document_ != nullptr) name = document_->GetKindName(kSVESCode);
  const std::vector<std::string> characters = Characters(name);

  dc.Rectangle(supra_box_);
  FillInside(dc, supra_box_);
  dc.SetBkColor(kLegendLightBlue);
  dc.SetTextColor(0x000000);
  WriteDown(dc, supra_box_, characters, 0, 4, supra_box_.top + (supra_box_.Height() - 39) / 2 - 15);

  dc.Rectangle(ventricular_box_);
  dc.SetBkColor(kLegendWhite);
  dc.SetTextColor(0x000000);
  WriteDown(dc, ventricular_box_, characters, 1, 4,
            ventricular_box_.top + (ventricular_box_.Height() - 26) / 2 - 15);

  dc.Rectangle(last_box_);
  FillInside(dc, last_box_);
  dc.SetBkColor(old_back);
  dc.SetTextColor(old_text);
}

std::unique_ptr<CViewArea> CBandLegendAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CBandLegendArea>(this, doc);
}

void CFrameBoxArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  dc.Rectangle(rect_.left, rect_.top, rect_.right + 1, rect_.bottom);
}

std::unique_ptr<CViewArea> CFrameBoxAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CFrameBoxArea>(this, doc);
}
