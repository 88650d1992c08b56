// The MIT validation on real ECG: records 100 and 800 converted, analysed by the MIT batch and
// compared by the MIT statistic. Every reference's outcome and every counter of both rows must
// equal what this test computes on its own from the ".atr" file and the saved beat list. Skipped
// without the MIT-BIH records.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/analysis_dialogs.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/ids.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "support/analysis_services.h"
#include "support/mit_records.h"
#include "support/test_files.h"
#include "support/wfdb_record.h"
#include "tools/batch_analysis.h"
#include "tools/validation/annotation_statistic.h"
#include "tools/validation/validation_batches.h"
#include "win/prompt.h"
#include "win/win_fixture.h"

namespace {

namespace fs = std::filesystem;
using Outcome = tools::WalkTrace::Outcome;

const fs::path kMitdb = fs::path(ZK_SHARED_DIR) / "data" / "mitdb";
constexpr int kTolerance = 19;  // exclusive: 150 ms is 18 samples at 125 Hz
constexpr int32_t kScoredFrom = 37500;

struct Reference {
  int32_t position;
  char label;
};

struct Beat {
  int32_t position;
  int beat_class;
};

// The references of a record as the ".atr" gives them: beats and flutter marks inside the signal,
// at the nearest 125 Hz sample.
std::vector<Reference> AtrReferences(const std::string& name) {
  const testsupport::WfdbHeader header = testsupport::ReadWfdbHeader(kMitdb / (name + ".hea"));
  std::vector<Reference> references;
  for (const testsupport::WfdbAnnotation& a : testsupport::ReadWfdbAnnotations(kMitdb / (name + ".atr"))) {
    if (!testsupport::IsWfdbBeat(a.code) && !testsupport::IsWfdbFlutterMark(a.code)) continue;
    if (a.sample >= header.samples_per_signal) continue;
    const long position = std::lround(static_cast<double>(a.sample) * 125.0 / header.sampling_frequency);
    references.push_back(
        {static_cast<int32_t>(position), a.code == 1 ? '.' : testsupport::WfdbMnemonic(a.code)});
  }
  return references;
}

enum class BeatGroup { kNormal, kVentricular, kArtefact, k22, kOther };

BeatGroup GroupOf(int beat_class) {
  switch (beat_class) {
    case 1:
    case 9:
      return BeatGroup::kNormal;
    case 15:
      return BeatGroup::kVentricular;
    case 5:
      return BeatGroup::kArtefact;
    case 22:
      return BeatGroup::k22;
    default:
      return BeatGroup::kOther;
  }
}

enum class RefGroup { kNormal, kSupraventricular, kFusion, kQuestionable, kUnreadable, kIgnored, kAbnormal };

RefGroup GroupOf(char label) {
  switch (label) {
    case '.':
    case 'L':
    case 'R':
    case 'J':
    case 'j':
      return RefGroup::kNormal;
    case 'A':
    case 'S':
      return RefGroup::kSupraventricular;
    case 'F':
      return RefGroup::kFusion;
    case 'Q':
      return RefGroup::kQuestionable;
    case '|':
      return RefGroup::kUnreadable;
    case 'a':
    case 'e':
    case 'p':
      return RefGroup::kIgnored;
    default:
      return RefGroup::kAbnormal;
  }
}

// One reference matched with one beat, by the reference group and the beat's group.
void CountMatch(tools::AnnotationCounts& c, char label, int beat_class) {
  ++c.rpos;
  const BeatGroup beat = GroupOf(beat_class);
  // The four counters of a reference group: normal, abnormal, artefact and class-22 beat.
  const auto count = [&](int64_t& normal, int64_t& abnormal, int64_t& artefact, int64_t& of_22,
                         int64_t& other) {
    switch (beat) {
      case BeatGroup::kNormal:
        ++normal;
        break;
      case BeatGroup::kVentricular:
        ++abnormal;
        break;
      case BeatGroup::kArtefact:
        ++artefact;
        break;
      case BeatGroup::k22:
        ++of_22;
        break;
      case BeatGroup::kOther:
        ++other;
        break;
    }
  };
  switch (GroupOf(label)) {
    case RefGroup::kSupraventricular:
      if (beat_class == 9) ++c.sves_yes;
      if (beat_class == 1 || beat == BeatGroup::kVentricular || beat == BeatGroup::kOther) ++c.sves_no;
      [[fallthrough]];
    case RefGroup::kNormal:
      count(c.n_norm, c.n_abnor, c.n_ar, c.n_22, c.n_abnor);
      return;
    case RefGroup::kAbnormal:
      count(c.a_norm, c.a_abnor, c.a_ar, c.a_22, c.a_norm);
      return;
    case RefGroup::kFusion:
      count(c.f_norm, c.f_abnor, c.f_ar, c.f_abnor, c.f_abnor);
      return;
    case RefGroup::kQuestionable:
      count(c.q_norm, c.q_abnor, c.q_ar, c.q_norm, c.q_norm);
      return;
    case RefGroup::kUnreadable:
      count(c.u_norm, c.u_abnor, c.u_ar, c.u_norm, c.u_norm);
      return;
    case RefGroup::kIgnored:
      return;
  }
}

void CountMissed(tools::AnnotationCounts& c, char label) {
  ++c.total_missed;
  switch (GroupOf(label)) {
    case RefGroup::kNormal:
    case RefGroup::kSupraventricular:
      ++c.n_fneg;
      return;
    case RefGroup::kQuestionable:
      ++c.qu_fneg;
      return;
    case RefGroup::kUnreadable:
      ++c.u_missed;
      return;
    case RefGroup::kIgnored:
      return;
    case RefGroup::kFusion:
      ++c.fusion_missed;
      [[fallthrough]];
    case RefGroup::kAbnormal:
      ++c.a_fneg;
      return;
  }
}

void CountExtra(tools::AnnotationCounts& c, int beat_class) {
  ++c.total_fpos;
  switch (GroupOf(beat_class)) {
    case BeatGroup::kNormal:
      ++c.n_fpos;
      return;
    case BeatGroup::kVentricular:
      ++c.a_fpos;
      return;
    case BeatGroup::k22:
      ++c.fpos_22;
      return;
    case BeatGroup::kArtefact:
    case BeatGroup::kOther:
      ++c.ar_fpos;
      return;
  }
}

struct Expected {
  std::vector<tools::WalkTrace::Reference> references;
  tools::AnnotationCounts counts;
};

// The usual scoring: each reference takes the nearest unused beat within 150 ms; beats of the
// first 5 minutes are not scored, nor the references before the first scored beat; the walk ends
// with the beats or the references.
Expected Score(const std::vector<Reference>& references, const std::vector<Beat>& beats) {
  Expected e;
  e.references.resize(references.size());
  size_t first = 0;
  while (first < beats.size() && beats[first].position < kScoredFrom) ++first;
  if (first == beats.size()) return e;
  std::vector<bool> used(beats.size(), false);
  std::optional<size_t> last_reference;
  for (size_t r = 0; r < references.size(); ++r) {
    const int32_t position = references[r].position;
    if (!last_reference && position - beats[first].position <= -kTolerance) {
      e.references[r].outcome = Outcome::kDropped;
      continue;
    }
    std::optional<size_t> nearest;
    for (size_t b = first; b < beats.size(); ++b) {
      const int32_t d = std::abs(position - beats[b].position);
      if (used[b] || d >= kTolerance) continue;
      if (!nearest || d < std::abs(position - beats[*nearest].position)) nearest = b;
    }
    last_reference = r;
    if (nearest) {
      used[*nearest] = true;
      e.references[r] = {Outcome::kMatched, static_cast<int>(*nearest)};
      CountMatch(e.counts, references[r].label, beats[*nearest].beat_class);
      if (*nearest + 1 == beats.size()) break;  // the beats are used up
      continue;
    }
    // Missed while a later beat is still to come; else the walk has ended.
    if (beats.back().position - position >= kTolerance) {
      e.references[r].outcome = Outcome::kMissed;
      CountMissed(e.counts, references[r].label);
    } else {
      // The beats before it still count as extra ones against it.
      break;
    }
  }
  // Beats left over before the last reference the walk took are extra ones.
  if (last_reference) {
    const int32_t end = references[*last_reference].position;
    for (size_t b = first; b < beats.size(); ++b)
      if (!used[b] && end - beats[b].position >= kTolerance) CountExtra(e.counts, beats[b].beat_class);
  }
  return e;
}

std::string OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::kNotReached:
      return "not reached";
    case Outcome::kMatched:
      return "matched";
    case Outcome::kMissed:
      return "missed";
    case Outcome::kDropped:
      return "dropped";
    case Outcome::kDroppedWithBeat:
      return "dropped with its beat";
  }
  return "?";
}

// The record's row of the statistic file, as the file prints it.
std::string Row(int record, const tools::AnnotationCounts& c) {
  char line[256];
  std::snprintf(line, sizeof line,
                " MIT %5.0f #%5.0f|%5.0f|%4.0f#%5.0f|%5.0f|%4.0f# %4.0f| %4.0f| %5.0f# %4.0f| %4.0f| "
                "%5.0f|%5.0f|%4.0f|%4.0f",
                double(record), double(c.n_norm), double(c.n_abnor), double(c.n_ar), double(c.a_abnor),
                double(c.a_norm), double(c.a_ar), double(c.n_fneg), double(c.a_fneg), double(c.qu_fneg),
                double(c.n_fpos), double(c.a_fpos), double(c.ar_fpos), double(c.rpos), double(c.sves_yes),
                double(c.sves_no));
  return line;
}

class MitValidationTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    AddBatchAnalysisResources(platform::Resources().ExePack());
    temp_ = std::make_unique<testsupport::TempFolder>("mit_validation");
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
  }
  void TearDown() override {
    main_.DestroyWindow();
    temp_.reset();
    WinTest::TearDown();
  }

  std::unique_ptr<testsupport::TempFolder> temp_;
  win::Window main_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{platform::LocalDateTime{2024, 3, 1, 10, 30, 0, 0}};
};

TEST_F(MitValidationTest, EveryReferenceAndCounterOfRecords100And800) {
  if (!fs::exists(kMitdb / "100.hea") || !fs::exists(kMitdb / "800.hea"))
    GTEST_SKIP() << "no MIT-BIH records in " << kMitdb;
  const fs::path data = temp_->Path();
  for (const char* name : {"100", "800"}) coretest::ConvertMitRecord(kMitdb / name, data);

  SettingsDefaults defaults;
  defaults.home = data.string();
  CZK470Doc doc(CZK470Doc::NoUserInterface{}, profile_, clock_, defaults);
  doc.SetDataDirectory(data.string());
  win::ScriptedPrompt prompt;
  const win::ScopedPrompt scoped(prompt);
  {
    const tools::ScopedBatchAnalysisServices services({coretest::ProgramAnalysisServices});
    tools::RunValidationBatchCommand(&main_, doc, cmd::kValidationBatchMIT);
  }
  ASSERT_EQ(prompt.Log().size(), 1u);
  EXPECT_EQ(prompt.Log()[0].text, "MIT-Files succesful.") << "both records analysed and saved";

  std::map<int, tools::WalkTrace> traces;
  std::map<int, tools::AnnotationCounts> counts;
  tools::TAnnotationStatistic statistic(doc);
  statistic.SetWalkObserver([&](int record, const tools::WalkTrace& trace, const tools::AnnotationCounts& c) {
    traces[record] = trace;
    counts[record] = c;
  });
  statistic.RunMit();
  ASSERT_EQ(prompt.Log().size(), 2u);
  EXPECT_EQ(prompt.Log()[1].text, "MIT-Statistic successful.");
  std::ifstream file(data / "MITStat.txt");
  std::stringstream text;
  text << file.rdbuf();

  for (const int record : {100, 800}) {
    SCOPED_TRACE(record);
    const std::vector<Reference> references = AtrReferences(std::to_string(record));
    for (const Reference& r : references)
      ASSERT_TRUE(r.label != '!' && r.label != '[' && r.label != ']') << "a flutter mark in the record";
    TPatientData patient(clock_);
    TRecordingData recording(clock_);
    TQRSList saved;
    TEventList events;
    CZK470Doc::ReadRecordingFile((data / ("MIT" + std::to_string(record) + ".QRS")).string(), patient,
                                 recording, saved, events);
    std::vector<Beat> beats;
    for (int i = 0; i < saved.GetSize(); ++i)
      beats.push_back({saved.GetAt(i).GetPosition(), saved.GetAt(i).GetClass()});
    ASSERT_GT(beats.size(), 1500u) << "the batch saved an analysis";

    const Expected expected = Score(references, beats);
    ASSERT_EQ(traces.count(record), 1u) << "the record was compared";
    const tools::WalkTrace& trace = traces[record];
    ASSERT_EQ(trace.references.size(), references.size());
    for (size_t r = 0; r < references.size(); ++r) {
      const tools::WalkTrace::Reference& got = trace.references[r];
      const tools::WalkTrace::Reference& want = expected.references[r];
      ASSERT_TRUE(got == want) << "reference " << r << " ('" << references[r].label << "' at sample "
                               << references[r].position << "): the statistic says "
                               << OutcomeName(got.outcome) << " (beat " << got.beat << "), the scoring "
                               << OutcomeName(want.outcome) << " (beat " << want.beat << ")";
    }
    EXPECT_TRUE(counts[record] == expected.counts);
    EXPECT_NE(text.str().find(Row(record, expected.counts) + "\n"), std::string::npos)
        << "no row " << Row(record, expected.counts) << " in\n"
        << text.str();
  }
}

}  // namespace
