#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "dialogs/sound/audio_buffer.h"
#include "dialogs/sound/wave_format.h"

namespace platform {
class AtomicFileWriter;
}

// A RIFF WAVE file with one "fmt " and one "data" chunk, read or written in blocks. Made with a
// format, the file is created for writing with that format: the samples go to a temp file beside
// the target, and Close writes the chunk sizes and renames it over the target, so a recording
// that fails half-way never destroys an older file of that name. Made without one, the file is
// opened for reading and its format taken from its "fmt " chunk; a file that is no wave file
// shows its message and leaves the object closed (mode 0). One thread at a time.
class TWaveFile : public TWaveFormat {
 public:
  static constexpr int kModeClosed = 0;
  static constexpr int kModeReading = 1;
  static constexpr int kModeWriting = 2;

  explicit TWaveFile(std::string file_name, const TWaveFormat* format = nullptr);
  ~TWaveFile() override;
  TWaveFile(const TWaveFile&) = delete;
  TWaveFile& operator=(const TWaveFile&) = delete;

  bool IsOpen() const { return mode_ != kModeClosed; }
  int GetMode() const { return mode_; }
  const std::string& GetFileName() const { return file_name_; }

  // Writing: true when every byte of the buffer was written.
  bool Write(const TAudioBuffer& buffer);
  // Reading: fills the buffer up to its size from the data left and sets its size to the bytes
  // read; true when that is more than 0.
  bool Read(TAudioBuffer& buffer);
  // A new owning block of one device buffer (BufferBytes) filled by Read; none at the end.
  std::unique_ptr<TAudioBuffer> ReadNewBuffer();
  // Writing: fixes the chunk sizes and puts the file in place. Then closes.
  void Close();

  // Sample bytes of the "data" chunk: read so far plus left (reading), written (writing).
  uint32_t DataBytes() const { return data_bytes_; }

 private:
  void OpenForWriting();
  void OpenForReading();
  void FailRead(const char* message);

  std::string file_name_;
  std::FILE* file_ = nullptr;  // reading
  std::unique_ptr<platform::AtomicFileWriter> writer_;
  int mode_ = kModeClosed;
  bool write_failed_ = false;
  uint32_t data_bytes_ = 0;
  uint32_t data_left_ = 0;
};
