#include "recorder/recorder_programmer.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/progress_window.h"
#include "document/record_format.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "recorder/recorder_blocks.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_protocol.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

constexpr const char* kUnknownRecorderText = "HolterTyp unbekannt!";
constexpr const char* kFormatCaption = "SD-Card";

// Card states of "MMCStat\r".
constexpr int kCardReady = 1;
constexpr int kCardNotFormatted = 4;
constexpr int kCardFormatting = 6;

// The ZK-131's texts as the device search keeps them.
constexpr size_t kTypeText = 1;
constexpr size_t kVersionText = 2;
constexpr size_t kSerialText = 3;

std::string Caption() { return win::Windows().AppTitle(); }

void ShowMessage(const std::string& text, unsigned style) {
  (void)win::CurrentPrompt().MessageBox(text, Caption(), style);
}

int CardStatusString(int status) {
  switch (status) {
    case 0:
      return TRecorderProgrammer::kNoCardString;
    case 2:
      return TRecorderProgrammer::kWriteProtectedString;
    case 3:
      return TRecorderProgrammer::kInitErrorString;
    case 5:
      return TRecorderProgrammer::kNotFormattedProtectedString;
    case 6:
      return TRecorderProgrammer::kCardBusyString;
    case 8:
      return TRecorderProgrammer::kRecordingActiveString;
    case 9:
      return TRecorderProgrammer::kUnknownErrorString;
    default:
      return 0;
  }
}

std::string Formatted(int string_id, int value) {
  const std::string format = platform::LoadString(string_id);
  char text[512];
  std::snprintf(text, sizeof text, "%s %d", format.c_str(), value);
  return text;
}

}  // namespace

int TRecorderProgrammer::AgeInYears(const platform::OleDateTime& birth_date,
                                    const platform::LocalDateTime& today) {
  const std::optional<platform::LocalDateTime> birth = document::ToLocalDateTime(birth_date);
  if (!birth) return 0;
  int age = today.year - birth->year;
  if (today.year != birth->year &&
      (today.month < birth->month || (today.month == birth->month && today.day < birth->day))) {
    --age;
  }
  return age;
}

std::string TRecorderProgrammer::ConfirmationText(int battery_hours, int capacity_mb) {
  const std::string format = platform::LoadString(kConfirmString);
  char head[1024];
  std::snprintf(head, sizeof head, format.c_str(), battery_hours, capacity_mb);
  std::string text = head;
  if (capacity_mb <= kSmallCardMb) text += "\n\n" + platform::LoadString(kSmallCardString);
  for (const int id : {kConfirmNote1String, kConfirmNote2String, kConfirmNote3String})
    text += "\n\n" + platform::LoadString(id);
  return text;
}

bool TRecorderProgrammer::Run() {
  win::Windows().BeginWaitCursor();
  recorder::Clock().SleepMs(kStartPauseMs);
  bool ok = link_ != nullptr && link_->IsOpen() && CheckCardAndBattery();
  if (ok) {
    const bool pacemaker = doc_.GetRecordingData().pacemaker_recording != 0;
    ok = Send(pacemaker ? "PMOn\r" : "PMOff\r", true);
  }
  if (ok) {
    recorder::Clock().SleepMs(kStepPauseMs);
    ok = SendPatientData();
  }
  if (ok) {
    recorder::Clock().SleepMs(kStepPauseMs);
    ok = StartRecording();
  }
  win::Windows().EndWaitCursor();
  return ok;
}

bool TRecorderProgrammer::Send(const TRecorderCommand& command, bool confirm) {
  return recorder::SendCommand(*link_, command, confirm) > 0;
}

bool TRecorderProgrammer::Send(std::string_view word, bool confirm) {
  return Send(TRecorderProtocol::Word(word), confirm);
}

std::optional<uint16_t> TRecorderProgrammer::QueryStatus(std::string_view word) {
  std::vector<uint8_t> answer;
  if (link_->Query(word, TRecorderProtocol::kStatusAnswerSize, answer, 0) !=
          recorder::RecorderLink::kQueryOk ||
      answer.size() < TRecorderProtocol::kStatusAnswerSize) {
    return std::nullopt;
  }
  return TRecorderProtocol::ParseStatus(answer);
}

bool TRecorderProgrammer::AskRetry(const std::string& text) {
  return win::CurrentPrompt().MessageBox(text, Caption(), win::kMbRetryCancel | win::kMbIconExclamation) ==
         win::kIdRetry;
}

bool TRecorderProgrammer::CheckCardAndBattery() {
  const int kind = doc_.GetRecorderIdentification().recorder_kind;
  if (kind == TRecorderProtocol::kKindZK130 || kind == TRecorderProtocol::kKindZK133) return true;
  if (kind != TRecorderProtocol::kKindZK131) {
    ShowMessage(kUnknownRecorderText, win::kMbOk | win::kMbIconExclamation);
    return false;
  }
  for (;;) {
    // The card.
    (void)Send("ResetStat\r", true);
    const std::optional<uint16_t> card = QueryStatus("MMCStat\r");
    if (!card) {
      if (!AskRetry(platform::LoadString(kCardStatusFailedString))) return false;
      continue;
    }
    if (*card == kCardNotFormatted) {
      const std::optional<bool> again = FormatCard();
      if (!again) return false;
      continue;
    }
    if (*card != kCardReady) {
      const int id = CardStatusString(*card);
      if (!AskRetry(id != 0 ? platform::LoadString(id) : Formatted(kOtherStatusString, *card))) return false;
      continue;
    }

    // The battery: a failed query asks as the card's queries do instead of repeating for ever.
    std::optional<uint16_t> battery;
    for (;;) {
      battery = QueryStatus("BATStat\r");
      if (!battery) {
        if (!AskRetry(platform::LoadString(kBatteryFailedString))) return false;
        continue;
      }
      if (*battery == 0) {
        if (!AskRetry(platform::LoadString(kBatteryEmptyString))) return false;
        continue;
      }
      break;
    }

    // The capacity: Retry asks again.
    std::optional<uint16_t> capacity;
    for (;;) {
      capacity = QueryStatus("MMCSize\r");
      if (capacity) break;
      if (!AskRetry(platform::LoadString(kCapacityFailedString))) return false;
    }

    const int answer = win::CurrentPrompt().MessageBox(ConfirmationText(*battery, *capacity), Caption(),
                                                       win::kMbYesNoCancel | win::kMbIconQuestion);
    if (answer == win::kIdYes) return true;
    if (answer != win::kIdNo) return false;
  }
}

std::optional<bool> TRecorderProgrammer::FormatCard() {
  if (!AskRetry(platform::LoadString(kNotFormattedString))) return std::nullopt;
  while (!Send("MMCFormat\r", true)) {
    if (!AskRetry(platform::LoadString(kFormatRefusedString))) return std::nullopt;
  }
  bool cancelled = false;
  {
    CProgressWindow progress;
    progress.BeginModal(kFormatCaption, true);
    progress.SetRange(0, kFormatSteps, 1);
    progress.SetText("%s", platform::LoadString(kFormattingString).c_str());
    for (int i = 0; i < kFormatSteps; ++i) {
      progress.SetPos(i);
      recorder::Clock().SleepMs(kFormatStepMs);
      if (progress.PumpMessages(true) != 0 && progress.IsCancelled()) {
        cancelled = true;
        break;
      }
    }
  }
  if (!cancelled) {
    (void)Send("ResetStat\r", true);
    const std::optional<uint16_t> status = QueryStatus("MMCStat\r");
    // The answer changes nothing: the card is examined again from its status.
    if (!status)
      (void)AskRetry(platform::LoadString(kFormatStatusFailedString));
    else if (*status == kCardFormatting)
      (void)AskRetry(platform::LoadString(kStillFormattingString));
  }
  return true;
}

bool TRecorderProgrammer::SendPatientData() {
  const platform::LocalDateTime now = doc_.GetClock().Now();
  TPatientData& patient = doc_.GetPatientData();
  TRecordingData& recording = doc_.GetRecordingData();
  const CZK470Doc::RecorderIdentification& id = doc_.GetRecorderIdentification();
  recording.start_date = document::OleDateOnly(now);
  recording.start_time = document::OleTimeOnly(now);

  switch (id.recorder_kind) {
    case TRecorderProtocol::kKindZK130:
    case TRecorderProtocol::kKindZK133: {
      TRecorderPatientRecord record;
      record.last_name = patient.surname;
      record.first_name = patient.first_name;
      record.pat_id = patient.patient_id;
      record.date_of_birth = patient.birth_date.days;
      record.sex = patient.sex;
      record.height = patient.height;
      record.weight = patient.weight;
      record.pace_maker = patient.pacemaker != 0;
      record.start_date = recording.start_date.days;
      record.start_time = recording.start_time.days;
      record.pace_maker_detection = recording.pacemaker_recording != 0;
      // Confirmed: a recorder that missed the record would start with no patient.
      if (!Send("PDat\r", true)) return false;
      recorder::Clock().SleepMs(kRecordPauseMs);
      return Send(TRecorderCommand{TRecorderProtocol::EncodePatientRecord(record), {}}, true);
    }
    case TRecorderProtocol::kKindZK131: {
      TPatientBlockFields fields = TRecorderBlocks::PatientFieldsFromRecord(patient, doc_.GetClock());
      fields.age = AgeInYears(patient.birth_date, now);
      fields.race = 1;
      fields.pace_maker_type.clear();
      fields.pace_maker_act_date = document::OleDateOnly(now);
      const TRecorderBlocks::Block patient_block = TRecorderBlocks::PackPatientBlock(fields);
      if (!Send(TRecorderProtocol::WithData("SetPatDat\r", patient_block), true)) return false;

      if (id.flag != 0) {
        if (!Send(TRecorderProtocol::SetFileVers(kFileVersion), true)) return false;
        const TRecorderBlocks::Block address = TRecorderBlocks::PackAddressBlock(
            kFileVersion, {patient.address, patient.telephone, patient.station});
        if (!Send(TRecorderProtocol::SetFlexBlk(kAddressBlockNumber, address), true)) return false;
      }

      TRecordingBlockFields recording_fields = TRecorderBlocks::RecordingFieldsFromRecord(
          recording, id.texts[kTypeText], id.texts[kVersionText], id.texts[kSerialText]);
      recording_fields.recording_type = kRecordingType;
      recording_fields.recording_morning = {0, 7.0 / 24.0};
      recording_fields.recording_evening = {0, 22.0 / 24.0};
      const TRecorderBlocks::Block recording_block = TRecorderBlocks::PackRecordingBlock(recording_fields);
      return Send(TRecorderProtocol::WithData("SetRecDat\r", recording_block), true);
    }
    default:
      ShowMessage(kUnknownRecorderText, win::kMbOk | win::kMbIconExclamation);
      return false;
  }
}

bool TRecorderProgrammer::StartRecording() {
  const CZK470Doc::RecorderIdentification& id = doc_.GetRecorderIdentification();
  if (id.recorder_kind != TRecorderProtocol::kKindZK131) return Send("REC\r", true);

  if (id.flag != 0 && !Send(TRecorderProtocol::SetRecLen(doc_.GetRecordingData().programmed_length), true))
    return false;
  if (!Send("REC\r", true)) return false;
  const int64_t start = recorder::Clock().TickMs();
  while (recorder::Clock().TickMs() - start < kRecordStartLimitMs) {
    (void)Send("ResetStat\r", true);
    const std::optional<uint16_t> status = QueryStatus("RECStat\r");
    if (!status || *status > 1) return false;
    if (*status == 1) return true;
  }
  return false;
}
