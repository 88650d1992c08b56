#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class CZK470Doc;
class TPatientData;
namespace win {
class Window;
}

namespace recorder {

// Exit codes of the automation run that a conversion sets (the same numbers as the program's table).
inline constexpr int kRawExitDone = 0;
inline constexpr int kRawExitCancelled = 20;
inline constexpr int kRawExitUnreadable = 21;
inline constexpr int kRawExitLayoutInvalid = 22;
inline constexpr int kRawExitNoMemory = 23;
inline constexpr int kRawExitWriteFailed = 24;

// The progress shown while the ECG and voice areas are copied: one step per chunk.
class RawCopyProgress {
 public:
  virtual ~RawCopyProgress() = default;
  virtual void Begin(int steps) = 0;
  // After each chunk; false once the user has cancelled.
  virtual bool Step() = 0;
  virtual void End() = 0;
};

// The shared progress window ("Reading", "Creating Files...."), modal over the main window; Esc
// and its Cancel button cancel.
class RawProgressWindow : public RawCopyProgress {
 public:
  explicit RawProgressWindow(std::string caption, win::Window* parent = nullptr);
  ~RawProgressWindow() override;
  void Begin(int steps) override;
  bool Step() override;
  void End() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::string caption_;
  win::Window* parent_;
};

// One transfer buffer of 1 MB, else 512 KB, else 256 KB; the chunk size is the size obtained.
// The allocator returns null when the size cannot be had.
using RawBufferAllocator = std::function<std::unique_ptr<uint8_t[]>(size_t bytes)>;
inline constexpr size_t kRawTransferBufferSizes[] = {size_t{1} << 20, size_t{512} << 10, size_t{256} << 10};

// Gives the work files their names in the data directory and returns the ".qrs" path to open.
using RawRecordingNamer =
    std::function<std::string(CZK470Doc&, std::string_view last_name, std::string_view first_name,
                              std::string_view date_text, std::string_view time_text)>;

struct RawConvertOptions {
  RawCopyProgress* progress = nullptr;  // none: copies without showing progress
  RawBufferAllocator allocate;          // empty: the heap
  RawRecordingNamer name_recording;     // empty: the naming of new recordings
};

struct RawConvertResult {
  int exit_code = kRawExitDone;
  // On failure the message with the path filled in.
  std::string message;
  // On success the ".qrs" to open as the document.
  std::string recording_path;
  [[nodiscard]] bool ok() const { return exit_code == kRawExitDone; }
};

// Turns one SD-card RAW image into a new recording in the data directory: the ECG area becomes
// the ".cmp" byte for byte, the voice area the wave file, the blocks the patient and recording
// records of a ".qrs" with empty lists. The image is only read. Opening the result is the caller's;
// the open document is not touched, and the process-wide channel sets change only on success.
// Temporary files of a failed or cancelled conversion stay registered as the document's work files
// and go with the next conversion. User-interface thread.
RawConvertResult ConvertRawFile(CZK470Doc& doc, const std::string& raw_path,
                                const RawConvertOptions& options = {});

// Whether the open recording lacks the patient data the question offers to complete: a name or
// the patient number empty, no valid birth date, no sex.
[[nodiscard]] bool IsPatientDataIncomplete(const TPatientData& patient);

}  // namespace recorder
