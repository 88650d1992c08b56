#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win {

// Message-box styles and answers, with the values the program's code and texts were written for.
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbOkCancel = 0x1;
inline constexpr unsigned kMbAbortRetryIgnore = 0x2;
inline constexpr unsigned kMbYesNoCancel = 0x3;
inline constexpr unsigned kMbYesNo = 0x4;
inline constexpr unsigned kMbRetryCancel = 0x5;
inline constexpr unsigned kMbIconStop = 0x10;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconExclamation = 0x30;
inline constexpr unsigned kMbIconInformation = 0x40;
inline constexpr unsigned kMbDefButton2 = 0x100;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdIgnore = 5;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

struct FileDialogRequest {
  bool open = true;  // false: a save dialog
  std::string title;
  std::string initial_folder;
  std::string file_name;
  // "Recordings (*.QRS)|*.QRS|All files (*.*)|*.*||"
  std::string filter;
  std::string default_extension;
};

// Message boxes and the common choosers. The host shows real dialogs; tests script the answers.
// User-interface thread only.
class Prompt {
 public:
  virtual ~Prompt() = default;
  virtual int MessageBox(std::string_view text, std::string_view caption, unsigned style) = 0;
  virtual std::optional<std::string> ChooseFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> ChooseFolder(std::string_view title, std::string_view initial) = 0;
  // Colours as 0x00BBGGRR.
  virtual std::optional<uint32_t> ChooseColor(uint32_t initial) = 0;
  // An open dialog that takes several existing files; nullopt when cancelled. Without a chooser
  // of its own a prompt asks for one file.
  virtual std::optional<std::vector<std::string>> ChooseFiles(const FileDialogRequest& request);
  // Hands a web address, mail address or file to the desktop's program for it; false when
  // nothing could open it.
  virtual bool OpenExternal(std::string_view target) { return false; }
};

// The prompt in use. Until one is set, a ScriptedPrompt that answers every question with its
// default (OK, Yes, or cancel for choosers) serves, so headless runs never block.
Prompt& CurrentPrompt();
// Not owned; nullptr restores the default.
void SetPrompt(Prompt* prompt);

// Answers from a script and records every question asked.
class ScriptedPrompt : public Prompt {
 public:
  struct Asked {
    std::string kind;  // "message", "file", "files", "folder", "color", "open"
    std::string text;
    std::string caption;
    unsigned style = 0;
  };

  void QueueAnswer(int answer) { answers_.push_back(answer); }
  void QueueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
  void QueueFolder(std::optional<std::string> path) { folders_.push_back(std::move(path)); }
  void QueueColor(std::optional<uint32_t> color) { colors_.push_back(color); }
  void QueueFiles(std::optional<std::vector<std::string>> paths) { file_lists_.push_back(std::move(paths)); }
  // What OpenExternal answers (logged as "open" with the target as text).
  void SetOpenResult(bool opened) { open_result_ = opened; }
  const std::vector<Asked>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }

  // Without a queued answer: kIdOk for OK styles, kIdYes for Yes styles, kIdRetry for retry styles.
  int MessageBox(std::string_view text, std::string_view caption, unsigned style) override;
  std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(std::string_view title, std::string_view initial) override;
  std::optional<uint32_t> ChooseColor(uint32_t initial) override;
  // Logged as "files".
  std::optional<std::vector<std::string>> ChooseFiles(const FileDialogRequest& request) override;
  bool OpenExternal(std::string_view target) override;

 private:
  std::deque<int> answers_;
  std::deque<std::optional<std::string>> files_;
  std::deque<std::optional<std::string>> folders_;
  std::deque<std::optional<uint32_t>> colors_;
  std::deque<std::optional<std::vector<std::string>>> file_lists_;
  bool open_result_ = true;
  std::vector<Asked> log_;
};

// Scoped SetPrompt for tests and automation runs.
class ScopedPrompt {
 public:
  explicit ScopedPrompt(Prompt& prompt) { SetPrompt(&prompt); }
  ~ScopedPrompt() { SetPrompt(nullptr); }
  ScopedPrompt(const ScopedPrompt&) = delete;
  ScopedPrompt& operator=(const ScopedPrompt&) = delete;
};

}  // namespace win
