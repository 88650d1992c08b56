#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "document/profile_keys.h"

class CZK470Doc;
class SettingsStore;
class TPrintAutoGain;
class TPrinter;
class TReportValues;

// What a report part is built with. Everything belongs to the print job's composer.
struct TPrintPartArgs {
  int full_header = 0;
  CZK470Doc* doc = nullptr;
  TReportValues* report_values = nullptr;
  // Only the parts that print ECG strips receive it; nullptr for the others.
  TPrintAutoGain* auto_gain = nullptr;
};

using TPrintPartFactory = std::function<std::unique_ptr<TPrinter>(const TPrintPartArgs&)>;

// One report part of the printed report: the commands that print it alone, the "Print\User"
// switch that puts it into the whole report, and how it is made. A part without a factory has no
// pages yet.
struct TPrintPartRow {
  int number = 0;
  const char* class_name = "";
  std::array<int, 2> commands{};          // 0: no second command
  std::optional<SettingKey> user_switch;  // none: never part of the whole report
  int switch_default = 0;
  int full_header = 0;
  bool gets_auto_gain = false;
  TPrintPartFactory factory;
  // The one-channel variant, when "Print\Full_Dislcosure" "Channels" is not 2.
  TPrintPartFactory single_channel_factory;
};

// The 17 parts in their fixed printing order.
const std::vector<TPrintPartRow>& PrintPartTable();

// Whether the part prints for the command: its own command, or the whole report with its switch on.
bool IsPrintPartSelected(const TPrintPartRow& row, int command, const SettingsStore& settings);
