#include "recorder/service/service_session.h"

#include <algorithm>
#include <cstdio>

#include "common/log_edit.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "recorder/recorder_clock.h"
#include "win/prompt.h"
#include "win/window.h"

namespace recorder {
namespace {

// Driver messages of the two links.
constexpr int kCardDriverMessage = 32789;
constexpr int kUsbDriverMessage = 33233;

}  // namespace

std::string ServiceCountCaption(std::string_view text, size_t count) {
  char caption[96];
  std::snprintf(caption, sizeof caption, "%.*s %d bytes", static_cast<int>(text.size()), text.data(),
                static_cast<int>(count));
  return caption;
}

std::string ServiceFamilySuffix(ServiceFamily family) {
  switch (family) {
    case ServiceFamily::kZK130And131:
      return " (ZK-130/131)";
    case ServiceFamily::kZK130:
      return " (ZK-130)";
    case ServiceFamily::kZK131:
      return " (ZK-131)";
    case ServiceFamily::kZK131From120:
      return " (ZK-131 ab 1.20)";
  }
  return {};
}

std::string ServiceLabel(std::string_view word, ServiceFamily family) {
  if (!word.empty() && word.back() == '\r') word.remove_suffix(1);
  return std::string(word) + ServiceFamilySuffix(family);
}

ServiceSession::ServiceSession(CLogEdit& log) : log_(log) {}

ServiceSession::~ServiceSession() = default;

bool ServiceSession::Connect(CZK470Doc& document, bool reset_after_connect) {
  if (IsOpen()) return true;
  const SettingsStore& settings = document.GetSettings();
  const int interface_kind = settings.Int(SettingKey::kIOPortMode);
  link_ = MakeRecorderLink(interface_kind);
  open_ = false;
  if (link_ == nullptr) {
    log_.AddLine("Device driver not initialized");
  } else {
    const bool card = interface_kind == kInterfaceCard;
    log_.AddLine(card ? "Connecting with Holter via AT-Card ...." : "Connecting with Holter via USB ....");
    const auto mode_word = static_cast<uint32_t>(settings.Int(SettingKey::kIOPortBaseAdr));
    if (link_->Open(mode_word, std::string())) {
      log_.AddLine("Device driver initialized");
      open_ = true;
    } else {
      win::Windows().MessageBeep();
      std::string message = platform::LoadString(card ? kCardDriverMessage : kUsbDriverMessage);
      if (message.empty()) message = link_->Error();
      win::CurrentPrompt().MessageBox(message, "ZK-470", win::kMbOk | win::kMbIconExclamation);
      log_.AddLine("ERROR while Device driver initialization");
    }
  }
  if (!open_) {
    log_.AddLine("ERROR - Device Driver not loaded");
    link_.reset();
    return false;
  }
  if (reset_after_connect) {
    ResetLink();
    Clock().SleepMs(1000);
  }
  return true;
}

void ServiceSession::Close() {
  link_.reset();
  open_ = false;
}

void ServiceSession::Adopt(std::unique_ptr<RecorderLink> link) {
  link_ = std::move(link);
  open_ = link_ != nullptr && link_->IsOpen();
}

void ServiceSession::ResetLink() {
  if (!IsOpen()) return;
  link_->Reset();
  Clock().SleepMs(500);
  log_.AddLine("USB Converter / AT-Card Reset done");
}

void ServiceSession::LogStart(std::string_view caption) {
  log_.AddLine(std::string(59, '*'));
  log_.AddLine(std::string(caption) + " - Operation started");
}

void ServiceSession::LogEnd(std::string_view caption) {
  log_.AddLine(std::string(caption) + " - Operation finished");
}

void ServiceSession::LogDump(std::string_view caption, std::span<const uint8_t> bytes) {
  if (bytes.size() > kMaxDumpBytes) {
    log_.AddLine("Only showing first 2048 bytes.....");
    bytes = bytes.first(kMaxDumpBytes);
  }
  log_.AddHexDump(caption, bytes);
}

void ServiceSession::LogReceived() {
  const std::span<const uint8_t> received = link_->Received();
  LogDump(ServiceCountCaption("In:", received.size()), received);
}

bool ServiceSession::Send(const TRecorderCommand& command, std::string_view label, bool confirm) {
  if (!IsOpen()) return false;
  log_.AddLine("Sending command " + std::string(label));
  const std::vector<uint8_t> frame = command.Frame();
  LogDump(ServiceCountCaption("Out:", frame.size()), frame);
  const int result = recorder::SendCommand(*link_, command, confirm);
  // Without confirmation nobody looks at the echo: the send counts as done.
  const bool ok = !confirm || result == 1;
  log_.AddLine(std::string(label) + TRecorderProtocol::ConfirmResultText(ok));
  LogReceived();
  return ok;
}

bool ServiceSession::SendText(std::string_view text, std::string_view label, bool confirm) {
  TRecorderCommand command;
  command.text.assign(text.begin(), text.end());
  return Send(command, label, confirm);
}

int ServiceSession::Query(const TRecorderCommand& command, size_t answer_len, std::string_view label,
                          std::vector<uint8_t>& answer) {
  answer.clear();
  if (!IsOpen()) return TRecorderProtocol::kQueryNoData;
  log_.AddLine("Sending command " + std::string(label));
  const std::vector<uint8_t> frame = command.Frame();
  LogDump(ServiceCountCaption("Out:", frame.size()), frame);
  const int result = link_->Query(command.text, answer_len, answer, 0);
  // The answer is the link's: never trust it to be no longer than asked.
  if (answer.size() > answer_len) answer.resize(answer_len);
  log_.AddLine(std::string(label) + TRecorderProtocol::QueryResultText(result));
  LogDump(ServiceCountCaption("Status bytes:", answer.size()), answer);
  LogReceived();
  if (result == TRecorderProtocol::kQueryOk && answer.size() < answer_len)
    return TRecorderProtocol::kQueryNoData;
  return result;
}

std::vector<uint8_t> ServiceSession::Collect(size_t max_bytes, int within_ms) {
  std::vector<uint8_t> bytes;
  if (!IsOpen()) return bytes;
  const int64_t deadline = Clock().TickMs() + within_ms;
  bool first = true;
  while (bytes.size() < max_bytes) {
    const int count = link_->Read(first);
    first = false;
    if (count < 0) break;
    const std::span<const uint8_t> got = link_->Received();
    const size_t take = std::min(got.size(), max_bytes - bytes.size());
    bytes.insert(bytes.end(), got.begin(), got.begin() + static_cast<std::ptrdiff_t>(take));
    if (bytes.size() >= max_bytes || Clock().TickMs() >= deadline) break;
    if (count == 0) Clock().SleepMs(kPollMs);
  }
  return bytes;
}

}  // namespace recorder
