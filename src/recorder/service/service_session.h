#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "recorder/recorder_link.h"
#include "recorder/recorder_protocol.h"

class CLogEdit;
class CZK470Doc;

namespace recorder {

// Which recorders take a command; the tester writes it behind the command's name.
enum class ServiceFamily { kZK130And131, kZK130, kZK131, kZK131From120 };

// " (ZK-130/131)" and the other suffixes.
std::string ServiceFamilySuffix(ServiceFamily family);
// "<text> <count> bytes", the caption of a dump.
std::string ServiceCountCaption(std::string_view text, size_t count);
// The command word without its "\r", followed by the suffix.
std::string ServiceLabel(std::string_view word, ServiceFamily family);

// The link of a recorder service dialog and the log that records everything it sends and
// receives, in the form the service dialogs share. Every dump is cut to kMaxDumpBytes so that a
// long answer cannot flood the log. User-interface thread only.
class ServiceSession {
 public:
  static constexpr size_t kMaxDumpBytes = 2048;
  static constexpr int kPollMs = 50;

  explicit ServiceSession(CLogEdit& log);
  ~ServiceSession();

  CLogEdit& Log() { return log_; }
  bool IsOpen() const { return link_ != nullptr && open_; }
  RecorderLink* Link() { return link_.get(); }

  // Makes and opens the link of the document's interface setting when it is not open, logging
  // each step; a failed open shows the driver message. With reset_after_connect a fresh link is
  // reset (500 ms) and given 1000 ms. False when no link is open afterwards.
  bool Connect(CZK470Doc& document, bool reset_after_connect);
  void Close();
  // Takes a link that is open already in place of the interface's own (a test's scripted one).
  void Adopt(std::unique_ptr<RecorderLink> link);
  // Resets the link and waits 500 ms.
  void ResetLink();

  // The line of asterisks and "<caption> - Operation started"; "... finished".
  void LogStart(std::string_view caption);
  void LogEnd(std::string_view caption);
  // A hex dump under caption, at most kMaxDumpBytes, noting when bytes were left out.
  void LogDump(std::string_view caption, std::span<const uint8_t> bytes);

  // Sends text (and data, never compared) and logs it. With confirm the result is whether the
  // recorder echoed the text; without, it is success.
  bool Send(const TRecorderCommand& command, std::string_view label, bool confirm);
  bool SendText(std::string_view text, std::string_view label, bool confirm);
  // Sends the query and logs it, its result and the answer; the TRecorderProtocol::kQuery* result.
  int Query(const TRecorderCommand& command, size_t answer_len, std::string_view label,
            std::vector<uint8_t>& answer);
  // What arrives within within_ms, at most max_bytes.
  std::vector<uint8_t> Collect(size_t max_bytes, int within_ms);

 private:
  void LogReceived();

  CLogEdit& log_;
  std::unique_ptr<RecorderLink> link_;
  bool open_ = false;
};

}  // namespace recorder
