#pragma once

#include <string>
#include <vector>

class CZK470Doc;
struct ViewServices;

// One mail handed to the desktop's mail program: the program opens its own compose window with the
// subject and the files attached; the user picks the recipients and sends.
struct MailMessage {
  std::string subject;
  std::vector<std::string> attachments;  // full paths
};

// How the hand-over ended.
enum class MailOutcome {
  kHandedOver,
  kNoMailProgram,  // the desktop has no mail program set up
  kFailed,
};

struct MailResult {
  MailOutcome outcome = MailOutcome::kFailed;
  std::string detail;  // why it failed, for the message
};

// The desktop's mail program. Blocks the calling (user-interface) thread until it answers.
class MailProgram {
 public:
  virtual ~MailProgram() = default;
  virtual MailResult Send(const MailMessage& message) = 0;
};

// Through xdg-email on the search path, with a time-out.
class XdgEmailProgram : public MailProgram {
 public:
  static constexpr int kTimeoutMs = 120'000;
  MailResult Send(const MailMessage& message) override;
};

// The mail commands: the report as PDF (made first when a recording is open; an open PDF goes as it
// is) and the recording with its sample file. Both save pending edits first; the recording file is
// held again after every send.
void SendReportPdfByMail(CZK470Doc& doc, MailProgram& program);
void SendRecordingByMail(CZK470Doc& doc, MailProgram& program);

// Fills the two mail slots of services with the commands above over xdg-email.
void AddMailServices(ViewServices& services);
