#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "document/document_strings.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "views/base_view.h"
#include "views/ecg_page_window.h"
#include "views/full_disclosure_area.h"
#include "views/strip_recording.h"
#include "win/window.h"

namespace pagetest {

// The page screens in small: layout 0 is the page window alone (display sub-mode 0), layout 1 the
// page window in the upper part of the view (any other sub-mode). Each page window holds the row
// times (90 pixels) and the full-disclosure page beside them.
inline std::unique_ptr<CViewConfiguration> PageLayout(int per_mille_height) {
  auto root = std::make_unique<CViewConfiguration>(1, 1, 1);
  const CPosition origin{};
  auto window = std::make_unique<CECGWindowConfig>(origin, gfx::Size{300, 100},
                                                   gfx::Size{1000, per_mille_height}, false);
  window->AddChild(
      std::make_unique<CECGRowTimeAreaConfig>(origin, gfx::Size{90, 100}, gfx::Size{0, 1000}, true));
  window->AddChild(std::make_unique<CFullDisclosureAreaConfig>(
      CPosition{CXPosition{0, 1, 0}, CYPosition{}}, gfx::Size{100, 90}, gfx::Size{1000, 1000}, true));
  root->AddChild(std::move(window));
  return root;
}

// Chooses its layout from the display sub-mode whenever the document says the page moved, as the
// main view does with the ECG page screens.
class PageView : public CBaseView {
 public:
  PageView(CZK470Doc* doc, CViewConfigurations* list) : CBaseView(doc), list_(list) {}
  CViewConfigurations* GetConfigurations() override { return list_; }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(LayoutIndex()); }
  void OnUpdate(document::DocumentView* sender, int hint_number, THintObject* object) override {
    if (hint_number == hint::kPositionMoved) GetSelector()->Select(LayoutIndex());
    hints.push_back(hint_number);
    CBaseView::OnUpdate(sender, hint_number, object);
  }
  int LayoutIndex() const { return GetDocument()->GetDisplaySubMode() == 0 ? 0 : 1; }

  std::vector<int> hints;

 private:
  CViewConfigurations* list_;
};

// A synthetic recording (two channels unless asked) shown in a headless view of the page screens.
class PageFixture : public testing::Test {
 protected:
  explicit PageFixture(int minutes = 30, int channels = 2) : recording_(minutes, channels) {}

  void SetUp() override {
    platform::UiThreadQueue().Reset();
    win::Windows().Reset();
    win::Windows().SetClock(&clock_);
    platform::Resources().ExePack().AddStrings(document::DocumentStrings());
    services_.locale = &locale_;
    SetECGPageServices(services_);
    Doc().SetDisplayMode(DisplayMode::kEcgPage);
    Doc().SetSpanEndMs(Doc().GetTimeRangeEnd());
    list_.Add(PageLayout(1000));
    list_.Add(PageLayout(620));
  }

  void TearDown() override {
    if (view_) view_->DestroyWindow();
    view_.reset();
    SetAutoScrollDialogFactory(nullptr);
    SetECGPageServices({});
    win::Windows().SetClock(nullptr);
    win::Windows().Reset();
    platform::UiThreadQueue().Reset();
  }

  void Show(int width = 1000, int height = 700) {
    view_ = std::make_unique<PageView>(&Doc(), &list_);
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, width, height}, win::kWsVisible));
    win::Windows().RunPending();
  }

  CZK470Doc& Doc() { return recording_.Doc(); }
  CViewAreaConfig* WindowNode() { return view_->GetSelector()->GetCurrent()->GetChild(0); }
  CECGWnd* Window() { return FindECGPageWindow(WindowNode()); }
  CFullDisclosureArea* Page() {
    return dynamic_cast<CFullDisclosureArea*>(WindowNode()->GetChild(1)->GetArea());
  }

  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  CECGPageServices services_;
  viewstest::StripRecording recording_;
  CViewConfigurations list_;
  std::unique_ptr<PageView> view_;
};

}  // namespace pagetest
