#include "recorder/service/zk131_test_dlg.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "document/record_format.h"
#include "document/zk470_doc.h"
#include "platform/cp1252.h"
#include "platform/io_error.h"
#include "recorder/recorder_blocks.h"
#include "recorder/recorder_clock.h"
#include "recorder/service/service_dialog_ui.h"
#include "recorder/service/service_test_data.h"

namespace {

using recorder::ServiceFamily;
using recorder::ServiceLabel;
using P = TRecorderProtocol;

struct CaptionRow {
  int id;
  const char* caption;
};

constexpr CaptionRow kCaptions[] = {
    {1412, "Reset"},
    {1413, "Power Off"},
    {1414, "Identification"},
    {1415, "Enter Setup"},
    {1416, "Exit Setup"},
    {1417, "Format MMC"},
    {1418, "Enter Monitor"},
    {1419, "Exit Monitor"},
    {1420, "Start Monitor"},
    {1421, "Start Record"},
    {1422, "Pacemaker On"},
    {1423, "Pacemaker Off"},
    {1424, "Enter Review"},
    {1425, "Exit Review"},
    {1426, "Start Review"},
    {1427, "PatientData"},
    {1428, "Set PatDat 1,2,3"},
    {1429, "Set RecDat"},
    {1430, "Get PatDat 1,2,3"},
    {1431, "Get RecDat"},
    {1432, "Get ECGData"},
    {1433, "Get Voice Data"},
    {1434, "Get Voice Events"},
    {1435, "Enter Test"},
    {1436, "Exit Test"},
    {1437, "Test SRAM"},
    {1438, "Test Flash"},
    {1439, "SRAM Data"},
    {1440, "Flash Data"},
    {1441, "Reset Status"},
    {1442, "Battery Status"},
    {1443, "MMC Status"},
    {1444, "MMC Size"},
    {1445, "Record Status"},
    {1446, "MMC Hours"},
    {1447, "xyz"},
    {1448, "Read RecordBlock REV"},
    {1449, "Stop Send"},
    {1450, "Read RecordBlock GetECGDat"},
    {1451, "Get ECG Len"},
    {1452, "Get Voice Len"},
    {1453, "Get VoiceEv Len"},
    {1454, "Set Rec Len"},
    {1455, "Set FlexBlk"},
    {1456, "Get FlexBlk"},
    {1457, "Set FileVers"},
    {1458, "Get FileVers"},
};

struct TextCommand {
  int id;
  const char* word;
  ServiceFamily family;
};

constexpr TextCommand kTextCommands[] = {
    {1412, "Reset\r", ServiceFamily::kZK130And131},   {1413, "POff\r", ServiceFamily::kZK130},
    {1415, "SET\r", ServiceFamily::kZK130},           {1416, "ExSET\r", ServiceFamily::kZK130},
    {1417, "MMCFormat\r", ServiceFamily::kZK131},     {1418, "MON\r", ServiceFamily::kZK130And131},
    {1419, "ExMON\r", ServiceFamily::kZK130And131},   {1420, "\x15", ServiceFamily::kZK130And131},
    {1421, "REC\r", ServiceFamily::kZK130And131},     {1422, "PMOn\r", ServiceFamily::kZK130And131},
    {1423, "PMOff\r", ServiceFamily::kZK130And131},   {1424, "REV\r", ServiceFamily::kZK130},
    {1425, "ExREV\r", ServiceFamily::kZK130},         {1426, "\x15", ServiceFamily::kZK130},
    {1432, "GetECGDat\r", ServiceFamily::kZK131},     {1433, "GetVoiceDat\r", ServiceFamily::kZK131},
    {1434, "GetVoiceEvent\r", ServiceFamily::kZK131}, {1435, "TST\r", ServiceFamily::kZK130},
    {1436, "ExTST\r", ServiceFamily::kZK130},         {1437, "SRAMTst\r", ServiceFamily::kZK130},
    {1438, "FFMTst\r", ServiceFamily::kZK130},        {1439, "TxSRAM\r", ServiceFamily::kZK130},
    {1440, "TxFFMB\r", ServiceFamily::kZK130},        {1441, "ResetStat\r", ServiceFamily::kZK131},
    {1447, "xyz\r", ServiceFamily::kZK131},           {1449, "StopSend\r", ServiceFamily::kZK131},
};

struct QueryCommand {
  int id;
  const char* word;
  ServiceFamily family;
  size_t answer_len;
};

constexpr QueryCommand kQueries[] = {
    {1414, "Ident\r", ServiceFamily::kZK131, P::kIdentAnswerSize},
    {1442, "BATStat\r", ServiceFamily::kZK131, P::kStatusAnswerSize},
    {1443, "MMCStat\r", ServiceFamily::kZK131, P::kStatusAnswerSize},
    {1444, "MMCSize\r", ServiceFamily::kZK131, P::kStatusAnswerSize},
    {1445, "RECStat\r", ServiceFamily::kZK131, P::kStatusAnswerSize},
    {1446, "MMCHour\r", ServiceFamily::kZK131, P::kStatusAnswerSize},
    {1451, "GetECGlen\r", ServiceFamily::kZK131, P::kLengthAnswerSize},
    {1452, "GetVoicLen\r", ServiceFamily::kZK131, P::kLengthAnswerSize},
    {1453, "GetVoicEvLen\r", ServiceFamily::kZK131, P::kLengthAnswerSize},
    {1458, "GetFileVers\r", ServiceFamily::kZK131From120, P::kLengthAnswerSize},
};

// The byte that starts a stream has no word to name it.
std::string TextLabel(std::string_view word, ServiceFamily family) {
  if (word == "\x15") return "NAK" + recorder::ServiceFamilySuffix(family);
  return ServiceLabel(word, family);
}

std::string Format(const char* format, long long value) {
  char text[128];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

uint32_t BigEndian32(std::span<const uint8_t> bytes) {
  return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
}

}  // namespace

TZK131TestDlg::TZK131TestDlg(CZK470Doc& document, recorder::ServiceDialogUi& ui,
                             const platform::Locale& locale, win::Window* parent)
    : TServiceTestDlg(kTemplateId, kLogId, kConfirmId, kClearLogId, document, ui, locale, parent) {
  AddCommandRange(kFirstCommandId, kLastCommandId, [this](int id) { RunCommand(id); });
}

std::string_view TZK131TestDlg::Caption(int id) {
  for (const CaptionRow& row : kCaptions)
    if (row.id == id) return row.caption;
  return {};
}

void TZK131TestDlg::RunCommand(int id) {
  const std::string caption(Caption(id));
  if (caption.empty()) return;
  BeginOperation(id, caption);
  if (session_.Connect(document_, true)) RunOperation(id);
  EndOperation(caption);
}

bool TZK131TestDlg::SendWord(std::string_view word, ServiceFamily family) {
  return session_.SendText(word, TextLabel(word, family), Confirm());
}

void TZK131TestDlg::RunOperation(int id) {
  for (const TextCommand& command : kTextCommands) {
    if (command.id == id) {
      SendWord(command.word, command.family);
      return;
    }
  }
  for (const QueryCommand& query : kQueries) {
    if (query.id == id) {
      StatusQuery(id);
      return;
    }
  }
  switch (id) {
    case 1427:
      ProgramZK130TestPatient();
      return;
    case 1428:
      SendTestPatientBlock();
      return;
    case 1429:
      SendTestRecordingBlock();
      return;
    case 1430:
      ShowPatientBlock();
      return;
    case 1431:
      ShowRecordingBlock();
      return;
    case 1448:
      ReadRecordBlock(true);
      return;
    case 1450:
      ReadRecordBlock(false);
      return;
    case 1454:
      SendRecLen();
      return;
    case 1455:
      SendFlexBlock();
      return;
    case 1456:
      GetFlexBlock();
      return;
    case 1457:
      SendFileVersion();
      return;
    default:
      return;
  }
}

void TZK131TestDlg::StatusQuery(int id) {
  const QueryCommand* query = nullptr;
  for (const QueryCommand& q : kQueries)
    if (q.id == id) query = &q;
  if (query == nullptr) return;
  std::vector<uint8_t> answer;
  const int result = session_.Query(P::Word(query->word), query->answer_len,
                                    ServiceLabel(query->word, query->family), answer);
  if (result != P::kQueryOk) return;
  CLogEdit& log = Log();
  switch (id) {
    case 1414: {
      const std::string_view text(reinterpret_cast<const char*>(answer.data()), answer.size());
      const std::string line = "Typ: -" + platform::Cp1252ToUtf8(text.substr(0, 7)) + "- Version: -" +
                               platform::Cp1252ToUtf8(text.substr(7, 9)) + "- Serial: -" +
                               platform::Cp1252ToUtf8(text.substr(16, 9)) + "-";
      log.AddLine(line);
      return;
    }
    case 1442:
      log.AddLine(Format("BatteryLife: %2lld h", P::ParseStatus(answer)));
      return;
    case 1443: {
      const int code = P::ParseStatus(answer);
      log.AddLine(code <= 9 ? P::CardStatusText(code) : std::string());
      return;
    }
    case 1444:
      log.AddLine(Format("Capacity MMC Card: %2lld MB", P::ParseStatus(answer)));
      return;
    case 1445:
      log.AddLine(P::RecordStatusText(P::ParseStatus(answer)));
      return;
    case 1446:
      log.AddLine(Format("Maximal available hours: %2lld h", P::ParseStatus(answer)));
      return;
    case 1451:
    case 1452:
    case 1453: {
      // The recorder's four bytes as the signed number they were always shown as; a set top bit
      // (no such data) reads negative.
      const auto value = static_cast<int32_t>(BigEndian32(answer));
      const char* format = id == 1451   ? "ECGlen: %lld Bytes"
                           : id == 1452 ? "Voiclen: %lld Bytes"
                                        : "VoicEvlen: %lld Bytes";
      log.AddLine(Format(format, value));
      return;
    }
    case 1458:
      log.AddLine(Format("FileVersion: %lld", static_cast<int32_t>(BigEndian32(answer))));
      return;
    default:
      return;
  }
}

void TZK131TestDlg::ReadRecordBlock(bool review) {
  if (review) {
    if (!SendWord("REV\r", ServiceFamily::kZK130)) return;
    recorder::Clock().SleepMs(250);
    if (!SendWord("\x15", ServiceFamily::kZK130)) return;
  } else {
    if (!SendWord("GetECGDat\r", ServiceFamily::kZK131)) return;
    recorder::Clock().SleepMs(250);
  }
  const std::vector<uint8_t> block = session_.Collect(P::kDataBlockSize, 2000);
  session_.LogDump(recorder::ServiceCountCaption("ReadRecordblock IN:", block.size()), block);
}

void TZK131TestDlg::ProgramZK130TestPatient() {
  recorder::Clock().SleepMs(300);
  if (!session_.SendText("PMOn\r", "PACEMAKER", Confirm())) return;
  recorder::Clock().SleepMs(200);
  TRecorderPatientRecord record = recorder::ServiceTestRecord(1, document_.GetClock());
  record.last_name = "Patient100 1";
  if (!session_.Send(P::PatientData(record), "PATIENTDATA kompl. (ZK-130)", Confirm())) return;
  recorder::Clock().SleepMs(500);
  if (!session_.SendText("REC\r", "RECORD", Confirm())) return;
  Log().AddLine("Recorder started !!!");
}

void TZK131TestDlg::SendTestPatientBlock() {
  const TRecorderBlocks::Block block =
      TRecorderBlocks::PackPatientBlock(recorder::ServiceTestPatientBlock(document_.GetClock()));
  session_.Send(P::WithData("SetPatDat\r", block), "SetPatDat kompl. (ZK-131)", Confirm());
}

void TZK131TestDlg::SendTestRecordingBlock() {
  const TRecorderBlocks::Block block =
      TRecorderBlocks::PackRecordingBlock(recorder::ServiceTestRecordingBlock());
  session_.Send(P::WithData("SetRecDat\r", block), "SetRecDat kompl. (ZK-131)", Confirm());
}

void TZK131TestDlg::ShowPatientBlock() {
  std::vector<uint8_t> answer;
  if (session_.Query(P::Word("GetPatDat\r"), P::kDataBlockSize,
                     ServiceLabel("GetPatDat\r", ServiceFamily::kZK131), answer) != P::kQueryOk)
    return;
  try {
    const TPatientBlockFields fields = TRecorderBlocks::UnpackPatientBlock(answer, document_.GetClock());
    for (const std::string& line : recorder::PatientBlockLines(fields, locale_)) Log().AddLine(line);
  } catch (const platform::IoError& error) {
    Log().AddLine(error.what());
  }
}

void TZK131TestDlg::ShowRecordingBlock() {
  std::vector<uint8_t> answer;
  if (session_.Query(P::Word("GetRecDat\r"), P::kDataBlockSize,
                     ServiceLabel("GetRecDat\r", ServiceFamily::kZK131), answer) != P::kQueryOk)
    return;
  try {
    const TRecordingBlockFields fields = TRecorderBlocks::UnpackRecordingBlock(answer, document_.GetClock());
    for (const std::string& line : recorder::RecordingBlockLines(fields, locale_)) Log().AddLine(line);
  } catch (const platform::IoError& error) {
    Log().AddLine(error.what());
  }
}

void TZK131TestDlg::SendRecLen() {
  static const std::vector<std::string> kItems = {"24", "48", "72", "23 (error) ?", "99 (error) ?"};
  constexpr std::array<int, 5> kHours = {24, 48, 72, 23, 99};
  const std::optional<int> chosen = ui_.ChooseItem("Hours", "Command SetRecLen ....", kItems);
  if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(kHours.size())) return;
  session_.Send(P::SetRecLen(kHours[static_cast<size_t>(*chosen)]),
                ServiceLabel("SetRecLen\r", ServiceFamily::kZK131From120), Confirm());
}

void TZK131TestDlg::SendFlexBlock() {
  static const std::vector<std::string> kBlocks = {"1", "2", "3", "50", "0  (error) ?", "51 (error) ?"};
  constexpr std::array<uint8_t, 6> kNumbers = {1, 2, 3, 50, 0, 51};
  static const std::vector<std::string> kPatterns = {"All 0", "All 1", "All 0xFF", "0..256, 0..256"};
  const std::optional<int> block = ui_.ChooseItem("Block", "Command SetFlexBlk ....", kBlocks);
  if (!block || *block < 0 || *block >= static_cast<int>(kNumbers.size())) return;
  const std::optional<int> pattern = ui_.ChooseItem("Pattern", "Command SetFlexBlk ....", kPatterns);
  if (!pattern || *pattern < 0 || *pattern >= static_cast<int>(kPatterns.size())) return;
  TRecorderBlocks::Block data{};
  for (size_t i = 0; i < data.size(); ++i) {
    switch (*pattern) {
      case 0:
        data[i] = 0x00;
        break;
      case 1:
        data[i] = 0x01;
        break;
      case 2:
        data[i] = 0xFF;
        break;
      default:
        data[i] = static_cast<uint8_t>(i & 0xFF);
        break;
    }
  }
  session_.Send(P::SetFlexBlk(kNumbers[static_cast<size_t>(*block)], data),
                ServiceLabel("SetFlexBlk\r", ServiceFamily::kZK131From120), Confirm());
}

void TZK131TestDlg::GetFlexBlock() {
  static const std::vector<std::string> kBlocks = {" 1", " 2", " 3", " 0 (error) ?", "51 (error) ?"};
  constexpr std::array<uint8_t, 5> kNumbers = {1, 2, 3, 0, 51};
  const std::optional<int> block = ui_.ChooseItem("Block", "Command GetFlexBlk ....", kBlocks);
  if (!block || *block < 0 || *block >= static_cast<int>(kNumbers.size())) return;
  std::vector<uint8_t> answer;
  if (session_.Query(P::GetFlexBlk(kNumbers[static_cast<size_t>(*block)]), P::kDataBlockSize,
                     ServiceLabel("GetFlexBlk\r", ServiceFamily::kZK131From120), answer) != P::kQueryOk)
    return;
  Log().AddLine(Format("Block: %lld", answer[0]));
  session_.LogDump(recorder::ServiceCountCaption("FlexBlk:", answer.size()), answer);
}

void TZK131TestDlg::SendFileVersion() {
  static const std::vector<std::string> kItems = {"0", "1", "2", "8", "99"};
  constexpr std::array<int, 5> kVersions = {0, 1, 2, 8, 99};
  const std::optional<int> chosen = ui_.ChooseItem("Version", "Command SetFileVers ....", kItems);
  if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(kVersions.size())) return;
  session_.Send(P::SetFileVers(kVersions[static_cast<size_t>(*chosen)]),
                ServiceLabel("SetFileVers\r", ServiceFamily::kZK131From120), Confirm());
}
