#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/optiontree/option_tree_item.h"
#include "gfx/bitmap.h"
#include "gfx/drawing_types.h"
#include "gfx/geometry.h"
#include "win/image_list.h"
#include "win/window.h"

namespace dialogs {

// Option bit of COptionTreeImageItem: the selected image's text shows beside it.
inline constexpr uint32_t ImageOptionShowText = 0x40000;

// The picture-choice row of the option tree: a list of images of one size, each with a text, and
// the selected one, shown in the value column (grey while the row is read-only or the tree is
// disabled). Its editor window, a child of the tree's list window, opens the image picker at the
// pointer when clicked; the picked index is committed. Images are pictures whose pixels of
// kTransparentColor let the row show through. Owned by the tree once inserted.
// User-interface thread only.
class COptionTreeImageItem : public win::Window, public COptionTreeItem {
 public:
  static constexpr gfx::Color kTransparentColor = gfx::Rgb(255, 0, 255);

  COptionTreeImageItem();
  ~COptionTreeImageItem() override;

  // Needs the owning tree and no window yet. Starts a new, empty image list of the size given
  // and makes the row image height + 20 pixels high.
  bool CreateImageWindow(uint32_t options, int image_width, int image_height, int columns);
  // An icon: a picture already transparent where it holds kTransparentColor. Returns its index.
  int AddIcon(const gfx::Bitmap& icon, std::string_view text = {});
  // A picture whose pixels of mask_color are background. Returns its index.
  int AddBitmap(const gfx::Bitmap& bitmap, gfx::Color mask_color, std::string_view text = {});
  int GetImageCount() const { return images_.Count(); }

  void SetSelection(int index) { selected_ = index; }
  int GetSelection() const { return selected_; }
  void SetImageSize(int width, int height);
  gfx::Size GetImageSize() const { return {image_width_, image_height_}; }
  void SetColumns(int columns) { columns_ = columns; }
  bool HasOption(uint32_t bits) const { return (options_ & bits) != 0; }
  // flag 1 sets the bits, any other value clears them.
  void SetOption(uint32_t bits, int flag);

  // The icon in grey values (0.299 red + 0.587 green + 0.114 blue, truncated); black and the
  // transparent pixels stay as they are.
  static gfx::Bitmap MakeGrayIcon(const gfx::Bitmap& icon);
  // The picture embossed as disabled: every pixel that is neither button face nor button
  // highlight is drawn once one pixel right and down in the highlight and once in the shadow.
  static void DrawDisabledImage(gfx::Canvas& canvas, gfx::Point at, gfx::Size size, const gfx::Bitmap& source,
                                gfx::Point source_at);

  std::string_view ClassName() const override { return "COptionTreeImageItem"; }

  void DrawValue(gfx::Canvas& canvas, const gfx::Rect& value_rect) override;
  void OnActivate() override;
  void OnMove() override;
  void OnRefresh() override;
  void OnCommit() override;
  void OnDeselect() override;
  void OnDeleteItem() override;

 protected:
  using win::Window::OnMove;
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  void OnSetFocus(win::Window* old_focus) override;
  void OnKillFocus(win::Window* new_focus) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  bool OnEraseBackground(gfx::Canvas& canvas) override { return false; }

 private:
  void DrawContent(gfx::Canvas& canvas, const gfx::Rect& r);
  void MoveToValueRect();
  void UpdateTreeList();

  bool in_use_ = false;
  int columns_ = 0;
  int image_width_ = 0;
  int image_height_ = 0;
  int selected_ = -1;
  win::ImageList images_{0, 0, kTransparentColor};
  uint32_t options_ = 0;
  std::vector<std::string> texts_;
  // From the click until the picker reports: the focus leaving for the picker commits nothing yet.
  bool picking_ = false;
  win::WindowHandle picker_ = 0;
};

}  // namespace dialogs
