#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/archive.h"
#include "platform/clock.h"

class CZK470Doc;
struct TRecorderCommand;
namespace recorder {
class RecorderLink;
}

// Programs the connected recorder with the document's patient and recording and starts the
// recording: one fixed-column record for the two-channel family, the card and battery check and
// the 512-byte blocks for the card recorder. The document's start date and time become the
// moment of programming. Runs synchronously on the user-interface thread; every wait goes through
// recorder::Clock(), every question through win::CurrentPrompt(). The link is not owned.
class TRecorderProgrammer {
 public:
  // Card status messages and the card recorder's questions.
  static constexpr int kNoCardString = 33251;
  static constexpr int kWriteProtectedString = 33252;
  static constexpr int kInitErrorString = 33253;
  static constexpr int kNotFormattedString = 33254;
  static constexpr int kFormatRefusedString = 33255;
  static constexpr int kFormattingString = 33256;
  static constexpr int kStillFormattingString = 33257;
  static constexpr int kFormatStatusFailedString = 33258;
  static constexpr int kNotFormattedProtectedString = 33259;
  static constexpr int kCardBusyString = 33260;
  static constexpr int kRecordingActiveString = 33261;
  static constexpr int kUnknownErrorString = 33262;
  static constexpr int kOtherStatusString = 33263;
  static constexpr int kCardStatusFailedString = 33264;
  static constexpr int kBatteryEmptyString = 33265;
  static constexpr int kConfirmString = 33266;
  static constexpr int kCapacityFailedString = 33267;
  static constexpr int kSmallCardString = 33271;
  static constexpr int kConfirmNote1String = 33272;
  static constexpr int kConfirmNote2String = 33273;
  static constexpr int kConfirmNote3String = 33274;
  static constexpr int kBatteryFailedString = 33245;

  static constexpr int kRecordingType = 7;
  static constexpr int kFileVersion = 2;
  static constexpr uint8_t kAddressBlockNumber = 1;
  static constexpr int kSmallCardMb = 32;
  static constexpr int kStepPauseMs = 200;
  static constexpr int kRecordPauseMs = 500;
  static constexpr int kStartPauseMs = 300;
  static constexpr int kRecordStartLimitMs = 2000;
  static constexpr int kFormatSteps = 100;
  static constexpr int kFormatStepMs = 100;

  TRecorderProgrammer(CZK470Doc& doc, recorder::RecorderLink* link) : doc_(doc), link_(link) {}

  // True when the recorder took everything and started.
  [[nodiscard]] bool Run();

  // Whole years from the birth date to today, one less before the birthday in today's year.
  static int AgeInYears(const platform::OleDateTime& birth_date, const platform::LocalDateTime& today);
  // The confirmation text of the card check.
  static std::string ConfirmationText(int battery_hours, int capacity_mb);

 private:
  bool CheckCardAndBattery();
  // nullopt: the user cancelled; true: examine the card again.
  std::optional<bool> FormatCard();
  bool SendPatientData();
  bool StartRecording();

  bool Send(const TRecorderCommand& command, bool confirm);
  bool Send(std::string_view word, bool confirm);
  std::optional<uint16_t> QueryStatus(std::string_view word);
  // Retry (true) or Cancel.
  bool AskRetry(const std::string& text);

  CZK470Doc& doc_;
  recorder::RecorderLink* link_;
};
