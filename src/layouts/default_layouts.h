#pragma once

#include <memory>
#include <span>

#include "layouts/layout_table.h"
#include "views/layout_tree.h"

// The 22 built-in screens, indices 0..21 in the order of the builders below.
inline constexpr int kLayoutCount = 22;

// Builds the process-wide list (deleting one that exists); false only when it cannot be made.
bool CreateDefaultLayouts();
// The process-wide list; nullptr before CreateDefaultLayouts and after DeleteDefaultLayouts.
CViewConfigurations* GetDefaultLayouts();
void DeleteDefaultLayouts();

// Each builder's table, rows as printed (tests compare the trees and tables).
std::span<const layouts::LayoutRow> GetLayoutTable(int index);

std::unique_ptr<CViewConfiguration> CreateNavigationLayout();         // 0
std::unique_ptr<CViewConfiguration> CreateECGPageStripLayout();       // 1
std::unique_ptr<CViewConfiguration> CreateNavigationTrendLayout();    // 2
std::unique_ptr<CViewConfiguration> CreateECGPageTrendLayout();       // 3
std::unique_ptr<CViewConfiguration> CreateBarGraphLayout();           // 4
std::unique_ptr<CViewConfiguration> CreateLogoLayout();               // 5
std::unique_ptr<CViewConfiguration> CreateOnline2ChannelLayout();     // 6
std::unique_ptr<CViewConfiguration> CreateSTLayout();                 // 7
std::unique_ptr<CViewConfiguration> CreateTemplateClasses16Layout();  // 8
std::unique_ptr<CViewConfiguration> CreateBeatPageLayout();           // 9
std::unique_ptr<CViewConfiguration> CreateTemplateClasses24Layout();  // 10
std::unique_ptr<CViewConfiguration> CreateECGPageLayout();            // 11
std::unique_ptr<CViewConfiguration> CreateSampleLayout();             // 12
std::unique_ptr<CViewConfiguration> CreateRRTrendLayout();            // 13
std::unique_ptr<CViewConfiguration> CreateRRSegmentsLayout();         // 14
std::unique_ptr<CViewConfiguration> CreateRRHistogramLayout();        // 15
std::unique_ptr<CViewConfiguration> CreatePMTemplatesLayout();        // 16
std::unique_ptr<CViewConfiguration> CreateStatisticsLayout();         // 17
std::unique_ptr<CViewConfiguration> CreateDocumentLayout();           // 18
std::unique_ptr<CViewConfiguration> CreateOnline3ChannelLayout();     // 19
std::unique_ptr<CViewConfiguration> CreateFullECGLayout();            // 20
std::unique_ptr<CViewConfiguration> CreateHRNavigatorLayout();        // 21
