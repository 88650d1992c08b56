#include "tools/batch_analysis.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "analysis/analysis_dialogs.h"
#include "analysis/document_engine_adapters.h"
#include "analysis/engine/beat_sample_source.h"
#include "document/document_context.h"
#include "document/event_list.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/raw_ecg_data.h"
#include "document/recording_data.h"
#include "document/update_hints.h"
#include "document/zk470_doc.h"
#include "platform/archive.h"
#include "platform/atomic_file_writer.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/ids.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "support/analysis_services.h"
#include "support/ecg_synthesizer.h"
#include "support/test_files.h"
#include "tools/run_family.h"
#include "tools/validation/validation_batches.h"
#include "tools/validation/validation_records.h"
#include "win/win_fixture.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Summary(int analysed, int errors) {
  return "Analysed : " + std::to_string(analysed) + "        Errors : " + std::to_string(errors);
}

// The analysis services of the program: pacemaker and ST steps under the worker's dialogs.
// Holds the engine at a chosen minute of the chosen recordings until the test opens the gate.
struct Gate {
  std::vector<std::string> held_paths;
  int32_t at_minute = 2;
  std::atomic<int> reached{0};
  std::atomic<bool> open{false};
};

class GatedSource : public BeatSampleSource {
 public:
  GatedSource(TRawECGData& store, Gate& gate, bool held) : inner_(store), gate_(gate), held_(held) {}
  void Reopen() override { inner_.Reopen(); }
  int32_t GetWholeMinutes() const override { return inner_.GetWholeMinutes(); }
  int GetAnalysedChannelCount() const override { return inner_.GetAnalysedChannelCount(); }
  void GetAnalysisMinute(std::span<int16_t, beat_engine::kSamplesPerMinute> samples, int lead, int32_t minute,
                         bool report_markers) override {
    if (held_ && minute >= gate_.at_minute) {
      if (!counted_) gate_.reached.fetch_add(1);
      counted_ = true;
      while (!gate_.open.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    inner_.GetAnalysisMinute(samples, lead, minute, report_markers);
  }

 private:
  analysis::DocumentSampleSource inner_;
  Gate& gate_;
  bool held_;
  bool counted_ = false;
};

class BatchAnalysisTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    AddBatchAnalysisResources(platform::Resources().ExePack());
    temp_ = std::make_unique<testsupport::TempFolder>("batch_analysis");
    data_ = temp_->Path() / "data";
    fs::create_directories(data_);
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
  }

  void TearDown() override {
    main_.DestroyWindow();
    temp_.reset();
    WinTest::TearDown();
  }

  std::unique_ptr<CZK470Doc> MakeDoc() {
    SettingsDefaults defaults;
    defaults.home = temp_->Path().string();
    auto doc = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, doc_clock_, defaults);
    doc->SetDataDirectory(data_.string());
    return doc;
  }

  // A synthetic recording of that many minutes with an unanalysed ".QRS" naming its patient;
  // returns the ".QRS" path.
  std::string WriteRecording(const fs::path& folder, const std::string& base, int minutes, uint64_t seed,
                             std::vector<int32_t> analysis_channels = {0, 1}) {
    testsupport::SynthOptions options;
    options.seed = seed;
    options.duration_s = minutes * 60;
    options.heart_rate_bpm = 72;
    options.ves_fraction = 0.04;
    options.sves_fraction = 0.02;
    testsupport::WriteSyntheticRecording(folder / base, options);
    TPatientData patient(doc_clock_);
    patient.first_name = "Eva";
    patient.surname = "Roth " + base;
    TRecordingData recording(doc_clock_);
    recording.start_date = {0, 45000.0};
    recording.start_time = {0, 0.375};
    // The patient record stores the analysis and ST channels of the context.
    const document::DocumentContext saved = document::Context();
    document::Context().g_AnalysisChannels.Assign(analysis_channels);
    document::Context().g_STChannels.Assign(analysis_channels);
    platform::ArchiveWriter ar;
    patient.Serialize(ar, 32);
    document::Context() = saved;
    recording.Serialize(ar, 32);
    TQRSList().Serialize(ar, 32);
    TEventList().Serialize(ar, 32);
    const fs::path qrs = folder / (base + ".QRS");
    platform::WriteFileAtomic(qrs, ar.Bytes());
    return qrs.string();
  }

  // Options as the command builds them, on documents made like the program's.
  tools::BatchOptions Options(int threads) {
    tools::BatchOptions options;
    options.threads = threads;
    options.make_document = [this] { return MakeDoc(); };
    options.run_services = coretest::ProgramAnalysisServices;
    options.poll_ms = 5;
    options.stop_line = platform::LoadString(kIdsBatchStopped);
    return options;
  }

  std::unique_ptr<testsupport::TempFolder> temp_;
  fs::path data_;
  win::Window main_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock doc_clock_{platform::LocalDateTime{2024, 3, 1, 10, 30, 0, 0}};
};

// The command end to end: the picker, a recording without its sample file, one that cannot be
// opened, the result list in the picker's order and the document left empty.
TEST_F(BatchAnalysisTest, CommandReportsEveryRecordingInPickerOrder) {
  const std::string first = WriteRecording(data_, "00001", 10, 1);
  const std::string missing = WriteRecording(data_, "00002", 10, 2);
  fs::remove(data_ / "00002.CMP");
  const std::string third = WriteRecording(data_, "00003", 12, 3);
  const std::string damaged = WriteRecording(data_, "00004", 10, 4);
  testsupport::WriteBytes(damaged, Bytes{1, 2, 3, 4, 5, 6, 7});
  const Bytes damaged_before = ReadBytes(damaged);

  std::unique_ptr<CZK470Doc> doc = MakeDoc();
  ASSERT_TRUE(doc->OnOpenDocument(first));
  std::string picker_title, picker_folder, caption;
  int picker_kind = -1;
  std::vector<std::string> lines;
  bool auto_scroll = false;
  tools::ToolServices services;
  services.pick_files = [&](win::Window*, const std::string& title, const std::string& folder, int kind) {
    picker_title = title;
    picker_folder = folder;
    picker_kind = kind;
    return tools::PickResult{true, {first, missing, third, damaged}};
  };
  services.show_results = [&](win::Window*, const std::string& c, const std::vector<std::string>& l,
                              bool scroll) {
    caption = c;
    lines = l;
    auto_scroll = scroll;
  };
  const tools::ScopedToolServices scoped(std::move(services));
  const tools::ScopedBatchAnalysisServices batch({coretest::ProgramAnalysisServices});

  tools::BatchAnalysis(&main_, doc.get());

  EXPECT_EQ(picker_title, "Select Files for Batch Analysis");
  EXPECT_EQ(picker_folder, data_.string());
  EXPECT_EQ(picker_kind, tools::kPickRecordingsBatch);
  EXPECT_EQ(caption, "Results - Batch Analysis");
  EXPECT_TRUE(auto_scroll);
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[0], "Analysed - " + first);
  EXPECT_EQ(lines[1], "ECG datafile not found - " + missing);
  EXPECT_EQ(lines[2], "Analysed - " + third);
  EXPECT_EQ(lines[3], "Error opening file - " + damaged);
  // What the document would have said about the damaged file follows its line.
  EXPECT_GT(lines.size(), 7u);
  EXPECT_EQ(lines[lines.size() - 2], " ");
  EXPECT_EQ(lines.back(), Summary(2, 2));

  EXPECT_EQ(ReadBytes(damaged), damaged_before);
  EXPECT_TRUE(doc->GetPathName().empty());
  EXPECT_EQ(doc->GetDisplayMode(), DisplayMode::kNone);
  for (const std::string& path : {first, third}) {
    SCOPED_TRACE(path);
    std::unique_ptr<CZK470Doc> check = MakeDoc();
    ASSERT_TRUE(check->OnOpenDocument(path));
    EXPECT_GT(check->GetQRSList().GetSize(), 500);
    EXPECT_GT(check->GetQRSList().GetCounter(kClassVES), 0);
    EXPECT_NE(check->GetRecordingData().pause_threshold, -1) << "the analysis record is written";
  }
}

TEST_F(BatchAnalysisTest, CancelledPickerStartsNothing) {
  std::unique_ptr<CZK470Doc> doc = MakeDoc();
  bool shown = false;
  for (const tools::PickResult& pick : {tools::PickResult{false, {}}, tools::PickResult{true, {}}}) {
    tools::ToolServices services;
    services.pick_files = [&](win::Window*, const std::string&, const std::string&, int) { return pick; };
    services.show_results = [&](win::Window*, const std::string&, const std::vector<std::string>&, bool) {
      shown = true;
    };
    const tools::ScopedToolServices scoped(std::move(services));
    tools::BatchAnalysis(&main_, doc.get());
  }
  EXPECT_FALSE(shown);
}

TEST_F(BatchAnalysisTest, RecordingThatCannotBeOpenedIsAnErrorAndStaysAsItWas) {
  struct Case {
    const char* name;
    std::function<void(const std::string& qrs)> spoil;
  };
  std::vector<platform::FileLock> locks;
  const Case kCases[] = {
      {"not a recording file", [](const std::string& qrs) { testsupport::WriteBytes(qrs, Bytes(40, 0xFF)); }},
      {"beat count beyond the file",
       [](const std::string& qrs) {
         Bytes bytes = ReadBytes(qrs);
         bytes.resize(bytes.size() - 8);
         testsupport::WriteBytes(qrs, bytes);
       }},
      {"held by another program",
       [&locks](const std::string& qrs) {
         locks.emplace_back();
         ASSERT_EQ(locks.back().Lock(qrs), platform::FileLock::Status::kLocked);
       }},
  };
  int n = 10;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string qrs = WriteRecording(data_, "000" + std::to_string(n++), 10, 7);
    c.spoil(qrs);
    const Bytes before = ReadBytes(qrs);
    const tools::RunResults results = tools::RunBatchAnalysis({qrs}, Options(1));
    ASSERT_GE(results.Lines().size(), 3u);
    EXPECT_EQ(results.Lines()[0], "Error opening file - " + qrs);
    EXPECT_EQ(results.Lines().back(), Summary(0, 1));
    EXPECT_EQ(ReadBytes(qrs), before);
  }
}

// Cancel stops the analysis under way and hands out no further recording; nothing that was not
// analysed to its end is saved.
TEST_F(BatchAnalysisTest, CancelLeavesUnfinishedRecordingsAsTheyWere) {
  struct Case {
    const char* name;
    int threads;
    size_t held;  // the recording whose analysis is cancelled
    std::vector<size_t> analysed;
    std::vector<size_t> never_opened;
  };
  const Case kCases[] = {
      {"first of three, one worker", 1, 0, {}, {1, 2}},
      {"last of three, one worker", 1, 2, {0, 1}, {}},
      {"first of three, two workers", 2, 0, {1}, {}},
  };
  int folder = 0;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = data_ / std::to_string(folder++);
    fs::create_directories(dir);
    std::vector<std::string> paths;
    std::vector<Bytes> before;
    for (int i = 0; i < 3; ++i) {
      paths.push_back(
          WriteRecording(dir, "0000" + std::to_string(i + 1), 10 + 2 * i, 20 + static_cast<uint64_t>(i)));
      before.push_back(ReadBytes(paths.back()));
    }
    Gate gate;
    gate.held_paths = {paths[c.held]};
    tools::BatchOptions options = Options(c.threads);
    options.run_services = [&gate](analysis::AnalysisDialogs& dialogs) {
      analysis::AnalysisRun::Services services = coretest::ProgramAnalysisServices(dialogs);
      services.sample_source = [&gate](CZK470Doc& doc) -> std::unique_ptr<BeatSampleSource> {
        const bool held = std::find(gate.held_paths.begin(), gate.held_paths.end(), doc.GetPathName()) !=
                          gate.held_paths.end();
        return std::make_unique<GatedSource>(*doc.GetRawECGData(), gate, held);
      };
      return services;
    };
    // With two workers the other recording must be done before Cancel, so that its outcome is known.
    const size_t must_be_done = c.analysed.size();
    // The gate opens only after Cancel has been given, so the held analysis cannot end first.
    bool cancelled = false;
    options.progress = [&](const tools::BatchProgress& progress) {
      if (cancelled) gate.open.store(true);
      if (gate.reached.load() > 0 && static_cast<size_t>(progress.done) >= must_be_done) cancelled = true;
      return !cancelled;
    };
    const tools::RunResults results = tools::RunBatchAnalysis(paths, options);

    std::vector<std::string> expected;
    for (size_t i : c.analysed) expected.push_back("Analysed - " + paths[i]);
    expected.push_back("Batch analysis stopped !");
    expected.push_back(" ");
    expected.push_back(Summary(static_cast<int>(c.analysed.size()), 0));
    EXPECT_EQ(results.Lines(), expected);
    EXPECT_EQ(ReadBytes(paths[c.held]), before[c.held]);
    for (size_t i : c.never_opened) {
      EXPECT_EQ(ReadBytes(paths[i]), before[i]);
      EXPECT_FALSE(fs::exists(dir / ("0000" + std::to_string(i + 1) + ".BAK")))
          << "recording " << i << " was opened";
    }
    for (size_t i : c.analysed) EXPECT_NE(ReadBytes(paths[i]), before[i]);
  }
}

// Each worker analyses on its own document state: the files do not depend on how many run at
// once, and the program's own channel sets stay as they were.
TEST_F(BatchAnalysisTest, AllCoresWriteTheSameFilesAsOneThread) {
  std::vector<std::string> paths;
  std::map<std::string, Bytes> unanalysed;
  for (int i = 0; i < 4; ++i) {
    paths.push_back(
        WriteRecording(data_, "0010" + std::to_string(i), 10 + 3 * i, 40 + static_cast<uint64_t>(i)));
    unanalysed[paths.back()] = ReadBytes(paths.back());
  }
  // One recording analyses its channels the other way round: were the channel sets shared, the
  // recordings analysed beside it would read the wrong leads.
  paths.push_back(WriteRecording(data_, "00104", 10, 44, {1, 0}));
  unanalysed[paths.back()] = ReadBytes(paths.back());
  document::Context().g_DisplayChannels.Assign(std::vector<int32_t>{2});
  const document::DocumentContext program_context = document::Context();

  std::map<std::string, Bytes> analysed_by_one;
  for (int threads : {1, 4}) {
    SCOPED_TRACE(threads);
    for (const auto& [path, bytes] : unanalysed) {
      testsupport::WriteBytes(path, bytes);
      fs::remove(fs::path(path).replace_extension("BAK"));
    }
    const tools::RunResults results = tools::RunBatchAnalysis(paths, Options(threads));
    EXPECT_EQ(results.Successes(), 5);
    EXPECT_EQ(results.Lines().back(), Summary(5, 0));
    for (const std::string& path : paths) {
      const Bytes bytes = ReadBytes(path);
      EXPECT_NE(bytes, unanalysed[path]);
      if (threads == 1) {
        analysed_by_one[path] = bytes;
      } else {
        EXPECT_TRUE(bytes == analysed_by_one[path]) << path << " differs from the one-thread run";
      }
    }
    EXPECT_EQ(document::Context().g_DisplayChannels, program_context.g_DisplayChannels);
    EXPECT_EQ(document::Context().g_AnalysisChannels, program_context.g_AnalysisChannels);
    EXPECT_EQ(document::Context().g_STChannels, program_context.g_STChannels);
  }
}

TEST_F(BatchAnalysisTest, RecordingThatCannotBeSavedIsAnError) {
  const fs::path folder = data_ / "sub";
  fs::create_directories(folder);
  const std::string qrs = WriteRecording(folder, "00001", 10, 9);
  const Bytes before = ReadBytes(qrs);
  const fs::path moved = data_ / "moved";
  tools::BatchOptions options = Options(1);
  options.run_services = [&](analysis::AnalysisDialogs& dialogs) {
    analysis::AnalysisRun::Services services = coretest::ProgramAnalysisServices(dialogs);
    // The folder goes away once the signal has been read: the save has nowhere to write.
    services.st_analysis = nullptr;
    services.pacemaker_analysis = [&](CZK470Doc&) { fs::rename(folder, moved); };
    return services;
  };
  const tools::RunResults results = tools::RunBatchAnalysis({qrs}, options);
  ASSERT_GE(results.Lines().size(), 3u);
  EXPECT_EQ(results.Lines()[0], "Error writing file - " + qrs);
  EXPECT_EQ(results.Lines().back(), Summary(0, 1));
  EXPECT_EQ(ReadBytes(moved / "00001.QRS"), before);
}

// The analysis of a worker's recording runs on threads that the worker starts (engine, wait and ST
// dialogs): they must see the worker's context, and threads outside it the program's.
TEST(WorkerContext, ReachesTheThreadsStartedUnderIt) {
  document::DocumentContext own;
  const document::DocumentContext* seen_by_worker = nullptr;
  const document::DocumentContext* seen_by_nested = nullptr;
  const document::DocumentContext* seen_after = nullptr;
  {
    const document::ScopedThreadContext scope(own);
    EXPECT_EQ(&document::Context(), &own);
    platform::WorkerThread worker;
    worker.Start([&](const platform::WorkerThread&) {
      seen_by_worker = &document::Context();
      platform::WorkerThread nested;
      nested.Start([&](const platform::WorkerThread&) { seen_by_nested = &document::Context(); });
      nested.Join();
    });
    worker.Join();
  }
  platform::WorkerThread later;
  later.Start([&](const platform::WorkerThread&) { seen_after = &document::Context(); });
  later.Join();
  EXPECT_EQ(seen_by_worker, &own);
  EXPECT_EQ(seen_by_nested, &own);
  EXPECT_NE(seen_after, &own);
  EXPECT_EQ(seen_after, &document::Context());
}

class RecordingView : public document::DocumentView {
 public:
  void OnUpdate(document::DocumentView*, int hint, THintObject*) override { hints.push_back(hint); }
  std::vector<int> hints;
};

class PostingHost : public document::DocumentHost {
 public:
  void PostMainFrameMessage(uint32_t message) override { posted.push_back(message); }
  std::vector<uint32_t> posted;
};

TEST_F(BatchAnalysisTest, DiscardKeepsPatientAndStartButNoAnalysis) {
  const std::string qrs = WriteRecording(data_, "00001", 10, 11);
  ASSERT_EQ(tools::RunBatchAnalysis({qrs}, Options(1)).Successes(), 1);
  const Bytes analysed = ReadBytes(qrs);

  std::unique_ptr<CZK470Doc> doc = MakeDoc();
  PostingHost host;
  RecordingView view;
  doc->SetHost(&host);
  ASSERT_TRUE(doc->OnOpenDocument(qrs));
  doc->AddView(&view);
  ASSERT_GT(doc->GetQRSList().GetSize(), 0);
  doc->GetEventList().Append(TEvent(7500, 8000, kClassPause));
  const std::string first_name = doc->GetPatientData().first_name;
  const std::string surname = doc->GetPatientData().surname;
  const platform::OleDateTime start_date = doc->GetRecordingData().start_date;
  const platform::OleDateTime start_time = doc->GetRecordingData().start_time;

  host.posted.clear();
  tools::DiscardAnalysis(*doc);

  EXPECT_EQ(doc->GetQRSList().GetSize(), 0);
  EXPECT_EQ(doc->GetEventList().GetSize(), 0);
  EXPECT_EQ(doc->GetPatientData().first_name, first_name);
  EXPECT_EQ(doc->GetPatientData().surname, surname);
  EXPECT_EQ(doc->GetRecordingData().start_date, start_date);
  EXPECT_EQ(doc->GetRecordingData().start_time, start_time);
  EXPECT_EQ(doc->GetRecordingData().pause_threshold, -1) << "the recording counts as never analysed";
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(host.posted, std::vector<uint32_t>{msg::kStatusRefresh});
  EXPECT_EQ(view.hints, std::vector<int>{hint::kDocumentChanged});
  EXPECT_EQ(ReadBytes(qrs), analysed) << "nothing reaches the file before the user saves";
  doc->RemoveView(&view);
}

// --- Validation batches ----------------------------------------------------------------------------

TEST(ValidationRecords, NamesAndNumbersOfTheThreeSets) {
  using tools::ValidationSet;
  struct Case {
    ValidationSet set;
    int number;
    const char* extension;
    const char* name;
  };
  const Case kCases[] = {
      {ValidationSet::kEsc, 103, ".QRS", "ESC0103.QRS"},  {ValidationSet::kEsc, 1001, ".QRS", "ESC1001.QRS"},
      {ValidationSet::kEsc, 999, ".STT", "ESC0999.STT"},  {ValidationSet::kMit, 100, ".ANO", "MIT100.ANO"},
      {ValidationSet::kAha, 1201, ".QRS", "AHA1201.QRS"},
  };
  for (const Case& c : kCases)
    EXPECT_EQ(tools::ValidationRecordFileName(c.set, c.number, c.extension), c.name);

  const std::vector<int> aha = tools::ValidationRecordNumbers(ValidationSet::kAha);
  ASSERT_EQ(aha.size(), 80u);
  EXPECT_EQ(aha[9], 1210);
  EXPECT_EQ(aha[10], 2201);
  EXPECT_EQ(aha.back(), 8210);
  const std::vector<int> mit = tools::ValidationRecordNumbers(ValidationSet::kMit);
  EXPECT_EQ(mit.size(), 800u);
  EXPECT_EQ(mit.front(), 100);
  EXPECT_EQ(mit.back(), 899);
  const std::vector<int> esc = tools::ValidationRecordNumbers(ValidationSet::kEsc);
  EXPECT_EQ(esc.size(), 1300u);
  EXPECT_EQ(esc.back(), 1399);
}

TEST_F(BatchAnalysisTest, ValidationBatchWithoutRecordsOnlyFinishes) {
  std::unique_ptr<CZK470Doc> doc = MakeDoc();
  // Files of another set and names outside the set's numbers are not the set's records.
  WriteRecording(data_, "MIT100", 6, 1);
  WriteRecording(data_, "ESC100", 6, 2);
  const struct {
    int command;
    const char* message;
  } kCases[] = {
      {cmd::kValidationBatchAHA, "AHA-Files succesful."},
      {cmd::kValidationBatchESC, "ST-T-Files succesful."},
  };
  for (const auto& c : kCases) {
    win::ScriptedPrompt prompt;
    const win::ScopedPrompt scoped(prompt);
    tools::RunValidationBatchCommand(&main_, *doc, c.command);
    ASSERT_EQ(prompt.Log().size(), 1u);
    EXPECT_EQ(prompt.Log()[0].text, c.message);
  }
}

// Finalizing renames a converted reference record with its annotations: the batch and the
// statistics find it under that name, and the unrenamed name wins when both are there.
TEST_F(BatchAnalysisTest, FinalizedReferenceRecordsAreFound) {
  const std::string first = WriteRecording(data_, "MIT100", 8, 60);
  (void)WriteRecording(data_, "MIT101", 8, 61);
  testsupport::WriteBytes((data_ / "MIT101.ANO").string(), {1});
  for (const char* extension : {".QRS", ".CMP", ".ANO"})
    fs::rename(data_ / (std::string("MIT101") + extension),
               data_ / (std::string("MIT101 V----") + extension));
  EXPECT_EQ(tools::FindValidationRecords(tools::ValidationSet::kMit, data_.string()),
            (std::vector<std::string>{first, (data_ / "MIT101 V----.QRS").string()}));
  EXPECT_EQ(tools::ValidationRecordPath(data_.string(), tools::ValidationSet::kMit, 101, ".ANO"),
            (data_ / "MIT101 V----.ANO").string());

  testsupport::WriteBytes((data_ / "MIT100 V----.QRS").string(), {2});
  EXPECT_EQ(tools::ValidationRecordPath(data_.string(), tools::ValidationSet::kMit, 100, ".ANO"),
            (data_ / "MIT100.ANO").string());
}

// The records of the set on all cores: the files equal those of one thread, and the command
// leaves the open recording and its unsaved edits alone.
TEST_F(BatchAnalysisTest, ValidationBatchAnalysesTheSetBesideTheOpenRecording) {
  std::map<std::string, Bytes> unanalysed;
  std::vector<std::string> paths;
  for (int i = 0; i < 4; ++i) {
    paths.push_back(
        WriteRecording(data_, "MIT" + std::to_string(100 + 7 * i), 8 + 2 * i, 60 + static_cast<uint64_t>(i)));
    unanalysed[paths.back()] = ReadBytes(paths.back());
  }
  EXPECT_EQ(tools::FindValidationRecords(tools::ValidationSet::kMit, data_.string()), paths);

  std::map<std::string, Bytes> analysed_by_one;
  for (int threads : {1, 4}) {
    SCOPED_TRACE(threads);
    for (const auto& [path, bytes] : unanalysed) testsupport::WriteBytes(path, bytes);
    tools::BatchOptions options = Options(threads);
    const tools::RunResults results =
        tools::RunValidationBatch(tools::ValidationSet::kMit, data_.string(), options);
    EXPECT_EQ(results.Lines(), (std::vector<std::string>{" ", Summary(4, 0)})) << "only failures are listed";
    for (const std::string& path : paths) {
      const Bytes bytes = ReadBytes(path);
      EXPECT_NE(bytes, unanalysed[path]);
      if (threads == 1) {
        analysed_by_one[path] = bytes;
      } else {
        EXPECT_TRUE(bytes == analysed_by_one[path]) << path << " differs from the one-thread run";
      }
    }
  }

  for (const auto& [path, bytes] : unanalysed) testsupport::WriteBytes(path, bytes);
  std::unique_ptr<CZK470Doc> doc = MakeDoc();
  ASSERT_TRUE(doc->OnOpenDocument(paths[1]));
  doc->GetPatientData().surname = "Edited";
  doc->SetModifiedFlag(true);
  win::ScriptedPrompt prompt;
  const win::ScopedPrompt scoped(prompt);
  const tools::ScopedBatchAnalysisServices batch({coretest::ProgramAnalysisServices});
  tools::RunValidationBatchCommand(&main_, *doc, cmd::kValidationBatchMIT);

  ASSERT_EQ(prompt.Log().size(), 1u);
  EXPECT_EQ(prompt.Log()[0].text, "MIT-Files succesful.\n\nRecording is open, not analysed - " + paths[1] +
                                      "\n \n" + Summary(3, 0));
  EXPECT_EQ(doc->GetPathName(), paths[1]);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(doc->GetPatientData().surname, "Edited");
  EXPECT_EQ(ReadBytes(paths[1]), unanalysed[paths[1]]);
  for (size_t i : {0u, 2u, 3u}) EXPECT_EQ(ReadBytes(paths[i]), analysed_by_one[paths[i]]) << paths[i];
}

// A record that cannot be saved is listed and keeps its file; Cancel leaves the records not yet
// analysed as they were.
TEST_F(BatchAnalysisTest, ValidationBatchKeepsWhatItCannotFinish) {
  const fs::path folder = data_ / "esc";
  fs::create_directories(folder);
  const std::string qrs = WriteRecording(folder, "ESC0100", 8, 9);
  const Bytes before = ReadBytes(qrs);
  const fs::path moved = data_ / "moved";
  tools::BatchOptions options = Options(1);
  options.run_services = [&](analysis::AnalysisDialogs& dialogs) {
    analysis::AnalysisRun::Services services = coretest::ProgramAnalysisServices(dialogs);
    services.st_analysis = nullptr;
    services.pacemaker_analysis = [&](CZK470Doc&) { fs::rename(folder, moved); };
    return services;
  };
  tools::RunResults results = tools::RunValidationBatch(tools::ValidationSet::kEsc, folder.string(), options);
  // The document's own words on the failed save follow the line.
  ASSERT_GE(results.Lines().size(), 3u);
  EXPECT_EQ(results.Lines()[0], "Error writing file - " + qrs);
  EXPECT_EQ(results.Lines().back(), Summary(0, 1));
  EXPECT_EQ(ReadBytes(moved / "ESC0100.QRS"), before);

  fs::rename(moved, folder);
  const std::string second = WriteRecording(folder, "ESC0101", 8, 10);
  const Bytes second_before = ReadBytes(second);
  options = Options(1);
  options.progress = [](const tools::BatchProgress&) { return false; };
  results = tools::RunValidationBatch(tools::ValidationSet::kEsc, folder.string(), options);
  EXPECT_EQ(results.Lines(), (std::vector<std::string>{"Batch analysis stopped !", " ", Summary(0, 0)}));
  EXPECT_EQ(ReadBytes(qrs), before);
  EXPECT_EQ(ReadBytes(second), second_before);
}

}  // namespace
