#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "layouts/beat_page_area.h"
#include "layouts/beat_page_factories.h"
#include "layouts/beat_page_window.h"
#include "layouts/default_layouts.h"
#include "platform/clock.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"
#include "views/base_view.h"
#include "views/view_area.h"
#include "views/window_area.h"
#include "win/command_target.h"
#include "win/window.h"

namespace beatpagetest {

// Every hint the document sends, in order.
class HintLog : public document::DocumentView {
 public:
  void OnUpdate(document::DocumentView*, int hint, THintObject*) override { hints.push_back(hint); }
  std::vector<int> hints;
};

// Area messages that reach the end of a broadcast from the layout's root.
class SpyArea : public CViewArea {
 public:
  SpyArea(CViewAreaConfig* config, CZK470Doc* doc, std::vector<uint32_t>* log)
      : CViewArea(config, doc), log_(log) {}
  int OnMessage(uint32_t msg, win::WParam, win::LParam) override {
    log_->push_back(msg);
    return 0;
  }

 private:
  std::vector<uint32_t>* log_;
};

class SpyConfig : public CViewAreaConfig {
 public:
  explicit SpyConfig(std::vector<uint32_t>* log) : log_(log) {}
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override {
    return std::make_unique<SpyArea>(this, doc, log_);
  }

 private:
  std::vector<uint32_t>* log_;
};

class BeatPageView : public CBaseView {
 public:
  explicit BeatPageView(CZK470Doc* doc) : CBaseView(doc) {}
  CViewConfigurations* GetConfigurations() override { return GetDefaultLayouts(); }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(9); }
};

// Layout 9 over a document without samples: template classes are filled with beats of their
// own, 100 samples apart, in the order the classes are added (beat index = list index). Open()
// shows the layout at 1000 x 700.
class BeatPageTest : public testing::Test {
 protected:
  static constexpr int kBeatSpacing = 100;

  void SetUp() override {
    platform::ResetProcessState();
    win::Windows().SetClock(&clock_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
    doc_->SetDisplayMode(DisplayMode::kTemplateBeats);
    RegisterBeatPageFactories();
  }

  void TearDown() override {
    if (view_) {
      doc_->RemoveView(view_.get());
      doc_->RemoveView(&log_);
      view_->DestroyWindow();
      view_.reset();
    }
    DeleteDefaultLayouts();
    doc_.reset();
    win::Windows().SetClock(nullptr);
    platform::ResetProcessState();
  }

  // A class of `count` beats of the family's beat class; returns its row.
  int AddClass(int family, int class_index, int count) {
    static constexpr int kBeatClassOfFamily[] = {kClassVES, kClassNormal, kClassArtefact, kClassSVES};
    TQRSList& beats = Doc().GetQRSList();
    TTemplateList& list = Doc().GetRecordingData().TemplateClasses(family)[static_cast<size_t>(class_index)];
    for (int i = 0; i < count; ++i) {
      const int index = beats.GetSize();
      beats.Append(TQRSComplex((index + 1) * kBeatSpacing, kBeatClassOfFamily[family], '!'));
      list.Append(index);
    }
    Doc().GetTemplateClassList().push_back({family, class_index, count});
    return static_cast<int>(Doc().GetTemplateClassList().size()) - 1;
  }

  // Messages broadcast from the root that no earlier area took.
  void SpyOnRoot() { spy_on_root_ = true; }

  void Open(int width = 1000, int height = 700) {
    ASSERT_TRUE(CreateDefaultLayouts());
    if (spy_on_root_) GetDefaultLayouts()->GetAt(9)->AddChild(std::make_unique<SpyConfig>(&root_messages_));
    view_ = std::make_unique<BeatPageView>(doc_.get());
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, width, height}, win::kWsVisible));
    doc_->AddView(view_.get());
    doc_->AddView(&log_);
    win::Windows().RunPending();
  }

  void Resize(int width, int height) {
    view_->MoveWindow({0, 0, width, height});
    win::Windows().RunPending();
  }

  CZK470Doc& Doc() { return *doc_; }
  CViewAreaConfig* WindowNode() { return view_->GetSelector()->GetCurrent()->GetChild(0); }
  CBeatPageWnd& Page() {
    return *dynamic_cast<CBeatPageWnd*>(
        dynamic_cast<CWindowArea*>(WindowNode()->GetArea())->GetHostedWindow());
  }
  CBeatPageArea& Area() { return *dynamic_cast<CBeatPageArea*>(WindowNode()->GetChild(1)->GetArea()); }

  // The centre of page cell `cell` (row x 20 + column) in the page window's client.
  gfx::Point CellCentre(int cell) {
    const gfx::Rect r = Area().StoredRect();
    const int w = Area().CellWidth();
    const int h = Area().CellHeight();
    return {r.left + cell % 20 * w + w / 2, r.top + cell / 20 * h + h / 2};
  }
  void Mouse(uint32_t message, gfx::Point client, unsigned flags = 0) {
    const gfx::Point at = Page().OffsetInTopLevel();
    win::Windows().MouseInput(*Page().GetTopLevel(), message, {at.x + client.x, at.y + client.y}, flags);
  }
  void Click(int cell, unsigned flags = 0) {
    Mouse(win::kWmLButtonDown, CellCentre(cell), flags);
    Mouse(win::kWmLButtonUp, CellCentre(cell), flags);
  }
  void RightClick(int cell) {
    Mouse(win::kWmRButtonDown, CellCentre(cell), win::kMkRButton);
    Mouse(win::kWmRButtonUp, CellCentre(cell));
  }
  int CursorCell() {
    const gfx::Point c = Area().Cursor();
    return c.y / Area().CellHeight() * 20 + c.x / Area().CellWidth();
  }
  bool Enabled(int id) { return win::UpdateCommand(Page(), id).Enabled().value_or(false); }
  void Command(int id) {
    Page().SendMessage(win::kWmCommand, static_cast<win::WParam>(id));
    win::Windows().RunPending();
  }
  int AskInt(uint32_t message) {
    int value = -7;
    WindowNode()->BroadcastUntilHandled(message, 0, reinterpret_cast<win::LParam>(&value));
    return value;
  }

  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<BeatPageView> view_;
  HintLog log_;
  bool spy_on_root_ = false;
  std::vector<uint32_t> root_messages_;
};

}  // namespace beatpagetest
