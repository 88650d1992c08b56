#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

// A growable byte buffer: the whole PDF file, each page's content, the text scratch buffer and
// embedded font files are built in one. The byte after the content is always 0, so the content
// can be read as a text. Capacity doubles from 256 up to 64 KiB, then grows in 64 KiB steps
// that widen to half the capacity, so a report of hundreds of pages needs few reallocations
// and never copies quadratically. Not shared between threads.
class tvk_MemoryStream {
 public:
  tvk_MemoryStream();
  ~tvk_MemoryStream();
  tvk_MemoryStream(const tvk_MemoryStream&) = delete;
  tvk_MemoryStream& operator=(const tvk_MemoryStream&) = delete;

  void Append(const void* bytes, size_t count);
  void Append(std::string_view text) { Append(text.data(), text.size()); }
  void Reset();
  // Gives up the buffer (the stream keeps a fresh 256-byte one).
  void Release();

  const uint8_t* Data() const { return buffer_; }
  size_t Count() const { return count_; }
  size_t Capacity() const { return capacity_; }
  std::string_view Text() const { return {reinterpret_cast<const char*>(buffer_), count_}; }
  std::span<const uint8_t> Bytes() const { return {buffer_, count_}; }

 private:
  void Grow(size_t needed);

  uint8_t* buffer_ = nullptr;
  size_t count_ = 0;
  size_t capacity_ = 0;
};

std::unique_ptr<tvk_MemoryStream> tvk_newStream();
// Count 0; nothing for a null stream.
void tvk_resetStream(tvk_MemoryStream* stream);
void tvk_freeStream(std::unique_ptr<tvk_MemoryStream>& stream);
int tvk_appendToStream(tvk_MemoryStream& stream, const void* bytes, size_t count);  // 0
int tvk_appendByte(uint8_t byte, tvk_MemoryStream& stream);                          // 1
size_t tvk_appendText(std::string_view text, tvk_MemoryStream& stream);              // its length
void tvk_streamContents(const tvk_MemoryStream& stream, const uint8_t** bytes, size_t* count,
                        size_t* capacity);
// 0 written, -1 the file could not be written (reported). "-" writes to standard output. A file
// is replaced atomically: a failed save leaves the old file as it was.
int tvk_saveStreamToFile(const tvk_MemoryStream& stream, std::string_view file_name);
