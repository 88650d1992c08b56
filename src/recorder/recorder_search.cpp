#include "recorder/recorder_search.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include "document/settings_store.h"
#include "platform/process_context.h"
#include "platform/resources.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_protocol.h"
#include "recorder/search_status_dlg.h"
#include "views/online_panel.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"
#include "win/prompt.h"
#include "win/window.h"

namespace recorder {
namespace {

constexpr int kSearchingText = 33248;
constexpr int kListTitle = 33268;
constexpr int kListText = 33269;
constexpr int kNoUsableRecorder = 33270;
constexpr int kDriverError = 33233;

constexpr char kNotRead[] = "N/A";
constexpr size_t kReviewBytes = 500;
constexpr int kReviewWaitMs = 2000;
constexpr int kReadPauseMs = 10;
constexpr int kRequestDelayLongMs = 500;

int g_requested = kRequestAny;

// The document's link of one identification. One link is in use at a time, so one holder serves.
struct DocumentLink {
  CZK470Doc* doc = nullptr;
  std::unique_ptr<RecorderLink> link;
  bool open = false;
};
DocumentLink& Held() {
  static DocumentLink held;
  return held;
}

RecorderLink* OpenLink(CZK470Doc& doc) {
  DocumentLink& held = Held();
  return held.doc == &doc && held.open ? held.link.get() : nullptr;
}

RecorderLink* MakeDocumentLink(CZK470Doc& doc, int interface_kind) {
  DocumentLink& held = Held();
  held.link.reset();
  held.open = false;
  held.doc = &doc;
  held.link = MakeRecorderLink(interface_kind);
  return held.link.get();
}

void DeleteDocumentLink() {
  DocumentLink& held = Held();
  held.link.reset();
  held.open = false;
  held.doc = nullptr;
}

// Deletes the document's link on every way out of an identification.
struct LinkScope {
  ~LinkScope() { DeleteDocumentLink(); }
};

// Open, or the driver message when asked for; false leaves the link closed.
bool OpenDocumentLink(RecorderLink& link, uint32_t mode_word, const std::string& device, bool show_error) {
  if (link.Open(mode_word, device)) {
    Held().open = true;
    return true;
  }
  if (show_error) {
    win::Windows().MessageBeep();
    SearchUi().ShowMessage(platform::LoadString(kDriverError), win::kMbIconExclamation);
  }
  return false;
}

void WakeUp(RecorderLink& link) {
  link.Reset();
  Clock().SleepMs(500);
  link.SendText("Reset\r", false, 0);
  Clock().SleepMs(1000);
}

struct IdentAnswer {
  TRecorderIdent ident;
  bool has_72_hours = false;
};

// "Ident\r" on the open link; a ZK-131 answer, else nothing.
std::optional<IdentAnswer> QueryIdent(CZK470Doc& doc, bool long_delay) {
  std::vector<uint8_t> answer;
  const int result = QueryRecorder(doc, "Ident\r", TRecorderProtocol::kIdentAnswerSize, answer,
                                   long_delay ? kRequestDelayLongMs : 0);
  if (result != RecorderLink::kQueryOk || answer.size() < TRecorderProtocol::kIdentAnswerSize)
    return std::nullopt;
  IdentAnswer parsed{TRecorderProtocol::ParseIdent(answer), false};
  if (!parsed.ident.IsSdCardRecorder()) return std::nullopt;
  parsed.has_72_hours = parsed.ident.HasFirmware120();
  return parsed;
}

void StoreIdent(CZK470Doc& doc, const IdentAnswer& answer) {
  CurrentRecorder current(doc);
  current.RecorderType() = answer.ident.type;
  current.FirmwareVersion() = answer.ident.version;
  current.SerialNumber() = answer.ident.serial;
  current.Set72HourCapability(answer.has_72_hours);
}

// The head of the review stream: "REV\r", the stream start, 500 bytes within two seconds.
// The recorder kind it names, 0 on any failure.
int ReadReviewKind(CZK470Doc& doc, RecorderLink& link) {
  if (SendRecorderText(doc, "REV\r", true) != 1) return 0;
  Clock().SleepMs(250);
  const uint8_t start = TRecorderProtocol::kStartStream;
  link.SendText(std::span(&start, 1), false, 0);
  std::vector<uint8_t> stream;
  const int64_t deadline = Clock().TickMs() + kReviewWaitMs;
  while (stream.size() < kReviewBytes && Clock().TickMs() < deadline) {
    const int n = link.Read(false);
    if (n < 0) return 0;
    if (n == 0) {
      Clock().SleepMs(kReadPauseMs);
      continue;
    }
    const std::span<const uint8_t> got = link.Received();
    const size_t take = std::min(got.size(), kReviewBytes - stream.size());
    stream.insert(stream.end(), got.begin(), got.begin() + static_cast<std::ptrdiff_t>(take));
  }
  if (stream.size() < kReviewBytes) return 0;
  return TRecorderProtocol::ReviewKind(stream);
}

// Whether two device names lead to the same device (a probe name and an enumerated node).
bool SameDevice(const std::string& a, const std::string& b) {
  if (a == b) return true;
  std::error_code ec;
  const bool same = std::filesystem::equivalent(a, b, ec);
  return !ec && same;
}

// The devices of the interface. USB: the enumerated devices (filtered by the request), then the
// probe names that are not among them; the card: its driver.
std::vector<DetectedDevice> Discover(RecorderLink& link, int interface_kind, int request,
                                     std::string& error) {
  std::vector<DetectedDevice> found;
  if (interface_kind == kInterfaceUsbConverter) {
    std::vector<DetectedDevice> listed;
    const int n = link.Detect(listed, request, true);
    listed.resize(static_cast<size_t>(std::clamp(n, 0, static_cast<int>(listed.size()))));
    found = std::move(listed);
  }
  std::vector<DetectedDevice> probed;
  const int n = link.Detect(probed, request, false);
  probed.resize(static_cast<size_t>(std::clamp(n, 0, static_cast<int>(probed.size()))));
  for (DetectedDevice& device : probed) {
    const bool known = std::any_of(found.begin(), found.end(),
                                   [&](const DetectedDevice& d) { return SameDevice(d.name, device.name); });
    if (!known) found.push_back(std::move(device));
  }
  if (found.size() > static_cast<size_t>(kMaxDevices)) found.resize(kMaxDevices);
  if (found.empty()) error = link.Error();
  return found;
}

struct Entry {
  std::string name;
  int kind = 0;
  std::string type;
  std::string serial = kNotRead;
  std::string version = kNotRead;
  bool has_72_hours = false;
};

bool Usable(int kind) {
  return kind == TRecorderProtocol::kKindZK130 || kind == TRecorderProtocol::kKindZK133 ||
         kind == TRecorderProtocol::kKindZK131;
}

void IdentifyEntry(CZK470Doc& doc, int interface_kind, uint32_t mode_word, int request, Entry& entry) {
  CurrentRecorder current(doc);
  switch (entry.kind) {
    case kDeviceSdCardUsb: {
      if (IdentifyZK131(doc, interface_kind, mode_word, entry.name, false, false) != 4)
        (void)IdentifyZK131(doc, interface_kind, mode_word, entry.name, false, true);
      entry.kind = TRecorderProtocol::kKindZK131;
      entry.type = current.RecorderType();
      entry.serial = current.SerialNumber();
      entry.version = current.FirmwareVersion();
      entry.has_72_hours = current.Has72HourCapability();
      if (request != kRequestAny && request != kRequestZK131) entry.kind = kNoLink;
      break;
    }
    case kDeviceInterfaceCard:
      entry.kind = IdentifyRecorder(doc, interface_kind, mode_word, entry.name, entry.serial, entry.version,
                                    entry.has_72_hours, false, false, false);
      if (request != kRequestAny && request != kRequestCard) entry.kind = kNoLink;
      break;
    case kDeviceProbedConverter:
      entry.kind = IdentifyRecorder(doc, interface_kind, mode_word, entry.name, entry.serial, entry.version,
                                    entry.has_72_hours, false, true, false);
      if (entry.kind == TRecorderProtocol::kKindZK131) entry.type = current.RecorderType();
      if (request == kRequestConverter && entry.kind != TRecorderProtocol::kKindZK130 &&
          entry.kind != TRecorderProtocol::kKindZK133)
        entry.kind = kNoLink;
      if (request == kRequestZK131 && entry.kind != TRecorderProtocol::kKindZK131) entry.kind = kNoLink;
      break;
    case kDeviceUsbConverter:
      entry.kind = IdentifyRecorder(doc, interface_kind, mode_word, entry.name, entry.serial, entry.version,
                                    entry.has_72_hours, false, false, false);
      if (request != kRequestAny && request != kRequestConverter) entry.kind = kNoLink;
      break;
    default:
      break;
  }
}

// The default user interface: nobody to answer, so every question is a Cancel.
class NoUserSearchUi : public RecorderSearchUi {
 public:
  void ShowMessage(std::string_view text, unsigned icon) override {
    win::CurrentPrompt().MessageBox(text, "ZK-470", win::kMbOk | icon);
  }
  bool AskRetry(std::string_view) override { return false; }
  bool AskRetryAfterCommError() override { return false; }
  Choice ChooseRecorder(const std::vector<std::string>&) override { return {}; }
  void ShowStatus(std::string_view title, std::string_view text) override { status_.Show(title, text); }
  void CloseStatus() override { status_.Close(); }

 private:
  TSearchStatusDlg status_;
};

RecorderSearchUi* g_ui = nullptr;

NoUserSearchUi& NoUser() {
  static NoUserSearchUi no_user;
  return no_user;
}

const bool kRegistered = platform::RegisterProcessReset(platform::ProcessLayer::kRecorder, [] {
  NoUser().CloseStatus();
  DeleteDocumentLink();
  g_requested = kRequestAny;
  g_ui = nullptr;
});

}  // namespace

int GetRequestedRecorder() { return g_requested; }
void SetRequestedRecorder(int request) { g_requested = request; }

void SetRecorderSearchUi(RecorderSearchUi* ui) { g_ui = ui; }

RecorderSearchUi& SearchUi() { return g_ui != nullptr ? *g_ui : NoUser(); }

// --- Scripted user interface ----------------------------------------------------------------------

void ScriptedRecorderSearchUi::ShowMessage(std::string_view text, unsigned) {
  log_.push_back("message: " + std::string(text));
}

bool ScriptedRecorderSearchUi::AskRetry(std::string_view text) {
  log_.push_back("retry: " + std::string(text));
  if (retries_.empty()) return false;
  const bool retry = retries_.front();
  retries_.pop_front();
  return retry;
}

bool ScriptedRecorderSearchUi::AskRetryAfterCommError() {
  log_.push_back("comm error");
  if (comm_retries_.empty()) return false;
  const bool retry = comm_retries_.front();
  comm_retries_.pop_front();
  return retry;
}

RecorderSearchUi::Choice ScriptedRecorderSearchUi::ChooseRecorder(const std::vector<std::string>& entries) {
  std::string line = "choose: ";
  for (size_t i = 0; i < entries.size(); ++i) line += (i == 0 ? "" : "|") + entries[i];
  log_.push_back(line);
  if (choices_.empty()) return {};
  const Choice choice = choices_.front();
  choices_.pop_front();
  return choice;
}

void ScriptedRecorderSearchUi::ShowStatus(std::string_view title, std::string_view text) {
  log_.push_back("status: " + std::string(title) + "|" + std::string(text));
}

void ScriptedRecorderSearchUi::CloseStatus() { log_.push_back("status closed"); }

// --- The document's link ---------------------------------------------------------------------------

int SendRecorderText(CZK470Doc& doc, std::string_view text, bool wait_echo) {
  RecorderLink* link = OpenLink(doc);
  return link != nullptr ? link->SendText(text, wait_echo, 0) : 0;
}

int QueryRecorder(CZK470Doc& doc, std::string_view command, size_t answer_len, std::vector<uint8_t>& answer,
                  int delay_ms) {
  RecorderLink* link = OpenLink(doc);
  return link != nullptr ? link->Query(command, answer_len, answer, delay_ms) : -1;
}

int ResetRecorderAfterError(CZK470Doc& doc) {
  if (OpenLink(doc) != nullptr) SendRecorderText(doc, "Reset\r", false);
  win::WindowSystem& windows = win::Windows();
  windows.MessageBeep();
  // The dialog needs the normal cursor; the search goes on under the wait cursor.
  const int depth = windows.WaitCursorDepth();
  for (int i = 0; i < depth; ++i) windows.EndWaitCursor();
  const bool retry = SearchUi().AskRetryAfterCommError();
  for (int i = 0; i < depth; ++i) windows.BeginWaitCursor();
  return retry ? 0 : 1;
}

// --- Identification ----------------------------------------------------------------------------------

int IdentifyZK131(CZK470Doc& doc, int interface_kind, uint32_t mode_word, const std::string& device,
                  bool show_error, bool long_delay) {
  CurrentRecorder current(doc);
  current.FirmwareVersion() = kNotRead;
  current.SerialNumber() = kNotRead;
  current.Set72HourCapability(false);
  LinkScope scope;
  RecorderLink* link = MakeDocumentLink(doc, interface_kind);
  if (link == nullptr) return kNoLink;
  if (!OpenDocumentLink(*link, mode_word, device, show_error)) return kNotOpened;
  WakeUp(*link);
  const std::optional<IdentAnswer> answer = QueryIdent(doc, long_delay);
  if (!answer) return kNotOpened;
  StoreIdent(doc, *answer);
  return TRecorderProtocol::kKindZK131;
}

int IdentifyRecorder(CZK470Doc& doc, int interface_kind, uint32_t mode_word, const std::string& device,
                     std::string& serial, std::string& version, bool& has_72_hours, bool ask_on_error,
                     bool try_ident, bool long_delay) {
  serial = kNotRead;
  version = kNotRead;
  LinkScope scope;
  RecorderLink* link = MakeDocumentLink(doc, interface_kind);
  if (link == nullptr) return kNoLink;
  if (!OpenDocumentLink(*link, mode_word, device, ask_on_error)) return kNotOpened;
  WakeUp(*link);
  if (try_ident) {
    if (const std::optional<IdentAnswer> answer = QueryIdent(doc, long_delay)) {
      StoreIdent(doc, *answer);
      serial = answer->ident.serial;
      version = answer->ident.version;
      has_72_hours = answer->has_72_hours;
      return TRecorderProtocol::kKindZK131;
    }
  }
  int result = kNotIdentified;
  for (;;) {
    const int kind = ReadReviewKind(doc, *link);
    if (kind == TRecorderProtocol::kKindZK130 || kind == TRecorderProtocol::kKindZK133) {
      result = kind;
      // Ends the stream that REV started.
      WakeUp(*link);
      break;
    }
    if (!ask_on_error || ResetRecorderAfterError(doc) != 0) break;
  }
  return result;
}

// --- The device search -------------------------------------------------------------------------------

std::string RecorderListText(int kind, std::string_view serial) {
  switch (kind) {
    case TRecorderProtocol::kKindZK130:
      return "ZK-130";
    case TRecorderProtocol::kKindZK133:
      return "ZK-130/3";
    default:
      return "ZK-131   SN: " + std::string(serial);
  }
}

int FindRecorders(CZK470Doc& doc, int interface_kind, int mode_word) {
  if (interface_kind == -1 && mode_word == -1) {
    interface_kind = doc.GetSettings().Int(SettingKey::kIOPortMode);
    mode_word = doc.GetSettings().Int(SettingKey::kIOPortBaseAdr);
  }
  const uint32_t mode = static_cast<uint32_t>(mode_word);
  const int request = GetRequestedRecorder();
  RecorderSearchUi& ui = SearchUi();
  if ((request == kRequestCard && interface_kind == kInterfaceUsbConverter) ||
      ((request == kRequestConverter || request == kRequestZK131) && interface_kind == kInterfaceCard)) {
    ui.ShowMessage(platform::LoadString(kNoUsableRecorder), win::kMbIconInformation);
    return kNotIdentified;
  }

  CurrentRecorder current(doc);
  for (std::string* text :
       {&current.DeviceName(), &current.RecorderType(), &current.FirmwareVersion(), &current.SerialNumber()})
    text->clear();
  current.Set72HourCapability(false);
  int result = kNotIdentified;
  const std::string status_text = platform::LoadString(kSearchingText) +
                                  (interface_kind == kInterfaceUsbConverter ? " USB ...." : " AT-Card ....");
  ui.ShowStatus("Holter", status_text);
  win::Windows().BeginWaitCursor();

  for (bool searching = true; searching;) {
    std::unique_ptr<RecorderLink> link = MakeRecorderLink(interface_kind);
    if (link == nullptr) {
      result = kNoLink;
      break;
    }
    std::string why_none;
    const std::vector<DetectedDevice> devices = Discover(*link, interface_kind, request, why_none);
    link.reset();

    if (devices.empty()) {
      // The status window says why, behind the retry question.
      if (!why_none.empty()) ui.ShowStatus("Holter", status_text + "\n" + why_none);
      if (ResetRecorderAfterError(doc) != 0) break;
      ui.ShowStatus("Holter", status_text);
      continue;
    }

    std::vector<Entry> entries;
    for (const DetectedDevice& device : devices) {
      Entry entry;
      entry.name = device.name;
      entry.kind = device.kind;
      IdentifyEntry(doc, interface_kind, mode, request, entry);
      entries.push_back(std::move(entry));
    }

    std::vector<const Entry*> usable;
    for (const Entry& entry : entries) {
      if (Usable(entry.kind)) usable.push_back(&entry);
    }
    const Entry* chosen = nullptr;
    if (usable.empty()) {
      if (!ui.AskRetry(platform::LoadString(kNoUsableRecorder))) break;
      continue;
    }
    if (usable.size() == 1) {
      chosen = usable.front();
    } else {
      std::vector<std::string> texts;
      for (const Entry* entry : usable) texts.push_back(RecorderListText(entry->kind, entry->serial));
      const RecorderSearchUi::Choice choice = ui.ChooseRecorder(texts);
      if (choice.pick == RecorderSearchUi::Pick::kSearchAgain) continue;
      if (choice.pick == RecorderSearchUi::Pick::kCancelled || choice.index < 0 ||
          choice.index >= static_cast<int>(usable.size())) {
        current.SetKind(kNotIdentified);
        break;
      }
      chosen = usable[static_cast<size_t>(choice.index)];
    }

    current.SetKind(chosen->kind);
    current.DeviceName() = chosen->name;
    // The type of the chosen recorder, not of whichever device answered "Ident" last.
    current.RecorderType() = chosen->type;
    current.FirmwareVersion() = kNotRead;
    current.SerialNumber() = kNotRead;
    current.Set72HourCapability(false);
    if (chosen->kind == TRecorderProtocol::kKindZK131) {
      current.FirmwareVersion() = chosen->version;
      current.SerialNumber() = chosen->serial;
      current.Set72HourCapability(chosen->has_72_hours);
    }
    // The online screen draws the recorder found here.
    SetOnlineRecorder({TRecorderProtocol::ChannelCount(chosen->kind), chosen->kind});
    result = chosen->kind;
    searching = false;
  }

  ui.CloseStatus();
  win::Windows().EndWaitCursor();
  return result;
}

// --- Resources ---------------------------------------------------------------------------------------

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::LocalizeControls;
using win::LocalizeDialog;

constexpr DialogLayout kStatusLayout{TSearchStatusDlg::kTemplateId, 180, 40};
constexpr ControlLayout kStatusControls[] = {
    {TSearchStatusDlg::kTextId, ControlKind::kStatic, 10, 8, 160, 24, win::kSsCenter},
};
constexpr auto kStatusEnglish = LocalizeControls(kStatusControls, {"Searching ...."});
constexpr auto kStatusGerman = LocalizeControls(kStatusControls, {"Suche läuft ...."});
constexpr win::DialogTemplate kEnglishDialogs[] = {LocalizeDialog(kStatusLayout, "Holter", kStatusEnglish)};
constexpr win::DialogTemplate kGermanDialogs[] = {LocalizeDialog(kStatusLayout, "Holter", kStatusGerman)};

constexpr platform::StringEntry kEnglishStrings[] = {
    {33233,
     "VxD/sys error !\nPlease check:\n1. Appropriate device driver is installed.\n2. Holter / USB Converter "
     "is "
     "plugged in."},
    {33234,
     "VxD/sys error !\nPlease check:\n1. Appropriate device driver is installed.\n2. Holter / USB Converter "
     "is "
     "plugged in.\n3. USBStack is installed."},
    {kSearchingText, "Searching for the Holter recorder via"},
    {kListTitle, "Holter recorders found"},
    {kListText, "Choose the recorder to use:"},
    {kNoUsableRecorder,
     "No suitable Holter recorder was found.\nPlease check the connection of the recorder and the interface "
     "settings."},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {33233,
     "VxD/sys-Fehler !\nBitte prüfen Sie:\n1. Der passende Gerätetreiber ist installiert.\n2. Holter / "
     "USB-Konverter "
     "ist angeschlossen."},
    {33234,
     "VxD/sys-Fehler !\nBitte prüfen Sie:\n1. Der passende Gerätetreiber ist installiert.\n2. Holter / "
     "USB-Konverter "
     "ist angeschlossen.\n3. Der USB-Stack ist installiert."},
    {kSearchingText, "Suche nach dem Holter-Rekorder über"},
    {kListTitle, "Gefundene Holter-Rekorder"},
    {kListText, "Wählen Sie den Rekorder:"},
    {kNoUsableRecorder,
     "Es wurde kein passender Holter-Rekorder gefunden.\nBitte prüfen Sie den Anschluss des Rekorders und "
     "die "
     "Einstellungen der Schnittstelle."},
};

}  // namespace

void AddRecorderSearchResources(platform::ResourcePack& pack) {
  const bool german = win::IsGermanPack(pack);
  win::Templates().Add(pack, german ? std::span<const win::DialogTemplate>(kGermanDialogs)
                                    : std::span<const win::DialogTemplate>(kEnglishDialogs));
  pack.AddStrings(german ? std::span<const platform::StringEntry>(kGermanStrings)
                         : std::span<const platform::StringEntry>(kEnglishStrings));
}

}  // namespace recorder
