#pragma once

#include "gfx/drawing_types.h"
#include "gfx/geometry.h"

// The system colours and metrics that the program's drawing asks the platform for. Fixed values:
// the program looks the same on every desktop, and tests can name them.
namespace win {

enum class SysColor : int {
  kScrollBar = 0,
  kBackground = 1,
  kActiveCaption = 2,
  kInactiveCaption = 3,
  kMenu = 4,
  kWindow = 5,
  kWindowFrame = 6,
  kMenuText = 7,
  kWindowText = 8,
  kCaptionText = 9,
  kHighlight = 13,
  kHighlightText = 14,
  kBtnFace = 15,
  kBtnShadow = 16,
  kGrayText = 17,
  kBtnText = 18,
  kBtnHighlight = 20,
  k3dDkShadow = 21,
  kInfoText = 23,
  kInfoBk = 24,
};

constexpr gfx::Color GetSysColor(SysColor index) {
  switch (index) {
    case SysColor::kActiveCaption: return gfx::Rgb(153, 180, 209);
    case SysColor::kInactiveCaption: return gfx::Rgb(191, 205, 219);
    case SysColor::kWindow: return gfx::Rgb(255, 255, 255);
    case SysColor::kWindowFrame: return gfx::Rgb(100, 100, 100);
    case SysColor::kHighlight: return gfx::Rgb(0, 120, 215);
    case SysColor::kHighlightText: return gfx::Rgb(255, 255, 255);
    case SysColor::kScrollBar:
    case SysColor::kMenu:
    case SysColor::kBtnFace: return gfx::Rgb(240, 240, 240);
    case SysColor::kBackground: return gfx::Rgb(0, 99, 177);
    case SysColor::kBtnShadow: return gfx::Rgb(160, 160, 160);
    case SysColor::kGrayText: return gfx::Rgb(109, 109, 109);
    case SysColor::kBtnHighlight: return gfx::Rgb(255, 255, 255);
    case SysColor::k3dDkShadow: return gfx::Rgb(105, 105, 105);
    case SysColor::kInfoBk: return gfx::Rgb(255, 255, 225);
    case SysColor::kMenuText:
    case SysColor::kWindowText:
    case SysColor::kCaptionText:
    case SysColor::kBtnText:
    case SysColor::kInfoText: return gfx::Rgb(0, 0, 0);
  }
  return 0;
}

// Width and height of a 3-D edge (the platform's SM_CXEDGE and SM_CYEDGE).
inline constexpr int kEdgeWidth = 2;
inline constexpr int kEdgeHeight = 2;

// The message font of the non-client metrics: what message boxes, the progress window and the
// property sheet's extra button write with.
inline gfx::Font MessageFont() { return gfx::Font{-12, 0, 0, gfx::kFwNormal, false, false, false, "Arial"}; }
// The font of dialog templates.
inline gfx::Font DialogFont() { return gfx::Font{-11, 0, 0, gfx::kFwNormal, false, false, false, "Arial"}; }

}  // namespace win
