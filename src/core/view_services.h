#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CZK470Doc;
class TPatientData;
class TRecordingData;

// One exchange with the practice software over GDT files, made for one command and deleted after
// it. Each operation answers whether its file was written or read.
class GdtLink {
 public:
  virtual ~GdtLink() = default;
  // The examination result record.
  virtual bool SendResult() = 0;
  // The request for the patient's data.
  virtual bool WriteRequest() = 0;
  // The practice software's answer to the request.
  virtual bool ReadAnswer(TPatientData& patient, TRecordingData& recording) = 0;
  // A new-examination record that waits in the exchange folder.
  virtual bool ReadNewExamination(TPatientData& patient, TRecordingData& recording) = 0;
};

// What the main view's commands need of the subsystems that copy, compare, exchange and mail
// recordings. Installed by those subsystems at start-up; a command whose slot is empty stays
// disabled. User-interface thread only.
struct ViewServices {
  // The archive copy dialog on the document with copy mode 0 (this recording) or 1 (every changed
  // recording); 0 when the run went through, -1 when a copy or space check failed, the run was
  // cancelled or nothing needed copying.
  std::function<int(CZK470Doc&, int copy_mode)> archive_copy;
  // The archive copy dialog on the recordings chosen in the recording browser, copy mode 2 (to the
  // archive) or 3 (back from it); 0 or -1 as above.
  std::function<int(CZK470Doc&, int copy_mode, const std::vector<std::string>& recordings)>
      archive_copy_chosen;
  // The validation statistics: the annotation comparisons (AHA 32814, MIT 32842) and the ST-T
  // comparison (32951), by command.
  std::function<void(CZK470Doc&, int command)> validation_statistic;
  std::function<std::unique_ptr<GdtLink>(CZK470Doc&)> gdt_link;
  // Mail: the report as PDF (33213) and the recording (33214).
  std::function<void(CZK470Doc&)> send_report_pdf;
  std::function<void(CZK470Doc&)> send_recording;
};

void InstallViewServices(ViewServices services);
const ViewServices& GetViewServices();

// Whether the mail program (xdg-email) lies on the search path. Looked for once per run; the
// answer stays until the process state is reset.
bool IsMailProgramAvailable();
