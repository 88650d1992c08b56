#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "document/zk470_doc.h"

namespace platform {
class ResourcePack;
}

namespace recorder {

// Results of the identification and the search, besides the recorder kinds 2, 3 and 4.
inline constexpr int kNotOpened = 0;
inline constexpr int kNoLink = 1;
inline constexpr int kNotIdentified = 9;

// What an automation run asks for around a new-recording or read-recorder command: 0 any
// recorder, 1 one on the interface card, 3 a ZK-130 or ZK-133 on the USB converter, 4 a ZK-131
// on USB. Process-wide; set by the command and put back to 0 after it. User-interface thread.
inline constexpr int kRequestAny = 0;
inline constexpr int kRequestCard = 1;
inline constexpr int kRequestConverter = 3;
inline constexpr int kRequestZK131 = 4;
int GetRequestedRecorder();
void SetRequestedRecorder(int request);

// Named access to the current-recorder values that the search leaves in the document: recorder
// kind, device name, type, firmware version, serial number and the 72-hour capability.
class CurrentRecorder {
 public:
  explicit CurrentRecorder(CZK470Doc& doc) : id_(doc.GetRecorderIdentification()) {}
  int Kind() const { return id_.recorder_kind; }
  void SetKind(int kind) { id_.recorder_kind = kind; }
  std::string& DeviceName() { return id_.texts[0]; }
  std::string& RecorderType() { return id_.texts[1]; }
  std::string& FirmwareVersion() { return id_.texts[2]; }
  std::string& SerialNumber() { return id_.texts[3]; }
  bool Has72HourCapability() const { return id_.flag != 0; }
  void Set72HourCapability(bool on) { id_.flag = on ? 1 : 0; }

 private:
  CZK470Doc::RecorderIdentification& id_;
};

// The dialogs of the search. The program installs one over its real dialogs; tests install a
// scripted one. User-interface thread only.
class RecorderSearchUi {
 public:
  enum class Pick { kChosen, kCancelled, kSearchAgain };
  struct Choice {
    Pick pick = Pick::kCancelled;
    int index = -1;  // into the texts offered, with kChosen
  };

  virtual ~RecorderSearchUi() = default;
  // A message box with OK; icon: win::kMbIcon*.
  virtual void ShowMessage(std::string_view text, unsigned icon) = 0;
  // A question with Retry and Cancel (information icon); true for Retry.
  virtual bool AskRetry(std::string_view text) = 0;
  // The communication-error dialog; true for Retry.
  virtual bool AskRetryAfterCommError() = 0;
  // The list of usable recorders (title string 33268, text string 33269).
  virtual Choice ChooseRecorder(const std::vector<std::string>& entries) = 0;
  // The modeless status window while the search runs.
  virtual void ShowStatus(std::string_view title, std::string_view text) = 0;
  virtual void CloseStatus() = 0;
};

// nullptr puts back the default, which has no user: messages go to win::CurrentPrompt(), every
// question is answered Cancel, the status window is a TSearchStatusDlg. Not owned.
void SetRecorderSearchUi(RecorderSearchUi* ui);
RecorderSearchUi& SearchUi();

// Answers from queues (Cancel when a queue is empty) and records what was shown, one line each:
// "message: <text>", "retry: <text>", "comm error", "choose: a|b", "status: <title>|<text>",
// "status closed".
class ScriptedRecorderSearchUi : public RecorderSearchUi {
 public:
  void QueueRetry(bool retry) { retries_.push_back(retry); }
  void QueueCommErrorRetry(bool retry) { comm_retries_.push_back(retry); }
  void QueueChoice(Choice choice) { choices_.push_back(choice); }
  const std::vector<std::string>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }

  void ShowMessage(std::string_view text, unsigned icon) override;
  bool AskRetry(std::string_view text) override;
  bool AskRetryAfterCommError() override;
  Choice ChooseRecorder(const std::vector<std::string>& entries) override;
  void ShowStatus(std::string_view title, std::string_view text) override;
  void CloseStatus() override;

 private:
  std::deque<bool> retries_;
  std::deque<bool> comm_retries_;
  std::deque<Choice> choices_;
  std::vector<std::string> log_;
};

// The document's link: made by an identification, used, deleted before it returns. These two
// talk to it while it is open. Text: the command as sent ("Reset\r").
int SendRecorderText(CZK470Doc& doc, std::string_view text, bool wait_echo);
// The link's Query; -1 when no link is open.
int QueryRecorder(CZK470Doc& doc, std::string_view command, size_t answer_len, std::vector<uint8_t>& answer,
                  int delay_ms);

// "Reset\r" to an open link, a beep and the communication-error dialog; 0 for Retry, else 1.
int ResetRecorderAfterError(CZK470Doc& doc);

// Identifies a ZK-131 by "Ident\r" and stores type, version, serial and the 72-hour capability
// in the current-recorder values (version and serial "N/A" until read). 4 identified; 0 not
// identified or not opened; 1 no link for this interface.
int IdentifyZK131(CZK470Doc& doc, int interface_kind, uint32_t mode_word, const std::string& device,
                  bool show_error, bool long_delay);

// Identifies the recorder behind a device: "Ident\r" first with try_ident, then the head of the
// review stream. 4 ZK-131, 2 ZK-130, 3 ZK-133, 9 not identified, 0 not opened, 1 no link.
int IdentifyRecorder(CZK470Doc& doc, int interface_kind, uint32_t mode_word, const std::string& device,
                     std::string& serial, std::string& version, bool& has_72_hours, bool ask_on_error,
                     bool try_ident, bool long_delay);

// Lists the devices of the interface, identifies the recorder behind each and lets the user pick
// one; the choice becomes the current recorder. interface_kind and mode_word both -1: from the
// settings ("I/O-Port" "Mode" and "BaseAdr"). Returns the recorder kind 2, 3 or 4; 9 none
// (refused or cancelled); 1 no link for the interface.
int FindRecorders(CZK470Doc& doc, int interface_kind, int mode_word);

// How a usable device is listed: "ZK-130", "ZK-130/3", "ZK-131   SN: <serial>".
std::string RecorderListText(int kind, std::string_view serial);

// Strings and the status window's template.
void AddRecorderSearchResources(platform::ResourcePack& pack);

}  // namespace recorder
