#include "dialogs/optiontree/option_tree_image_picker.h"

#include "dialogs/optiontree/option_tree.h"
#include "gfx/canvas.h"
#include "win/image_list.h"
#include "win/system_metrics.h"

namespace dialogs {

namespace {

using win::GetSysColor;
using win::SysColor;

gfx::Rect Grown(const gfx::Rect& r, int by) { return {r.left - by, r.top - by, r.right + by, r.bottom + by}; }

bool IsInputMessage(uint32_t message) {
  return (message >= win::kWmMouseMove && message <= win::kWmMouseWheel) || message == win::kWmKeyDown ||
         message == win::kWmKeyUp || message == win::kWmChar;
}

}  // namespace

COptionTreeImagePicker::COptionTreeImagePicker(COptionTreeImagePickerArgs args)
    : texts_(std::move(args.texts)),
      pointer_{args.x, args.y},
      tree_(args.tree),
      images_(args.images),
      owner_(args.owner != nullptr ? args.owner->Handle() : 0),
      image_width_(args.image_width),
      image_height_(args.image_height),
      columns_(args.columns > 0 ? args.columns : 3),
      selected_(args.selected) {
  Create(args.x, args.y);
}

int COptionTreeImagePicker::ImageCount() const { return images_ != nullptr ? images_->Count() : 0; }

bool COptionTreeImagePicker::Create(int x, int y) {
  win::Window* owner = win::Windows().FromHandle(owner_);
  if (!win::Window::Create(owner, {x, y, x + 100, y + 100}, win::kWsPopup)) return false;
  SetBackground(GetSysColor(SysColor::kBtnFace));
  const int count = ImageCount();
  rows_ = count == 0 ? columns_ : (count + columns_ - 1) / columns_;
  const int width = kSpacing + columns_ * image_width_ + (columns_ - 1) * kSpacing + kSpacing;
  const int height = kSpacing + rows_ * image_height_ + (rows_ - 1) * kSpacing + kSpacing;
  MoveWindow({x, y, x + width, y + height}, true);
  cells_.clear();
  for (int r = 0; r < rows_; ++r) {
    for (int c = 0; c < columns_; ++c) {
      const int left = kSpacing + c * (image_width_ + kSpacing);
      const int top = kSpacing + r * (image_height_ + kSpacing);
      cells_.push_back({left, top, left + image_width_, top + image_height_});
    }
  }
  for (int i = 0; i < count && i < static_cast<int>(cells_.size()); ++i) {
    tips_.AddTool(cells_[static_cast<size_t>(i)],
                  i < static_cast<int>(texts_.size()) ? texts_[static_cast<size_t>(i)] : "");
  }
  tips_.Activate(true);
  ShowWindow(win::kSwShowNoActivate);
  // Keys come to the pop-up while it is open.
  SetFocus();
  SetCapture();
  return IsWindow();
}

win::LResult COptionTreeImagePicker::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (tips_.Relay(*this, message, wparam, lparam)) return 0;
  if (IsInputMessage(message) && !closing_) {
    win::Window* capture = win::Windows().GetCapture();
    if (capture != nullptr && capture != this) SetCapture();
  }
  if (message == win::kWmActivate) {
    if (wparam == 0 && win::Windows().GetCapture() == this) win::Windows().ReleaseCapture();
    return 0;
  }
  return win::Window::WindowProc(message, wparam, lparam);
}

int COptionTreeImagePicker::ImageAt(gfx::Point point) const {
  const int count = ImageCount();
  for (int i = 0; i < count && i < static_cast<int>(cells_.size()); ++i) {
    if (cells_[static_cast<size_t>(i)].Contains(point)) return i;
  }
  return count;
}

void COptionTreeImagePicker::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  if (tree_ == nullptr) return;
  const gfx::Rect client = GetClientRect();
  const int saved = canvas.SaveDC();
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetTextColor(GetSysColor(SysColor::kWindowText));
  canvas.SelectFont(COptionTree::GetNormalFont());
  canvas.FillSolidRect(client, GetSysColor(SysColor::kBtnFace));
  const int count = ImageCount();
  for (int i = 0; i < count && i < static_cast<int>(cells_.size()); ++i) {
    const gfx::Rect cell = cells_[static_cast<size_t>(i)];
    if (cell.Contains(pointer_)) {
      DrawRaisedInnerEdge(canvas, Grown(cell, 3));
    } else if (i == selected_) {
      FillHalftone(canvas, Grown(cell, 3));
      DrawSunkenOuterEdge(canvas, Grown(cell, 3));
    }
    images_->Draw(canvas, i, {cell.left, cell.top});
  }
  if (count == 0) {
    gfx::Rect text_rect = client;
    canvas.DrawText("No Images.", text_rect, gfx::kDtCenter | gfx::kDtVCenter | gfx::kDtSingleLine);
  }
  DrawRaisedEdge(canvas, client);
  canvas.RestoreDC(saved);
}

void COptionTreeImagePicker::OnMouseMove(unsigned flags, gfx::Point point) {
  // The highlight follows the pointer, except over the selected image, which shows pressed.
  if (ImageAt(point) == selected_) return;
  pointer_ = point;
  Invalidate(false);
}

void COptionTreeImagePicker::OnLButtonUp(unsigned flags, gfx::Point point) {
  if (GetClientRect().Contains(point)) {
    int hit = -1;
    for (int i = 0; i < ImageCount() && i < static_cast<int>(cells_.size()); ++i) {
      const gfx::Rect cell = cells_[static_cast<size_t>(i)];
      if ((i == selected_ ? Grown(cell, 3) : cell).Contains(point)) {
        hit = i;
        break;
      }
    }
    if (hit < 0) return;  // between the images: stays open
    selected_ = hit;
  }
  const win::WindowHandle self = Handle();
  Report();
  if (win::Windows().FromHandle(self) == this) Close();
}

void COptionTreeImagePicker::OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) {
  if (selected_ == -1) return;
  const int count = ImageCount();
  switch (virtual_key) {
    case win::kVkReturn: {
      const win::WindowHandle self = Handle();
      Report();
      if (win::Windows().FromHandle(self) == this) Close();
      return;
    }
    case win::kVkEscape:
      Close();
      return;
    case win::kVkLeft:
      if (selected_ > 0) --selected_;
      break;
    case win::kVkUp:
      if (selected_ >= columns_) selected_ -= columns_;
      break;
    case win::kVkRight:
      if (selected_ + 1 < count) ++selected_;
      break;
    case win::kVkDown:
      if (selected_ + columns_ < count) selected_ += columns_;
      break;
    default:
      return;
  }
  Invalidate(false);
}

void COptionTreeImagePicker::OnKillFocus(win::Window* new_focus) {
  Report();
  if (IsWindow() && win::Windows().GetCapture() == this) win::Windows().ReleaseCapture();
}

void COptionTreeImagePicker::Report() {
  if (win::Window* owner = win::Windows().FromHandle(owner_))
    owner->SendMessage(kWmImagePickerSelection, 0, selected_);
}

void COptionTreeImagePicker::Close() {
  closing_ = true;
  if (win::Windows().GetCapture() == this) win::Windows().ReleaseCapture();
  DestroyWindow();
}

void COptionTreeImagePicker::OnDestroy() {
  closing_ = true;
  Report();
}

void COptionTreeImagePicker::PostNcDestroy() { delete this; }

}  // namespace dialogs
