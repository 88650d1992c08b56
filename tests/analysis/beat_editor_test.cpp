#include "analysis/editing/beat_editor.h"

#include "analysis_test_support.h"

namespace {

using analysis_test::AnalysisDocTest;

class BeatEditorTest : public AnalysisDocTest {
 protected:
  TRecordingData& Record() { return Doc().GetRecordingData(); }
  // Fills class c of a family with the beats listed.
  static void Fill(TTemplateList& list, std::initializer_list<int32_t> beats) {
    list.RemoveAll();
    for (int32_t b : beats) list.Append(b);
  }
  static std::vector<int32_t> Members(const TTemplateList& list) {
    std::vector<int32_t> out;
    for (const TTemplate& t : list.Elements()) out.push_back(t.GetBeatIndex());
    return out;
  }
  template <class Family>
  static std::vector<int> Sizes(const Family& family, int n) {
    std::vector<int> out;
    for (int c = 0; c < n; ++c) out.push_back(family[static_cast<size_t>(c)].GetSize());
    return out;
  }
};

TEST_F(BeatEditorTest, CompactAndSortOrdersClassesBySizeWithTheirCurrentMembers) {
  SetBeats(std::string(20, 'N'), 100);
  Fill(Record().normal_classes[0], {0, 1, 2, 3, 4});
  Fill(Record().normal_classes[2], {5, 6, 7, 8, 9, 10, 11, 12, 13});
  Record().normal_current[2] = 4;
  TBeatEditor(Doc(), 1).CompactAndSortTemplateClasses();
  EXPECT_EQ(Sizes(Record().normal_classes, 4), (std::vector<int>{9, 5, 0, 0}));
  EXPECT_EQ(Members(Record().normal_classes[0]), (std::vector<int32_t>{5, 6, 7, 8, 9, 10, 11, 12, 13}));
  EXPECT_EQ(Record().normal_current[0], 4);
  EXPECT_EQ(Record().normal_current[1], 0);
}

TEST_F(BeatEditorTest, EmptySpecialClassSurvivesCompactionAndFollowsItsClass) {
  Fill(Record().ves_classes[0], {1, 2, 3});
  Fill(Record().ves_classes[3], {4, 5});
  Record().ves_special = {2, -1};
  TBeatEditor editor(Doc(), 0);
  editor.CompactTemplateClasses(TBeatEditor::kFamilyVES);
  EXPECT_EQ(Sizes(Record().ves_classes, 4), (std::vector<int>{3, 0, 2, 0}));
  EXPECT_EQ(Record().ves_special[0], 1);
  editor.SortTemplateClasses(TBeatEditor::kFamilyVES);
  EXPECT_EQ(Sizes(Record().ves_classes, 3), (std::vector<int>{3, 2, 0}));
  EXPECT_EQ(Record().ves_special[0], 2);
}

TEST_F(BeatEditorTest, FindFreeTemplateClassSkipsEverySpecialClass) {
  Fill(Record().normal_classes[0], {1});
  Fill(Record().normal_classes[1], {2});
  Record().ves_special = {-1, 2};  // another family's special index
  Record().sves_special = {3, -1};
  TBeatEditor editor(Doc(), 0);
  EXPECT_EQ(editor.FindFreeTemplateClass(TBeatEditor::kFamilyNormal), 4);
  for (TTemplateList& list : Record().artefact_classes) Fill(list, {7});
  EXPECT_EQ(editor.FindFreeTemplateClass(TBeatEditor::kFamilyArtefact), 300);
}

TEST_F(BeatEditorTest, MoveTemplateClass) {
  SetBeats("NNNNNNVV", 100);
  Fill(Record().normal_classes[2], {3, 4});
  Record().normal_current[2] = 1;
  TBeatEditor editor(Doc(), 0);
  EXPECT_EQ(editor.MoveTemplateClass(TBeatEditor::kFamilyNormal, 2, TBeatEditor::kFamilyNormal, 2), -1);
  // Into the artefact family always lands in class 0, whatever was asked.
  EXPECT_EQ(editor.MoveTemplateClass(TBeatEditor::kFamilyNormal, 2, TBeatEditor::kFamilyArtefact, 7), 0);
  EXPECT_EQ(Members(Record().artefact_classes[0]), (std::vector<int32_t>{3, 4}));
  EXPECT_EQ(Record().normal_classes[2].GetSize(), 0);
  EXPECT_EQ(Record().normal_current[2], 0);
  EXPECT_EQ(ClassLetters(), "NNNAANVV");

  // A target of -1 takes a free class.
  Fill(Record().ves_classes[0], {6, 7});
  EXPECT_EQ(editor.MoveTemplateClass(TBeatEditor::kFamilyVES, 0, TBeatEditor::kFamilyNormal, -1), 0);
  EXPECT_EQ(ClassLetters(), "NNNAANNN");

  // A full family refuses with the message, and nothing moves.
  for (TTemplateList& list : Record().ves_classes) Fill(list, {0});
  Fill(Record().normal_classes[5], {1});
  EXPECT_EQ(editor.MoveTemplateClass(TBeatEditor::kFamilyNormal, 5, TBeatEditor::kFamilyVES, -1), -1);
  ASSERT_FALSE(prompt_.Log().empty());
  EXPECT_EQ(prompt_.Log().back().text, "To much template-classes !");
  EXPECT_EQ(Record().normal_classes[5].GetSize(), 1);
}

TEST_F(BeatEditorTest, RelabelledBeatMovesToTheEditClassOfItsNewFamily) {
  SetBeats("NNNNNVNN", 100);
  Fill(Record().normal_classes[0], {0, 1, 2, 3});
  Fill(Record().normal_classes[1], {4, 7});
  Fill(Record().ves_classes[1], {5});
  Beats().SetClass(5, kClassNormal);
  TBeatEditor(Doc(), 0).RemoveBeatFromTemplates(5);
  EXPECT_EQ(Record().ves_classes[1].GetSize(), 0);
  // The normal edit class was unset: the first free class becomes it.
  EXPECT_EQ(Record().normal_special[1], 2);
  EXPECT_EQ(Members(Record().normal_classes[2]), (std::vector<int32_t>{5}));

  // The next relabel to normal joins the same edit class.
  Fill(Record().ves_classes[0], {6});
  Beats().SetClass(6, kClassVES);
  Beats().SetClass(6, kClassNormal);
  TBeatEditor(Doc(), 0).RemoveBeatFromTemplates(6);
  EXPECT_EQ(Members(Record().normal_classes[2]), (std::vector<int32_t>{5, 6}));
}

TEST_F(BeatEditorTest, WorkingListsFollowARemovedEngineBeat) {
  TQRSList& engine = Doc().GetEngineQRSList();
  for (uint8_t c : {kClassNormal, kClassVES, kClassNormal, kClassNormal, kClassVES, kClassSVES})
    engine.Append(TQRSComplex(100 * (engine.GetSize() + 1), c));
  auto& normal = Doc().GetEngineTemplates(CZK470Doc::kEngineFamilyNormal);
  auto& ves = Doc().GetEngineTemplates(CZK470Doc::kEngineFamilyVES);
  auto& sves = Doc().GetEngineTemplates(CZK470Doc::kEngineFamilySVES);
  Fill(normal[0], {0, 2, 3});
  Fill(ves[0], {1, 4});
  Fill(sves[0], {5});
  TBeatEditor(Doc(), 1).RemoveWorkingBeatAndShift(1);
  EXPECT_EQ(Members(ves[0]), (std::vector<int32_t>{3}));
  EXPECT_EQ(Members(normal[0]), (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(Members(sves[0]), (std::vector<int32_t>{4}));

  // Sorting the working classes carries the engine's special normal class along.
  Fill(normal[1], {7, 8, 9, 10});
  Doc().SetSpecialNormalClass(1);
  TBeatEditor(Doc(), 1).SortWorkingTemplateClasses();
  EXPECT_EQ(Sizes(normal, 2), (std::vector<int>{4, 3}));
  EXPECT_EQ(Doc().GetSpecialNormalClass(), 0);
}

TEST_F(BeatEditorTest, ChangesAreUndoneWithTheLogs) {
  SetBeats(std::string(20, 'N'), 100);
  Fill(Record().normal_classes[0], {0, 1});
  Fill(Record().normal_classes[2], {2, 3, 4});
  Doc().EnableUndo(1, 0);
  TBeatEditor(Doc(), 1).CompactAndSortTemplateClasses();
  ASSERT_EQ(Sizes(Record().normal_classes, 3), (std::vector<int>{3, 2, 0}));
  Doc().UndoEdits();
  EXPECT_EQ(Members(Record().normal_classes[0]), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(Record().normal_classes[1].GetSize(), 0);
  EXPECT_EQ(Members(Record().normal_classes[2]), (std::vector<int32_t>{2, 3, 4}));
}

}  // namespace
