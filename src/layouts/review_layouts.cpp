#include <cstdint>
#include <memory>
#include <span>

#include "layouts/default_layouts.h"
#include "layouts/layout_table.h"

namespace {

using layouts::LayoutRow;
using layouts::P;
using layouts::S;

constexpr uint32_t kGridGrey = 0xC0C0C0;
// Row 0 of every table; BuildLayout makes it the (1, 1, 1) root, whose own place plays no part.
constexpr LayoutRow kRoot{0, -1, "CViewConfiguration", {}, {}};

// Rows: number, parent, class, x anchor, y anchor, minimum width x height, per mille width x
// height, flag (clip, or focusable for windows), the one class argument (browser or template
// slot, sample slot, legend variant), then grid colour and divisions for the pixel grids.

// Two rows of eight browsers; a second-row browser sits below the one above it.
constexpr LayoutRow kTemplateClasses16Layout[] = {
    kRoot,
    {1, 0, "CTemplateClassesWindowConfig", P(0), P(0), 600, 400, 1000, 1000, 0},
    {2, 1, "CPixelGridConfig", P(0), P(0), 600, 400, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {3, 1, "CTemplateBrowserAreaConfig", S(0, 0), S(0, 0), 75, 200, 125, 500, 1, 0},
    {4, 1, "CTemplateBrowserAreaConfig", S(1, 1), S(1, 0), 75, 200, 125, 500, 1, 1},
    {5, 1, "CTemplateBrowserAreaConfig", S(2, 1), S(2, 0), 75, 200, 125, 500, 1, 2},
    {6, 1, "CTemplateBrowserAreaConfig", S(3, 1), S(3, 0), 75, 200, 125, 500, 1, 3},
    {7, 1, "CTemplateBrowserAreaConfig", S(4, 1), S(4, 0), 75, 200, 125, 500, 1, 4},
    {8, 1, "CTemplateBrowserAreaConfig", S(5, 1), S(5, 0), 75, 200, 125, 500, 1, 5},
    {9, 1, "CTemplateBrowserAreaConfig", S(6, 1), S(6, 0), 75, 200, 125, 500, 1, 6},
    {10, 1, "CTemplateBrowserAreaConfig", S(7, 1), S(7, 0), 75, 200, 125, 500, 1, 7},
    {11, 1, "CTemplateBrowserAreaConfig", S(0, 0), S(1, 1), 75, 200, 125, 500, 1, 8},
    {12, 1, "CTemplateBrowserAreaConfig", S(9, 1), S(2, 1), 75, 200, 125, 500, 1, 9},
    {13, 1, "CTemplateBrowserAreaConfig", S(10, 1), S(3, 1), 75, 200, 125, 500, 1, 10},
    {14, 1, "CTemplateBrowserAreaConfig", S(11, 1), S(4, 1), 75, 200, 125, 500, 1, 11},
    {15, 1, "CTemplateBrowserAreaConfig", S(12, 1), S(5, 1), 75, 200, 125, 500, 1, 12},
    {16, 1, "CTemplateBrowserAreaConfig", S(13, 1), S(6, 1), 75, 200, 125, 500, 1, 13},
    {17, 1, "CTemplateBrowserAreaConfig", S(14, 1), S(7, 1), 75, 200, 125, 500, 1, 14},
    {18, 1, "CTemplateBrowserAreaConfig", S(15, 1), S(8, 1), 75, 200, 125, 500, 1, 15},
};

// The strip window beside the template detail fills its container, hence 150 x 100 at 1000.
constexpr LayoutRow kBeatPageLayout[] = {
    kRoot,
    {1, 0, "CBeatPageWindowConfig", P(0), P(0), 300, 280, 1000, 620, 0},
    {2, 1, "CPixelGridConfig", P(0), P(0), 600, 200, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {3, 1, "CBeatPageAreaConfig", P(0), P(0), 600, 200, 1000, 1000, 1},
    {4, 0, "CViewAreaConfig", P(0), S(0, 1), 300, 100, 1000, 380, 0},
    {5, 4, "CTemplateDetailWindowConfig", P(0), P(0), 150, 100, 0, 1000, 0},
    {6, 5, "CPixelGridConfig", P(0), P(0), 100, 100, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {7, 5, "CTemplateDetailAreaConfig", P(0), P(0), 100, 100, 1000, 1000, 1, 0},
    {8, 4, "CECGStripWindowConfig", S(0, 1), P(0), 150, 100, 1000, 1000, 0},
    {9, 8, "CStripHeaderAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {10, 8, "CBackgroundAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {11, 8, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {12, 11, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {13, 11, "CStripPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {14, 11, "CECGStripAreaConfig", S(1, 0), S(1, 0), 255, 90, 1000, 1000, 1},
    {15, 14, "CBeatAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {16, 14, "CBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {17, 14, "CEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {18, 11, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
};

// Three rows of eight; the third row is 334 thousandths high so that the rows add up to 1000.
constexpr LayoutRow kTemplateClasses24Layout[] = {
    kRoot,
    {1, 0, "CTemplateClassesWindowConfig", P(0), P(0), 600, 450, 1000, 1000, 0},
    {2, 1, "CPixelGridConfig", P(0), P(0), 600, 450, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {3, 1, "CTemplateBrowserAreaConfig", S(0, 0), S(0, 0), 75, 150, 125, 333, 1, 0},
    {4, 1, "CTemplateBrowserAreaConfig", S(1, 1), S(1, 0), 75, 150, 125, 333, 1, 1},
    {5, 1, "CTemplateBrowserAreaConfig", S(2, 1), S(2, 0), 75, 150, 125, 333, 1, 2},
    {6, 1, "CTemplateBrowserAreaConfig", S(3, 1), S(3, 0), 75, 150, 125, 333, 1, 3},
    {7, 1, "CTemplateBrowserAreaConfig", S(4, 1), S(4, 0), 75, 150, 125, 333, 1, 4},
    {8, 1, "CTemplateBrowserAreaConfig", S(5, 1), S(5, 0), 75, 150, 125, 333, 1, 5},
    {9, 1, "CTemplateBrowserAreaConfig", S(6, 1), S(6, 0), 75, 150, 125, 333, 1, 6},
    {10, 1, "CTemplateBrowserAreaConfig", S(7, 1), S(7, 0), 75, 150, 125, 333, 1, 7},
    {11, 1, "CTemplateBrowserAreaConfig", S(0, 0), S(1, 1), 75, 150, 125, 333, 1, 8},
    {12, 1, "CTemplateBrowserAreaConfig", S(9, 1), S(2, 1), 75, 150, 125, 333, 1, 9},
    {13, 1, "CTemplateBrowserAreaConfig", S(10, 1), S(3, 1), 75, 150, 125, 333, 1, 10},
    {14, 1, "CTemplateBrowserAreaConfig", S(11, 1), S(4, 1), 75, 150, 125, 333, 1, 11},
    {15, 1, "CTemplateBrowserAreaConfig", S(12, 1), S(5, 1), 75, 150, 125, 333, 1, 12},
    {16, 1, "CTemplateBrowserAreaConfig", S(13, 1), S(6, 1), 75, 150, 125, 333, 1, 13},
    {17, 1, "CTemplateBrowserAreaConfig", S(14, 1), S(7, 1), 75, 150, 125, 333, 1, 14},
    {18, 1, "CTemplateBrowserAreaConfig", S(15, 1), S(8, 1), 75, 150, 125, 333, 1, 15},
    {19, 1, "CTemplateBrowserAreaConfig", S(0, 0), S(9, 1), 75, 150, 125, 334, 1, 16},
    {20, 1, "CTemplateBrowserAreaConfig", S(17, 1), S(10, 1), 75, 150, 125, 334, 1, 17},
    {21, 1, "CTemplateBrowserAreaConfig", S(18, 1), S(11, 1), 75, 150, 125, 334, 1, 18},
    {22, 1, "CTemplateBrowserAreaConfig", S(19, 1), S(12, 1), 75, 150, 125, 334, 1, 19},
    {23, 1, "CTemplateBrowserAreaConfig", S(20, 1), S(13, 1), 75, 150, 125, 334, 1, 20},
    {24, 1, "CTemplateBrowserAreaConfig", S(21, 1), S(14, 1), 75, 150, 125, 334, 1, 21},
    {25, 1, "CTemplateBrowserAreaConfig", S(22, 1), S(15, 1), 75, 150, 125, 334, 1, 22},
    {26, 1, "CTemplateBrowserAreaConfig", S(23, 1), S(16, 1), 75, 150, 125, 334, 1, 23},
};

// A low navigation window (legend variant 2: one row, its event kind chosen in the legend), the
// three example strips of sample slots 0 to 2 and the strip at the current position.
constexpr LayoutRow kSampleLayout[] = {
    kRoot,
    {1, 0, "CNavigationWindowConfig", P(0), P(0), 300, 48, 1000, 0, 0},
    {2, 1, "CViewAreaConfig", P(0), P(0), 260, 23, 1000, 1000, 0},
    {3, 2, "CEventLegendAreaConfig", P(0), P(0), 123, 23, 0, 1000, 1, 2},
    {4, 2, "CEventTickAreaConfig", S(0, 1), P(0), 100, 23, 1000, 1000, 1, 2},
    {5, 2, "CCountLegendAreaConfig", S(1, 1), P(0), 53, 23, 0, 1000, 1, 2},
    {6, 1, "CViewAreaConfig", S(0, 0), S(0, 1), 275, 18, 1000, 0, 0},
    {7, 6, "CCaptionAreaConfig", P(0), P(0), 123, 18, 0, 1000, 1},
    {8, 6, "CTimeAxisAreaConfig", S(0, 1), P(0), 100, 18, 1000, 1000, 1},
    {9, 6, "CBeatCountAreaConfig", S(1, 1), P(0), 53, 18, 0, 1000, 1},
    {10, 0, "CViewAreaConfig", S(0, 0), S(0, 1), 300, 250, 1000, 620, 0},
    {11, 10, "CECGSampleWindowConfig", P(0), P(0), 200, 60, 1000, 333, 0, 0},
    {12, 11, "CSampleHeaderAreaConfig", P(0), P(0), 90, 60, 0, 1000, 1},
    {13, 11, "CBackgroundAreaConfig", P(1), P(0), 3, 60, 0, 1000, 1},
    {14, 11, "CViewAreaConfig", S(0, 1), P(0), 255, 60, 1000, 1000, 0},
    {15, 14, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {16, 14, "CStripPixelGridConfig", P(0), S(0, 1), 255, 50, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {17, 14, "CSampleStripAreaConfig", S(1, 0), S(1, 0), 255, 50, 1000, 1000, 1},
    {18, 17, "CSampleAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {19, 17, "CSampleBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {20, 17, "CSampleEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {21, 14, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
    {22, 10, "CECGSampleWindowConfig", P(0), S(0, 1), 200, 60, 1000, 333, 0, 1},
    {23, 22, "CSampleHeaderAreaConfig", P(0), P(0), 90, 60, 0, 1000, 1},
    {24, 22, "CBackgroundAreaConfig", P(1), P(0), 3, 60, 0, 1000, 1},
    {25, 22, "CViewAreaConfig", S(0, 1), P(0), 255, 60, 1000, 1000, 0},
    {26, 25, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {27, 25, "CStripPixelGridConfig", P(0), S(0, 1), 255, 50, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {28, 25, "CSampleStripAreaConfig", S(1, 0), S(1, 0), 255, 50, 1000, 1000, 1},
    {29, 28, "CSampleAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {30, 28, "CSampleBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {31, 28, "CSampleEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {32, 25, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
    {33, 10, "CECGSampleWindowConfig", P(0), S(1, 1), 200, 60, 1000, 334, 0, 2},
    {34, 33, "CSampleHeaderAreaConfig", P(0), P(0), 90, 60, 0, 1000, 1},
    {35, 33, "CBackgroundAreaConfig", P(1), P(0), 3, 60, 0, 1000, 1},
    {36, 33, "CViewAreaConfig", S(0, 1), P(0), 255, 60, 1000, 1000, 0},
    {37, 36, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {38, 36, "CStripPixelGridConfig", P(0), S(0, 1), 255, 50, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {39, 36, "CSampleStripAreaConfig", S(1, 0), S(1, 0), 255, 50, 1000, 1000, 1},
    {40, 39, "CSampleAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {41, 39, "CSampleBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {42, 39, "CSampleEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {43, 36, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
    {44, 0, "CECGStripWindowConfig", P(0), S(1, 1), 300, 100, 1000, 380, 0},
    {45, 44, "CStripHeaderAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {46, 44, "CBackgroundAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {47, 44, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {48, 47, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {49, 47, "CStripPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {50, 47, "CECGStripAreaConfig", S(1, 0), S(1, 0), 255, 90, 1000, 1000, 1},
    {51, 50, "CBeatAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {52, 50, "CBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {53, 50, "CEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {54, 47, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
};

// The three heart-rate-variability screens share the table column (217 pixels) and the strip;
// only their charts differ.
constexpr LayoutRow kRRTrendLayout[] = {
    kRoot,
    {1, 0, "CHRVTrendWindowConfig", P(0), P(0), 300, 280, 1000, 620, 0},
    {2, 1, "CHRVTableAreaConfig", P(0), P(0), 217, 280, 0, 1000, 0},
    {3, 1, "CViewAreaConfig", S(0, 1), P(0), 83, 280, 1000, 1000, 0},
    {4, 3, "CRRTrendAreaConfig", P(1), P(0), 83, 100, 1000, 500, 0},
    {5, 3, "CRRDifferenceAreaConfig", P(0), S(0, 1), 83, 100, 1000, 500, 0},
    {6, 0, "CECGStripWindowConfig", P(0), S(0, 1), 300, 100, 1000, 380, 0},
    {7, 6, "CStripHeaderAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {8, 6, "CBackgroundAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {9, 6, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {10, 9, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {11, 9, "CStripPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {12, 9, "CECGStripAreaConfig", S(1, 0), S(1, 0), 255, 90, 1000, 1000, 1},
    {13, 12, "CBeatAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {14, 12, "CBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {15, 12, "CEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {16, 9, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
};

constexpr LayoutRow kRRSegmentsLayout[] = {
    kRoot,
    {1, 0, "CHRVTrendWindowConfig", P(0), P(0), 300, 280, 1000, 620, 0},
    {2, 1, "CHRVTableAreaConfig", P(0), P(0), 217, 280, 0, 1000, 0},
    {3, 1, "CViewAreaConfig", S(0, 1), P(0), 83, 280, 1000, 1000, 0},
    {4, 3, "CRRSegmentMeanAreaConfig", P(1), P(0), 83, 100, 1000, 500, 1},
    {5, 3, "CRRSegmentSDAreaConfig", P(0), S(0, 1), 83, 100, 1000, 500, 1},
    {6, 0, "CECGStripWindowConfig", P(0), S(0, 1), 300, 100, 1000, 380, 0},
    {7, 6, "CStripHeaderAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {8, 6, "CBackgroundAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {9, 6, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {10, 9, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {11, 9, "CStripPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {12, 9, "CECGStripAreaConfig", S(1, 0), S(1, 0), 255, 90, 1000, 1000, 1},
    {13, 12, "CBeatAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {14, 12, "CBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {15, 12, "CEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {16, 9, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
};

constexpr LayoutRow kRRHistogramLayout[] = {
    kRoot,
    {1, 0, "CHRVTrendWindowConfig", P(0), P(0), 300, 280, 1000, 620, 0},
    {2, 1, "CHRVTableAreaConfig", P(0), P(0), 217, 280, 0, 1000, 0},
    {3, 1, "CRRDifferenceHistogramAreaConfig", S(0, 1), P(0), 83, 100, 1000, 1000, 0},
    {4, 0, "CECGStripWindowConfig", P(0), S(0, 1), 300, 100, 1000, 380, 0},
    {5, 4, "CStripHeaderAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {6, 4, "CBackgroundAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {7, 4, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {8, 7, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {9, 7, "CStripPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {10, 7, "CECGStripAreaConfig", S(1, 0), S(1, 0), 255, 90, 1000, 1000, 1},
    {11, 10, "CBeatAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {12, 10, "CBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {13, 10, "CEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {14, 7, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
};

// Three rows of four; within a row each area takes the top edge of the one before it, and a new
// row starts below the first area of the row above.
constexpr LayoutRow kPMTemplatesLayout[] = {
    kRoot,
    {1, 0, "CPMTemplateWindowConfig", P(0), P(0), 600, 300, 1000, 1000, 0},
    {2, 1, "CPixelGridConfig", P(0), P(0), 600, 300, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {3, 1, "CPMTemplateAreaConfig", P(0), P(0), 150, 100, 250, 333, 1, 0},
    {4, 1, "CPMTemplateAreaConfig", S(1, 1), S(1, 0), 150, 100, 250, 333, 1, 1},
    {5, 1, "CPMTemplateAreaConfig", S(2, 1), S(2, 0), 150, 100, 250, 333, 1, 2},
    {6, 1, "CPMTemplateAreaConfig", S(3, 1), S(3, 0), 150, 100, 250, 333, 1, 3},
    {7, 1, "CPMTemplateAreaConfig", S(1, 0), S(1, 1), 150, 100, 250, 333, 1, 4},
    {8, 1, "CPMTemplateAreaConfig", S(5, 1), S(5, 0), 150, 100, 250, 333, 1, 5},
    {9, 1, "CPMTemplateAreaConfig", S(6, 1), S(6, 0), 150, 100, 250, 333, 1, 6},
    {10, 1, "CPMTemplateAreaConfig", S(7, 1), S(7, 0), 150, 100, 250, 333, 1, 7},
    {11, 1, "CPMTemplateAreaConfig", S(5, 0), S(5, 1), 150, 100, 250, 334, 1, 8},
    {12, 1, "CPMTemplateAreaConfig", S(9, 1), S(9, 0), 150, 100, 250, 334, 1, 9},
    {13, 1, "CPMTemplateAreaConfig", S(10, 1), S(10, 0), 150, 100, 250, 334, 1, 10},
    {14, 1, "CPMTemplateAreaConfig", S(11, 1), S(11, 0), 150, 100, 250, 334, 1, 11},
};

constexpr LayoutRow kStatisticsLayout[] = {
    kRoot,
    {1, 0, "CStatisticsWindowConfig", P(0), P(0), 300, 280, 1000, 620, 0},
    {2, 1, "CStatisticsTableAreaConfig", P(0), P(0), 300, 280, 1000, 1000, 1},
    {3, 0, "CECGStripWindowConfig", P(0), S(0, 1), 300, 100, 1000, 380, 0},
    {4, 3, "CStripHeaderAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {5, 3, "CBackgroundAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {6, 3, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {7, 6, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {8, 6, "CStripPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {9, 6, "CECGStripAreaConfig", S(1, 0), S(1, 0), 255, 90, 1000, 1000, 1},
    {10, 9, "CBeatAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {11, 9, "CBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {12, 9, "CEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {13, 6, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
};

constexpr LayoutRow kDocumentLayout[] = {
    kRoot,
    {1, 0, "CDocumentBrowserWindowConfig", P(0), P(0), 300, 280, 1000, 1000, 0},
};

// The page and strip windows share what the fixed 48-pixel navigation window leaves; the strip
// window stacks on the page window's place, which does not start at the top of the view.
constexpr LayoutRow kFullECGLayout[] = {
    kRoot,
    {1, 0, "CNavigationWindowConfig", P(0), P(0), 300, 48, 1000, 0, 0},
    {2, 1, "CViewAreaConfig", P(0), P(0), 260, 23, 1000, 1000, 0},
    {3, 2, "CEventLegendAreaConfig", P(0), P(0), 123, 23, 0, 1000, 1, 3},
    {4, 2, "CEventTickAreaConfig", S(0, 1), P(0), 100, 23, 1000, 1000, 1, 3},
    {5, 2, "CCountLegendAreaConfig", S(1, 1), P(0), 53, 23, 0, 1000, 1, 3},
    {6, 1, "CViewAreaConfig", S(0, 0), S(0, 1), 275, 18, 1000, 0, 0},
    {7, 6, "CCaptionAreaConfig", P(0), P(0), 123, 18, 0, 1000, 1},
    {8, 6, "CTimeAxisAreaConfig", S(0, 1), P(0), 100, 18, 1000, 1000, 1},
    {9, 6, "CBeatCountAreaConfig", S(1, 1), P(0), 53, 18, 0, 1000, 1},
    {10, 0, "CECGWindowConfig", S(0, 0), S(0, 1), 300, 280, 1000, 620, 0},
    {11, 10, "CECGRowTimeAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {12, 10, "CBlankAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {13, 10, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {14, 13, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {15, 13, "CECGPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {16, 13, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
    {17, 13, "CFullDisclosureAreaConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 1},
    {18, 0, "CECGStripWindowConfig", P(0), S(1, 1), 300, 100, 1000, 380, 0},
    {19, 18, "CStripHeaderAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {20, 18, "CBackgroundAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {21, 18, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {22, 21, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {23, 21, "CStripPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {24, 21, "CECGStripAreaConfig", S(1, 0), S(1, 0), 255, 90, 1000, 1000, 1},
    {25, 24, "CBeatAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {26, 24, "CBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {27, 24, "CEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {28, 21, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
};

constexpr LayoutRow kHRNavigatorLayout[] = {
    kRoot,
    {1, 0, "CHRNavigatorWindowConfig", P(0), P(0), 300, 110, 1000, 620, 0},
    {2, 1, "CViewAreaConfig", P(0), P(0), 260, 80, 1000, 1000, 0},
    {3, 2, "CMinMaxScaleAreaConfig", P(0), P(0), 108, 80, 0, 1000, 1},
    {4, 2, "CHRNavigatorAreaConfig", S(0, 1), P(0), 100, 80, 1000, 1000, 1},
    {5, 1, "CViewAreaConfig", S(0, 0), S(0, 1), 260, 18, 1000, 0, 0},
    {6, 5, "CTrendCaptionAreaConfig", P(0), P(0), 108, 18, 0, 1000, 1},
    {7, 5, "CTimeAxisAreaConfig", S(0, 1), P(0), 100, 18, 1000, 1000, 1},
    {8, 0, "CECGStripWindowConfig", P(0), S(0, 1), 300, 100, 1000, 380, 0},
    {9, 8, "CStripHeaderAreaConfig", P(0), P(0), 90, 100, 0, 1000, 1},
    {10, 8, "CBackgroundAreaConfig", P(1), P(0), 3, 100, 0, 1000, 1},
    {11, 8, "CViewAreaConfig", S(0, 1), P(0), 255, 100, 1000, 1000, 0},
    {12, 11, "CSpacerAreaConfig", P(0), P(0), 255, 3, 1000, 0, 1},
    {13, 11, "CStripPixelGridConfig", P(0), S(0, 1), 255, 90, 1000, 1000, 0, 0, kGridGrey, 10, 10},
    {14, 11, "CECGStripAreaConfig", S(1, 0), S(1, 0), 255, 90, 1000, 1000, 1},
    {15, 14, "CBeatAnnotationAreaConfig", P(0), P(1), 255, 32, 1000, 0, 1},
    {16, 14, "CBeatLabelAreaConfig", P(0), P(0), 255, 20, 1000, 0, 1},
    {17, 14, "CEventLabelAreaConfig", P(0), S(1, 1), 255, 130, 1000, 0, 1},
    {18, 11, "CSpacerAreaConfig", P(0), P(1), 255, 3, 1000, 0, 1},
};

}  // namespace

namespace layouts {

std::span<const LayoutRow> ReviewLayoutTable(int index) {
  switch (index) {
    case 8:
      return kTemplateClasses16Layout;
    case 9:
      return kBeatPageLayout;
    case 10:
      return kTemplateClasses24Layout;
    case 12:
      return kSampleLayout;
    case 13:
      return kRRTrendLayout;
    case 14:
      return kRRSegmentsLayout;
    case 15:
      return kRRHistogramLayout;
    case 16:
      return kPMTemplatesLayout;
    case 17:
      return kStatisticsLayout;
    case 18:
      return kDocumentLayout;
    case 20:
      return kFullECGLayout;
    case 21:
      return kHRNavigatorLayout;
    default:
      return {};
  }
}

}  // namespace layouts

std::unique_ptr<CViewConfiguration> CreateTemplateClasses16Layout() {
  return layouts::BuildLayout(kTemplateClasses16Layout);
}
std::unique_ptr<CViewConfiguration> CreateBeatPageLayout() { return layouts::BuildLayout(kBeatPageLayout); }
std::unique_ptr<CViewConfiguration> CreateTemplateClasses24Layout() {
  return layouts::BuildLayout(kTemplateClasses24Layout);
}
std::unique_ptr<CViewConfiguration> CreateSampleLayout() { return layouts::BuildLayout(kSampleLayout); }
std::unique_ptr<CViewConfiguration> CreateRRTrendLayout() { return layouts::BuildLayout(kRRTrendLayout); }
std::unique_ptr<CViewConfiguration> CreateRRSegmentsLayout() {
  return layouts::BuildLayout(kRRSegmentsLayout);
}
std::unique_ptr<CViewConfiguration> CreateRRHistogramLayout() {
  return layouts::BuildLayout(kRRHistogramLayout);
}
std::unique_ptr<CViewConfiguration> CreatePMTemplatesLayout() {
  return layouts::BuildLayout(kPMTemplatesLayout);
}
std::unique_ptr<CViewConfiguration> CreateStatisticsLayout() {
  return layouts::BuildLayout(kStatisticsLayout);
}
std::unique_ptr<CViewConfiguration> CreateDocumentLayout() { return layouts::BuildLayout(kDocumentLayout); }
std::unique_ptr<CViewConfiguration> CreateFullECGLayout() { return layouts::BuildLayout(kFullECGLayout); }
std::unique_ptr<CViewConfiguration> CreateHRNavigatorLayout() {
  return layouts::BuildLayout(kHRNavigatorLayout);
}
