#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "win/dialog.h"

class TMonitorLog;
namespace platform {
class ResourcePack;
}

// Shows the values of one record of a monitor log in read-only fields; reads the record itself
// when it opens. The log is not owned. User-interface thread only.
class TMonitorRecordDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 158;
  static constexpr int kFieldCount = 20;
  // The fields in the order of the record's values.
  static constexpr std::array<int, kFieldCount> kFieldIds = {1100, 1101, 1102, 1103, 1120, 1121, 1122,
                                                             1123, 1104, 1105, 1106, 1107, 1108, 1109,
                                                             1110, 1119, 1202, 1203, 1204, 1205};

  TMonitorRecordDlg(win::Window* parent, TMonitorLog* log, int32_t record_number);

  // Five decimals without a leading zero: 1.5 "1.50000", 0.05 ".05000"; a negative value keeps
  // its sign.
  static std::string FormatDecimal(double value);

  std::array<std::string, kFieldCount> texts;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  TMonitorLog* log_;
  int32_t record_number_;
};

// The dialog's template; German to the German pack, English to every other one.
void AddMonitorRecordDlgResources(platform::ResourcePack& pack);
