#include "recorder/recorder_window.h"

#include "document/profile_keys.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "win/toolbar_window.h"

namespace {

// The monitor's commands of the menu, passed down unchanged.
constexpr int kRecorderCommands[] = {32772, 32793, 32794, 32795, 32796, 32797,
                                     32798, 32799, 32800, 32811, 32812, 32813};

constexpr win::TextToolBarWindow::ButtonText kToolBarTexts[] = {
    {CRecorderWnd::kAmplitudeUp, "A+"},
    {CRecorderWnd::kAmplitudeDown, "A-"},
};

}  // namespace

std::unique_ptr<CAreaWnd> CRecorderWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CRecorderWnd>(this, document);
}

CRecorderWnd::CRecorderWnd(CWindowAreaConfig* config, CZK470Doc* document) : CAreaWnd(config, document) {
  for (const int id : kRecorderCommands) {
    AddCommand(id, [this, id] {
      if (GetConfig() != nullptr) GetConfig()->BroadcastAll(static_cast<uint32_t>(id), 0, 0);
    });
    AddUpdate(id, [](win::CmdUI& ui) { ui.Enable(true); });
  }
  AddCommand(kAmplitudeUp, [this] {
    if (GetAmplitudeStep() <= 0) StepAmplitude(1);
  });
  AddUpdate(kAmplitudeUp, [this](win::CmdUI& ui) { ui.Enable(GetAmplitudeStep() <= 0); });
  AddCommand(kAmplitudeDown, [this] {
    if (GetAmplitudeStep() > 0) StepAmplitude(-1);
  });
  AddUpdate(kAmplitudeDown, [this](win::CmdUI& ui) { ui.Enable(GetAmplitudeStep() > 0); });
}

int CRecorderWnd::GetAmplitudeStep() const {
  return GetDocument() != nullptr ? GetDocument()->GetSettings().Int(SettingKey::kResRealTimeAmplitude) : 1;
}

void CRecorderWnd::StepAmplitude(int delta) {
  if (GetDocument() == nullptr) return;
  GetDocument()->GetSettings().SetInt(SettingKey::kResRealTimeAmplitude, GetAmplitudeStep() + delta);
  if (GetConfig() != nullptr)
    GetConfig()->BroadcastAll(static_cast<uint32_t>(delta > 0 ? kAmplitudeUp : kAmplitudeDown), 0, 0);
}

void CRecorderWnd::OnTimer(uintptr_t id) {
  CAreaWnd::OnTimer(id);
  if (GetConfig() != nullptr) GetConfig()->BroadcastUntilHandled(kAreaTimerMessage, id, 0);
}

std::unique_ptr<win::Window> CRecorderWnd::CreateToolBar(CAreaFrameWnd& frame, uint32_t*, int* dock_bar) {
  // The bar and its caption are the program's own resources.
  platform::ScopedExeResources own_resources;
  auto bar = std::make_unique<win::TextToolBarWindow>(kToolBarTexts);
  for (const auto& button : kToolBarTexts)
    bar->Model().AddButton(button.id, -1, win::ToolButtonStyle::kButton, platform::LoadString(button.id));
  *dock_bar = kDockBarTop;
  if (!bar->CreateToolBar(frame, {0, 0, bar->NeededWidth(), win::ToolBarWindow::kBarHeight}, kToolBarResource,
                          win::kTbStyleFlat, this))
    return nullptr;
  bar->SetWindowText(platform::LoadString(kToolBarCaptionString));
  bar->UpdateButtons();
  return bar;
}
