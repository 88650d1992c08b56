#include "dialogs/findings_dlg.h"

#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "win/data_exchange.h"

TFindingsDlg::TFindingsDlg(CZK470Doc* document) : win::Dialog(kTemplateId), document(document) {
  if (document == nullptr) return;
  const TRecordingData& record = document->GetRecordingData();
  texts = {record.assignment_heading, record.assignment_text, record.medication, record.diagnosis,
           record.recording_text2};
}

TFindingsDlg::TFindingsDlg(win::Window* parent) : win::Dialog(kTemplateId, parent) {}

void TFindingsDlg::DoDataExchange(win::DataExchange& dx) {
  for (size_t i = 0; i < texts.size(); ++i) {
    win::DdxText(dx, kTextIds[i], texts[i]);
    win::DdvMaxChars(dx, texts[i], kLimits[i]);
  }
}
