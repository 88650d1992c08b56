#include "recorder/recorder_area.h"

#include <string>

#include "document/profile_keys.h"
#include "document/zk470_doc.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_programmer.h"
#include "recorder/recorder_protocol.h"
#include "views/area_messages.h"
#include "views/online_ecg_area.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

constexpr int kResetPauseMs = 500;
constexpr int kWakePauseMs = 1000;
constexpr int kStreamPauseMs = 100;

RecorderScreenServices& Services() {
  static RecorderScreenServices services;
  return services;
}

void Warn(int string_id) {
  (void)win::CurrentPrompt().MessageBox(platform::LoadString(string_id), win::Windows().AppTitle(),
                                        win::kMbOk | win::kMbIconExclamation);
}

}  // namespace

void SetRecorderScreenServices(RecorderScreenServices services) { Services() = std::move(services); }
const RecorderScreenServices& GetRecorderScreenServices() { return Services(); }

std::unique_ptr<CViewArea> CRecorderAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<CRecorderArea>(this, doc);
}

CRecorderArea::CRecorderArea(CViewAreaConfig* config, CZK470Doc* document) : CViewArea(config, document) {
  ring_.Clear();
}

CRecorderArea::~CRecorderArea() {
  KillTimers();
  if (monitoring_ && link_ && link_open_) {
    link_->SendText("ExMON\r", false, 0);
    link_->EnableTransfer(false);
  }
}

win::Window* CRecorderArea::ParentWindow() const {
  return parent_ != 0 ? win::Window::FromHandle(parent_) : nullptr;
}

void CRecorderArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  win::Window* parent = config_ != nullptr ? config_->GetParentWindow() : nullptr;
  parent_ = parent != nullptr ? parent->Handle() : 0;
  const int kind = document_ != nullptr ? document_->GetRecorderIdentification().recorder_kind : 0;
  channels_ = kind == TRecorderProtocol::kKindZK130 ? 2 : 3;
  sweeps_.fill(nullptr);
  if (config_ != nullptr) {
    for (int i = 0; i < channels_; ++i) {
      CViewArea* found = nullptr;
      config_->GetRoot()->BroadcastUntilHandled(areamsg::kFindSweepArea, static_cast<win::WParam>(i),
                                                reinterpret_cast<win::LParam>(&found));
      sweeps_[static_cast<size_t>(i)] = dynamic_cast<COnlineECGArea*>(found);
    }
  }
  OpenLink();
  if (win::Window* parent = ParentWindow()) start_timer_ = parent->SetTimer(kStartTimer, kStartDelayMs);
}

void CRecorderArea::OpenLink() {
  link_open_ = false;
  if (document_ == nullptr) return;
  const SettingsStore& settings = document_->GetSettings();
  link_ = recorder::MakeRecorderLink(settings.Int(SettingKey::kIOPortMode));
  if (!link_) return;
  const uint32_t mode_word = static_cast<uint32_t>(settings.Int(SettingKey::kIOPortBaseAdr));
  if (!link_->Open(mode_word, document_->GetRecorderIdentification().texts[0])) return;
  link_open_ = true;
  link_->Reset();
  recorder::Clock().SleepMs(kResetPauseMs);
  (void)link_->SendText("Reset\r", true, 0);
  recorder::Clock().SleepMs(kWakePauseMs);
}

bool CRecorderArea::Send(std::string_view text, bool confirm) {
  if (!link_ || !link_open_) {
    StopWithError(1);
    return false;
  }
  return link_->SendText(text, confirm, 0) > 0;
}

bool CRecorderArea::SendBytes(std::span<const uint8_t> bytes, bool confirm) {
  if (!link_ || !link_open_) {
    StopWithError(1);
    return false;
  }
  return link_->SendText(bytes, confirm, 0) > 0;
}

bool CRecorderArea::SwitchTransferOn() {
  link_->Reset();
  recorder::Clock().SleepMs(kResetPauseMs);
  return link_->EnableTransfer(true) != 0;
}

void CRecorderArea::StartMonitor() {
  if (!link_ || !link_open_) {
    StopWithError(1);
    return;
  }
  if (!SwitchTransferOn()) {
    StopWithError(1);
    return;
  }
  while (!Send("MON\r", false)) {
    StopMonitor();
    win::Windows().MessageBeep();
    const auto& ask = Services().ask_comm_retry;
    if (!ask || !ask()) {
      StopWithError(-1);
      return;
    }
    if (!SwitchTransferOn()) {
      StopWithError(1);
      return;
    }
    recorder::Clock().SleepMs(kWakePauseMs);
  }
  recorder::Clock().SleepMs(kStreamPauseMs);
  const uint8_t start = TRecorderProtocol::kStartStream;
  if (!SendBytes(std::span(&start, 1), false)) return;
  ring_.Clear();
  empty_polls_ = 0;
  if (win::Window* parent = ParentWindow()) poll_timer_ = parent->SetTimer(kPollTimer, kPollMs);
  monitoring_ = true;
}

void CRecorderArea::StopMonitor() {
  if (link_ && link_open_) {
    (void)link_->SendText("ExMON\r", false, 0);
    monitoring_ = false;
  }
  if (poll_timer_ != 0) {
    if (win::Window* parent = ParentWindow()) parent->KillTimer(kPollTimer);
    poll_timer_ = 0;
  }
  if (link_) link_->EnableTransfer(false);
}

void CRecorderArea::KillTimers() {
  win::Window* parent = ParentWindow();
  if (poll_timer_ != 0 && parent != nullptr) parent->KillTimer(kPollTimer);
  if (start_timer_ != 0 && parent != nullptr) parent->KillTimer(kStartTimer);
  poll_timer_ = 0;
  start_timer_ = 0;
}

void CRecorderArea::StopWithError(int kind) {
  if (ended_) return;
  KillTimers();
  switch (kind) {
    case 1: {
      StopMonitor();
      win::Windows().MessageBeep();
      const bool card = document_ != nullptr &&
                        document_->GetSettings().Int(SettingKey::kIOPortMode) == recorder::kInterfaceCard;
      Warn(card ? kCardDriverString : kConverterDriverString);
      break;
    }
    case 2:
      StopMonitor();
      win::Windows().MessageBeep();
      Warn(kCommFailureString);
      break;
    case 3:
      win::Windows().MessageBeep();
      Warn(kCommFailureString);
      break;
    default:
      break;
  }
  CommonEnd(kExitFailed);
}

void CRecorderArea::CommonEnd(int exit_code) {
  if (ended_) return;
  ended_ = true;
  CZK470Doc* doc = document_;
  platform::UiThreadQueue().PostTask([doc, exit_code] {
    if (doc != nullptr) {
      doc->SetDisplayMode(DisplayMode::kNone);
      doc->SetDisplaySubMode(0);
      doc->UpdateAllViews(nullptr, hint::kDocumentChanged);
    }
    if (const auto& end = Services().end_automation) end(exit_code);
  });
}

void CRecorderArea::OnStartTimer() {
  if (start_timer_ != 0) {
    if (win::Window* parent = ParentWindow()) parent->KillTimer(kStartTimer);
    start_timer_ = 0;
  }
  if (!link_open_) {
    StopWithError(3);
    return;
  }
  StartMonitor();
}

void CRecorderArea::OnPollTimer() {
  if (!link_ || !link_open_) {
    StopWithError(3);
    return;
  }
  const int n = link_->ReadBlock();
  if (n > 0) {
    ring_.Append(link_->Received().first(static_cast<size_t>(n)));
    DecodeAndFeed();
    empty_polls_ = 0;
    return;
  }
  if (++empty_polls_ >= kMaxEmptyPolls) StopWithError(2);
}

void CRecorderArea::DecodeAndFeed() {
  frames_ = ring_.Decode(channels_, samples_);
  if (frames_ == 0) return;
  for (int c = 0; c < channels_; ++c) {
    if (COnlineECGArea* sweep = sweeps_[static_cast<size_t>(c)]) sweep->EraseAhead(frames_);
  }
  int used = frames_;
  for (int c = 0; c < channels_; ++c) {
    if (COnlineECGArea* sweep = sweeps_[static_cast<size_t>(c)])
      used = sweep->AddSamples(
          std::span(samples_[static_cast<size_t>(c)].data(), static_cast<size_t>(frames_)), c);
  }
  if (used > 0 && used < frames_) ring_.GiveBack(frames_ - used, channels_);
}

COnlineECGArea* CRecorderArea::GetSweepArea(int channel) const {
  return channel >= 0 && channel < TOnlineMonitorRing::kMaxChannels ? sweeps_[static_cast<size_t>(channel)]
                                                                    : nullptr;
}

void CRecorderArea::ProgramAndStart() {
  if (ended_) return;
  StopMonitor();
  TRecorderProgrammer programmer(*document_, link_open_ ? link_.get() : nullptr);
  if (programmer.Run()) {
    win::Windows().MessageBeep();
    (void)win::CurrentPrompt().MessageBox(platform::LoadString(kProgrammedString), win::Windows().AppTitle(),
                                          win::kMbOk | win::kMbIconInformation);
    document_->ResetContents();
    CommonEnd(kExitDone);
    return;
  }
  const int kind = document_->GetRecorderIdentification().recorder_kind;
  if (kind == TRecorderProtocol::kKindZK130 || kind == TRecorderProtocol::kKindZK133)
    StopWithError(2);
  else
    CommonEnd(kExitFailed);
}

void CRecorderArea::Leave() {
  if (ended_) return;
  StopMonitor();
  CommonEnd(kExitLeft);
}

void CRecorderArea::OnNotify(document::DocumentView*, int hint, THintObject*) {
  if (document_ == nullptr) return;
  if (hint == hint::kArea1143)
    ProgramAndStart();
  else if (hint == hint::kArea1144)
    Leave();
}

int CRecorderArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam) {
  switch (msg) {
    case kMsgTimer:
      if (wparam == kPollTimer) {
        OnPollTimer();
        return 1;
      }
      if (wparam == kStartTimer) {
        OnStartTimer();
        return 1;
      }
      return 0;
    case kCmdMonitor:
      (void)Send("MON\r", false);
      return 1;
    case kCmdExitMonitor:
      (void)Send("ExMON\r", false);
      if (poll_timer_ != 0) {
        if (win::Window* parent = ParentWindow()) parent->KillTimer(kPollTimer);
        poll_timer_ = 0;
      }
      if (link_) link_->EnableTransfer(false);
      monitoring_ = false;
      return 1;
    case kCmdStartStream: {
      const uint8_t start = TRecorderProtocol::kStartStream;
      (void)SendBytes(std::span(&start, 1), false);
      return 1;
    }
    case kCmdReset:
      (void)Send("Reset\r", false);
      return 1;
    case kCmdSetup:
      (void)Send("SET\r", false);
      return 1;
    case kCmdRecord:
      (void)Send("REC\r", false);
      return 1;
    case kCmdReview:
      (void)Send("REV\r", false);
      return 1;
    case kCmdTest:
      (void)Send("TST\r", false);
      return 1;
    case kCmdPowerOff:
      (void)Send("POff\r", false);
      return 1;
    case kCmdExitSetup:
      (void)Send("ExSET\r", false);
      return 1;
    case kCmdExitReview:
      (void)Send("ExREV\r", false);
      return 1;
    case kCmdStartMonitor:
      StartMonitor();
      return 1;
    default:
      return 0;
  }
}
