#pragma once

#include "win/window.h"

namespace dialogs {

class COptionTree;

// The description pane under the option tree's list: the focused item's label in bold and its
// info text wrapped below. Paints nothing until tied to its control. User-interface thread only.
class COptionTreeInfo : public win::Window {
 public:
  void SetOptionTree(COptionTree* tree) { tree_ = tree; }
  std::string_view ClassName() const override { return "COptionTreeInfo"; }

 protected:
  bool OnEraseBackground(gfx::Canvas& canvas) override { return false; }
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;

 private:
  COptionTree* tree_ = nullptr;
};

}  // namespace dialogs
