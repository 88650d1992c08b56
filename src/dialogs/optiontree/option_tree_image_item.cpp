#include "dialogs/optiontree/option_tree_image_item.h"

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_image_picker.h"
#include "gfx/canvas.h"
#include "win/system_metrics.h"

namespace dialogs {

using win::GetSysColor;
using win::SysColor;

COptionTreeImageItem::COptionTreeImageItem() { SetItemKind(kOptionItemImage); }

COptionTreeImageItem::~COptionTreeImageItem() = default;

bool COptionTreeImageItem::CreateImageWindow(uint32_t options, int image_width, int image_height,
                                             int columns) {
  COptionTree* tree = GetOptionTree();
  if (tree == nullptr || IsWindow()) return false;
  if (!Create(&tree->GetListWindow(), GetValueRect(),
              win::kWsChild | win::kWsVisible | win::kWsClipSiblings | win::kWsClipChildren, GetItemID())) {
    return false;
  }
  SetFont(COptionTree::GetNormalFont(), false);
  options_ = options;
  images_ = win::ImageList(image_width, image_height, kTransparentColor);
  texts_.clear();
  SetHeight(image_height + 20);
  columns_ = columns;
  image_width_ = image_width;
  image_height_ = image_height;
  MoveToValueRect();
  ShowWindow(win::kSwHide);
  return true;
}

int COptionTreeImageItem::AddIcon(const gfx::Bitmap& icon, std::string_view text) {
  texts_.emplace_back(text);
  return images_.Add(icon);
}

int COptionTreeImageItem::AddBitmap(const gfx::Bitmap& bitmap, gfx::Color mask_color, std::string_view text) {
  gfx::Bitmap image = bitmap;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      if (image.GetPixel(x, y) == mask_color) image.SetPixel(x, y, kTransparentColor);
    }
  }
  texts_.emplace_back(text);
  return images_.Add(std::move(image));
}

void COptionTreeImageItem::SetImageSize(int width, int height) {
  image_width_ = width;
  image_height_ = height;
}

void COptionTreeImageItem::SetOption(uint32_t bits, int flag) {
  if (flag == 1)
    options_ |= bits;
  else
    options_ &= ~bits;
}

gfx::Bitmap COptionTreeImageItem::MakeGrayIcon(const gfx::Bitmap& icon) {
  gfx::Bitmap gray = icon;
  for (int y = 0; y < gray.Height(); ++y) {
    for (int x = 0; x < gray.Width(); ++x) {
      const gfx::Color c = gray.GetPixel(x, y);
      if (c == gfx::Rgb(0, 0, 0) || c == kTransparentColor) continue;
      const auto g =
          static_cast<uint8_t>(0.299 * gfx::RedOf(c) + 0.587 * gfx::GreenOf(c) + 0.114 * gfx::BlueOf(c));
      gray.SetPixel(x, y, gfx::Rgb(g, g, g));
    }
  }
  return gray;
}

void COptionTreeImageItem::DrawDisabledImage(gfx::Canvas& canvas, gfx::Point at, gfx::Size size,
                                             const gfx::Bitmap& source, gfx::Point source_at) {
  const gfx::Color face = GetSysColor(SysColor::kBtnFace);
  const gfx::Color highlight = GetSysColor(SysColor::kBtnHighlight);
  // The mask in each colour, transparent elsewhere.
  win::ImageList embossed(size.cx, size.cy, kTransparentColor);
  for (const gfx::Color ink : {highlight, GetSysColor(SysColor::kBtnShadow)}) {
    gfx::Bitmap picture(size.cx, size.cy, kTransparentColor);
    for (int y = 0; y < size.cy; ++y) {
      for (int x = 0; x < size.cx; ++x) {
        const gfx::Color c = source.GetPixel(source_at.x + x, source_at.y + y);
        if (c != face && c != highlight && c != gfx::kInvalidColor) picture.SetPixel(x, y, ink);
      }
    }
    embossed.Add(std::move(picture));
  }
  embossed.Draw(canvas, 0, {at.x + 1, at.y + 1});
  embossed.Draw(canvas, 1, at);
}

void COptionTreeImageItem::MoveToValueRect() {
  if (IsWindow() && GetWindowRectInParent() != GetValueRect()) MoveWindow(GetValueRect(), false);
}

void COptionTreeImageItem::UpdateTreeList() {
  if (COptionTree* tree = GetOptionTree()) tree->UpdateList();
}

void COptionTreeImageItem::DrawContent(gfx::Canvas& canvas, const gfx::Rect& r) {
  COptionTree* tree = GetOptionTree();
  const bool grey = IsReadOnly() || (tree != nullptr && !tree->IsWindowEnabled());
  const int saved = canvas.SaveDC();
  canvas.SelectFont(COptionTree::GetNormalFont());
  canvas.SetBkMode(gfx::BkMode::kTransparent);
  canvas.SetBkColor(GetValueBackColor());
  canvas.SetTextColor(grey ? GetSysColor(SysColor::kGrayText) : GetValueTextColor());
  gfx::Rect text_rect = r;
  std::string text;
  if (selected_ != -1 && selected_ < images_.Count()) {
    const gfx::Point at{r.left + 1, r.top + 10};
    if (grey) {
      win::ImageList gray(images_.ImageSize().cx, images_.ImageSize().cy, kTransparentColor);
      gray.Add(MakeGrayIcon(*images_.Image(selected_)));
      gray.Draw(canvas, 0, at);
    } else {
      images_.Draw(canvas, selected_, at);
    }
    text_rect.left = r.left + 1 + image_width_ + 5;
    if (HasOption(ImageOptionShowText)) text = texts_[static_cast<size_t>(selected_)];
  } else {
    text_rect = r.Offset(1, 0);
    text = "No selection made.";
  }
  canvas.DrawText(text, text_rect, gfx::kDtSingleLine | gfx::kDtVCenter);
  canvas.RestoreDC(saved);
}

void COptionTreeImageItem::DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) {
  if (in_use_ || GetOptionTree() == nullptr) return;
  if (IsWindow()) {
    ShowWindow(win::kSwHide);
    MoveToValueRect();
  }
  DrawContent(canvas, value_rect);
}

void COptionTreeImageItem::OnActivate() {
  if (!IsWindow()) return;
  MoveToValueRect();
  ShowWindow(win::kSwShowNoActivate);
  SetFocus();
}

void COptionTreeImageItem::OnMove() {
  MoveToValueRect();
  if (!in_use_ && IsWindow()) ShowWindow(win::kSwHide);
}

void COptionTreeImageItem::OnRefresh() { MoveToValueRect(); }

void COptionTreeImageItem::OnCommit() {
  if (IsWindow()) ShowWindow(win::kSwHide);
}

void COptionTreeImageItem::OnDeselect() {
  if (IsWindow()) ShowWindow(win::kSwHide);
}

void COptionTreeImageItem::OnDeleteItem() {
  // A picker still open shows this item's images: it goes too, reporting to nobody.
  DestroyWindow();
  if (win::Window* picker = win::Windows().FromHandle(picker_)) picker->DestroyWindow();
}

win::LResult COptionTreeImageItem::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == COptionTreeImagePicker::kWmImagePickerSelection) {
    selected_ = static_cast<int>(lparam);
    ShowWindow(win::kSwHide);
    in_use_ = false;
    // The first report ends the pick; later ones (the picker closing) repeat the same index.
    if (picking_) {
      picking_ = false;
      CommitChanges();
    }
    UpdateTreeList();
    return 0;
  }
  return win::Window::WindowProc(message, wparam, lparam);
}

void COptionTreeImageItem::OnSetFocus(win::Window* old_focus) { in_use_ = true; }

void COptionTreeImageItem::OnKillFocus(win::Window* new_focus) {
  in_use_ = false;
  if (!picking_) CommitChanges();
}

void COptionTreeImageItem::OnLButtonUp(unsigned flags, gfx::Point point) {
  const gfx::Point at = win::Windows().CursorPos();
  picking_ = true;
  ShowWindow(win::kSwHide);
  COptionTreeImagePickerArgs args;
  args.x = at.x;
  args.y = at.y;
  args.image_width = image_width_;
  args.image_height = image_height_;
  args.columns = columns_;
  args.images = &images_;
  args.tree = GetOptionTree();
  args.texts = texts_;
  args.selected = selected_;
  args.owner = this;
  // The picker owns itself: it deletes itself when its window ends.
  picker_ = (new COptionTreeImagePicker(std::move(args)))->Handle();
  UpdateTreeList();
}

void COptionTreeImageItem::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  if (in_use_) DrawContent(canvas, GetClientRect());
}

}  // namespace dialogs
