#include "win/data_exchange.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/resources.h"
#include "win/dialog.h"

namespace win {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A whole integer with blanks around it and nothing else; none otherwise or when it overflows.
std::optional<long long> ParseInteger(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> ParseReal(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// "%.<digits>g" with a point whatever the process locale: ParseReal reads it back.
std::string FormatReal(double value, int digits) {
  char text[64];
  const auto [end, error] =
      std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
  return error == std::errc() ? std::string(text, end) : std::string();
}

// Reads or writes an integer field of type T; message is the parse message of T.
template <typename T>
void ExchangeInteger(DataExchange& dx, int id, T& value, int message) {
  if (!dx.Active()) return;
  Window* control = dx.PrepareEditCtrl(id);
  if (control == nullptr) return;
  if (!dx.Saving()) {
    control->SetWindowText(std::to_string(static_cast<long long>(value)));
    return;
  }
  const std::optional<long long> parsed = ParseInteger(control->GetWindowText());
  if (!parsed || *parsed < static_cast<long long>(std::numeric_limits<T>::min()) ||
      *parsed > static_cast<long long>(std::numeric_limits<T>::max())) {
    dx.Fail(FormatStandardMessage(message, ""));
    return;
  }
  value = static_cast<T>(*parsed);
}

Control* ControlOf(DataExchange& dx, int id) { return dynamic_cast<Control*>(dx.PrepareCtrl(id)); }

}  // namespace

Window* DataExchange::PrepareCtrl(int id) {
  last_control_ = dialog_.GetDlgItem(id);
  last_is_edit_ = false;
  return last_control_;
}

Window* DataExchange::PrepareEditCtrl(int id) {
  Window* control = PrepareCtrl(id);
  last_is_edit_ = true;
  return control;
}

void DataExchange::Fail(std::string_view message) {
  if (failed_) return;
  failed_ = true;
  CurrentPrompt().MessageBox(message, Windows().AppTitle(), kMbOk | kMbIconExclamation);
  if (last_control_ != nullptr && last_control_->IsWindow()) {
    last_control_->SetFocus();
    if (auto* edit = dynamic_cast<Edit*>(last_control_); edit != nullptr && last_is_edit_) edit->SetSel(0, -1);
  }
}

std::string FormatStandardMessage(int id, std::string_view first, std::string_view second) {
  std::string text = platform::LoadString(id);
  const auto replace = [&text](std::string_view mark, std::string_view with) {
    for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + with.size())) {
      text.replace(at, mark.size(), with);
    }
  };
  replace("%1", first);
  replace("%2", second);
  return text;
}

void DdxText(DataExchange& dx, int id, std::string& value) {
  if (!dx.Active()) return;
  Window* control = dx.PrepareEditCtrl(id);
  if (control == nullptr) return;
  if (dx.Saving()) {
    value = control->GetWindowText();
  } else {
    control->SetWindowText(value);
  }
}

void DdxText(DataExchange& dx, int id, int& value) { ExchangeInteger(dx, id, value, kIdsParseInt); }

void DdxText(DataExchange& dx, int id, unsigned& value) { ExchangeInteger(dx, id, value, kIdsParseUInt); }

void DdxText(DataExchange& dx, int id, int16_t& value) { ExchangeInteger(dx, id, value, kIdsParseInt); }

void DdxText(DataExchange& dx, int id, uint8_t& value) { ExchangeInteger(dx, id, value, kIdsParseByte); }

void DdxText(DataExchange& dx, int id, double& value) {
  if (!dx.Active()) return;
  Window* control = dx.PrepareEditCtrl(id);
  if (control == nullptr) return;
  if (!dx.Saving()) {
    control->SetWindowText(FormatReal(value, DBL_DIG));
    return;
  }
  const std::optional<double> parsed = ParseReal(control->GetWindowText());
  if (!parsed) {
    dx.Fail(FormatStandardMessage(kIdsParseReal, ""));
    return;
  }
  value = *parsed;
}

void DdxText(DataExchange& dx, int id, float& value) {
  if (!dx.Active()) return;
  Window* control = dx.PrepareEditCtrl(id);
  if (control == nullptr) return;
  if (!dx.Saving()) {
    control->SetWindowText(FormatReal(value, FLT_DIG));
    return;
  }
  const std::optional<double> parsed = ParseReal(control->GetWindowText());
  if (!parsed || std::fabs(*parsed) > std::numeric_limits<float>::max()) {
    dx.Fail(FormatStandardMessage(kIdsParseReal, ""));
    return;
  }
  value = static_cast<float>(*parsed);
}

void DdxCheck(DataExchange& dx, int id, int& value) {
  if (!dx.Active()) return;
  Window* control = dx.PrepareCtrl(id);
  if (control == nullptr) return;
  if (dx.Saving()) {
    value = static_cast<int>(control->SendMessage(kBmGetCheck));
  } else {
    control->SendMessage(kBmSetCheck, static_cast<WParam>(value < 0 || value > 2 ? 0 : value));
  }
}

void DdxRadio(DataExchange& dx, int first_id, int& value) {
  if (!dx.Active()) return;
  Window* first = dx.PrepareCtrl(first_id);
  if (first == nullptr) return;
  const std::vector<Window*>& siblings = dx.Dlg().Children();
  auto it = std::find(siblings.begin(), siblings.end(), first);
  if (dx.Saving()) value = -1;
  int index = 0;
  for (; it != siblings.end(); ++it) {
    if (it != siblings.begin() && *it != first && ((*it)->GetStyle() & kWsGroup) != 0) break;
    const auto* radio = dynamic_cast<Button*>(*it);
    if (radio == nullptr || radio->Kind() != ControlKind::kRadioButton) continue;
    if (dx.Saving()) {
      if (radio->GetCheck() == kBstChecked) value = index;
    } else {
      (*it)->SendMessage(kBmSetCheck, index == value ? kBstChecked : kBstUnchecked);
    }
    ++index;
  }
}

void DdxCBIndex(DataExchange& dx, int id, int& index) {
  if (!dx.Active()) return;
  auto* combo = dynamic_cast<ComboBox*>(ControlOf(dx, id));
  if (combo == nullptr) return;
  if (dx.Saving()) {
    index = combo->GetCurSel();
  } else {
    combo->SetCurSel(index);
  }
}

void DdxCBString(DataExchange& dx, int id, std::string& value) {
  if (!dx.Active()) return;
  auto* combo = dynamic_cast<ComboBox*>(ControlOf(dx, id));
  if (combo == nullptr) return;
  if (dx.Saving()) {
    value = combo->Kind() == ControlKind::kComboBox ? combo->GetWindowText() : combo->GetLBText(combo->GetCurSel());
  } else if (combo->SelectString(-1, value) < 0) {
    combo->SetCurSel(-1);
    if (combo->Kind() == ControlKind::kComboBox) combo->SetWindowText(value);
  }
}

void DdxCBStringExact(DataExchange& dx, int id, std::string& value) {
  if (!dx.Active()) return;
  auto* combo = dynamic_cast<ComboBox*>(ControlOf(dx, id));
  if (combo == nullptr) return;
  if (dx.Saving()) {
    value = combo->Kind() == ControlKind::kComboBox ? combo->GetWindowText() : combo->GetLBText(combo->GetCurSel());
    return;
  }
  const int found = combo->FindStringExact(-1, value);
  combo->SetCurSel(found);
  if (found < 0 && combo->Kind() == ControlKind::kComboBox) combo->SetWindowText(value);
}

void DdxLBIndex(DataExchange& dx, int id, int& index) {
  if (!dx.Active()) return;
  auto* list = dynamic_cast<ListBox*>(ControlOf(dx, id));
  if (list == nullptr) return;
  if (dx.Saving()) {
    index = list->GetCurSel();
  } else {
    list->SetCurSel(index);
  }
}

void DdxLBString(DataExchange& dx, int id, std::string& value) {
  if (!dx.Active()) return;
  auto* list = dynamic_cast<ListBox*>(ControlOf(dx, id));
  if (list == nullptr) return;
  if (dx.Saving()) {
    value = list->GetText(list->GetCurSel());
    return;
  }
  int found = -1;
  for (int i = 0; i < list->GetCount() && found < 0; ++i) {
    if (list->GetText(i).starts_with(value)) found = i;
  }
  list->SetCurSel(found);
}

void DdxSlider(DataExchange& dx, int id, int& pos) {
  if (!dx.Active()) return;
  auto* slider = dynamic_cast<Slider*>(ControlOf(dx, id));
  if (slider == nullptr) return;
  if (dx.Saving()) {
    pos = slider->GetPos();
  } else {
    slider->SetPos(pos);
  }
}

void DdxDateTimeCtrl(DataExchange& dx, int id, std::optional<platform::LocalDateTime>& value) {
  if (!dx.Active()) return;
  Window* window = dx.PrepareCtrl(id);
  if (auto* picker = dynamic_cast<DateTimePicker*>(window)) {
    if (dx.Saving()) {
      value = picker->GetTime();
    } else {
      picker->SetTime(value);
    }
    return;
  }
  // An edit field holding the date as text ("dd.mm.yyyy hh:mm:ss" or "dd.mm.yyyy").
  if (window == nullptr) return;
  if (!dx.Saving()) {
    DateTimePicker format;
    format.SetTime(value);
    window->SetWindowText(format.Text());
    return;
  }
  const std::string text(Trim(window->GetWindowText()));
  if (text.empty()) {
    value.reset();
    return;
  }
  platform::LocalDateTime parsed;
  int consumed = 0;
  const int fields = std::sscanf(text.c_str(), "%d.%d.%d %d:%d:%d%n", &parsed.day, &parsed.month, &parsed.year,
                                 &parsed.hour, &parsed.minute, &parsed.second, &consumed);
  const bool date_only = fields == 3;
  if (date_only) {
    parsed.hour = parsed.minute = parsed.second = 0;
    std::sscanf(text.c_str(), "%d.%d.%d%n", &parsed.day, &parsed.month, &parsed.year, &consumed);
  }
  const bool ok = (fields == 6 || date_only) && consumed == static_cast<int>(text.size()) && parsed.month >= 1 &&
                  parsed.month <= 12 && parsed.day >= 1 && parsed.day <= 31 && parsed.year >= 100 &&
                  parsed.year <= 9999 && parsed.hour >= 0 && parsed.hour < 24 && parsed.minute >= 0 &&
                  parsed.minute < 60 && parsed.second >= 0 && parsed.second < 60;
  if (!ok) {
    dx.Fail(FormatStandardMessage(kIdsParseDateTime, ""));
    return;
  }
  value = parsed;
}

void DdxControl(DataExchange& dx, int id, Control& control) {
  if (dx.GetMode() == DataExchange::Mode::kBind) dx.Dlg().AttachControl(id, control);
}

void DdvMinMaxInt(DataExchange& dx, int value, int min, int max) {
  if (!dx.Saving() || dx.Failed()) return;
  if (value < min || value > max) {
    dx.Fail(FormatStandardMessage(kIdsParseIntRange, std::to_string(min), std::to_string(max)));
  }
}

void DdvMinMaxUInt(DataExchange& dx, unsigned value, unsigned min, unsigned max) {
  if (!dx.Saving() || dx.Failed()) return;
  if (value < min || value > max) {
    dx.Fail(FormatStandardMessage(kIdsParseIntRange, std::to_string(min), std::to_string(max)));
  }
}

void DdvMinMaxDouble(DataExchange& dx, double value, double min, double max) {
  if (!dx.Saving() || dx.Failed()) return;
  if (value < min || value > max) {
    dx.Fail(FormatStandardMessage(kIdsParseRealRange, FormatReal(min, DBL_DIG), FormatReal(max, DBL_DIG)));
  }
}

void DdvMaxChars(DataExchange& dx, const std::string& value, int max_chars) {
  if (dx.Failed() || dx.GetMode() == DataExchange::Mode::kBind) return;
  if (dx.Loading()) {
    // The limit goes to the field the exchange before this check worked on.
    if (auto* edit = dynamic_cast<Edit*>(dx.LastControl())) edit->SetLimitText(max_chars);
    return;
  }
  if (static_cast<int>(Utf8Length(value)) > max_chars) {
    dx.Fail(FormatStandardMessage(kIdsParseStringSize, std::to_string(max_chars)));
  }
}

}  // namespace win
