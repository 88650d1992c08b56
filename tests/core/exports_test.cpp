// The exports of the open recording to files outside the program (RR intervals, copies with an
// overwrite question, archive copies of chosen recordings) and the hand-over to the mail program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/st/st_analyzer.h"
#include "common/progress_window.h"
#include "core/mail_program.h"
#include "core/view_exports.h"
#include "core/view_services.h"
#include "core/zk470_view_fixture.h"
#include "dialogs/recording_browser_dlg.h"
#include "dialogs/select_folder_dialog.h"
#include "document/patient_data.h"
#include "document/qrs_list.h"
#include "document/raw_ecg_data.h"
#include "document/recording_data.h"
#include "platform/clock.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "platform/worker.h"
#include "reports/copy_file_ask.h"
#include "reports/export_resources.h"
#include "reports/rr_export.h"
#include "support/scoped_env.h"
#include "support/test_recordings.h"
#include "win/prompt.h"

namespace coretest {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

class ExportsTest : public ZK470ViewTest {
 protected:
  void SetUp() override {
    ZK470ViewTest::SetUp();
    AddExportResources(platform::Resources().ExePack());
  }

  void OpenRecording() {
    const fs::path qrs = MakeSyntheticRecording(Folder("rec") / "00001", 2);
    ASSERT_TRUE(app_->OpenDocumentFile(qrs.string()));
    Pump();
  }

  // Replaces the beat list with beats at these sample positions and classes.
  void PlantBeats(const std::vector<std::pair<int32_t, uint8_t>>& beats) {
    TQRSList& list = Doc().GetQRSList();
    list.RemoveAll();
    for (const auto& [position, beat_class] : beats) {
      list.Append(TQRSComplex(position, beat_class));
    }
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& asked : prompt_.Log()) texts.push_back(asked.text);
    return texts;
  }
};

TEST(RRExportName, NamesDatesAndNumberBecomeASafeBase) {
  struct Case {
    const char* first;
    const char* last;
    const char* expected;
  };
  const Case kCases[] = {
      {"", "", "01-11-2002 18-30 0815"},
      {"A.", "Berg", "Berg A- 01-11-2002 18-30 0815"},
      {"Eva", "Roth/Klein", "Roth-Klein Eva 01-11-2002 18-30 0815"},
      {"Tab\there", "", "Tab-here 01-11-2002 18-30 0815"},
  };
  TRecordingData recording(0, platform::OleDateTime{0, 37561.0}, platform::OleDateTime{0, 18.5 / 24.0}, 0);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.expected);
    const platform::ManualClock clock;
    TPatientData patient(clock);
    patient.first_name = c.first;
    patient.surname = c.last;
    EXPECT_EQ(RRExportBaseName(patient, recording, "0815") + " RR.txt", std::string(c.expected) + " RR.txt");
  }
}

TEST_F(ExportsTest, RRFileHoldsStartLineAndOneLinePerBeatPair) {
  OpenRecording();
  Doc().GetRecordingData().start_time = platform::OleDateTime{0, (18 * 3600 + 30 * 60 + 5) / 86400.0};
  PlantBeats({{1000, 1}, {1100, 4}, {1250, 1}, {1400, 1}});
  const fs::path path = Folder("out") / "rr.txt";
  ASSERT_EQ(WriteRRFile(Doc(), path.string(), {}), 3);
  const std::string text = ReadAll(path);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  const std::vector<std::string> lines = Split(text, '\n');
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "18:30:05");

  analysis::TSTAnalyzer analyzer(Doc());
  const int channels = analyzer.GetChannelEnd() - analyzer.GetFirstChannel();
  ASSERT_GT(channels, 0);
  // 1000 samples at 125 Hz: 8000 ms; the interval 100 samples: 800 ms.
  const std::vector<std::string> normal = Split(lines[1], '\t');
  ASSERT_EQ(normal.size(), static_cast<size_t>(5 + 3 * channels));
  EXPECT_EQ(normal[0], "8000");
  EXPECT_EQ(normal[1], "800");
  EXPECT_EQ(normal[2], platform::LoadString(kFirstClassNameString + 1));
  for (int c = 0; c < channels; ++c) {
    const size_t at = static_cast<size_t>(5 + 3 * c);
    for (size_t k = at; k < at + 3; ++k) EXPECT_EQ(normal[k].size() - normal[k].find('.'), 3u) << normal[k];
  }
  // Class 4 has no name and no measurement.
  std::string blank = "8800\t1200\t \t \t ";
  for (int c = 0; c < channels; ++c) blank += "\t \t \t ";
  EXPECT_EQ(lines[2], blank);
}

// The whole file, byte for byte: each Normal beat carries the document's own ST measurement of
// that beat (not of its neighbour), the other classes their name or a blank and empty fields.
TEST_F(ExportsTest, RRFileIsTheWholeTextOfItsBeats) {
  OpenRecording();
  Doc().GetRecordingData().start_time = platform::OleDateTime{0, (7 * 3600 + 4 * 60 + 59) / 86400.0};
  PlantBeats({{1000, 1}, {1100, 0}, {1250, 1}, {1400, 29}, {1530, 4}, {1700, 1}});
  const fs::path path = Folder("out") / "whole.txt";
  ASSERT_EQ(WriteRRFile(Doc(), path.string(), {}), 5);

  analysis::TSTAnalyzer analyzer(Doc());
  const int first = analyzer.GetFirstChannel();
  const int end = analyzer.GetChannelEnd();
  ASSERT_GT(end, first);
  const auto measured = [&](int beat) {
    int32_t j_ms = 0;
    int32_t st_ms = 0;
    std::array<double, 2> j{}, st{}, difference{}, slope{};
    analyzer.MeasureBeat(beat, j_ms, st_ms, j, st, difference, slope);
    std::string fields;
    TRRExport::AppendSTFields(j_ms, st_ms, j, st, first, end, fields);
    return fields;
  };
  std::string blank = "\t \t ";
  for (int c = first; c < end; ++c) blank += "\t \t \t ";
  const auto name = [](int beat_class) { return platform::LoadString(kFirstClassNameString + beat_class); };
  // 125 samples a second: 8 ms a sample.
  const std::vector<std::string> lines = {
      "07:04:59",
      "8000\t800\t" + name(1) + measured(0),
      "8800\t1200\t" + name(0) + blank,
      "10000\t1200\t" + name(1) + measured(2),
      "11200\t1040\t" + name(29) + blank,
      "12240\t1360\t " + blank,
  };
  std::string expected;
  for (const std::string& line : lines) expected += line + "\n";
  EXPECT_EQ(ReadAll(path), expected);
  EXPECT_NE(name(29), " ");
}

TEST(RRExportSTFields, LevelsWithTwoDecimalsAndNoSlopeWithoutDistance) {
  struct Case {
    int32_t j_ms;
    int32_t st_ms;
    int first;
    int end;
    const char* expected;
  };
  const Case kCases[] = {
      {56, 136, 0, 2, "\t56\t136\t0.10\t-0.05\t-1.88\t1.00\t1.40\t5.00"},
      {80, 80, 0, 2, "\t80\t80\t0.10\t-0.05\t9999.00\t1.00\t1.40\t9999.00"},
      {56, 136, 1, 2, "\t56\t136\t1.00\t1.40\t5.00"},
  };
  const std::array<double, 2> j = {0.1, 1.0};
  const std::array<double, 2> st = {-0.05, 1.4};
  for (const Case& c : kCases) {
    std::string out;
    TRRExport::AppendSTFields(c.j_ms, c.st_ms, j, st, c.first, c.end, out);
    EXPECT_EQ(out, c.expected);
  }
}

TEST_F(ExportsTest, ShortListsCancelsAndFailedWritesAreTold) {
  OpenRecording();
  const fs::path out = Folder("out");
  // One beat: an empty file, not even the start line.
  PlantBeats({{0, 1}});
  ASSERT_EQ(WriteRRFile(Doc(), (out / "one.txt").string(), {}), 0);
  EXPECT_EQ(fs::file_size(out / "one.txt"), 0u);
  // Two beats at 0 and 100 samples at 125 Hz.
  PlantBeats({{0, 4}, {100, 1}});
  ASSERT_EQ(WriteRRFile(Doc(), (out / "two.txt").string(), {}), 1);
  EXPECT_EQ(Split(ReadAll(out / "two.txt"), '\n').at(1).substr(0, 6), "0\t800\t");
  // A stop after the second line keeps the start line and two lines.
  PlantBeats({{0, 4}, {100, 4}, {200, 4}, {300, 4}, {400, 4}});
  EXPECT_EQ(WriteRRFile(Doc(), (out / "cut.txt").string(), [](int index) { return index < 2; }), 2);
  EXPECT_EQ(Split(ReadAll(out / "cut.txt"), '\n').size(), 3u);
  // A folder that does not exist; a device that takes nothing.
  EXPECT_THROW(WriteRRFile(Doc(), (out / "none" / "x.txt").string(), {}), RRFileOpenError);
  try {
    WriteRRFile(Doc(), "/dev/full", {});
    ADD_FAILURE() << "the full device took the file";
  } catch (const RRFileOpenError&) {
    ADD_FAILURE() << "reported as not created";
  } catch (const platform::IoError&) {
  }
}

// The RR export as the user runs it: the folder picker, the overwrite question and the progress
// window's Cancel, each deciding what ends up in the file.
TEST_F(ExportsTest, RRExportCommandAsksForFolderAndOverwriteAndStopsOnCancel) {
  OpenRecording();
  View().AddExportCommands();
  PlantBeats({{0, 4}, {100, 4}, {200, 4}, {300, 4}, {400, 4}});
  const fs::path folder = Folder("rr");
  const fs::path file = folder / (RRExportBaseName(Doc().GetPatientData(), Doc().GetRecordingData(),
                                                   Doc().GetRecordingNumber()) +
                                  " RR.txt");
  const std::string asked = "File \n\n" + file.string() + "\n\nalready exists !\n\nOverwrite ?";
  struct Case {
    const char* name;
    bool choose_folder;
    bool file_exists;
    int answer;  // to the overwrite question; 0: not asked
    bool cancel_progress;
    size_t lines;  // in the file afterwards, with the start line; 0: the old file or none
  };
  const Case kCases[] = {
      {"picker cancelled", false, false, 0, false, 0},
      {"a new file", true, false, 0, false, 5},
      {"overwrite: No", true, true, win::kIdNo, false, 0},
      {"overwrite: Cancel", true, true, win::kIdCancel, false, 0},
      {"overwrite: Yes", true, true, win::kIdYes, false, 5},
      {"progress cancelled", true, false, 0, true, 2},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::remove(file);
    if (c.file_exists) std::ofstream(file) << "old";
    prompt_.ClearLog();
    if (c.answer != 0) prompt_.QueueAnswer(c.answer);
    std::string title;
    std::string button;
    std::string progress_texts;
    on_idle_ = [&](win::Window* modal) {
      auto* picker = dynamic_cast<CSelectFolderDialog*>(modal);
      if (picker == nullptr) return false;
      title = picker->GetWindowText();
      button = picker->Item<win::Button>(CSelectFolderDialog::kSelectId)->GetWindowText();
      if (!c.choose_folder) {
        picker->EndDialog(win::kIdCancel);
        return true;
      }
      picker->Item<win::Edit>(CSelectFolderDialog::kFolderEditId)->SetTextFromUser(folder.string());
      EXPECT_TRUE(picker->Select());
      // Runs at the first pump of the export, after the first line.
      if (c.cancel_progress) {
        platform::UiThreadQueue().PostTask([&progress_texts] {
          auto* progress = dynamic_cast<CProgressWindow*>(win::Windows().GetFocus());
          if (progress == nullptr) return;
          progress_texts = progress->Caption() + "|" + progress->TextControl().GetWindowText();
          win::Windows().PressKey(win::kVkEscape);
        });
      }
      return true;
    };
    EXPECT_TRUE(win::ExecuteCommand(Frame(), export_cmd::kRRExport));
    on_idle_ = nullptr;
    Pump();
    EXPECT_EQ(title, "Export RR distance To");
    EXPECT_EQ(button, "Export");
    EXPECT_EQ(Messages(), c.answer != 0 ? std::vector<std::string>{asked} : std::vector<std::string>{});
    if (c.lines == 0) {
      EXPECT_EQ(fs::exists(file), c.file_exists);
      if (c.file_exists) {
        EXPECT_EQ(ReadAll(file), "old");
      }
    } else {
      const std::string text = ReadAll(file);
      ASSERT_FALSE(text.empty());
      EXPECT_EQ(text.back(), '\n');
      EXPECT_EQ(Split(text, '\n').size(), c.lines);
    }
    if (c.cancel_progress) {
      EXPECT_EQ(progress_texts, "Exporting RR - distances|Exporting....");
    }
    // The progress window made the main window modal; it is usable again.
    EXPECT_TRUE(Frame().IsWindowEnabled());
  }

  // Without beats nothing is asked.
  PlantBeats({});
  prompt_.ClearLog();
  bool picker_shown = false;
  on_idle_ = [&picker_shown](win::Window* modal) {
    picker_shown = picker_shown || dynamic_cast<CSelectFolderDialog*>(modal) != nullptr;
    if (picker_shown) modal->SendMessage(win::kWmCommand, win::kIdCancel);
    return picker_shown;
  };
  EXPECT_TRUE(win::ExecuteCommand(Frame(), export_cmd::kRRExport));
  on_idle_ = nullptr;
  EXPECT_FALSE(picker_shown);
  EXPECT_EQ(Messages(), std::vector<std::string>{"No RR distances found"});
}

TEST_F(ExportsTest, CopyFileAskCopiesAsksAndReportsWhatFailed) {
  const fs::path folder = Folder("copy");
  const fs::path source = folder / "letter.rtf";
  std::ofstream(source) << "new";
  struct Case {
    const char* name;
    bool target_exists;
    int answer;  // 0: not asked
    int result;
    const char* content;
    bool error_shown;
  };
  const Case kCases[] = {
      {"new target", false, 0, 1, "new", false},
      {"Yes", true, win::kIdYes, 1, "new", false},
      {"No", true, win::kIdNo, 0, "old", true},
      {"Cancel", true, win::kIdCancel, 0, "old", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const fs::path target = folder / "out.rtf";
    fs::remove(target);
    if (c.target_exists) std::ofstream(target) << "old";
    prompt_.ClearLog();
    if (c.answer != 0) prompt_.QueueAnswer(c.answer);
    EXPECT_EQ(CopyFileAsk(source.string(), target.string()), c.result);
    EXPECT_EQ(ReadAll(target), c.content);
    const std::vector<std::string> shown = Messages();
    ASSERT_EQ(shown.size(), (c.answer != 0 ? 1u : 0u) + (c.error_shown ? 1u : 0u));
    if (c.answer != 0) {
      EXPECT_EQ(shown[0], "File " + target.string() + " already exists !\n\nOverwrite ?");
    }
    if (c.error_shown) {
      EXPECT_EQ(shown.back(), "Error while Writing File" + target.string());
    }
  }
  // An overwrite that fails after Yes copied nothing.
  prompt_.ClearLog();
  prompt_.QueueAnswer(win::kIdYes);
  EXPECT_EQ(CopyFileAsk(source.string(), "/proc/version"), 0);
  EXPECT_EQ(Messages().back(), "Error while Writing File/proc/version");

  // A copy that fails half-way after Yes leaves the old letter as it was.
  const fs::path kept = folder / "kept.rtf";
  std::ofstream(kept) << "old";
  fs::create_directories(folder / "kept.rtf.part~" / "in the way");
  prompt_.ClearLog();
  prompt_.QueueAnswer(win::kIdYes);
  EXPECT_EQ(CopyFileAsk(source.string(), kept.string()), 0);
  EXPECT_EQ(ReadAll(kept), "old");
  EXPECT_EQ(Messages().back(), "Error while Writing File" + kept.string());
}

// A mail program on the search path that notes its arguments, one a line, and ends with the code
// in the file "code" beside it (0 without one).
class MailTest : public ExportsTest {
 protected:
  void SetUp() override {
    ExportsTest::SetUp();
    bin_ = Folder("bin");
    std::ofstream(bin_ / "xdg-email")
        << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > " << (bin_ / "args").string()
        << "\ncode=0\n[ -f " << (bin_ / "code").string() << " ] && code=$(cat " << (bin_ / "code").string()
        << ")\nexit $code\n";
    fs::permissions(bin_ / "xdg-email", fs::perms::owner_all);
    const std::string path = bin_.string() + ":/usr/bin:/bin";
    path_ = std::make_unique<testsupport::ScopedEnv>("PATH", path.c_str());
  }
  std::vector<std::string> Arguments() { return Split(ReadAll(bin_ / "args"), '\n'); }

  fs::path bin_;
  std::unique_ptr<testsupport::ScopedEnv> path_;
};

TEST_F(MailTest, RecordingGoesWithItsSampleFileAndIsHeldAgain) {
  OpenRecording();
  const std::string qrs = Doc().GetPathName();
  const std::string stem = qrs.substr(0, qrs.size() - 3);
  Doc().SetModifiedFlag(true);
  XdgEmailProgram program;
  for (const int code : {0, 3, 4, 1}) {
    SCOPED_TRACE(code);
    std::ofstream(bin_ / "code") << code;
    prompt_.ClearLog();
    SendRecordingByMail(Doc(), program);
    const std::vector<std::string> args = Arguments();
    ASSERT_EQ(args.size(), 6u);
    EXPECT_EQ(args[0], "--subject");
    EXPECT_TRUE(args[1].ends_with(" (00001.QRS)")) << args[1];
    EXPECT_EQ(args[3], qrs);
    EXPECT_EQ(args[5], stem + "CMP");
    EXPECT_EQ(Doc().GetHeldFilePath(), qrs);
    // Pending edits were saved before the file went.
    EXPECT_FALSE(Doc().IsModified());
    const std::vector<std::string> shown = Messages();
    if (code == 0) {
      EXPECT_TRUE(shown.empty());
    } else {
      ASSERT_EQ(shown.size(), 1u);
      EXPECT_NE(shown[0].find(qrs), std::string::npos);
      EXPECT_EQ(shown[0].starts_with("No e-mail program"), code == 3 || code == 4) << shown[0];
    }
  }
}

TEST_F(MailTest, ARecordingOnADatFileGoesWithIt) {
  const fs::path base = Folder("rec") / "A";
  const fs::path qrs = MakeSyntheticRecording(base, 2);
  ASSERT_TRUE(app_->OpenDocumentFile(qrs.string()));
  Pump();
  // The same samples under the other name: a store on a ".DAT" file.
  const fs::path dat = Folder("rec") / "A.DAT";
  fs::rename(Folder("rec") / "A.CMP", dat);
  *Doc().GetRawECGData() = TRawECGData(nullptr, dat.string());
  ASSERT_EQ(Doc().GetRawECGData()->GetReaderKind(), TRawECGData::kReaderDat);
  XdgEmailProgram program;
  SendRecordingByMail(Doc(), program);
  const std::vector<std::string> args = Arguments();
  ASSERT_EQ(args.size(), 6u);
  EXPECT_TRUE(args[1].ends_with(" (A.QRS)")) << args[1];
  EXPECT_EQ(args[3], qrs.string());
  EXPECT_EQ(args[5], dat.string());
  EXPECT_TRUE(Messages().empty());
}

TEST_F(MailTest, AnOpenPdfCanGoAsReportButNotAsRecording) {
  ViewServices services;
  services.send_report_pdf = [](CZK470Doc&) {};
  services.send_recording = [](CZK470Doc&) {};
  InstallViewServices(std::move(services));
  struct Case {
    DisplayMode mode;
    bool report;
    bool recording;
  };
  const Case kCases[] = {
      {DisplayMode::kNavigation, true, true},
      {DisplayMode::kPdf, true, false},
      {DisplayMode::kNone, false, false},
      {DisplayMode::kOnlineEcg, false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    Doc().SetDisplayMode(c.mode);
    EXPECT_EQ(Enabled(cmd::kSendReportPdf), c.report);
    EXPECT_EQ(Enabled(cmd::kSendRecording), c.recording);
  }
}

TEST_F(MailTest, AnOpenPdfGoesAsItIs) {
  const fs::path pdf = Folder("rec") / "A.PDF";
  std::ofstream(pdf) << "%PDF-1.4\n";
  ASSERT_TRUE(app_->OpenDocumentFile(pdf.string()));
  Pump();
  prompt_.ClearLog();
  XdgEmailProgram program;
  SendReportPdfByMail(Doc(), program);
  const std::vector<std::string> args = Arguments();
  ASSERT_EQ(args.size(), 4u);
  EXPECT_TRUE(args[1].ends_with(" (A.PDF)")) << args[1];
  EXPECT_EQ(args[3], pdf.string());
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ExportsTest, ArchiveCopiesHandTheChosenRecordingsOver) {
  OpenRecording();
  // One recording in each folder the browser starts in.
  for (const std::string& folder : {Doc().GetDataDirectory(), Doc().GetExportDirectory()}) {
    fs::create_directories(folder);
    MakeSyntheticRecording(fs::path(folder) / "00002", 1);
  }
  View().AddExportCommands();
  std::vector<std::pair<int, size_t>> copies;
  ViewServices services;
  services.archive_copy_chosen = [&copies](CZK470Doc&, int mode, const std::vector<std::string>& chosen) {
    copies.emplace_back(mode, chosen.size());
    return -1;
  };
  InstallViewServices(std::move(services));
  struct Case {
    int command;
    int mode;
    const char* message;
  };
  const Case kCases[] = {
      {export_cmd::kArchiveCopyTo, 2,
       "The copy to the archive did not complete: there was nothing to copy, a file could not be copied, or "
       "the copy was cancelled."},
      {export_cmd::kArchiveCopyFrom, 3,
       "The copy from the archive did not complete: a file could not be copied, there was not enough free "
       "space, or the copy was cancelled."},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.command);
    copies.clear();
    prompt_.ClearLog();
    int rows = 0;
    on_idle_ = [&rows](win::Window* modal) {
      auto* browser = dynamic_cast<TRecordingBrowserDlg*>(modal);
      if (browser == nullptr) return false;
      rows = browser->List().GetItemCount();
      if (rows > 0) browser->List().SelectFromUser({0});
      modal->SendMessage(win::kWmCommand, win::kIdOk);
      return true;
    };
    ASSERT_TRUE(Enabled(c.command));
    EXPECT_TRUE(win::ExecuteCommand(Frame(), c.command));
    on_idle_ = nullptr;
    ASSERT_GT(rows, 0);
    EXPECT_EQ(copies, (std::vector<std::pair<int, size_t>>{{c.mode, 1u}}));
    EXPECT_EQ(Messages(), std::vector<std::string>{c.message});
  }
  Doc().SetDisplayMode(DisplayMode::kOnlineEcg);
  EXPECT_FALSE(Enabled(export_cmd::kArchiveCopyTo));
}

}  // namespace
}  // namespace coretest
