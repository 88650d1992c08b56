#pragma once

#include <array>
#include <memory>
#include <string_view>

#include "common/dib.h"
#include "common/dib_palette.h"
#include "views/window_area.h"

// The only node of the start screen: the product logo and the maker's logo.
class CLogoWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  std::string_view GetClassName() const override { return "CLogoWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

// Shows picture 0, the product logo, centred, and picture 1, the maker's logo, 260 pixels left of
// the right edge and 50 below the top. Both come from bitmap files of the main directory when it
// is attached; a file that is missing or no readable bitmap leaves its picture out, silently.
class CLogoWnd : public CAreaWnd {
 public:
  static constexpr std::string_view kProductLogoFile = "Main_Logo.bmp";
  static constexpr std::string_view kMakerLogoFile = "VKDLogo.bmp";
  // From the right edge of the client to the maker's logo's left edge, and from the top.
  static constexpr int kMakerLogoFromRight = 260;
  static constexpr int kMakerLogoFromTop = 50;

  using CAreaWnd::CAreaWnd;

  void Attach(CBaseView* view) override;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;

  // Whether picture 0 or 1 was read.
  bool HasPicture(int index) const { return pictures_[static_cast<size_t>(index)].loaded; }
  std::string_view ClassName() const override { return "LogoWnd"; }

 private:
  struct Picture {
    CDIB dib;
    CDIBPalette palette;
    bool loaded = false;
    bool palette_valid = false;
    int width = 0;
    int height = 0;
  };

  std::array<Picture, 2> pictures_;
};
