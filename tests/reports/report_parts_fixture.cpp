#include "reports/report_parts_fixture.h"

#include <map>

#include "document/document_strings.h"
#include "document/patient_data.h"
#include "document/profile_keys.h"
#include "document/recording_data.h"
#include "gfx/canvas.h"
#include "reports/printer_base.h"
#include "reports/report_part_resources.h"
#include "reports/reports_context.h"
#include "support/test_files.h"
#include "support/test_recordings.h"

namespace reporttest {

gfx::DeviceInfo PrinterDevice() {
  gfx::DeviceInfo device;
  device.width_px = 4960;
  device.height_px = 7016;
  device.dpi_x = 600;
  device.dpi_y = 600;
  device.width_mm = 210;
  device.height_mm = 297;
  return device;
}

void ReportPartTest::SetUp() {
  platform::Resources().Reset();
  platform::ResourcePack& own = platform::Resources().ExePack();
  own.AddStrings(document::DocumentStrings());
  own.AddStrings(kSharedStrings);
  AddReportPartResources(own);
  SetPrintLocale(&locale_);
  SetMonochromePrinting(false);
  doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
  info_.current_page = 3;
  info_.max_page = 12;
}

void ReportPartTest::TearDown() {
  doc_.reset();
  SetMonochromePrinting(false);
  SetPrintLocale(nullptr);
  platform::Resources().Reset();
}

void ReportPartTest::FillPatient() {
  TPatientData& patient = doc_->GetPatientData();
  patient.first_name = "Jürgen";
  patient.surname = "Müßig";
  patient.patient_id = "4711-B";
  patient.birth_date = {0, 22000.0};  // 25 March 1960
  patient.sex = 2;
  patient.pacemaker = 1;
  patient.weight = 72.5;
  patient.height = 0.0;
  patient.station = "K3";
  TRecordingData& recording = doc_->GetRecordingData();
  recording.start_date = {0, 46082.0};  // 1 March 2026
  recording.start_time = {0, 0.4375};   // 10:30
  recording.analysing_program = "ZK-470 2.04";
  recording.analysis_engine = "Engine 5.1";
  doc_->GetSettings().SetText(SettingKey::kUserName, "Cardiology Practice Dr. Weber");
}

void ReportPartTest::OpenRecording(int minutes) {
  static std::map<int, std::filesystem::path> made;
  static const testsupport::TempFolder folder("report_parts");
  auto found = made.find(minutes);
  if (found == made.end()) {
    const std::filesystem::path base = folder.Path() / std::to_string(minutes) / "00001";
    std::filesystem::create_directories(base.parent_path());
    found = made.emplace(minutes, coretest::MakeAnalysedRecording(base, minutes, 2)).first;
  }
  doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
  ASSERT_TRUE(doc_->OnOpenDocument(found->second.string()));
}

void ReportPartTest::PreparePage(gfx::Canvas& dc) {
  dc.SetMapMode(gfx::MapMode::kHiMetric);
  dc.SetBkMode(gfx::BkMode::kTransparent);
}

}  // namespace reporttest
