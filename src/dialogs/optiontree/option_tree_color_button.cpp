#include "dialogs/optiontree/option_tree_color_button.h"

#include "dialogs/optiontree/option_tree_color_picker.h"
#include "gfx/canvas.h"
#include "win/control_drawing.h"
#include "win/data_exchange.h"
#include "win/dialog.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

using win::GetSysColor;
using win::SysColor;

// The platform's application-workspace colour: what an automatic colour shows.
constexpr gfx::Color kAppWorkspace = gfx::Rgb(171, 171, 171);

// A filled triangle pointing down with its apex below the middle of the top edge.
void DrawDownTriangle(gfx::Canvas& canvas, int left, int top, gfx::Color color) {
  const gfx::Point points[] = {{left, top}, {left + 4, top}, {left + 2, top + 2}};
  const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kSolid, 1, color});
  const gfx::Brush old_brush = canvas.SelectBrush({gfx::BrushStyle::kSolid, color});
  canvas.Polygon(points);
  canvas.SelectBrush(old_brush);
  canvas.SelectPen(old_pen);
}

}  // namespace

COptionTreeFontSelColorButton::COptionTreeFontSelColorButton()
    : win::Button(), default_color_(kAppWorkspace) {}

void COptionTreeFontSelColorButton::SetColor(gfx::Color color) {
  color_ = color;
  if (!IsWindow()) return;
  RedrawWindow();
}

void COptionTreeFontSelColorButton::Click() {
  if (!IsInputEnabled()) return;
  picker_open_ = true;
  Invalidate(true);
  const gfx::Rect rect = GetWindowRect();
  // The picker owns itself: it deletes itself when its window ends.
  new COptionTreeColorPicker(rect.left, rect.bottom, color_, default_color_, this, default_text_,
                             custom_text_);
  TellParent(kWmColorButtonPickerOpened, color_);
}

void COptionTreeFontSelColorButton::TellParent(uint32_t message, gfx::Color color) {
  if (win::Window* parent = GetParent()) parent->SendMessage(message, color, GetDlgCtrlID());
}

win::LResult COptionTreeFontSelColorButton::WindowProc(uint32_t message, win::WParam wparam,
                                                       win::LParam lparam) {
  const auto color = static_cast<gfx::Color>(wparam);
  switch (message) {
    case kWmColorPickerSelEnd: {
      picker_open_ = false;
      const gfx::Color old = color_;
      SetColor(color);
      TellParent(kWmColorButtonPickerEnded, color);
      TellParent(kWmColorPickerSelEnd, color);
      if (color != old) TellParent(kWmColorPickerSelChange, color);
      return 0;
    }
    case kWmColorPickerSelCancel:
      picker_open_ = false;
      SetColor(color);
      TellParent(kWmColorButtonPickerEnded, color);
      TellParent(kWmColorPickerSelCancel, color);
      return 0;
    case kWmColorPickerSelChange:
      if (track_) color_ = color;
      RedrawWindow();
      TellParent(kWmColorPickerSelChange, color);
      return 0;
    default:
      return win::Button::WindowProc(message, wparam, lparam);
  }
}

void COptionTreeFontSelColorButton::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  const bool selected = picker_open_ || IsPressed();
  const bool focused = picker_open_ || HasFocus();
  const bool disabled = !IsWindowEnabled();
  const gfx::Rect client = GetClientRect();
  win::DrawButtonFace(canvas, client, selected);
  gfx::Rect content{client.left + win::kEdgeWidth, client.top + win::kEdgeHeight,
                    client.right - win::kEdgeWidth, client.bottom - win::kEdgeHeight};
  if (selected) content = content.Offset(1, 1);
  if (focused) canvas.DrawFocusRect({content.left, content.top, content.right - 1, content.bottom});
  content = {content.left + win::kEdgeWidth, content.top + win::kEdgeHeight, content.right - win::kEdgeWidth,
             content.bottom - win::kEdgeHeight};

  const int arrow_x = content.right - win::kEdgeWidth / 2;
  const int mid = (content.top + content.bottom) / 2;
  DrawDownTriangle(canvas, arrow_x - 4, mid - 1,
                   disabled ? GetSysColor(SysColor::kGrayText) : gfx::Rgb(0, 0, 0));

  // The etched separator left of the arrow.
  content.right = arrow_x - 4 - win::kEdgeWidth / 2;
  canvas.FillSolidRect({content.right - 2, content.top, content.right - 1, content.bottom},
                       GetSysColor(SysColor::kBtnShadow));
  canvas.FillSolidRect({content.right - 1, content.top, content.right, content.bottom},
                       GetSysColor(SysColor::kBtnHighlight));
  content.right -= 2 * win::kEdgeWidth + 1;
  if (disabled) return;

  canvas.FillSolidRect(content, color_ == kAutomaticColor ? default_color_ : color_);
  canvas.FrameRect(content, {gfx::BrushStyle::kSolid, gfx::Rgb(0, 0, 0)});
}

void ExchangeColorButton(win::DataExchange& dx, int id, gfx::Color& value) {
  if (!dx.Active()) return;
  auto* button = dx.Dlg().Item<COptionTreeFontSelColorButton>(id);
  if (button == nullptr) return;
  if (dx.Saving())
    value = button->GetColor();
  else
    button->SetColor(value);
}

}  // namespace dialogs
