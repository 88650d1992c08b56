#include "layouts/default_layouts.h"

#include <memory>

#include "platform/process_context.h"

namespace {

using layouts::LayoutRow;
using layouts::P;
using layouts::S;

constexpr uint32_t kGridGrey = 0xC0C0C0;
// Row 0 of every table; BuildLayout makes it the (1, 1, 1) root, whose own place plays no part.
constexpr LayoutRow kRoot{0, -1, "CViewConfiguration", {}, {}};

// Rows: number, parent, class, x anchor, y anchor, minimum width x height, per mille width x
// height, flag (clip, or focusable for windows), the one class argument, then grid colour and
// divisions for the pixel grids.

constexpr LayoutRow kNavigationLayout[] = {
    kRoot,
    {1, 0, "CNavigationWindowConfig", P(0), P(0), 300, 280, 1000, 620, 0},
    {2, 1, "CViewAreaConfig", P(0), P(0), 260, 240, 1000, 1000, 0},
    {3, 2, "CBandLegendAreaConfig", P(0), P(0), 18, 240, 0, 1000, 1},
    {4, 2, "CEventLegendAreaConfig", S(0, 1), P(0), 105, 240, 0, 1000, 1, 0},
    {5, 2, "CEventTickAreaConfig", S(1, 1), P(0), 85, 240, 1000, 1000, 1, 0},
    {6, 2, "CCountLegendAreaConfig", S(2, 1), P(0), 53, 240, 0, 1000, 1, 0},
    {7, 1, "CViewAreaConfig", S(0, 0), S(0, 1), 260, 18, 1000, 0, 0},
    {8, 7, "CCaptionAreaConfig", P(0), P(0), 123, 18, 0, 1000, 1},
    {9, 7, "CTimeAxisAreaConfig", S(0, 1), P(0), 85, 18, 1000, 1000, 1},
    {10, 7, "CBeatCountAreaConfig", S(1, 1), P(0), 53, 18, 0, 1000, 1},
    {11, 0, "CECGStripWindowConfig", P(0), S(0, 1), 300, 100, 1000, 380, 0},
    {12, 11, "CStripHeaderAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {13, 11, "CBackgroundAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {14, 11, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {15, 14, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {16, 14, "CStripPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {17, 14, "CECGStripAreaConfig", S(1, 0), S(1, 0), 255, 90, 1000, 1000, 1},
    {18, 17, "CBeatAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {19, 17, "CBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {20, 17, "CEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {21, 14, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
};

constexpr LayoutRow kECGPageStripLayout[] = {
    kRoot,
    {1, 0, "CECGWindowConfig", P(0), P(0), 300, 280, 1000, 620, 0},
    {2, 1, "CECGRowTimeAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {3, 1, "CBlankAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {4, 1, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {5, 4, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {6, 4, "CECGPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {7, 4, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
    {8, 4, "CFullDisclosureAreaConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 1},
    {9, 0, "CECGStripWindowConfig", P(0), S(0, 1), 300, 100, 1000, 380, 0},
    {10, 9, "CStripHeaderAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {11, 9, "CBackgroundAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {12, 9, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {13, 12, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {14, 12, "CStripPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {15, 12, "CECGStripAreaConfig", S(1, 0), S(1, 0), 255, 90, 1000, 1000, 1},
    {16, 15, "CBeatAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {17, 15, "CBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {18, 15, "CEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {19, 12, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
};

constexpr LayoutRow kNavigationTrendLayout[] = {
    kRoot,
    {1, 0, "CNavigationWindowConfig", P(0), P(0), 300, 280, 1000, 620, 0},
    {2, 1, "CViewAreaConfig", P(0), P(0), 260, 240, 1000, 1000, 0},
    {3, 2, "CBandLegendAreaConfig", P(0), P(0), 18, 240, 0, 1000, 1},
    {4, 2, "CEventLegendAreaConfig", S(0, 1), P(0), 90, 240, 0, 1000, 1, 0},
    {5, 2, "CEventTickAreaConfig", S(1, 1), P(0), 100, 240, 1000, 1000, 1, 0},
    {6, 2, "CCountLegendAreaConfig", S(2, 1), P(0), 53, 240, 0, 1000, 1, 0},
    {7, 1, "CViewAreaConfig", S(0, 0), S(0, 1), 260, 18, 1000, 0, 0},
    {8, 7, "CCaptionAreaConfig", P(0), P(0), 108, 18, 0, 1000, 1},
    {9, 7, "CTimeAxisAreaConfig", S(0, 1), P(0), 100, 18, 1000, 1000, 1},
    {10, 7, "CBeatCountAreaConfig", S(1, 1), P(0), 53, 18, 0, 1000, 1},
    {11, 0, "CHRTrendWindowConfig", P(0), S(0, 1), 300, 100, 1000, 380, 0},
    {12, 11, "CViewAreaConfig", P(0), P(0), 260, 90, 1000, 1000, 0},
    {13, 12, "CHRScaleAreaConfig", P(0), P(0), 108, 90, 0, 1000, 1},
    {14, 12, "CHRTrendAreaConfig", S(0, 1), P(0), 100, 90, 1000, 1000, 1},
    {15, 12, "CHRTrendLegendAreaConfig", S(1, 1), P(0), 53, 90, 0, 1000, 1},
    {16, 11, "CViewAreaConfig", S(0, 0), S(0, 1), 260, 18, 1000, 0, 0},
    {17, 16, "CTrendCaptionAreaConfig", P(0), P(0), 108, 18, 0, 1000, 1},
    {18, 16, "CTimeAxisAreaConfig", S(0, 1), P(0), 100, 18, 1000, 1000, 1},
    {19, 16, "CTrendBorderAreaConfig", S(1, 1), P(0), 53, 18, 0, 1000, 1},
};

constexpr LayoutRow kECGPageTrendLayout[] = {
    kRoot,
    {1, 0, "CECGWindowConfig", P(0), P(0), 300, 280, 1000, 620, 0},
    {2, 1, "CECGRowTimeAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {3, 1, "CBlankAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {4, 1, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {5, 4, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {6, 4, "CECGPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {7, 4, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
    {8, 4, "CFullDisclosureAreaConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 1},
    {9, 0, "CHRTrendWindowConfig", P(0), S(0, 1), 300, 100, 1000, 380, 0},
    {10, 9, "CViewAreaConfig", P(0), P(0), 275, 90, 1000, 1000, 0},
    {11, 10, "CHRScaleAreaConfig", P(0), P(0), 123, 90, 0, 1000, 1},
    {12, 10, "CHRTrendAreaConfig", S(0, 1), P(0), 100, 90, 1000, 1000, 1},
    {13, 10, "CHRTrendLegendAreaConfig", S(1, 1), P(0), 53, 90, 0, 1000, 1},
    {14, 9, "CViewAreaConfig", S(0, 0), S(0, 1), 275, 18, 1000, 0, 0},
    {15, 14, "CTrendCaptionAreaConfig", P(0), P(0), 123, 18, 0, 1000, 1},
    {16, 14, "CTimeAxisAreaConfig", S(0, 1), P(0), 100, 18, 1000, 1000, 1},
    {17, 14, "CTrendBorderAreaConfig", S(1, 1), P(0), 53, 18, 0, 1000, 1},
};

// The argument of the bar graphs is the class slot.
constexpr LayoutRow kBarGraphLayout[] = {
    kRoot,
    {1, 0, "CBarGraphWindowConfig", P(0), P(0), 700, 300, 1000, 1000, 0},
    {2, 1, "CClassBarGraphAreaConfig", P(0), P(0), 300, 100, 500, 333, 0, 15},
    {3, 1, "CClassBarGraphAreaConfig", S(0, 1), P(0), 300, 100, 500, 333, 0, 16},
    {4, 1, "CClassBarGraphAreaConfig", P(0), S(0, 1), 300, 100, 500, 333, 0, 17},
    {5, 1, "CClassBarGraphAreaConfig", S(2, 1), S(1, 1), 300, 100, 500, 333, 0, 18},
    {6, 1, "CClassBarGraphAreaConfig", P(0), S(2, 1), 300, 100, 500, 334, 0, 19},
    {7, 1, "CClassBarGraphAreaConfig", S(4, 1), S(3, 1), 300, 100, 500, 334, 0, 20},
};

// 999 per mille, not 1000: a strip of about a pixel per thousand stays uncovered.
constexpr LayoutRow kLogoLayout[] = {
    kRoot,
    {1, 0, "CLogoWindowConfig", P(0), P(0), 700, 500, 999, 999, 0},
};

// The argument of the sweep areas is the recorder channel.
constexpr LayoutRow kOnline2ChannelLayout[] = {
    kRoot,
    {1, 0, "CRecorderWindowConfig", P(0), P(0), 300, 200, 1000, 1000, 0},
    {2, 1, "CPixelGridConfig", P(0), P(0), 300, 200, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {3, 1, "CRecorderAreaConfig", P(0), P(0), 300, 200, 1000, 1000, 0},
    {4, 3, "COnlineECGAreaConfig", P(0), P(0), 300, 100, 1000, 500, 1, 0},
    {5, 3, "COnlineECGAreaConfig", P(0), S(0, 1), 300, 100, 1000, 500, 1, 1},
    {6, 0, "COnlinePanelWindowConfig", P(0), S(0, 1), 300, 190, 1000, 0, 0},
    {7, 6, "COnlinePanelAreaConfig", P(0), P(0), 300, 190, 1000, 1000, 0},
};

constexpr LayoutRow kSTLayout[] = {
    kRoot,
    {1, 0, "CNavigationWindowConfig", P(0), P(0), 300, 74, 1000, 140, 0},
    {2, 1, "CViewAreaConfig", P(0), P(0), 275, 50, 1000, 1000, 0},
    {3, 2, "CFrameBoxAreaConfig", P(0), P(0), 18, 50, 0, 1000, 1},
    {4, 2, "CEventLegendAreaConfig", S(0, 1), P(0), 105, 50, 0, 1000, 1, 1},
    {5, 2, "CEventTickAreaConfig", S(1, 1), P(0), 100, 50, 1000, 1000, 1, 1},
    {6, 2, "CCountLegendAreaConfig", S(2, 1), P(0), 53, 50, 0, 1000, 1, 1},
    {7, 0, "CSTTrendWindowConfig", P(0), S(0, 1), 300, 60, 1000, 230, 0},
    {8, 7, "CViewAreaConfig", P(0), P(0), 275, 80, 1000, 1000, 0},
    {9, 8, "CSTScaleAreaConfig", P(0), P(0), 123, 80, 0, 1000, 1},
    {10, 8, "CSTTrendAreaConfig", S(0, 1), P(0), 100, 80, 1000, 1000, 1},
    {11, 8, "CSTLegendAreaConfig", S(1, 1), P(0), 53, 80, 0, 1000, 1},
    {12, 0, "CHRTrendWindowConfig", P(0), S(1, 1), 300, 110, 1000, 250, 0},
    {13, 12, "CViewAreaConfig", P(0), P(0), 275, 80, 1000, 1000, 0},
    {14, 13, "CHRScaleAreaConfig", P(0), P(0), 123, 80, 0, 1000, 1},
    {15, 13, "CHRTrendAreaConfig", S(0, 1), P(0), 100, 80, 1000, 1000, 1},
    {16, 13, "CHRTrendLegendAreaConfig", S(1, 1), P(0), 53, 80, 0, 1000, 1},
    {17, 12, "CViewAreaConfig", S(0, 0), S(0, 1), 275, 18, 1000, 0, 0},
    {18, 17, "CTrendCaptionAreaConfig", P(0), P(0), 123, 18, 0, 1000, 1},
    {19, 17, "CTimeAxisAreaConfig", S(0, 1), P(0), 100, 18, 1000, 1000, 1},
    {20, 17, "CTrendBorderAreaConfig", S(1, 1), P(0), 53, 18, 0, 1000, 1},
    {21, 0, "CECGStripWindowConfig", P(0), S(2, 1), 300, 100, 1000, 380, 0},
    {22, 21, "CStripHeaderAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {23, 21, "CBackgroundAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {24, 21, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {25, 24, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {26, 24, "CStripPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {27, 24, "CECGStripAreaConfig", S(1, 0), S(1, 0), 255, 90, 1000, 1000, 1},
    {28, 27, "CBeatAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {29, 27, "CBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {30, 27, "CEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {31, 24, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
};

constexpr LayoutRow kECGPageLayout[] = {
    kRoot,
    {1, 0, "CECGWindowConfig", P(0), P(0), 300, 300, 1000, 1000, 0},
    {2, 1, "CECGRowTimeAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {3, 1, "CBlankAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {4, 1, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {5, 4, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {6, 4, "CECGPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {7, 4, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
    {8, 4, "CFullDisclosureAreaConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 1},
};

constexpr LayoutRow kOnline3ChannelLayout[] = {
    kRoot,
    {1, 0, "CRecorderWindowConfig", P(0), P(0), 300, 200, 1000, 1000, 0},
    {2, 1, "CPixelGridConfig", P(0), P(0), 300, 200, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {3, 1, "CRecorderAreaConfig", P(0), P(0), 300, 200, 1000, 1000, 0},
    {4, 3, "COnlineECGAreaConfig", P(0), P(0), 300, 66, 1000, 333, 1, 0},
    {5, 3, "COnlineECGAreaConfig", P(0), S(0, 1), 300, 67, 1000, 333, 1, 1},
    {6, 3, "COnlineECGAreaConfig", P(0), S(1, 1), 300, 67, 1000, 334, 1, 2},
    {7, 0, "COnlinePanelWindowConfig", P(0), S(0, 1), 300, 190, 1000, 0, 0},
    {8, 7, "COnlinePanelAreaConfig", P(0), P(0), 300, 190, 1000, 1000, 0},
};

using Builder = std::unique_ptr<CViewConfiguration> (*)();

// In index order: the index of a screen is its place in the list.
constexpr Builder kBuilders[kLayoutCount] = {
    CreateNavigationLayout,
    CreateECGPageStripLayout,
    CreateNavigationTrendLayout,
    CreateECGPageTrendLayout,
    CreateBarGraphLayout,
    CreateLogoLayout,
    CreateOnline2ChannelLayout,
    CreateSTLayout,
    CreateTemplateClasses16Layout,
    CreateBeatPageLayout,
    CreateTemplateClasses24Layout,
    CreateECGPageLayout,
    CreateSampleLayout,
    CreateRRTrendLayout,
    CreateRRSegmentsLayout,
    CreateRRHistogramLayout,
    CreatePMTemplatesLayout,
    CreateStatisticsLayout,
    CreateDocumentLayout,
    CreateOnline3ChannelLayout,
    CreateFullECGLayout,
    CreateHRNavigatorLayout,
};

// The list the main view shows; built at start-up, deleted with the main view.
std::unique_ptr<CViewConfigurations>& DefaultLayouts() {
  static std::unique_ptr<CViewConfigurations> list;
  return list;
}

[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kLayouts, [] { DeleteDefaultLayouts(); });

}  // namespace

std::span<const LayoutRow> GetLayoutTable(int index) {
  switch (index) {
    case 0:
      return kNavigationLayout;
    case 1:
      return kECGPageStripLayout;
    case 2:
      return kNavigationTrendLayout;
    case 3:
      return kECGPageTrendLayout;
    case 4:
      return kBarGraphLayout;
    case 5:
      return kLogoLayout;
    case 6:
      return kOnline2ChannelLayout;
    case 7:
      return kSTLayout;
    case 11:
      return kECGPageLayout;
    case 19:
      return kOnline3ChannelLayout;
    default:
      return layouts::ReviewLayoutTable(index);
  }
}

std::unique_ptr<CViewConfiguration> CreateNavigationLayout() {
  return layouts::BuildLayout(kNavigationLayout);
}
std::unique_ptr<CViewConfiguration> CreateECGPageStripLayout() {
  return layouts::BuildLayout(kECGPageStripLayout);
}
std::unique_ptr<CViewConfiguration> CreateNavigationTrendLayout() {
  return layouts::BuildLayout(kNavigationTrendLayout);
}
std::unique_ptr<CViewConfiguration> CreateECGPageTrendLayout() {
  return layouts::BuildLayout(kECGPageTrendLayout);
}
std::unique_ptr<CViewConfiguration> CreateBarGraphLayout() { return layouts::BuildLayout(kBarGraphLayout); }
std::unique_ptr<CViewConfiguration> CreateLogoLayout() { return layouts::BuildLayout(kLogoLayout); }
std::unique_ptr<CViewConfiguration> CreateOnline2ChannelLayout() {
  return layouts::BuildLayout(kOnline2ChannelLayout);
}
std::unique_ptr<CViewConfiguration> CreateSTLayout() { return layouts::BuildLayout(kSTLayout); }
std::unique_ptr<CViewConfiguration> CreateECGPageLayout() { return layouts::BuildLayout(kECGPageLayout); }
std::unique_ptr<CViewConfiguration> CreateOnline3ChannelLayout() {
  return layouts::BuildLayout(kOnline3ChannelLayout);
}

bool CreateDefaultLayouts() {
  std::unique_ptr<CViewConfigurations>& list = DefaultLayouts();
  list.reset();
  list = std::make_unique<CViewConfigurations>();
  for (const Builder build : kBuilders) list->Add(build());
  return true;
}

CViewConfigurations* GetDefaultLayouts() { return DefaultLayouts().get(); }

void DeleteDefaultLayouts() { DefaultLayouts().reset(); }
