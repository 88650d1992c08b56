#include "dialogs/sound/audio_buffer.h"

#include <cstring>
#include <new>

#include "dialogs/sound/sound_message.h"

TAudioBuffer::TAudioBuffer(int32_t size, bool owns) : owns(owns) {
  if (size <= 0) return;
  storage_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
  if (!storage_) {
    ShowSoundMessage("Out of memory!");
    return;
  }
  data = storage_.get();
  this->size = size;
}

TAudioBuffer::TAudioBuffer(uint8_t* data, int32_t size)
    : data(data), size(data != nullptr && size > 0 ? size : 0), owns(false) {}

TAudioBuffer::~TAudioBuffer() = default;

void TAudioBuffer::Clear() {
  if (data != nullptr && size > 0) std::memset(data, 0, static_cast<size_t>(size));
}
