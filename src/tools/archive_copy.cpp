#include "tools/archive_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <span>
#include <string_view>
#include <system_error>

#include "document/document_strings.h"
#include "document/recording_files.h"
#include "document/ref_signal_file.h"
#include "document/zk470_doc.h"
#include "platform/archive_attribute.h"
#include "platform/file_system.h"
#include "platform/resources.h"
#include "tools/run_family.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"
#include "win/prompt.h"
#include "win/system_metrics.h"
#include "win/window.h"

namespace fs = std::filesystem;

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::DialogTemplate;

// --- Resources -------------------------------------------------------------------------------------

constexpr DialogLayout kCopyLayout{TArchiveCopyDlg::kTemplateId, 220, 82};
constexpr ControlLayout kCopyControls[] = {
    {TArchiveCopyDlg::kAnimationId, ControlKind::kAnimation, 10, 8, 200, 30},
    {TArchiveCopyDlg::kProgressId, ControlKind::kProgressBar, 10, 44, 200, 10},
    {TArchiveCopyDlg::kCancelId, ControlKind::kPushButton, 85, 62, 50, 14},
};
constexpr auto kCopyEnglish = LocalizeControls(kCopyControls, {"", "", "Cancel"});
constexpr auto kCopyGerman = LocalizeControls(kCopyControls, {"", "", "Abbrechen"});
constexpr DialogTemplate kEnglishDialogs[] = {LocalizeDialog(kCopyLayout, "Archive copy", kCopyEnglish)};
constexpr DialogTemplate kGermanDialogs[] = {LocalizeDialog(kCopyLayout, "Archivkopie", kCopyGerman)};

constexpr platform::StringEntry kEnglishStrings[] = {
    {archive_ids::kNoSpaceRetry,
     "There is not enough free space in the archive for this recording.\n\n"
     "Insert another medium or make room, then choose Retry."},
    {archive_ids::kNoSpaceInData,
     "There is not enough free space in the data directory for this recording.\n\nThe copy stops."},
    {archive_ids::kCopyBackTitle, "Copy from the archive"},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {archive_ids::kNoSpaceRetry,
     "Im Archiv ist nicht genug Platz für diese Aufzeichnung.\n\n"
     "Legen Sie einen anderen Datenträger ein oder schaffen Sie Platz und wählen Sie dann Wiederholen."},
    {archive_ids::kNoSpaceInData,
     "Im Datenverzeichnis ist nicht genug Platz für diese Aufzeichnung.\n\nDas Kopieren wird beendet."},
    {archive_ids::kCopyBackTitle, "Aus dem Archiv kopieren"},
};

// --- Files ------------------------------------------------------------------------------------------

constexpr std::array<const char*, 5> kSampleExtensions = {"CMP", "TAP", "RX3", "KZC", "KHI"};
constexpr std::array<const char*, 2> kCompanionExtensions = {"PID", "VQN"};
constexpr size_t kCopyBufferBytes = size_t{1} << 20;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // 0, or the errno of a failed close (which may be a failed write-back).
  int Close() {
    if (fd_ < 0) return 0;
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

std::string Describe(const fs::path& path, std::string_view what, int error) {
  std::string text = path.string() + ": " + std::string(what);
  if (error != 0) text += " (" + std::string(std::strerror(error)) + ")";
  return text;
}

// Reads until the buffer is full or the file ends; -1 on a read error.
ssize_t ReadFull(int fd, char* buffer, size_t size) {
  size_t got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, buffer + got, size - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(got);
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Reads both files again and compares them byte for byte: what reached the disk is what the
// source holds.
platform::FileOpResult SameBytes(const fs::path& source, const fs::path& copy) {
  Fd a(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (a.get() < 0) return platform::FileOpResult::Failure(Describe(source, "cannot open to compare", errno));
  Fd b(::open(copy.c_str(), O_RDONLY | O_CLOEXEC));
  if (b.get() < 0) return platform::FileOpResult::Failure(Describe(copy, "cannot open to compare", errno));
  std::vector<char> left(kCopyBufferBytes);
  std::vector<char> right(kCopyBufferBytes);
  while (true) {
    const ssize_t n = ReadFull(a.get(), left.data(), left.size());
    const ssize_t m = ReadFull(b.get(), right.data(), right.size());
    if (n < 0) return platform::FileOpResult::Failure(Describe(source, "read failed", errno));
    if (m < 0) return platform::FileOpResult::Failure(Describe(copy, "read failed", errno));
    if (n != m || std::memcmp(left.data(), right.data(), static_cast<size_t>(n)) != 0)
      return platform::FileOpResult::Failure(Describe(copy, "differs from its source after copying", 0));
    if (n == 0) return {};
  }
}

// Copies a file to a temp name beside target, compares the copy with the source and only then
// renames it over target. On any failure the temp file is gone and target is as it was. The copy
// keeps the source's modification time; writable makes it writable to its owner.
platform::FileOpResult CopyVerified(const fs::path& from, const fs::path& to, bool writable,
                                    const ArchiveCopyHooks& hooks) {
  // Without waiting: a pipe in place of the source would block the open until a writer came.
  Fd in(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (in.get() < 0) return platform::FileOpResult::Failure(Describe(from, "cannot open for copying", errno));
  struct stat source {};
  if (::fstat(in.get(), &source) != 0)
    return platform::FileOpResult::Failure(Describe(from, "cannot read its size", errno));
  if (!S_ISREG(source.st_mode))
    return platform::FileOpResult::Failure(Describe(from, "is not a regular file", 0));

  const fs::path target = platform::SaveTarget(to);
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) {
    if (existing.st_dev == source.st_dev && existing.st_ino == source.st_ino)
      return platform::FileOpResult::Failure(Describe(to, "is the source file itself", 0));
    if (!S_ISREG(existing.st_mode))
      return platform::FileOpResult::Failure(Describe(to, "is not a regular file", 0));
  }

  // Named as the other temp files of a save, so that a crash leaves nothing the program does not
  // clean up.
  const std::optional<fs::path> temp =
      platform::CreateUniqueFile(target.parent_path(), target.filename().string() + ".~", "");
  if (!temp)
    return platform::FileOpResult::Failure(Describe(to, "cannot create a temp file beside it", errno));
  const auto fail = [&temp](std::string text) {
    ::unlink(temp->c_str());
    return platform::FileOpResult::Failure(std::move(text));
  };

  {
    Fd out(::open(temp->c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (out.get() < 0) return fail(Describe(*temp, "cannot open", errno));
    std::vector<char> buffer(kCopyBufferBytes);
    while (true) {
      const ssize_t n = ReadFull(in.get(), buffer.data(), buffer.size());
      if (n < 0) return fail(Describe(from, "read failed", errno));
      if (n == 0) break;
      if (!WriteAll(out.get(), buffer.data(), static_cast<size_t>(n)))
        return fail(Describe(to, "write failed", errno));
    }
    const timespec times[2] = {source.st_atim, source.st_mtim};
    ::futimens(out.get(), times);
    if (::fsync(out.get()) != 0) return fail(Describe(to, "write failed", errno));
    if (const int error = out.Close(); error != 0) return fail(Describe(to, "write failed", error));
  }
  if (hooks.after_write && !hooks.after_write(from, *temp)) return fail(Describe(to, "the copy failed", 0));
  if (platform::FileOpResult same = SameBytes(from, *temp); !same) return fail(same.error);

  platform::FileOpResult replaced = platform::ReplaceWithFile(*temp, to);
  if (!replaced) return replaced;
  if (writable) {
    struct stat copied {};
    if (::stat(target.c_str(), &copied) == 0 && (copied.st_mode & S_IWUSR) == 0)
      ::chmod(target.c_str(), (copied.st_mode & 07777) | S_IWUSR);
  }
  return {};
}

uint64_t FileLength(const std::string& path) {
  std::error_code error;
  const uintmax_t length = fs::file_size(path, error);
  return error ? 0 : static_cast<uint64_t>(length);
}

// The last three characters of a path as they are spelled.
std::string LastThree(const std::string& path) {
  return path.size() < 3 ? path : path.substr(path.size() - 3);
}

bool HasExtension(const std::string& name, std::string_view extension) {
  return name.size() > 4 && name[name.size() - 4] == '.' && document::LastThreeUpper(name) == extension;
}

int SayOnUi(const std::string& text, unsigned style) {
  return win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(), style);
}

}  // namespace

// --- TArchiveCopier ------------------------------------------------------------------------------------

TArchiveCopier::TArchiveCopier(CZK470Doc& doc, int mode, std::vector<std::string> paths, Services services)
    : doc_(doc),
      mode_(mode),
      paths_(mode == kArchiveCopyChosen || mode == kArchiveCopyBack ? std::move(paths)
                                                                    : std::vector<std::string>{}),
      services_(std::move(services)),
      doc_path_(doc.GetPathName()),
      held_path_(doc.GetHeldFilePath()),
      export_dir_(doc.GetExportDirectory()),
      data_dir_(doc.GetDataDirectory()) {}

int TArchiveCopier::OnUi(std::function<int()> call) {
  if (services_.on_ui) return services_.on_ui(std::move(call));
  return call();
}

int TArchiveCopier::Ask(const std::string& text, unsigned style) {
  return OnUi([text, style] { return SayOnUi(text, style); });
}

void TArchiveCopier::Step() {
  if (services_.step) services_.step();
}

bool TArchiveCopier::Cancelled() const { return services_.cancel != nullptr && services_.cancel->load(); }

bool TArchiveCopier::IsOpenDocument(const std::string& path) const {
  if (doc_path_.empty()) return false;
  std::error_code error;
  return fs::equivalent(path, doc_path_, error);
}

int TArchiveCopier::Run() {
  last_error_.clear();
  if (mode_ == kArchiveCopyOpen) {
    if (doc_path_.empty()) return -1;
    paths_ = {doc_path_};
    size_ = GetRecordingSize(doc_path_);
    if (!CheckFreeSpace(export_dir_, size_, true)) return -1;
    Step();
    if (!CopyRecording(doc_path_, export_dir_)) return -1;
    Step();
    return 0;
  }
  if (mode_ == kArchiveCopyChanged) {
    ListChangedRecordings();
    if (paths_.empty()) return -1;
    if (services_.set_range) services_.set_range(static_cast<int>(std::min<size_t>(paths_.size(), 1 << 28)));
  }

  const bool back = mode_ == kArchiveCopyBack;
  const std::string& target = back ? data_dir_ : export_dir_;
  int result = 0;
  for (const std::string& path : paths_) {
    if (Cancelled()) break;
    // Held while the recording is copied: another instance cannot open it for writing meanwhile.
    platform::FileLock in_use;
    if (!IsOpenDocument(path) && in_use.Lock(path) != platform::FileLock::Status::kLocked) {
      OnUi([path] {
        return SayOnUi(document::FormatText(document::DocString(document::strings::kCannotOpenFile), path),
                       win::kMbOk | win::kMbIconExclamation);
      });
      Step();
      continue;
    }
    if (back && MayReplace(path, target) == Replace::kSkip) {
      Step();
      Step();
      continue;
    }
    size_ = GetRecordingSize(path);
    if (!CheckFreeSpace(target, size_, !back)) {
      result = -1;
      break;
    }
    Step();
    if (!CopyRecording(path, target)) {
      result = -1;
      break;
    }
    Step();
  }
  if (Cancelled()) result = -1;
  return result;
}

void TArchiveCopier::ListChangedRecordings() {
  paths_.clear();
  std::vector<std::string> recordings;
  std::vector<std::string> reports;
  std::error_code error;
  for (fs::directory_iterator it(data_dir_, error), end; !error && it != end; it.increment(error)) {
    std::error_code kind_error;
    if (!it->is_regular_file(kind_error)) continue;
    const std::string name = it->path().filename().string();
    if (HasExtension(name, "QRS")) recordings.push_back(name);
    if (HasExtension(name, "PDF")) reports.push_back(name);
  }
  std::sort(recordings.begin(), recordings.end());
  std::sort(reports.begin(), reports.end());
  for (const std::vector<std::string>* names : {&recordings, &reports}) {
    for (const std::string& name : *names) {
      std::string path = CZK470Doc::JoinPath(data_dir_, name);
      if (platform::HasArchiveAttribute(path)) paths_.push_back(std::move(path));
    }
  }
}

uint64_t TArchiveCopier::GetRecordingSize(const std::string& path) const {
  if (document::LastThreeUpper(path) == "PDF") return FileLength(path);
  uint64_t total = FileLength(path);
  bool sample_found = false;
  for (const char* extension : kSampleExtensions) {
    const std::optional<std::string> sample =
        document::ExistingFile(document::ReplaceLastThree(path, extension));
    if (sample && document::CanOpenForReading(*sample)) {
      total += FileLength(*sample);
      sample_found = true;
      break;
    }
  }
  if (!sample_found) {
    const std::string reference = FindRefSignalFile(path);
    if (!reference.empty()) total += FileLength(reference);
  }
  // The voice diary and the ".VQN" file travel with the recording, so they need room too.
  for (const char* extension : kCompanionExtensions) {
    if (const std::optional<std::string> file =
            document::ExistingFile(document::ReplaceLastThree(path, extension)))
      total += FileLength(*file);
  }
  return total;
}

bool TArchiveCopier::CheckFreeSpace(const std::string& target, uint64_t bytes_needed, bool retry_allowed) {
  if (target.empty()) return false;
  while (true) {
    // An unreachable folder (an archive medium that is not mounted) has no room.
    const std::optional<uint64_t> free_bytes =
        services_.hooks.free_space ? services_.hooks.free_space(target) : platform::FreeSpaceBytes(target);
    if (free_bytes.value_or(0) > bytes_needed) return true;
    if (!retry_allowed) {
      OnUi([] {
        return SayOnUi(platform::LoadString(archive_ids::kNoSpaceInData),
                       win::kMbOk | win::kMbIconExclamation);
      });
      return false;
    }
    const int answer = OnUi([] {
      return SayOnUi(platform::LoadString(archive_ids::kNoSpaceRetry),
                     win::kMbRetryCancel | win::kMbIconInformation);
    });
    if (answer != win::kIdRetry) return false;
  }
}

TArchiveCopier::Replace TArchiveCopier::MayReplace(const std::string& source,
                                                   const std::string& target_folder) {
  const std::string name = fs::path(source).filename().string();
  if (name.size() < 3) return Replace::kYes;
  const std::string extension = document::LastThreeUpper(name);
  const std::string document_name =
      extension == "PDF" ? name : name.substr(0, name.size() - 3) + (extension == "KZT" ? "KZT" : "QRS");
  const std::optional<std::string> existing =
      document::ExistingFile(CZK470Doc::JoinPath(target_folder, document_name));
  if (!existing) return Replace::kYes;
  // The open recording, or one another instance holds, is not replaced under its user.
  platform::FileLock in_use;
  if (IsOpenDocument(*existing) || in_use.Lock(*existing) != platform::FileLock::Status::kLocked) {
    const std::string shown = *existing;
    OnUi([shown] {
      return SayOnUi(document::FormatText(document::DocString(document::strings::kCannotOpenFile), shown),
                     win::kMbOk | win::kMbIconExclamation);
    });
    return Replace::kSkip;
  }
  const std::string shown = *existing;
  const int answer = OnUi([shown] { return tools::AskOverwrite(shown) ? win::kIdYes : win::kIdNo; });
  return answer == win::kIdYes ? Replace::kYes : Replace::kSkip;
}

bool TArchiveCopier::CopyRecording(const std::string& source, const std::string& target_folder) {
  last_error_.clear();
  const std::string name = fs::path(source).filename().string();
  if (name.size() < 4) {
    last_error_ = Describe(source, "is no recording file", 0);
    return false;
  }
  const std::string base = name.substr(0, name.size() - 3);  // with its dot
  const auto target = [&](const std::string& extension) {
    return fs::path(CZK470Doc::JoinPath(target_folder, base + extension));
  };
  std::vector<fs::path> copied;
  const auto copy = [&](const fs::path& from, const fs::path& to, bool writable) {
    const platform::FileOpResult result = CopyVerified(from, to, writable, services_.hooks);
    if (!result) {
      last_error_ = result.error;
      return false;
    }
    copied.push_back(from);
    return true;
  };

  const std::string extension = document::LastThreeUpper(name);
  if (extension == "PDF") {
    if (!copy(source, target(LastThree(name)), false)) return false;
    MarkArchived(copied);
    return true;
  }
  if (!copy(source, target(extension == "KZT" ? "KZT" : "QRS"), true)) return false;
  const std::optional<std::string> sample = CZK470Doc::FindDataFile(source);
  if (!sample) {
    last_error_ = Describe(source, "has no ECG data file", 0);
    return false;
  }
  if (!copy(*sample, target(LastThree(*sample)), true)) return false;
  // A voice diary that exists but did not arrive would be lost with the next clean-up of the data
  // directory, so it fails the recording as the sample file does.
  for (const char* companion : kCompanionExtensions) {
    if (const std::optional<std::string> file =
            document::ExistingFile(document::ReplaceLastThree(source, companion))) {
      if (!copy(*file, target(companion), true)) return false;
    }
  }
  MarkArchived(copied);
  return true;
}

void TArchiveCopier::MarkArchived(const std::vector<fs::path>& sources) {
  const auto mark = [sources] {
    for (const fs::path& file : sources) (void)platform::SetArchiveAttribute(file, false);
  };
  std::error_code error;
  const bool holds_one =
      !held_path_.empty() && std::any_of(sources.begin(), sources.end(), [&](const fs::path& file) {
        return fs::equivalent(file, held_path_, error);
      });
  if (!holds_one) {
    mark();
    return;
  }
  // The document's held file is released around the change and taken again on the
  // user-interface thread, which owns the document.
  OnUi([this, mark] {
    doc_.CloseRecordingFile(0);
    mark();
    doc_.OpenRecordingFile(held_path_);
    return 0;
  });
}

// --- TFileCopyPicture ----------------------------------------------------------------------------------

void TFileCopyPicture::NextFrame() {
  frame_ = (frame_ + 1) % kFrames;
  Invalidate(false);
}

void TFileCopyPicture::OnPaint(gfx::Canvas& canvas, const gfx::Rect& /*update*/) {
  const gfx::Rect client = GetClientRect();
  canvas.FillSolidRect(client, win::GetSysColor(win::SysColor::kBtnFace));
  const int height = client.Height();
  const int folder_w = std::max(height * 5 / 4, 8);
  const int folder_h = std::max(height * 3 / 4, 6);
  const int top = client.top + (height - folder_h) / 2;
  const gfx::Color folder = gfx::Rgb(232, 188, 72);
  const gfx::Color outline = gfx::Rgb(96, 72, 24);
  const gfx::Brush outline_brush{gfx::BrushStyle::kSolid, outline};
  const auto draw_folder = [&](int left) {
    const gfx::Rect tab{left, top - folder_h / 6, left + folder_w / 3, top + 1};
    const gfx::Rect body{left, top, left + folder_w, top + folder_h};
    canvas.FillSolidRect(tab, folder);
    canvas.FrameRect(tab, outline_brush);
    canvas.FillSolidRect(body, folder);
    canvas.FrameRect(body, outline_brush);
  };
  const int from = client.left + 4;
  const int to = client.right - 4 - folder_w;
  draw_folder(from);
  draw_folder(to);

  // The page flies from the left folder to the right one in an arc.
  const int page_w = std::max(folder_h / 2, 4);
  const int page_h = std::max(folder_h * 2 / 3, 5);
  const int start = from + folder_w;
  const int travel = std::max(to - start - page_w, 0);
  const int x = start + travel * frame_ / (kFrames - 1);
  const int middle = kFrames - 1;
  const int lift =
      height / 4 * (middle * middle - (2 * frame_ - middle) * (2 * frame_ - middle)) / (middle * middle);
  const int y = top + (folder_h - page_h) / 2 - lift;
  const gfx::Rect page{x, y, x + page_w, y + page_h};
  canvas.FillSolidRect(page, gfx::Rgb(255, 255, 255));
  canvas.FrameRect(page, gfx::Brush{gfx::BrushStyle::kSolid, gfx::Rgb(64, 64, 64)});
  for (int line = y + 3; line + 2 < page.bottom; line += 3)
    canvas.FillSolidRect({x + 2, line, page.right - 2, line + 1}, gfx::Rgb(128, 128, 128));
}

// --- TArchiveCopyDlg -----------------------------------------------------------------------------------

struct TArchiveCopyDlg::Shared {
  std::atomic<bool> cancel{false};
  // The dialog is going away: no further question is shown, waiting answers give Cancel.
  std::atomic<bool> stop{false};
};

TArchiveCopyDlg::TArchiveCopyDlg(CZK470Doc& doc, int mode, const std::vector<std::string>* paths,
                                 win::Window* parent)
    : win::Dialog(kTemplateId, parent),
      doc_(doc),
      mode_(mode),
      paths_(paths),
      cancel_allowed_(mode != kArchiveCopyOpen),
      shared_(std::make_shared<Shared>()) {
  AddCommand(kCancelId, [this] { OnCancelButton(); });
}

TArchiveCopyDlg::~TArchiveCopyDlg() {
  StopWorker();
  if (wait_cursor_) win::Windows().EndWaitCursor();
}

void TArchiveCopyDlg::StopWorker() {
  if (!worker_) return;
  if (!worker_->Finished()) {
    shared_->stop = true;
    shared_->cancel = true;
  }
  worker_->Join();
}

int TArchiveCopyDlg::DoModal() {
  const int result = win::Dialog::DoModal();
  // A loop that ended without the worker's message (a quit) stops the worker here.
  StopWorker();
  return result == 0 ? 0 : -1;
}

void TArchiveCopyDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxControl(dx, kAnimationId, picture_);
  win::DdxControl(dx, kProgressId, progress_);
}

void TArchiveCopyDlg::OnCancelButton() {
  if (cancel_allowed_) shared_->cancel = true;
}

bool TArchiveCopyDlg::CancelRequested() const { return shared_->cancel.load(); }

bool TArchiveCopyDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  if (!cancel_allowed_) {
    if (win::Window* cancel = GetDlgItem(kCancelId)) cancel->EnableWindow(false);
  }
  if (mode_ == kArchiveCopyBack) SetWindowText(platform::LoadString(archive_ids::kCopyBackTitle));
  SetTimer(kPictureTimer, kPictureTickMs);
  const size_t listed = paths_ != nullptr ? paths_->size() : 1;
  progress_.SetRange32(0, static_cast<int>(std::min<size_t>(2 * listed, 1 << 30)));
  progress_.SetStep(1);
  win::Windows().BeginWaitCursor();
  wait_cursor_ = true;

  TArchiveCopier::Services services;
  const std::shared_ptr<Shared> shared = shared_;
  services.on_ui = [shared](std::function<int()> call) {
    auto answer = std::make_shared<std::promise<int>>();
    std::future<int> future = answer->get_future();
    platform::UiThreadQueue().PostTask([shared, call = std::move(call), answer] {
      if (shared->stop) {
        answer->set_value(win::kIdCancel);
        return;
      }
      try {
        answer->set_value(call());
      } catch (...) {
        answer->set_exception(std::current_exception());
      }
    });
    while (future.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
      if (shared->stop) return static_cast<int>(win::kIdCancel);
    }
    return future.get();
  };
  const win::WindowHandle bar = progress_.Handle();
  services.step = [bar] {
    platform::UiThreadQueue().PostTask([bar] {
      if (auto* progress = dynamic_cast<win::ProgressBar*>(win::Window::FromHandle(bar))) progress->StepIt();
    });
  };
  services.set_range = [bar](int recordings) {
    platform::UiThreadQueue().PostTask([bar, recordings] {
      if (auto* progress = dynamic_cast<win::ProgressBar*>(win::Window::FromHandle(bar)))
        progress->SetRange32(0, 2 * recordings);
    });
  };
  services.cancel = std::shared_ptr<const std::atomic<bool>>(shared_, &shared_->cancel);
  services.hooks = hooks_;

  auto copier = std::make_shared<TArchiveCopier>(
      doc_, mode_, paths_ != nullptr ? *paths_ : std::vector<std::string>{}, std::move(services));
  auto result = std::make_shared<int>(-1);
  worker_ = std::make_unique<platform::WorkerThread>();
  const win::WindowHandle target = Handle();
  worker_->Start([copier, result](const platform::WorkerThread&) { *result = copier->Run(); },
                 [target, result](const platform::WorkerResult& outcome) {
                   const int code = outcome.ok ? *result : -1;
                   platform::UiThreadQueue().PostMessage(
                       target, kEndMessage, static_cast<uintptr_t>(static_cast<intptr_t>(code)), 0);
                 });
  return true;
}

void TArchiveCopyDlg::OnTimer(uintptr_t id) {
  if (id == kPictureTimer) picture_.NextFrame();
}

win::LResult TArchiveCopyDlg::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == kEndMessage) {
    KillTimer(kPictureTimer);
    picture_.Close();
    if (wait_cursor_) {
      win::Windows().EndWaitCursor();
      wait_cursor_ = false;
    }
    EndDialog(static_cast<int>(static_cast<intptr_t>(wparam)));
    return 0;
  }
  return win::Dialog::WindowProc(message, wparam, lparam);
}

int RunArchiveCopy(CZK470Doc& doc, int mode, const std::vector<std::string>* chosen, win::Window* parent) {
  TArchiveCopyDlg dialog(doc, mode, chosen, parent);
  return dialog.DoModal();
}

void AddArchiveCopyResources(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    win::Templates().Add(pack, kGermanDialogs);
    pack.AddStrings(kGermanStrings);
  } else {
    win::Templates().Add(pack, kEnglishDialogs);
    pack.AddStrings(kEnglishStrings);
  }
}
