#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace win {

class Control;
class Dialog;
class Window;

// Ids of the standard messages of data exchange (the framework's own string numbers).
inline constexpr int kIdsParseInt = 0xF110;
inline constexpr int kIdsParseReal = 0xF111;
inline constexpr int kIdsParseIntRange = 0xF112;
inline constexpr int kIdsParseRealRange = 0xF113;
inline constexpr int kIdsParseStringSize = 0xF114;
inline constexpr int kIdsParseRadioButton = 0xF115;
inline constexpr int kIdsParseByte = 0xF116;
inline constexpr int kIdsParseUInt = 0xF117;
inline constexpr int kIdsParseDateTime = 0xF118;

// One pass of data exchange between a dialog's members and its controls. Load fills the
// controls, save reads them back and checks them; a failed check shows the standard message,
// puts the focus on the control last worked on and stops the pass (later exchanges of the same
// pass do nothing). Bind is the pass before the controls exist: only DdxControl acts.
class DataExchange {
 public:
  enum class Mode { kLoad, kSave, kBind };

  DataExchange(Dialog& dialog, Mode mode) : dialog_(dialog), mode_(mode) {}
  Dialog& Dlg() { return dialog_; }
  Mode GetMode() const { return mode_; }
  bool Saving() const { return mode_ == Mode::kSave; }
  bool Loading() const { return mode_ == Mode::kLoad; }
  bool Failed() const { return failed_; }
  // Whether an exchange should act in this pass.
  bool Active() const { return !failed_ && mode_ != Mode::kBind; }

  // The control of id, remembered for Fail; nullptr when the dialog has none.
  Window* PrepareCtrl(int id);
  Window* PrepareEditCtrl(int id);
  // Shows message with an exclamation mark and OK, puts the focus on the last prepared control
  // (selecting an edit's text) and stops the pass.
  void Fail(std::string_view message);
  Window* LastControl() const { return last_control_; }

 private:
  Dialog& dialog_;
  Mode mode_;
  bool failed_ = false;
  Window* last_control_ = nullptr;
  bool last_is_edit_ = false;
};

// The message of id with "%1" (and "%2") replaced.
std::string FormatStandardMessage(int id, std::string_view first, std::string_view second = {});

// Text fields. Numbers are written as the platform writes them ("%d", 15 and 6 significant
// digits for double and float) and read with blanks around allowed and nothing else; a text that
// is not such a number (or does not fit the type) fails with the standard message.
void DdxText(DataExchange& dx, int id, std::string& value);
void DdxText(DataExchange& dx, int id, int& value);
void DdxText(DataExchange& dx, int id, unsigned& value);
void DdxText(DataExchange& dx, int id, int16_t& value);
void DdxText(DataExchange& dx, int id, uint8_t& value);
void DdxText(DataExchange& dx, int id, double& value);
void DdxText(DataExchange& dx, int id, float& value);
// Check boxes: 0, 1 or 2.
void DdxCheck(DataExchange& dx, int id, int& value);
// The radio group that begins with first_id: the index of the checked button, -1 for none.
void DdxRadio(DataExchange& dx, int first_id, int& value);
void DdxCBIndex(DataExchange& dx, int id, int& index);
// Loading chooses the first entry that begins with value (or sets the edit text); saving reads
// the edit text, or the chosen entry's text for a drop-down list.
void DdxCBString(DataExchange& dx, int id, std::string& value);
void DdxCBStringExact(DataExchange& dx, int id, std::string& value);
void DdxLBIndex(DataExchange& dx, int id, int& index);
void DdxLBString(DataExchange& dx, int id, std::string& value);
void DdxSlider(DataExchange& dx, int id, int& pos);
// none: the field holds no valid time.
void DdxDateTimeCtrl(DataExchange& dx, int id, std::optional<platform::LocalDateTime>& value);
// Binds a member control object to the template's control id (see Dialog::AttachControl).
void DdxControl(DataExchange& dx, int id, Control& control);

// Checks; they act when saving, on the value the exchange just read.
void DdvMinMaxInt(DataExchange& dx, int value, int min, int max);
void DdvMinMaxUInt(DataExchange& dx, unsigned value, unsigned min, unsigned max);
void DdvMinMaxDouble(DataExchange& dx, double value, double min, double max);
// Also acts when loading: the last edit takes max_chars as its limit.
void DdvMaxChars(DataExchange& dx, const std::string& value, int max_chars);

}  // namespace win
