// The main view's export of the narrative letters as RTF files into a folder the user picks.
#include "core/zk470_view_letter_export.h"

#include <string>

#include "core/zk470_view.h"
#include "dialogs/select_folder_dialog.h"
#include "document/patient_data.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "reports/copy_file_ask.h"
#include "reports/narrative_letter.h"
#include "reports/rr_export.h"
#include "trends/report_values.h"
#include "win/dialog.h"
#include "win/window.h"

std::string LetterExportBaseName(const TPatientData& patient, const TRecordingData& recording) {
  return ExportFileNamePart(patient.first_name + " " + patient.surname + " " + recording.GetStartDateText() +
                            " " + recording.GetStartTimeText() + " ");
}

int RunLetterExport(CZK470Doc& doc) {
  CSelectFolderDialog folder_dialog("Export To", doc.GetExportDirectory(),
                                    "Rich Text Format files (*.rtf)|*.rtf||", win::Windows().MainWindow(),
                                    "Export");
  if (folder_dialog.DoModal() != win::kIdOk) return 0;
  const TPatientData& patient = doc.GetPatientData();
  const std::string base = folder_dialog.GetFolder() + LetterExportBaseName(patient, doc.GetRecordingData());
  const bool letter_form = patient.letter_switches[13] != 0;
  TReportValues values(doc);
  CNarrativeLetter letter(&doc, &values);
  int number = 1;
  int written = 0;
  for (int kind = 0; kind < CNarrativeLetter::kRecipients; ++kind) {
    if (patient.letter_switches[static_cast<size_t>(kLetterSwitchOfKind[static_cast<size_t>(kind)])] == 0)
      continue;
    const std::string temp = letter.CreateLetter(kind, letter_form, false, false);
    // The number counts the letters asked for, so a failed one leaves its gap.
    const std::string target = base + std::to_string(number++) + ".rtf";
    if (temp.empty()) continue;
    written += CopyFileAsk(temp, target);
    DeleteNarrativeLetterFile(temp);
  }
  return written;
}

void CZK470View::AddLetterExportCommands() {
  AddCommand(export_cmd::kLetterExport, [this] { (void)RunLetterExport(Doc()); });
  AddUpdate(export_cmd::kLetterExport, [this](win::CmdUI& ui) { ui.Enable(UsualRule()); });
}
