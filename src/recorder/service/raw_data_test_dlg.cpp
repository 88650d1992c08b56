#include "recorder/service/raw_data_test_dlg.h"

#include <algorithm>
#include <cstdio>

#include "common/progress_window.h"
#include "document/record_format.h"
#include "platform/io_error.h"
#include "recorder/raw/raw_image_writer.h"
#include "recorder/recorder_blocks.h"
#include "win/controls.h"
#include "win/data_exchange.h"
#include "win/prompt.h"

namespace {

platform::OleDateTime OleDate(int year, int month, int day, int hour = 0) {
  return document::ToOleDateTime(platform::LocalDateTime{year, month, day, hour, 0, 0, 0});
}

platform::OleDateTime OleTime(int hour) { return {0, hour / 24.0}; }

std::string WithPath(const char* format, const std::filesystem::path& path) {
  const std::string text = path.string();
  std::vector<char> buffer(text.size() + 64);
  std::snprintf(buffer.data(), buffer.size(), format, text.c_str());
  return buffer.data();
}

}  // namespace

TRawDataTestDlg::TRawDataTestDlg(CZK470Doc& document, win::Window* parent)
    : win::Dialog(kTemplateId, parent), document_(document) {}

bool TRawDataTestDlg::OnInitDialog() {
  length = 32768;
  with_error = 0;
  error_position = 3;
  win::Dialog::OnInitDialog();
  for (const int id : {kLengthId, kErrorPositionId})
    if (auto* edit = Item<win::Edit>(id)) edit->SetLimitText(kMaxDigits);
  return true;
}

void TRawDataTestDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kLengthId, length);
  win::DdxCheck(dx, kWithErrorId, with_error);
  win::DdxText(dx, kErrorPositionId, error_position);
}

std::string TRawDataTestDlg::Validate() const {
  if (length < kMinLength || length > kMaxLength) return "Err: Length 512..60.808 KB (= 62.267.392)";
  if (with_error != 0 && (error_position < 0 || error_position >= length))
    return "Err: ErrorPos 0.. (Length)";
  return {};
}

void TRawDataTestDlg::OnOK() {
  if (!UpdateData(true)) return;
  if (const std::string refused = Validate(); !refused.empty()) {
    win::CurrentPrompt().MessageBox(refused, "ZK-470", win::kMbOk | win::kMbIconExclamation);
    return;
  }
  EndDialog(win::kIdOk);
}

int CreateRawTestImage(const std::filesystem::path& target, uint32_t length, std::string& result_text) {
  TPatientBlockFields patient;
  patient.pat_nr = "134";
  patient.last_name = "TestLastName";
  patient.first_name = "TestPatNr";
  patient.date_of_birth = OleDate(1949, 4, 1);
  patient.age = 65;
  patient.race = 1;
  patient.sex = 1;
  patient.height = 201.0;
  patient.weight = 99.0;
  patient.pace_maker = 1;
  patient.pace_maker_act_date = OleDate(1961, 1, 1);
  TRecordingBlockFields recording;
  recording.recording_date = OleDate(2003, 2, 1);
  recording.recording_time = OleTime(7);
  recording.recording_type = 7;
  recording.dev_type = "ZK-131";
  recording.dev_version = "0.99b";
  recording.dev_serial = "123";
  recording.recording_pace_maker = 1;
  recording.recording_morning = OleTime(7);
  recording.recording_evening = OleTime(22);
  const TRecorderBlocks::Block patient_block = TRecorderBlocks::PackPatientBlock(patient);
  const TRecorderBlocks::Block recording_block = TRecorderBlocks::PackRecordingBlock(recording);

  CProgressWindow progress;
  progress.BeginModal("Writing...", true);
  progress.SetText("Creating Files....");
  bool range_set = false;
  const auto chunk_done = [&](int done, int count) {
    if (!range_set) {
      progress.SetRange(0, count, 1);
      range_set = true;
    }
    progress.SetPos(done);
    progress.PumpMessages(true);
    return !progress.IsCancelled();
  };
  try {
    const recorder::TRawImageWriter writer(patient_block, recording_block);
    if (!writer.WriteZeros(target, length, chunk_done)) {
      result_text = "Action was cancelled !";
      return 0;
    }
  } catch (const platform::IoError&) {
    result_text = WithPath("Error writing RawFile %s !", target);
    return 0;
  }
  return 1;
}
