#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/optiontree/option_tree_color_picker.h"
#include "gfx/geometry.h"
#include "win/window.h"

namespace win {
class ImageList;
}

namespace dialogs {

class COptionTree;

// What the image picker is opened with.
struct COptionTreeImagePickerArgs {
  int x = 0;  // screen position of the top-left corner
  int y = 0;
  int image_width = 0;
  int image_height = 0;
  int columns = 0;                         // 0 or less: 3
  const win::ImageList* images = nullptr;  // not owned; outlives the picker
  COptionTree* tree = nullptr;             // gives the font; without it nothing is painted
  std::vector<std::string> texts;          // tool tip of image i
  int selected = -1;                       // -1: none
  win::Window* owner = nullptr;            // receives the result
};

// The drop-down chooser of the option tree's image row: a frameless pop-up showing every image
// of a list in a grid, 10 pixels apart, with a tool tip each. It holds the capture and the focus;
// the user picks with the mouse or the arrow keys and Enter. The owner gets
// kWmImagePickerSelection (lparam the selected index) when an image is chosen and again whenever
// the window ends, so every way of closing reports the index. Made on the heap: the object
// deletes itself when its window is gone. User-interface thread only.
class COptionTreeImagePicker : public win::Window {
 public:
  static constexpr uint32_t kWmImagePickerSelection = 2025;
  static constexpr int kSpacing = 10;

  // Creates the window at once.
  explicit COptionTreeImagePicker(COptionTreeImagePickerArgs args);
  bool Create(int x, int y);

  std::string_view ClassName() const override { return "COptionTreeImagePicker"; }
  int GetSelection() const { return selected_; }
  int GetColumns() const { return columns_; }
  int GetRows() const { return rows_; }
  // Client coordinates, rows x columns of them; the first image-count belong to images.
  const std::vector<gfx::Rect>& CellRects() const { return cells_; }
  const PopupToolTips& ToolTips() const { return tips_; }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;
  bool OnEraseBackground(gfx::Canvas& canvas) override { return false; }
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) override;
  void OnKillFocus(win::Window* new_focus) override;
  void OnDestroy() override;
  void PostNcDestroy() override;

 private:
  int ImageCount() const;
  // The image under point; the image count when none.
  int ImageAt(gfx::Point point) const;
  void Report();
  void Close();

  PopupToolTips tips_;
  std::vector<std::string> texts_;
  std::vector<gfx::Rect> cells_;
  gfx::Point pointer_;
  COptionTree* tree_ = nullptr;
  const win::ImageList* images_ = nullptr;
  win::WindowHandle owner_ = 0;
  int image_width_ = 0;
  int image_height_ = 0;
  int columns_ = 3;
  int rows_ = 0;
  int selected_ = -1;
  bool closing_ = false;
};

}  // namespace dialogs
