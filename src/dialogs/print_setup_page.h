#pragma once

#include <string>

#include "win/controls.h"
#include "win/property_sheet.h"

class CZK470Doc;
namespace platform {
class ResourcePack;
}

// The print setup of every report: the left and top margin texts in inches (edits 1127, 1128,
// kept as typed; the printing engine reads the number in them), the print font size (a track bar
// 0..10 made in place of the placeholder 1081 when the page is first shown) and whether the
// print dialog comes up before printing (check 1064). The owner stores the values on OK; the
// font size only when the page was shown, which `initialised` tells.
class TPrintSetupPage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 183;
  static constexpr int kLeftMarginId = 1127;
  static constexpr int kTopMarginId = 1128;
  static constexpr int kShowPrintDlgId = 1064;
  static constexpr int kSliderPlaceId = 1081;
  static constexpr int kSliderId = 1082;
  static constexpr int kMinFontSize = 0;
  static constexpr int kMaxFontSize = 10;

  TPrintSetupPage();
  explicit TPrintSetupPage(CZK470Doc& doc);

  std::string left_margin;
  std::string top_margin;
  int show_print_dlg = 0;
  // 1 once the page's window was initialised during this run of the sheet.
  int initialised = 0;
  // The slider's position when the sheet was confirmed.
  int font_size = 0;

  win::Slider& Slider() { return slider_; }

  void OnOK() override;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  CZK470Doc* doc_ = nullptr;
  win::Slider slider_;
};

// Adds the page's template: German to the German pack, English to every other one.
void AddPrintSetupPageResources(platform::ResourcePack& pack);
