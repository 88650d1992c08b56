#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "views/layout_tree.h"
#include "views/view_area.h"
#include "views/window_area.h"

namespace gfx {
class Canvas;
}

// Stand-ins for node classes that are not built yet: each takes the place the layout table gives
// the real class and shows a light box naming it, so a screen can be laid out and looked at
// before its contents exist.

// Draws the box with the class name centred over the rectangle (in the canvas's logical units);
// without fill only its border and the name.
void DrawNamedPlaceholder(gfx::Canvas& dc, const gfx::Rect& rect, std::string_view class_name, bool fill);

class CNamedPlaceholderAreaConfig : public CViewAreaConfig {
 public:
  CNamedPlaceholderAreaConfig(std::string class_name, const CPosition& position, gfx::Size min_size,
                              gfx::Size per_mille, bool clip);
  std::string_view GetClassName() const override { return class_name_; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;

 private:
  std::string class_name_;
};

class CNamedPlaceholderArea : public CViewArea {
 public:
  CNamedPlaceholderArea(CNamedPlaceholderAreaConfig* config, CZK470Doc* document);
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
};

// A window node whose hosted window shows the box and hosts the node's children like any other.
class CNamedPlaceholderWindowConfig : public CWindowAreaConfig {
 public:
  CNamedPlaceholderWindowConfig(std::string class_name, const CPosition& position, gfx::Size min_size,
                                gfx::Size per_mille, bool focusable);
  std::string_view GetClassName() const override { return class_name_; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;

 private:
  std::string class_name_;
};

class CNamedPlaceholderWnd : public CAreaWnd {
 public:
  using CAreaWnd::CAreaWnd;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  std::string_view ClassName() const override { return "NamedPlaceholderWnd"; }
};
