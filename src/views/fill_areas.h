#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "gfx/drawing_types.h"
#include "views/layout_tree.h"
#include "views/view_area.h"

// The plain areas that fill the gaps of a layout. None of them handles messages or updates; the
// fills cover the area's whole rectangle even when only part of it is repainted. The three
// button-face kinds behave alike but stay separate classes, because the layout tables name them.

class CBlankArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
};

class CBlankAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CBlankAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

class CSpacerArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
};

class CSpacerAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CSpacerAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

class CBackgroundArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
};

class CBackgroundAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CBackgroundAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// A rectangle over the whole area with the pen and brush the canvas has selected.
class CFrameArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
};

class CFrameAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CFrameAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// Takes a place in the layout and draws nothing.
class CPlaceholderArea : public CViewArea {
 public:
  using CViewArea::CViewArea;
};

class CPlaceholderAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "CPlaceholderAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// A field in the fill colour with a caption on one line, left-aligned and vertically centred,
// in the given font and the canvas's text colours.
class CColorFieldAreaConfig : public CViewAreaConfig {
 public:
  CColorFieldAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, bool clip,
                        std::string caption, const gfx::Font& font, gfx::Color second_color,
                        gfx::Color fill_color);
  std::string_view GetClassName() const override { return "CColorFieldAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;

  const std::string& GetCaption() const { return caption_; }
  const gfx::Font& GetFont() const { return font_; }
  gfx::Color GetSecondColor() const { return second_color_; }
  gfx::Color GetFillColor() const { return fill_color_; }

 private:
  std::string caption_;
  gfx::Font font_;
  gfx::Color second_color_ = 0;
  gfx::Color fill_color_ = 0;
};

class CColorFieldArea : public CViewArea {
 public:
  CColorFieldArea(CColorFieldAreaConfig* config, CZK470Doc* document);
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;

 private:
  CColorFieldAreaConfig* field_ = nullptr;
};
