#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/document_strings.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "layouts/screen_factories.h"
#include "layouts/trend_factories.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "views/base_view.h"
#include "views/caption_areas.h"
#include "views/strip_recording.h"
#include "views/view_resources.h"
#include "views/window_area.h"
#include "win/window.h"

namespace trendtest {

using Lines = std::vector<std::string>;

// Shows one layout of the default list from its creation on.
class LayoutView : public CBaseView {
 public:
  LayoutView(CZK470Doc* doc, int index) : CBaseView(doc), index_(index) {}
  CViewConfigurations* GetConfigurations() override { return GetDefaultLayouts(); }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(index_); }

 private:
  int index_ = 0;
};

// Hints as the document sends them, in order.
class HintSpy : public document::DocumentView {
 public:
  void OnUpdate(document::DocumentView*, int hint, THintObject*) override { hints.push_back(hint); }
  std::vector<int> hints;
};

// What was drawn on the window outside painting since canvas `first`.
inline Lines ClientDrawing(const win::Window& window, size_t first = 0) {
  Lines lines;
  const win::WindowSystem::Record* record = win::Windows().RecordOf(window);
  if (record == nullptr) return lines;
  for (size_t n = first; n < record->client.size(); ++n)
    for (std::string& line : record->client[n]->Lines()) lines.push_back(std::move(line));
  return lines;
}

inline size_t ClientCanvases(const win::Window& window) {
  const win::WindowSystem::Record* record = win::Windows().RecordOf(window);
  return record != nullptr ? record->client.size() : 0;
}

// The DrawText texts of a display list, in order.
inline std::vector<std::string> Texts(const Lines& lines) {
  std::vector<std::string> texts;
  for (const std::string& line : lines) {
    if (line.rfind("DrawText ", 0) != 0) continue;
    const size_t open = line.find('"');
    const size_t close = line.find("\" at ", open + 1);
    if (open != std::string::npos && close != std::string::npos)
      texts.push_back(line.substr(open + 1, close - open - 1));
  }
  return texts;
}

// The first node of the tree (depth first) whose class the tables name so.
inline CViewAreaConfig* FindNode(CViewAreaConfig* node, std::string_view class_name) {
  if (node == nullptr) return nullptr;
  if (node->GetClassName() == class_name) return node;
  for (int i = 0; i < node->GetChildCount(); ++i)
    if (CViewAreaConfig* found = FindNode(node->GetChild(i), class_name)) return found;
  return nullptr;
}

// The shared texts the scale shows, as the packs of the navigator and the dialogs give them.
inline constexpr platform::StringEntry kSharedScaleStrings[] = {{14376, "Heart rate"}, {14377, "Trend"}};

// A headless view of one built-in layout with the program's classes and the trend group and bar
// graphs registered, over a synthetic recording (seeded generator, manual clock, 24-hour clock).
class TrendScreen : public testing::Test {
 protected:
  void SetUp() override {
    platform::UiThreadQueue().Reset();
    win::Windows().Reset();
    win::Windows().SetClock(&clock_);
    platform::Resources().ExePack().AddStrings(document::DocumentStrings());
    AddViewResources(platform::Resources().ExePack());
    AddTrendResources(platform::Resources().ExePack());
    platform::Resources().ExePack().AddStrings(kSharedScaleStrings);
    SetTimeAxisLocale(&locale_);
    RegisterScreenFactories();
    RegisterTrendFactories();
  }

  void TearDown() override {
    CloseView();
    recording_.reset();
    SetTimeAxisLocale(nullptr);
    win::Windows().SetClock(nullptr);
    win::Windows().Reset();
    platform::UiThreadQueue().Reset();
    platform::Resources().Reset();
  }

  void Record(int minutes) {
    recording_ = std::make_unique<viewstest::StripRecording>(minutes, 2);
    Doc().SetSpanLength(Doc().GetRecordingMinutes());
    Doc().SetSpanStartMs(0);
    Doc().SetSpanEndMs(Doc().GetRecordingMinutes() * 60000);
  }

  void Show(int layout, int width = 1000, int height = 700) {
    CloseView();
    ASSERT_TRUE(CreateDefaultLayouts());
    view_ = std::make_unique<LayoutView>(&Doc(), layout);
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, width, height}, win::kWsVisible));
    win::Windows().RunPending();
  }

  void CloseView() {
    if (view_) view_->DestroyWindow();
    view_.reset();
    DeleteDefaultLayouts();
  }

  CZK470Doc& Doc() { return recording_->Doc(); }
  CViewAreaConfig* Root() { return view_->GetSelector()->GetCurrent(); }

  // The first node of the current layout whose class the tables name so.
  CViewAreaConfig* Node(std::string_view class_name) { return FindNode(Root(), class_name); }
  template <typename T>
  T& AreaOf(std::string_view class_name) {
    CViewAreaConfig* node = Node(class_name);
    EXPECT_NE(node, nullptr) << class_name;
    auto* area = node != nullptr ? dynamic_cast<T*>(node->GetArea()) : nullptr;
    EXPECT_NE(area, nullptr) << class_name;
    return *area;
  }
  template <typename T>
  T& WindowOf(std::string_view class_name) {
    auto* area = dynamic_cast<CWindowArea*>(Node(class_name)->GetArea());
    return *dynamic_cast<T*>(area->GetHostedWindow());
  }

  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  std::unique_ptr<viewstest::StripRecording> recording_;
  std::unique_ptr<LayoutView> view_;
};

}  // namespace trendtest
