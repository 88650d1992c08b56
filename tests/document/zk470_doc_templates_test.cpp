#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "document/doc_test_support.h"

namespace {

// The beat editor as far as the template rows use it: deleting a beat takes it out of its class.
class EditorHooks : public document::AnalysisHooks {
 public:
  std::unique_ptr<document::HeartRatePassDetectors> CreatePassDetectors(CZK470Doc&) override {
    return nullptr;
  }
  void RecomputeEvents(CZK470Doc& doc, int with_sv) override {
    ++recomputed;
    doc.SetDerivedDataValid(1);
  }
  void RemoveBeatFromTemplates(CZK470Doc&, int beat) override { moved.push_back(beat); }
  void DeleteBeat(CZK470Doc& doc, void*, int32_t position, int beat) override {
    deleted.push_back(beat);
    for (int family = 0; family < 4; ++family)
      for (TTemplateList& list : doc.GetRecordingData().TemplateClasses(family))
        for (int i = list.GetSize() - 1; i >= 0; --i)
          if (list.GetAt(i).GetBeatIndex() == beat) list.RemoveAt(i);
  }
  void DetectSVEvents(CZK470Doc&, int percent, int from_beat) override { sv_from.push_back(from_beat); }
  void AnalyzeRecording(CZK470Doc&, int) override {}

  int recomputed = 0;
  std::vector<int> moved;
  std::vector<int> deleted;
  std::vector<int> sv_from;
};

class TemplateRows : public doctest::DocFixture {
 protected:
  void SetUp() override {
    DocFixture::SetUp();
    ASSERT_TRUE(doc_->OnNewDocument());
    for (int i = 0; i < 40; ++i) doc_->GetQRSList().Append(TQRSComplex(100 * i, kClassNormal));
    view_.hints.clear();
  }

  TTemplateList& List(int family, int class_index) {
    return doc_->GetRecordingData().TemplateClasses(family)[static_cast<size_t>(class_index)];
  }
  void Fill(int family, int class_index, std::vector<int> beats) {
    for (int beat : beats) List(family, class_index).Append(beat);
  }

  static constexpr int kVES = TTemplateClassEntry::kFamilyVES;
  static constexpr int kNormal = TTemplateClassEntry::kFamilyNormal;
  static constexpr int kArtefact = TTemplateClassEntry::kFamilyArtefact;
  static constexpr int kSVES = TTemplateClassEntry::kFamilySVES;
};

TEST_F(TemplateRows, BuildListsEveryFamilyWithItsSpecialClassesLast) {
  Fill(kNormal, 0, {0, 1, 2});
  Fill(kNormal, 1, {3, 4});
  Fill(kNormal, 2, {5});
  Fill(kNormal, 4, {6});  // behind the first empty class: not listed
  Fill(kNormal, 7, {7, 8});
  doc_->GetRecordingData().normal_special = {1, 7};
  Fill(kVES, 5, {9});  // class 0 empty: only the special classes
  doc_->GetRecordingData().ves_special = {5, 6};
  Fill(kSVES, 0, {10});
  Fill(kArtefact, 0, {11, 12, 13, 14});
  Fill(kArtefact, 1, {15});

  doc_->BuildTemplateClassList();
  const std::vector<TTemplateClassEntry> want = {{kNormal, 0, 3}, {kNormal, 2, 1},   {kNormal, 1, 2},
                                                 {kNormal, 7, 2}, {kVES, 6, 0},      {kVES, 5, 1},
                                                 {kSVES, 0, 1},   {kArtefact, 0, 4}, {kArtefact, 1, 1}};
  EXPECT_EQ(doc_->GetTemplateClassList(), want);

  // A class that became empty keeps its row as -1; an empty special class keeps its row.
  List(kNormal, 2).RemoveAll();
  List(kNormal, 1).RemoveAll();
  doc_->GetRecordingData().CurrentMembers(kNormal)[0] = 7;
  doc_->UpdateTemplateClassCounts();
  const auto& rows = doc_->GetTemplateClassList();
  EXPECT_EQ(rows[1], (TTemplateClassEntry{-1, -1, 0}));
  EXPECT_EQ(rows[2], (TTemplateClassEntry{kNormal, 1, 0}));
  EXPECT_EQ(doc_->GetRecordingData().CurrentMembers(kNormal)[0], 2) << "limited to the class's members";
}

TEST_F(TemplateRows, ScrollingKeepsTheCursorRowOnThePage) {
  struct Case {
    int view_setting, cursor, first, want_first;
  };
  const Case cases[] = {{0, 40, 0, 32}, {1, 40, 0, 24}, {0, 10, 0, 0}, {0, 3, 20, 0}, {0, 17, 20, 12}};
  for (const Case& c : cases) {
    doc_->GetSettings().SetInt(SettingKey::kTemplatesView, c.view_setting);
    doc_->SetTemplateCursorRow(c.cursor);
    doc_->SetFirstVisibleTemplateRow(c.first);
    doc_->ScrollTemplateClassIntoView();
    EXPECT_EQ(doc_->GetFirstVisibleTemplateRow(), c.want_first) << c.cursor << " from " << c.first;
  }
}

TEST_F(TemplateRows, BeatInSelectedClassOnlyOnTheTemplateScreen) {
  Fill(kNormal, 0, {0, 1, 2});
  Fill(kNormal, 1, {3});
  doc_->BuildTemplateClassList();
  doc_->SetSelectedTemplateRow(0);
  doc_->SetDisplayMode(DisplayMode::kTemplateBeats);
  EXPECT_TRUE(doc_->IsBeatInSelectedTemplateClass(1));
  EXPECT_FALSE(doc_->IsBeatInSelectedTemplateClass(3));
  EXPECT_FALSE(doc_->IsBeatInSelectedTemplateClass(99));
  doc_->GetPendingRelabels().push_back({TQRSComplex(300, kClassNormal), 3, document::kUndoChanged});
  EXPECT_TRUE(doc_->IsBeatInSelectedTemplateClass(3));
  doc_->GetQRSList().SetClass(1, kClassUser);
  EXPECT_FALSE(doc_->IsBeatInSelectedTemplateClass(1)) << "no template family for that class";
  doc_->SetDisplayMode(DisplayMode::kNavigation);
  EXPECT_FALSE(doc_->IsBeatInSelectedTemplateClass(0));
}

TEST_F(TemplateRows, SavingCommitsPendingRelabelsNewestFirstAndRecomputesOnlyWhenNeeded) {
  EditorHooks hooks;
  doc_->SetAnalysisHooks(&hooks);
  auto& pending = doc_->GetPendingRelabels();
  pending.push_back({TQRSComplex(100, kClassNormal), 1, document::kUndoChanged});
  pending.push_back({TQRSComplex(200, kClassNormal), 2, document::kUndoInserted});
  pending.push_back({TQRSComplex(500, kClassNormal), 5, document::kUndoChanged});

  doc_->EnsureAnalysisUpToDate();
  EXPECT_EQ(hooks.moved, (std::vector<int>{5, 1}));
  EXPECT_TRUE(doc_->GetPendingRelabels().empty());
  EXPECT_EQ(hooks.recomputed, 0) << "derived data are valid";

  doc_->SetDerivedDataValid(0);
  (void)doc_->StoreToBytes();
  EXPECT_EQ(hooks.recomputed, 1);
  doc_->SetAnalysisHooks(nullptr);
}

TEST_F(TemplateRows, DeletingAClassDeletesEachBeatInTurn) {
  EditorHooks hooks;
  doc_->SetAnalysisHooks(&hooks);
  Fill(kSVES, 0, {12, 4, 9, 20, 21, 22, 23, 24, 25, 26});
  doc_->BuildTemplateClassList();
  ASSERT_EQ(doc_->GetTemplateClassList().size(), 1u);

  doc_->DeleteTemplateClassBeats(nullptr, 0);
  EXPECT_EQ(hooks.deleted, (std::vector<int>{12, 4, 9, 20, 21, 22, 23, 24, 25, 26}));
  EXPECT_EQ(hooks.sv_from, (std::vector<int>{11, 3, 8, 19, 20, 21, 22, 23, 24, 25}));
  EXPECT_TRUE(doc_->IsModified());
  EXPECT_EQ(doc_->GetDerivedDataValid(), 0);
  EXPECT_EQ(doc_->GetTemplateClassList()[0].count, 0);

  hooks.deleted.clear();
  doc_->DeleteTemplateClassBeats(nullptr, 5);
  EXPECT_TRUE(hooks.deleted.empty()) << "no such row";
  doc_->SetAnalysisHooks(nullptr);
}

TEST_F(TemplateRows, PacemakerRowsLeaveOutEmptySpecialClasses) {
  doc_->GetRecordingData().pm_classes[0].Append(TPMTemplate(10));
  doc_->GetRecordingData().pm_classes[0].Append(TPMTemplate(20));
  doc_->GetRecordingData().pm_classes[3].Append(TPMTemplate(30));
  doc_->GetRecordingData().pm_current[0] = 5;
  doc_->BuildPMTemplateClassList();
  const auto& rows = doc_->GetPMTemplateClassList();
  ASSERT_EQ(rows.size(), 44u);  // 50 classes, less the six empty special ones
  EXPECT_EQ(rows[0], (TPMTemplateClassEntry{0, 0, 2}));
  EXPECT_EQ(rows[1], (TPMTemplateClassEntry{0, 2, 0}));
  EXPECT_EQ(rows[2], (TPMTemplateClassEntry{0, 3, 1}));
  const std::vector<int32_t> codes(doc_->GetRecordingData().pm_class_codes.begin(),
                                   doc_->GetRecordingData().pm_class_codes.begin() + 7);
  EXPECT_EQ(codes, (std::vector<int32_t>{1, 3, 4, 6, 8, 9, 11}));
  doc_->UpdatePMTemplateClassCounts();
  EXPECT_EQ(doc_->GetRecordingData().pm_current[0], 1);
}

TEST_F(TemplateRows, UndoEditsRestoresListsClassesAndBrowsingState) {
  Fill(kNormal, 0, {0, 1});
  doc_->GetRecordingData().normal_special = {3, 4};
  doc_->BuildTemplateClassList();
  doc_->SetSelectedTemplateRow(1);
  const TQRSList beats_before = doc_->GetQRSList();

  doc_->EnableUndo(1, 5000);
  EXPECT_EQ(doc_->GetEditRecording(), 1);
  doc_->GetQRSList().SetClass(3, kClassVES);
  doc_->GetQRSList().RemoveAt(7);
  doc_->GetEventList().Append(TEvent(50, 60, kClassUser));
  List(kNormal, 0).Append(2);
  doc_->GetRecordingData().normal_special = {-1, -1};
  doc_->GetRecordingData().CurrentMembers(kNormal)[0] = 1;
  doc_->SetSelectedTemplateRow(0);
  doc_->SetCurrentPosition(99, 0);

  doc_->SetUndoUpdateFlag(1);
  doc_->UndoEdits();
  EXPECT_EQ(doc_->GetQRSList(), beats_before);
  EXPECT_EQ(doc_->GetEventList().GetSize(), 0);
  EXPECT_EQ(List(kNormal, 0).GetSize(), 2);
  EXPECT_EQ(doc_->GetRecordingData().normal_special, (std::array<int32_t, 2>{3, 4}));
  EXPECT_EQ(doc_->GetRecordingData().CurrentMembers(kNormal)[0], 0);
  EXPECT_EQ(doc_->GetSelectedTemplateRow(), 1);
  EXPECT_EQ(doc_->GetCurrentPosition(), 5000);
  EXPECT_EQ(doc_->GetEditRecording(), 0);
  EXPECT_EQ(view_.hints, (std::vector<int>{hint::kDocumentChanged, hint::kEditsChanged, hint::kEditsUndone}));
}

// The screen the template browser opens on has as many classes as its paging counts.
class TemplateScreen : public doctest::DocFixture {};

TEST_F(TemplateScreen, ItsSizeFollowsTheStoredSetting) {
  struct Case {
    const char* name;
    std::optional<int> stored;
    bool large;
  };
  const Case cases[] = {
      {"nothing stored", std::nullopt, true}, {"16 classes", 0, false}, {"24 classes", 1, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    platform::MemoryProfileStore profile;
    if (c.stored) profile.WriteInt("Templates", "View", *c.stored);
    SettingsDefaults defaults;
    defaults.home = temp_.Path().string();
    const CZK470Doc doc(profile, clock_, defaults);
    EXPECT_EQ(doc.GetLargeTemplateViewFlag(), c.large);
  }
}

}  // namespace
