#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "platform/worker.h"

namespace document {

inline constexpr int kMaxChannels = 3;

// A process-wide list of recorder channel indices (0, 1, 2 for the recorder's first, second and third
// channel): the first `count` entries of `channels` are valid, and count never exceeds `capacity`.
struct ChannelSet {
  int32_t capacity = kMaxChannels;
  int32_t count = 0;
  std::array<int32_t, kMaxChannels> channels{};

  std::span<const int32_t> Channels() const { return {channels.data(), static_cast<size_t>(count)}; }
  // Replaces the content; the caller keeps to the capacity and to channel indices 0..2.
  void Assign(std::span<const int32_t> values);
  bool operator==(const ChannelSet&) const = default;
};

// The state that the recording model shares process-wide: the four channel sets, whose only
// persistent home is the patient record, and the application's edit mode, which the beat and event
// lists read. User-interface thread only (analysis workers read the sets while that thread waits in
// a modal dialog). Tests call Reset() to start from the state of a fresh process.
class DocumentContext {
 public:
  DocumentContext() { Reset(); }
  void Reset();

  // Set number 0 display, 1 recording, 2 analysis, 3 ST (as other modules address them).
  ChannelSet& ChannelSetByNumber(int set_number);

  ChannelSet g_DisplayChannels;    // display and export; never stored
  ChannelSet g_RecordingChannels;  // all channels of the open recording
  ChannelSet g_AnalysisChannels;   // channels given to the beat analysis (capacity 2)
  ChannelSet g_STChannels;         // ST channel index i measures recorder channel g_STChannels[i] (capacity 2)

  // 1 only while a user's edit command runs (then the lists record prior classes), 2 while a PDF
  // export prints, else 0.
  int edit_mode = 0;
};

// The process-wide context, or the one a ScopedThreadContext gave this thread.
DocumentContext& Context();

// Gives this thread, and the worker threads started from it while the guard lives, their own
// context in place of the process-wide one: a batch worker opens, analyses and saves its recording
// without touching the channel sets of the program's document. The context must outlive the
// guard and every thread started under it.
class ScopedThreadContext {
 public:
  explicit ScopedThreadContext(DocumentContext& context)
      : slot_(platform::ThreadSlot::kDocumentContext, &context) {}

 private:
  platform::ScopedThreadSlot slot_;
};

}  // namespace document
