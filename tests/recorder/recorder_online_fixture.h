#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/profile_keys.h"
#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "layouts/panel_factories.h"
#include "layouts/screen_factories.h"
#include "platform/ids.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "recorder/recorder_area.h"
#include "recorder/recorder_clock.h"
#include "recorder/recorder_link.h"
#include "recorder/recorder_protocol.h"
#include "recorder/recorder_screen_factories.h"
#include "recorder/recorder_window.h"
#include "support/recorder_sim.h"
#include "views/base_view.h"
#include "views/layout_tree.h"
#include "views/online_panel.h"
#include "win/win_fixture.h"

namespace recordertest {

// A headless view of one layout of the default list.
class LayoutView : public CBaseView {
 public:
  LayoutView(CZK470Doc* doc, int index) : CBaseView(doc), index_(index) {}
  CViewConfigurations* GetConfigurations() override { return GetDefaultLayouts(); }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(index_); }

 private:
  int index_;
};

// The online screens over a simulated recorder on a pseudo-terminal: the USB converter setting,
// the device search's values for the simulated recorder, the recorder clock 20 times faster, the
// window timers on the manual clock, a scripted prompt and scripted screen services that count
// the automation ends.
class RecorderScreenTest : public win::testing_support::WinTest {
 protected:
  static constexpr int kClockFactor = 20;

  void SetUp() override {
    WinTest::SetUp();
    clock_.Set({2026, 12, 8, 10, 30, 0, 0});
    recorder::SetClock(&fast_);
    saved_probe_names_ = recorder::Environment().probe_names;
    AddRecorderScreenResources(platform::Resources().ExePack());
    AddPanelResources(platform::Resources().ExePack());
    RegisterScreenFactories();
    RegisterRecorderScreenFactories();
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    doc_->GetSettings().SetInt(SettingKey::kIOPortMode, recorder::kInterfaceUsbConverter);
    SetRecorderScreenServices({[this] {
                                 ++comm_questions_;
                                 return comm_answer_retry_;
                               },
                               [this](int code) { exit_codes_.push_back(code); }});
  }
  void TearDown() override {
    Close();
    sim_.reset();
    doc_.reset();
    SetRecorderScreenServices({});
    recorder::Environment().probe_names = saved_probe_names_;
    recorder::SetClock(nullptr);
    WinTest::TearDown();
  }

  // The device search's values for a recorder of this configuration.
  void StartRecorder(recsim::SimConfig config) {
    sim_ = std::make_unique<recsim::PtyRecorder>(std::move(config));
    const recsim::SimConfig& sim = sim_->Model().Config();
    recorder::Environment().probe_names = {sim_->DevicePath()};
    CZK470Doc::RecorderIdentification& id = doc_->GetRecorderIdentification();
    id.recorder_kind = sim.kind;
    id.texts = {sim_->DevicePath(), sim.TypeText(), sim.version, sim.serial};
    TRecorderIdent ident{sim.TypeText(), sim.version, sim.serial};
    id.flag = sim.kind == TRecorderProtocol::kKindZK131 && ident.HasFirmware120() ? 1 : 0;
    SetOnlineRecorder({sim.ChannelCount(), sim.kind});
  }

  // The online screen of the recorder's channel count, as the new-recording procedure leaves it.
  void Show(int width = 1000, int height = 700) {
    Close();
    doc_->SetDisplayMode(DisplayMode::kOnlineEcg);
    ASSERT_TRUE(CreateDefaultLayouts());
    const int layout = sim_ != nullptr && sim_->Model().Config().ChannelCount() == 2 ? 6 : 19;
    view_ = std::make_unique<LayoutView>(doc_.get(), layout);
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, width, height}, win::kWsVisible));
    win::Windows().RunPending();
  }
  void Close() {
    if (view_ != nullptr) view_->DestroyWindow();
    view_.reset();
    DeleteDefaultLayouts();
  }

  CViewAreaConfig* WindowNode() const { return view_->GetSelector()->GetCurrent()->GetChild(0); }
  CRecorderArea* Area() const {
    CViewAreaConfig* node = WindowNode()->GetChild(1);
    return node != nullptr ? dynamic_cast<CRecorderArea*>(node->GetArea()) : nullptr;
  }
  CRecorderWnd* Window() const {
    return WindowNode()->GetArea() != nullptr
               ? dynamic_cast<CRecorderWnd*>(WindowNode()->GetArea()->GetWindow())
               : nullptr;
  }

  // One window-timer period; the recorder's own time passes alongside.
  void Tick(int ms = CRecorderArea::kPollMs) {
    recorder::Clock().SleepMs(ms);
    clock_.Advance(ms);
    win::Windows().RunPending();
  }
  // The start timer and the monitor's start.
  void StartMonitor() { Tick(CRecorderArea::kStartDelayMs); }

  std::vector<std::string> Words() const { return sim_->CommandWords(); }

  recorder::ScaledRecorderClock fast_{kClockFactor};
  platform::MemoryProfileStore profile_;
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<recsim::PtyRecorder> sim_;
  std::unique_ptr<LayoutView> view_;
  std::vector<std::string> saved_probe_names_;
  bool comm_answer_retry_ = false;
  int comm_questions_ = 0;
  std::vector<int> exit_codes_;
};

}  // namespace recordertest
