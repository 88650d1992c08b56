#include "reports/pdf/memory_stream.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "platform/archive.h"
#include "platform/io_error.h"
#include "reports/pdf/pdf_document.h"

namespace {

constexpr size_t kInitialCapacity = 256;
constexpr size_t kStep = 65536;

}  // namespace

tvk_MemoryStream::tvk_MemoryStream() { Grow(1); }

tvk_MemoryStream::~tvk_MemoryStream() { std::free(buffer_); }

void tvk_MemoryStream::Grow(size_t needed) {
  size_t capacity = capacity_;
  if (buffer_ == nullptr) capacity = kInitialCapacity;
  while (capacity < needed) {
    if (capacity < kStep) {
      capacity *= 2;
    } else {
      const size_t half = capacity / 2 / kStep * kStep;
      capacity += half > kStep ? half : kStep;
    }
  }
  if (buffer_ != nullptr && capacity == capacity_) return;
  auto* grown = static_cast<uint8_t*>(std::realloc(buffer_, capacity));
  if (grown == nullptr) throw std::bad_alloc();
  buffer_ = grown;
  capacity_ = capacity;
  if (count_ == 0) buffer_[0] = 0;
}

void tvk_MemoryStream::Append(const void* bytes, size_t count) {
  if (count_ + 1 + count > capacity_) Grow(count_ + 1 + count);
  if (count > 0) std::memcpy(buffer_ + count_, bytes, count);
  count_ += count;
  buffer_[count_] = 0;
}

void tvk_MemoryStream::Reset() {
  count_ = 0;
  buffer_[0] = 0;
}

void tvk_MemoryStream::Release() {
  std::free(buffer_);
  buffer_ = nullptr;
  count_ = 0;
  capacity_ = 0;
  Grow(1);
}

std::unique_ptr<tvk_MemoryStream> tvk_newStream() { return std::make_unique<tvk_MemoryStream>(); }

void tvk_resetStream(tvk_MemoryStream* stream) {
  if (stream != nullptr) stream->Reset();
}

void tvk_freeStream(std::unique_ptr<tvk_MemoryStream>& stream) { stream.reset(); }

int tvk_appendToStream(tvk_MemoryStream& stream, const void* bytes, size_t count) {
  stream.Append(bytes, count);
  return 0;
}

int tvk_appendByte(uint8_t byte, tvk_MemoryStream& stream) {
  stream.Append(&byte, 1);
  return 1;
}

size_t tvk_appendText(std::string_view text, tvk_MemoryStream& stream) {
  stream.Append(text);
  return text.size();
}

void tvk_streamContents(const tvk_MemoryStream& stream, const uint8_t** bytes, size_t* count,
                        size_t* capacity) {
  if (bytes != nullptr) *bytes = stream.Data();
  if (count != nullptr) *count = stream.Count();
  if (capacity != nullptr) *capacity = stream.Capacity();
}

int tvk_saveStreamToFile(const tvk_MemoryStream& stream, std::string_view file_name) {
  if (file_name == "-") {
    const size_t written = std::fwrite(stream.Data(), 1, stream.Count(), stdout);
    std::fflush(stdout);
    return written == stream.Count() ? 0 : 1;
  }
  try {
    platform::WriteFileAtomic(std::string(file_name), stream.Bytes());
  } catch (const platform::IoError& e) {
    tvk_reportError(1, tvk_writerName(), "Cannot open output file: %s (%s)",
                    std::string(file_name).c_str(), e.fault().c_str());
    return -1;
  }
  return 0;
}
