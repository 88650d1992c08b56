#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "document/template_class_entry.h"
#include "document/zk470_doc.h"
#include "layouts/default_layouts.h"
#include "layouts/st_pm_resources.h"
#include "layouts/template_browser_area.h"
#include "layouts/template_classes_window.h"
#include "layouts/template_detail_window.h"
#include "layouts/template_review_factories.h"
#include "platform/clock.h"
#include "platform/resources.h"
#include "views/base_view.h"
#include "views/strip_recording.h"
#include "views/view_resources.h"
#include "views/window_area.h"
#include "win/command_target.h"
#include "win/window.h"

namespace templatetest {

// One template class of the recording record: its family, index and member beats.
struct PlantedClass {
  int family = TTemplateClassEntry::kFamilyNormal;
  int class_index = 0;
  std::vector<int> beats;
};

class ScreenView : public CBaseView {
 public:
  ScreenView(CZK470Doc* doc, int layout) : CBaseView(doc), layout_(layout) {}
  CViewConfigurations* GetConfigurations() override { return GetDefaultLayouts(); }
  bool SelectInitialConfiguration() override { return GetSelector()->Select(layout_); }

 private:
  int layout_;
};

// A synthetic recording of two minutes (with VES) in a headless view of 1000 x 700 showing one
// of the template layouts, the template review's classes registered, timers on a manual clock.
class TemplateReviewTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterTemplateReviewFactories();
    platform::ResourcePack& pack = platform::Resources().ExePack();
    AddTemplateReviewResources(pack);
    AddSTAndPacemakerViewResources(pack);
    AddViewResources(pack);
    recording_ = std::make_unique<viewstest::StripRecording>(2, 2);
    win::Windows().SetClock(&clock_);
  }
  void TearDown() override {
    Close();
    recording_.reset();
    win::Windows().Reset();
  }

  CZK470Doc& Doc() { return recording_->Doc(); }

  // Replaces every template class of the record by these (members in order) and rebuilds the
  // rows; the beats take their family's class.
  void SetClasses(const std::vector<PlantedClass>& classes) {
    TRecordingData& record = Doc().GetRecordingData();
    for (int family = 0; family < 4; ++family) {
      for (TTemplateList& list : record.TemplateClasses(family)) list.RemoveAll();
      record.CurrentMembers(family).fill(0);
    }
    record.normal_special = {-1, -1};
    record.ves_special = {-1, -1};
    record.sves_special = {-1, -1};
    constexpr int kBeatClass[] = {kClassVES, kClassNormal, kClassArtefact, kClassSVES};
    for (const PlantedClass& planted : classes) {
      TTemplateList& list = record.TemplateClasses(planted.family)[static_cast<size_t>(planted.class_index)];
      for (int beat : planted.beats) {
        list.Append(beat);
        Doc().GetQRSList().SetClass(beat, kBeatClass[planted.family]);
      }
    }
    Doc().BuildTemplateClassList();
  }
  // Classes as an analysis leaves them: the VES beats in two VES classes, every seventh normal
  // beat relabelled SVES in one SVES class, the other normal beats in two normal classes by
  // turns.
  void SetAnalysedClasses() {
    std::vector<PlantedClass> classes = {{TTemplateClassEntry::kFamilyNormal, 0, {}},
                                         {TTemplateClassEntry::kFamilyNormal, 1, {}},
                                         {TTemplateClassEntry::kFamilyVES, 0, {}},
                                         {TTemplateClassEntry::kFamilyVES, 1, {}},
                                         {TTemplateClassEntry::kFamilySVES, 0, {}}};
    const TQRSList& beats = Doc().GetQRSList();
    int normal = 0;
    int ves = 0;
    for (int b = 1; b + 1 < beats.GetSize(); ++b) {
      const int beat_class = beats.ElementAt(b)->GetClass();
      if (beat_class == kClassVES) {
        classes[ves++ % 3 == 2 ? 3 : 2].beats.push_back(b);
      } else if (beat_class == kClassNormal) {
        classes[normal % 7 == 3 ? 4 : normal % 2].beats.push_back(b);
        ++normal;
      }
    }
    SetClasses(classes);
  }
  // count beats from `from` on, every `step`-th.
  static std::vector<int> Beats(int from, int count, int step = 1) {
    std::vector<int> beats;
    for (int i = 0; i < count; ++i) beats.push_back(from + i * step);
    return beats;
  }

  void Show(int layout, int width = 1000, int height = 700) {
    Close();
    ASSERT_TRUE(CreateDefaultLayouts());
    view_ = std::make_unique<ScreenView>(&Doc(), layout);
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, width, height}, win::kWsVisible));
    win::Windows().RunPending();
  }
  void Close() {
    if (!view_) return;
    view_->DestroyWindow();
    view_.reset();
    DeleteDefaultLayouts();
  }
  CViewConfiguration& Layout() { return *view_->GetSelector()->GetCurrent(); }

  template <typename Area>
  std::vector<Area*> Areas() {
    std::vector<Area*> found;
    Collect(&Layout(), found);
    return found;
  }
  template <typename Area>
  void Collect(CViewAreaConfig* node, std::vector<Area*>& found) {
    if (auto* area = dynamic_cast<Area*>(node->GetArea())) found.push_back(area);
    for (int i = 0; i < node->GetChildCount(); ++i) Collect(node->GetChild(i), found);
  }
  CTemplateBrowserArea& Browser(int slot) {
    for (CTemplateBrowserArea* area : Areas<CTemplateBrowserArea>())
      if (area->Slot() == slot) return *area;
    ADD_FAILURE() << "no browser of slot " << slot;
    return *Areas<CTemplateBrowserArea>().front();
  }
  CTemplateClassesWnd& Classes() { return *FindTemplateClassesWindow(Browser(0).GetConfig()); }
  CTemplateDetailWnd& Detail() {
    return *FindTemplateDetailWindow(Areas<CTemplateDetailArea>().front()->GetConfig());
  }

  bool Enabled(win::Window& window, int id) {
    return win::UpdateCommand(window, id).Enabled().value_or(false);
  }
  void Command(win::Window& window, int id) {
    window.SendMessage(win::kWmCommand, static_cast<win::WParam>(id));
  }
  void Mouse(win::Window& window, uint32_t message, gfx::Point client, unsigned flags = 0) {
    const gfx::Point at = window.OffsetInTopLevel();
    win::Windows().MouseInput(*window.GetTopLevel(), message, {at.x + client.x, at.y + client.y}, flags);
  }
  void Advance(int ms) {
    clock_.Advance(ms);
    win::Windows().FireDueTimers();
  }
  int Member(int family, int class_index) {
    return Doc().GetRecordingData().CurrentMembers(family)[static_cast<size_t>(class_index)];
  }
  int Size(int family, int class_index) {
    return Doc().GetRecordingData().TemplateClasses(family)[static_cast<size_t>(class_index)].GetSize();
  }

  platform::ManualClock clock_;
  std::unique_ptr<viewstest::StripRecording> recording_;
  std::unique_ptr<ScreenView> view_;
};

}  // namespace templatetest
