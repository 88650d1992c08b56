#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/worker.h"
#include "win/controls.h"
#include "win/dialog.h"

class CZK470Doc;
namespace platform {
class ResourcePack;
}

// Texts of the archive copy. 15202 (copy to the archive failed) and 15207 (copy back failed) are
// shown by the view commands and defined with their other texts.
namespace archive_ids {
inline constexpr int kNoSpaceRetry = 15200;   // the archive has too little free space: Retry, Cancel
inline constexpr int kNoSpaceInData = 15206;  // the data directory has too little free space
inline constexpr int kCopyBackTitle = 15208;  // the dialog's title in copy mode 3
}  // namespace archive_ids

// The copy modes: the open recording, every changed recording of the data directory, and chosen
// recordings to the archive (the export directory) or back from it into the data directory.
enum ArchiveCopyMode : int {
  kArchiveCopyOpen = 0,
  kArchiveCopyChanged = 1,
  kArchiveCopyChosen = 2,
  kArchiveCopyBack = 3,
};

// What tests put in place of the file system's answers.
struct ArchiveCopyHooks {
  // Free bytes for the folder; nullopt when it cannot be asked. Empty: platform::FreeSpaceBytes.
  std::function<std::optional<uint64_t>(const std::filesystem::path& folder)> free_space;
  // Runs after a file was written to its temp name and before the temp copy is compared with its
  // source; false fails the copy of that file.
  std::function<bool(const std::filesystem::path& source, const std::filesystem::path& temp)> after_write;
};

// Copies whole recordings (document, sample file, voice file, ".VQN") or PDF reports between the
// data directory and the archive for one run. Each file goes to a temp name beside its target, is
// compared byte for byte with its source and only then renamed over the old copy; a recording's
// sources are marked archived only after all its files arrived. Sizes are 64-bit. Runs on the
// archive copy's worker thread: it reads the document's path and folders when it is built, and
// questions and the document's held file go through Services::on_ui to the user-interface thread.
class TArchiveCopier {
 public:
  struct Services {
    // Runs the call on the user-interface thread and gives its answer. Empty: calls it here.
    std::function<int(std::function<int()>)> on_ui;
    // One step of the progress bar; the range for so many recordings. Either may be empty.
    std::function<void()> step;
    std::function<void(int recordings)> set_range;
    // Set by the user; read between recordings. May be null.
    std::shared_ptr<const std::atomic<bool>> cancel;
    ArchiveCopyHooks hooks;
  };

  // paths: the chosen recordings in modes 2 and 3; ignored in modes 0 and 1.
  TArchiveCopier(CZK470Doc& doc, int mode, std::vector<std::string> paths, Services services);

  // 0 when the run went through (recordings skipped because they were in use count as done), -1
  // when a space check or copy failed, the run was cancelled or mode 1 found nothing to copy.
  int Run();

  // The data directory's ".QRS" and then ".PDF" files that changed since their last archive copy.
  void ListChangedRecordings();
  // Document, sample, voice and ".VQN" file of a recording, or a PDF's length.
  uint64_t GetRecordingSize(const std::string& path) const;
  // True when the folder has strictly more than bytes_needed free; otherwise asks to retry (15200)
  // or says so (15206) and gives false.
  bool CheckFreeSpace(const std::string& target, uint64_t bytes_needed, bool retry_allowed);
  bool CopyRecording(const std::string& source, const std::string& target_folder);

  const std::vector<std::string>& Paths() const { return paths_; }
  // Why the last copy failed; empty after a success.
  const std::string& LastError() const { return last_error_; }

 private:
  int Ask(const std::string& text, unsigned style);
  int OnUi(std::function<int()> call);
  void Step();
  bool Cancelled() const;
  bool IsOpenDocument(const std::string& path) const;
  // Mode 3: whether the recording may go into the target folder (asks before replacing one).
  enum class Replace { kYes, kSkip };
  Replace MayReplace(const std::string& source, const std::string& target_folder);
  void MarkArchived(const std::vector<std::filesystem::path>& sources);

  CZK470Doc& doc_;
  int mode_;
  std::vector<std::string> paths_;
  Services services_;
  std::string doc_path_;
  std::string held_path_;
  std::string export_dir_;
  std::string data_dir_;
  uint64_t size_ = 0;
  std::string last_error_;
};

// The file-copy picture of the archive copy dialog: a page that travels from one folder to the
// other, one frame per timer tick while the copy runs. Drawn by the program itself.
class TFileCopyPicture : public win::Animation {
 public:
  static constexpr int kFrames = 8;
  bool IsOwnerDrawn() const override { return true; }
  void NextFrame();
  int Frame() const { return frame_; }

 protected:
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;

 private:
  int frame_ = 0;
};

// The modal dialog of one archive copy: the picture, the progress bar and Cancel (1210, disabled
// in mode 0). Its worker runs a TArchiveCopier and posts 1257 with the result, which ends the
// dialog with it. Enter, Esc and closing the window do nothing. User-interface thread only.
class TArchiveCopyDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 30727;
  static constexpr int kAnimationId = 1206;
  static constexpr int kCancelId = 1210;
  static constexpr int kProgressId = 1211;
  static constexpr uint32_t kEndMessage = 1257;
  static constexpr uintptr_t kPictureTimer = 1;
  static constexpr int kPictureTickMs = 150;

  // paths: the chosen recordings (modes 2 and 3), not owned; null in modes 0 and 1.
  TArchiveCopyDlg(CZK470Doc& doc, int mode, const std::vector<std::string>* paths,
                  win::Window* parent = nullptr);
  ~TArchiveCopyDlg() override;

  // The worker's result: 0 or -1.
  int DoModal() override;
  void SetHooks(ArchiveCopyHooks hooks) { hooks_ = std::move(hooks); }

  // Button 1210.
  void OnCancelButton();
  bool CancelRequested() const;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
  void OnOK() override {}
  void OnCancel() override {}
  void OnTimer(uintptr_t id) override;
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  struct Shared;
  void StopWorker();

  CZK470Doc& doc_;
  int mode_;
  const std::vector<std::string>* paths_;
  bool cancel_allowed_;
  TFileCopyPicture picture_;
  win::ProgressBar progress_;
  ArchiveCopyHooks hooks_;
  // Shared with the worker, which outlives the window until it is joined.
  std::shared_ptr<Shared> shared_;
  std::unique_ptr<platform::WorkerThread> worker_;
  bool wait_cursor_ = false;
};

// Runs the archive copy dialog on the document; 0 when the run went through, else -1.
int RunArchiveCopy(CZK470Doc& doc, int mode, const std::vector<std::string>* chosen, win::Window* parent);

// Template 30727 and the archive copy's texts: German to "ZK470Ger", English to every other pack.
void AddArchiveCopyResources(platform::ResourcePack& pack);
