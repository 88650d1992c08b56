#include "tools/archive_copy.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/archive_attribute.h"
#include "platform/file_system.h"
#include "platform/resources.h"
#include "support/screen_golden.h"
#include "support/test_recordings.h"
#include "tools/archive_copy_fixture.h"
#include "win/win_fixture.h"

namespace {

namespace fs = std::filesystem;
using archivetest::ArchiveDocFixture;

class ArchiveCopyTest : public win::testing_support::WinTest, public ArchiveDocFixture {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    AddArchiveCopyResources(platform::Resources().ExePack());
    win::Windows().SetScreenSize({1600, 1000});
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
  }
  void TearDown() override {
    main_.DestroyWindow();
    WinTest::TearDown();
  }

  int Copy(int mode, const std::vector<std::string>& chosen, const ArchiveCopyHooks& hooks = {}) {
    TArchiveCopyDlg dialog(Doc(), mode, mode >= kArchiveCopyChosen ? &chosen : nullptr);
    dialog.SetHooks(hooks);
    return dialog.DoModal();
  }

  // The copier on this thread, as the worker runs it, for its parts.
  TArchiveCopier Copier(int mode, ArchiveCopyHooks hooks = {}) {
    TArchiveCopier::Services services;
    services.hooks = std::move(hooks);
    return TArchiveCopier(Doc(), mode, {}, std::move(services));
  }

  static std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  static bool Archived(const fs::path& file) { return !platform::HasArchiveAttribute(file); }

  win::Window main_;
};

TEST_F(ArchiveCopyTest, EachModeCopiesItsRecordingsWholeAndMarksTheSources) {
  struct Case {
    const char* name;
    int mode;
    std::vector<std::string> chosen;     // in the source folder
    std::vector<std::string> want;       // the target folder afterwards
    std::vector<std::string> untouched;  // sources that keep their mark
  };
  const std::vector<Case> kCases = {
      {"changed recordings",
       kArchiveCopyChanged,
       {},
       {"A.PID", "A.QRS", "A.TAP", "B.QRS", "B.TAP", "R.PDF"},
       {"Z.QRS"}},
      {"chosen to the archive",
       kArchiveCopyChosen,
       {"B.QRS", "R.PDF"},
       {"B.QRS", "B.TAP", "R.PDF"},
       {"A.QRS", "Z.QRS"}},
      {"chosen back from the archive", kArchiveCopyBack, {"A.QRS"}, {"A.PID", "A.QRS", "A.TAP"}, {"B.QRS"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(Data());
    fs::remove_all(Archive());
    fs::create_directories(Data());
    fs::create_directories(Archive());
    const fs::path source = c.mode == kArchiveCopyBack ? Archive() : Data();
    const fs::path target = c.mode == kArchiveCopyBack ? Data() : Archive();
    MakeRecording(source, "A", 10, /*voice=*/true);
    MakeRecording(source, "B", 20);
    testsupport::WriteBytes(source / "R.PDF", Bytes(30, 900));
    MakeRecording(source, "Z", 40);
    ASSERT_TRUE(platform::SetArchiveAttribute(source / "Z.QRS", false));  // archived, unchanged since
    std::vector<std::string> chosen;
    for (const std::string& name : c.chosen) chosen.push_back((source / name).string());

    EXPECT_EQ(Copy(c.mode, chosen), 0);
    EXPECT_EQ(Names(target), c.want);
    for (const std::string& name : c.want) {
      EXPECT_EQ(Read(target / name), Read(source / name)) << name;
      EXPECT_TRUE(Archived(source / name)) << name;
    }
    for (const std::string& name : c.untouched) {
      EXPECT_EQ(Archived(source / name), name == "Z.QRS") << name;
      EXPECT_FALSE(fs::exists(target / name)) << name;
    }
    EXPECT_TRUE(MessagesAsked().empty());
  }
}

TEST_F(ArchiveCopyTest, ChangedRecordingsAreCopiedOnceAndThenThereIsNothingToCopy) {
  MakeRecording(Data(), "A", 1);
  testsupport::WriteBytes(Data() / "R.PDF", Bytes(2, 100));
  EXPECT_EQ(Copy(kArchiveCopyChanged, {}), 0);
  EXPECT_EQ(Names(Archive()), (std::vector<std::string>{"A.QRS", "A.TAP", "R.PDF"}));
  // The second run right after it finds every mark cleared.
  EXPECT_EQ(Copy(kArchiveCopyChanged, {}), -1);
  // A recording saved since is copied again.
  testsupport::WriteBytes(Data() / "A.QRS", Bytes(9, 400));
  EXPECT_EQ(Copy(kArchiveCopyChanged, {}), 0);
  EXPECT_EQ(Read(Archive() / "A.QRS"), Bytes(9, 400));
  EXPECT_TRUE(MessagesAsked().empty());
}

TEST_F(ArchiveCopyTest, CopyingTheOpenRecordingLeavesTheDocumentUsable) {
  const std::string path = coretest::MakeSyntheticRecording(Data() / "00001", 1).string();
  ASSERT_TRUE(Doc().OnOpenDocument(path));
  ASSERT_TRUE(Doc().IsFileHeld());

  EXPECT_EQ(Copy(kArchiveCopyOpen, {}), 0);
  EXPECT_EQ(Read(Archive() / "00001.QRS"), Read(path));
  EXPECT_EQ(Read(Archive() / "00001.CMP"), Read(Data() / "00001.CMP"));
  EXPECT_TRUE(Archived(path));

  // The document holds its file again: another holder is refused, and the document reads and
  // writes it as before.
  EXPECT_TRUE(Doc().IsFileHeld());
  EXPECT_EQ(Doc().GetHeldFilePath(), path);
  platform::FileLock other;
  EXPECT_EQ(other.Lock(path), platform::FileLock::Status::kInUse);
  const int beats = Doc().GetQRSList().GetSize();
  ASSERT_TRUE(Doc().OnOpenDocument(path));
  EXPECT_EQ(Doc().GetQRSList().GetSize(), beats);
  Doc().SetModifiedFlag();
  EXPECT_TRUE(Doc().DoFileSave());
  EXPECT_TRUE(Doc().IsFileHeld());
}

TEST_F(ArchiveCopyTest, AMissingSampleFileFailsAfterTheDocumentFileButKeepsTheMark) {
  const std::string path = MakeRecording(Data(), "A", 1);
  fs::remove(Data() / "A.TAP");
  EXPECT_EQ(Copy(kArchiveCopyChosen, {path}), -1);
  EXPECT_EQ(Names(Archive()), std::vector<std::string>{"A.QRS"});
  EXPECT_FALSE(Archived(path));
}

// A failure while a file is copied or checked leaves the old archive copy as it was, leaves no
// temp file beside it, and marks nothing as archived.
TEST_F(ArchiveCopyTest, AFailedCopyKeepsTheOldCopyAndTheMarks) {
  struct Case {
    const char* name;
    const char* failing;  // the file whose copy fails
    bool damage;          // the temp copy is damaged (else the write step reports failure)
    std::vector<std::string> replaced;
  };
  const Case kCases[] = {
      {"document file write fails", ".QRS", false, {}},
      {"document file copy differs", ".QRS", true, {}},
      {"sample file copy differs", ".TAP", true, {"A.QRS"}},
      {"voice file write fails", ".PID", false, {"A.QRS", "A.TAP"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string path = MakeRecording(Data(), "A", 1, /*voice=*/true);
    ASSERT_TRUE(platform::SetArchiveAttribute(path, true));
    for (const char* extension : {".QRS", ".TAP", ".PID"})
      testsupport::WriteBytes(Archive() / (std::string("A") + extension), Bytes(99, 50));

    ArchiveCopyHooks hooks;
    hooks.after_write = [&c](const fs::path& source, const fs::path& temp) {
      if (source.extension() != c.failing) return true;
      if (!c.damage) return false;
      const int fd = ::open(temp.c_str(), O_WRONLY);
      const char flipped = 0x55;
      const bool written = ::pwrite(fd, &flipped, 1, 17) == 1;
      ::close(fd);
      return written;
    };
    EXPECT_EQ(Copy(kArchiveCopyChosen, {path}, hooks), -1);
    for (const char* extension : {".QRS", ".TAP", ".PID"}) {
      const std::string name = std::string("A") + extension;
      const bool replaced = std::find(c.replaced.begin(), c.replaced.end(), name) != c.replaced.end();
      EXPECT_EQ(Read(Archive() / name), replaced ? Read(Data() / name) : Bytes(99, 50)) << name;
    }
    EXPECT_EQ(Names(Archive()), (std::vector<std::string>{"A.PID", "A.QRS", "A.TAP"}));
    for (const char* extension : {".QRS", ".TAP", ".PID"})
      EXPECT_FALSE(Archived(Data() / (std::string("A") + extension))) << extension;
  }
}

TEST_F(ArchiveCopyTest, FreeSpaceMustExceedWhatTheRecordingNeeds) {
  const std::string path = MakeRecording(Data(), "A", 1, /*voice=*/true);
  const uint64_t need = 300 + 5000 + 700;
  EXPECT_EQ(Copier(kArchiveCopyChosen).GetRecordingSize(path), need);

  struct Case {
    const char* name;
    std::optional<uint64_t> free_bytes;
    bool enough;
  };
  const Case kCases[] = {
      {"one byte short", need - 1, false},
      {"exactly the need", need, false},
      {"one byte more", need + 1, true},
      {"folder unreachable", std::nullopt, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ArchiveCopyHooks hooks;
    hooks.free_space = [&c](const fs::path&) { return c.free_bytes; };
    prompt_.ClearLog();
    TArchiveCopier copier = Copier(kArchiveCopyBack, hooks);
    EXPECT_EQ(copier.CheckFreeSpace(Data().string(), need, /*retry_allowed=*/false), c.enough);
    const std::vector<std::string> want =
        c.enough ? std::vector<std::string>{}
                 : std::vector<std::string>{platform::LoadString(archive_ids::kNoSpaceInData)};
    EXPECT_EQ(MessagesAsked(), want);
  }
}

TEST_F(ArchiveCopyTest, TooLittleSpaceAsksToRetryOrStops) {
  const std::string path = MakeRecording(Data(), "A", 1);
  const std::string back = MakeRecording(Archive(), "B", 2);
  const uint64_t need = 300 + 5000;
  struct Case {
    const char* name;
    int mode;
    std::string chosen;
    std::vector<int> answers;
    int result;
    size_t questions;
  };
  const Case kCases[] = {
      {"cancel at the question", kArchiveCopyChosen, path, {win::kIdCancel}, -1, 1},
      {"retry after room was made", kArchiveCopyChosen, path, {win::kIdRetry}, 0, 1},
      {"back into the data directory", kArchiveCopyBack, back, {}, -1, 1},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    prompt_.ClearLog();
    for (const int answer : c.answers) prompt_.QueueAnswer(answer);
    int measured = 0;
    ArchiveCopyHooks hooks;
    // The first measure finds exactly the need, a second one more.
    hooks.free_space = [&measured, need](const fs::path&) { return need + (measured++ == 0 ? 0 : 1); };
    EXPECT_EQ(Copy(c.mode, {c.chosen}, hooks), c.result);
    ASSERT_EQ(prompt_.Log().size(), c.questions);
    const bool retry = c.mode != kArchiveCopyBack;
    EXPECT_EQ(prompt_.Log()[0].text,
              platform::LoadString(retry ? archive_ids::kNoSpaceRetry : archive_ids::kNoSpaceInData));
    EXPECT_EQ(prompt_.Log()[0].style & 0xF, retry ? win::kMbRetryCancel : win::kMbOk);
    const fs::path copied = (c.mode == kArchiveCopyBack ? Data() : Archive()) / fs::path(c.chosen).filename();
    EXPECT_EQ(fs::exists(copied), c.result == 0);
  }
}

TEST_F(ArchiveCopyTest, SizesBeyondTwoGigabytesAreSummedIn64Bits) {
  const std::string path = (Data() / "BIG.QRS").string();
  testsupport::WriteBytes(path, Bytes(1, 1000));
  constexpr uint64_t kSampleBytes = uint64_t{3} << 30;
  {
    // Sparse: takes no room on the disk.
    const int fd = ::open((Data() / "BIG.TAP").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kSampleBytes)), 0);
    ::close(fd);
  }
  const uint64_t need = kSampleBytes + 1000;
  EXPECT_EQ(Copier(kArchiveCopyChosen).GetRecordingSize(path), need);

  // A disk with 3 GB and a little free is still too small: the run stops before copying.
  ArchiveCopyHooks hooks;
  hooks.free_space = [need](const fs::path&) { return need; };
  prompt_.QueueAnswer(win::kIdCancel);
  EXPECT_EQ(Copy(kArchiveCopyChosen, {path}, hooks), -1);
  EXPECT_EQ(MessagesAsked(), std::vector<std::string>{platform::LoadString(archive_ids::kNoSpaceRetry)});
  EXPECT_TRUE(Names(Archive()).empty());
}

TEST_F(ArchiveCopyTest, CopyingBackAsksBeforeReplacingARecording) {
  struct Case {
    const char* name;
    int answer;
    bool replaced;
  };
  const Case kCases[] = {{"yes replaces it", win::kIdYes, true}, {"no keeps it", win::kIdNo, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string archived = MakeRecording(Archive(), "A", 1);
    MakeRecording(Data(), "A", 50);
    const std::string other = MakeRecording(Archive(), "B", 2);
    prompt_.ClearLog();
    prompt_.QueueAnswer(c.answer);
    EXPECT_EQ(Copy(kArchiveCopyBack, {archived, other}), 0);
    EXPECT_EQ(MessagesAsked(), std::vector<std::string>{"File " + (Data() / "A.QRS").string() +
                                                        " already exists !\n\nOverwrite ?"});
    EXPECT_EQ(Read(Data() / "A.QRS"), c.replaced ? Bytes(1, 300) : Bytes(50, 300));
    EXPECT_EQ(Read(Data() / "A.TAP"), c.replaced ? Bytes(2, 5000) : Bytes(51, 5000));
    EXPECT_EQ(Archived(archived), c.replaced);
    EXPECT_EQ(Read(Data() / "B.QRS"), Bytes(2, 300));  // the run goes on
    fs::remove_all(Data());
    fs::create_directories(Data());
  }
}

TEST_F(ArchiveCopyTest, RecordingsInUseAreSkippedWithTheirMessage) {
  const std::string busy = MakeRecording(Data(), "A", 1);
  const std::string free = MakeRecording(Data(), "B", 2);
  platform::FileLock other_program;
  ASSERT_EQ(other_program.Lock(busy), platform::FileLock::Status::kLocked);
  EXPECT_EQ(Copy(kArchiveCopyChosen, {busy, free}), 0);
  EXPECT_EQ(MessagesAsked(),
            std::vector<std::string>{"The file " + busy +
                                     " cannot be opened.\nIt may be in use by another program or "
                                     "another workstation."});
  EXPECT_EQ(Names(Archive()), (std::vector<std::string>{"B.QRS", "B.TAP"}));
  EXPECT_FALSE(Archived(busy));

  // Back into the data directory, the open recording there is not replaced under the document.
  const std::string open = coretest::MakeSyntheticRecording(Data() / "00001", 1).string();
  ASSERT_TRUE(Doc().OnOpenDocument(open));
  const std::vector<uint8_t> before = Read(open);
  const std::string archived = MakeRecording(Archive(), "00001", 7);
  prompt_.ClearLog();
  EXPECT_EQ(Copy(kArchiveCopyBack, {archived}), 0);
  ASSERT_EQ(MessagesAsked().size(), 1u);
  EXPECT_NE(MessagesAsked()[0].find("cannot be opened"), std::string::npos);
  EXPECT_EQ(Read(open), before);
}

TEST_F(ArchiveCopyTest, CancelStopsBeforeTheNextRecording) {
  const std::string first = MakeRecording(Data(), "A", 1);
  const std::string second = MakeRecording(Data(), "B", 2);
  archivetest::CopyGate gate;
  const std::vector<std::string> chosen = {first, second};
  TArchiveCopyDlg dialog(Doc(), kArchiveCopyChosen, &chosen);
  dialog.SetHooks(gate.Hooks());
  DriveModal({[&](win::Window* modal) {
    gate.WaitUntilReached();
    EXPECT_TRUE(modal->GetDlgItem(TArchiveCopyDlg::kCancelId)->IsWindowEnabled());
    modal->SendMessage(win::kWmCommand, TArchiveCopyDlg::kCancelId, 0);
    gate.Release();
  }});
  EXPECT_EQ(dialog.DoModal(), -1);
  // The recording under way is finished; the next is not begun.
  EXPECT_EQ(Names(Archive()), (std::vector<std::string>{"A.QRS", "A.TAP"}));
  EXPECT_TRUE(Archived(first));
  EXPECT_FALSE(Archived(second));
}

// What the user sees while a copy runs: the picture, the bar one step on, Cancel (greyed for the
// open recording, which is copied whole), the title of the copy back. Esc and closing do nothing.
TEST_F(ArchiveCopyTest, TheDialogWhileACopyRuns) {
  const std::string path = MakeRecording(Data(), "A", 1);
  const std::string archived = MakeRecording(Archive(), "B", 2);
  Doc().SetPathName(path, false);
  struct Case {
    const char* name;
    int mode;
    std::vector<std::string> chosen;
    const char* title;
    bool cancel_enabled;
    const char* golden;
  };
  const Case kCases[] = {
      {"chosen recordings", kArchiveCopyChosen, {path}, "Archive copy", true, "archive_copy_dlg"},
      {"open recording", kArchiveCopyOpen, {}, "Archive copy", false, nullptr},
      {"copy back", kArchiveCopyBack, {archived}, "Copy from the archive", true, nullptr},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    archivetest::CopyGate gate;
    TArchiveCopyDlg dialog(Doc(), c.mode, c.mode >= kArchiveCopyChosen ? &c.chosen : nullptr);
    dialog.SetHooks(gate.Hooks());
    DriveModal({[&](win::Window* modal) {
      gate.WaitUntilReached();
      win::Windows().RunPending();  // the step posted before the first file
      EXPECT_EQ(modal->GetWindowText(), c.title);
      EXPECT_EQ(modal->GetDlgItem(TArchiveCopyDlg::kCancelId)->IsWindowEnabled(), c.cancel_enabled);
      auto* bar = dynamic_cast<win::ProgressBar*>(modal->GetDlgItem(TArchiveCopyDlg::kProgressId));
      ASSERT_NE(bar, nullptr);
      EXPECT_EQ(bar->GetRange(), (std::pair<int, int>{0, 2}));
      EXPECT_EQ(bar->GetPos(), 1);
      if (c.golden != nullptr)
        testsupport::ExpectScreenGolden("tools", c.golden, testsupport::RecordedScreen(*modal));
      // The picture moves on with its timer.
      auto* picture = dynamic_cast<TFileCopyPicture*>(modal->GetDlgItem(TArchiveCopyDlg::kAnimationId));
      ASSERT_NE(picture, nullptr);
      clock_.Advance(TArchiveCopyDlg::kPictureTickMs);
      win::Windows().RunPending();
      EXPECT_EQ(picture->Frame(), 1);
      win::Windows().PressKey(win::kVkEscape);
      modal->SendMessage(win::kWmClose);
      EXPECT_FALSE(dialog.Ended());
      if (!c.cancel_enabled) modal->SendMessage(win::kWmCommand, TArchiveCopyDlg::kCancelId, 0);
      EXPECT_FALSE(dialog.CancelRequested());
      gate.Release();
    }});
    EXPECT_EQ(dialog.DoModal(), 0);
  }
}

// The worker never shows a message box itself: each question waits for the user-interface thread.
TEST_F(ArchiveCopyTest, QuestionsAreAskedOnTheUserInterfaceThread) {
  class ThreadRecordingPrompt : public win::ScriptedPrompt {
   public:
    int MessageBox(std::string_view text, std::string_view caption, unsigned style) override {
      threads.push_back(std::this_thread::get_id());
      return ScriptedPrompt::MessageBox(text, caption, style);
    }
    std::vector<std::thread::id> threads;
  };
  const std::string busy = MakeRecording(Archive(), "A", 1);
  const std::string existing = MakeRecording(Archive(), "B", 2);
  MakeRecording(Data(), "B", 3);
  platform::FileLock other_program;
  ASSERT_EQ(other_program.Lock(busy), platform::FileLock::Status::kLocked);
  ArchiveCopyHooks hooks;
  hooks.free_space = [](const fs::path&) { return uint64_t{100}; };

  ThreadRecordingPrompt prompt;
  win::SetPrompt(&prompt);
  prompt.QueueAnswer(win::kIdOk);
  prompt.QueueAnswer(win::kIdYes);
  const int result = Copy(kArchiveCopyBack, {busy, existing}, hooks);
  win::SetPrompt(&prompt_);

  EXPECT_EQ(result, -1);
  ASSERT_EQ(prompt.Log().size(), 3u);  // in use, replace, too little space
  EXPECT_NE(prompt.Log()[0].text.find("cannot be opened"), std::string::npos);
  EXPECT_NE(prompt.Log()[1].text.find("Overwrite ?"), std::string::npos);
  EXPECT_EQ(prompt.Log()[2].text, platform::LoadString(archive_ids::kNoSpaceInData));
  for (const std::thread::id id : prompt.threads) EXPECT_EQ(id, std::this_thread::get_id());
  EXPECT_EQ(Read(Data() / "B.QRS"), Bytes(3, 300));
}

}  // namespace
