#include <algorithm>
#include <filesystem>
#include <set>

#include "analysis/pacemaker/pm_analysis.h"
#include "run_test_support.h"
#include "support/ecg_synthesizer.h"
#include "support/test_recordings.h"

namespace {

using analysis_test::AnalysisRunFixture;

// The whole run on a synthetic recording with paced beats, the pacemaker step installed.
class PMAnalysisRunTest : public AnalysisRunFixture {
 protected:
  void SetUp() override {
    AnalysisRunFixture::SetUp();
    analysis::AnalysisRun::Services services;
    services.dialogs = &dialogs_;
    services.engine = &engine_;
    services.library_version_text = [] { return std::string("1.23.4."); };
    services.pacemaker_analysis = analysis::RunPacemakerAnalysis;
    doc_->SetAnalysisHooks(nullptr);
    run_ = std::make_unique<analysis::AnalysisRun>(std::move(services));
    doc_->SetAnalysisHooks(run_.get());
  }

  testsupport::TruthList OpenSynthetic(bool markers) {
    testsupport::SynthOptions options;
    options.seed = 18;
    options.duration_s = 2 * 3600;
    options.paced_fraction = 0.3;
    options.pacemaker_markers = markers;
    const std::string base = temp_.File("00001");
    const testsupport::TruthList truth = testsupport::WriteSyntheticRecording(base, options);
    // The recording as the demo and the test-data tools save it: a recorder with pacemaker
    // detection marks its spikes and says so in the recording record.
    const std::filesystem::path qrs = coretest::WriteRecordingFile(base);
    EXPECT_TRUE(doc_->OnOpenDocument(qrs.string()));
    EXPECT_EQ(Doc().GetRecordingData().pacemaker_recording, markers ? 1 : 0);
    EXPECT_EQ(Doc().GetPatientData().pacemaker, markers ? 1 : 0);
    return truth;
  }
};

TEST_F(PMAnalysisRunTest, PacedBeatsAreFoundAndEverySpikeFiledOnce) {
  const testsupport::TruthList truth = OpenSynthetic(true);
  ASSERT_EQ(run_->Run(Doc(), 1), analysis::kResultFinished);

  constexpr int32_t kTolerance = 12;  // samples (96 ms) between a true and a found beat
  const TQRSList& beats = Doc().GetQRSList();
  ASSERT_GT(beats.GetSize(), 0);
  // The engine reports beats only after it has learnt: spikes outside its first and last beat have
  // no beat to pace (those after the last go to the class of other spikes).
  const int32_t first_beat = beats.ElementAt(0)->GetPosition();
  const int32_t last_beat = beats.ElementAt(beats.GetSize() - 1)->GetPosition();
  std::set<int> truly_paced;
  int paced_truth = 0;
  for (const testsupport::TruthBeat& t : truth.beats) {
    if (t.beat_class != testsupport::kClassPaced || t.position < first_beat || t.position > last_beat)
      continue;
    ++paced_truth;
    const int k = beats.FindNearest(TQRSComplex(t.position, kClassNormal));
    if (std::abs(beats.ElementAt(k)->GetPosition() - t.position) <= kTolerance) truly_paced.insert(k);
  }
  ASSERT_GT(paced_truth, 1000);
  int labelled = 0;
  for (int k : truly_paced) labelled += beats.ElementAt(k)->GetClass() == kClassPacedBeat ? 1 : 0;
  EXPECT_GE(labelled, paced_truth * 99 / 100);
  for (int k = 0; k < beats.GetSize(); ++k)
    if (beats.ElementAt(k)->GetClass() == kClassPacedBeat)
      EXPECT_TRUE(truly_paced.contains(k)) << "beat " << k;

  // Every spike lies in exactly one class, the early-spike class.
  std::multiset<int32_t> filed;
  for (const TPMTemplateList& list : Doc().GetRecordingData().pm_classes)
    for (const TPMTemplate& t : list.Elements()) filed.insert(t.GetPosition());
  int spikes = 0;
  for (const TEvent& e : Doc().GetEventList().Elements()) {
    if (e.GetClass() != TPMAnalysis::kSpikeKind || e.GetPosition() < first_beat ||
        e.GetPosition() > last_beat)
      continue;
    ++spikes;
    EXPECT_EQ(filed.count(e.GetPosition()), 1u) << "spike at " << e.GetPosition();
  }
  EXPECT_EQ(spikes, paced_truth);
  // The generator made no pause: paced beats are beats, not gaps.
  int pauses = 0;
  for (const TEvent& e : Doc().GetEventList().Elements()) pauses += e.GetClass() == kClassPause ? 1 : 0;
  EXPECT_EQ(pauses, 0);
  EXPECT_EQ(Doc().GetRecordingData().pm_classes[TPMAnalysis::kClassEarly].GetSize(), spikes);
  EXPECT_LE(Doc().GetRecordingData().pm_classes[TPMAnalysis::kClassOther].GetSize(), 2);
}

TEST_F(PMAnalysisRunTest, WithoutMarkersNoBeatIsPaced) {
  OpenSynthetic(false);
  ASSERT_EQ(run_->Run(Doc(), 1), analysis::kResultFinished);
  EXPECT_EQ(Doc().GetQRSList().GetCounter(kClassPacedBeat), 0);
  for (const TPMTemplateList& list : Doc().GetRecordingData().pm_classes) EXPECT_EQ(list.GetSize(), 0);
}

}  // namespace
