#include "core/gdt_link_service.h"

#include "dialogs/findings_dlg.h"
#include "document/zk470_doc.h"
#include "reports/parts/print_report.h"
#include "tools/gdt/gdt_file.h"

namespace {

// One TGDTFile per command, as the view makes and deletes the link.
class GdtFileLink : public GdtLink {
 public:
  explicit GdtFileLink(CZK470Doc& doc) : file_(doc, FindingsDiagnosisLines) {}

  bool SendResult() override { return file_.SendResult() != 0; }
  bool WriteRequest() override { return file_.RequestPatientData() != 0; }
  bool ReadAnswer(TPatientData& patient, TRecordingData&) override {
    return file_.ReadPatientData(patient) != 0;
  }
  bool ReadNewExamination(TPatientData& patient, TRecordingData&) override {
    return file_.ReadNewExamination(patient) != 0;
  }

 private:
  TGDTFile file_;
};

}  // namespace

std::unique_ptr<GdtLink> MakeGdtLink(CZK470Doc& doc) { return std::make_unique<GdtFileLink>(doc); }

std::optional<std::vector<std::string>> FindingsDiagnosisLines(CZK470Doc& doc) {
  // Hidden and without a parent, as for printing; the summary report part reads the field.
  TFindingsDlg dialog(&doc);
  if (!dialog.CreateModeless(nullptr, false)) return std::nullopt;
  TPrintReport report(0, &doc, nullptr);
  report.SetDialog(&dialog);
  std::optional<std::vector<std::string>> lines = report.FieldLines(TPrintReport::kDiagnosisControl);
  dialog.DestroyWindow();
  return lines;
}
