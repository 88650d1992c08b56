#include "reports/print_auto_gain.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "document/beat_class.h"
#include "document/document_context.h"
#include "document/ecg_block.h"
#include "document/profile_keys.h"
#include "platform/io_error.h"
#include "win/window.h"

namespace {

// Removes the first occurrence of the smallest (or largest) value.
void RemoveExtreme(std::vector<int>& values, bool largest) {
  if (values.empty()) return;
  const auto it = largest ? std::max_element(values.begin(), values.end())
                          : std::min_element(values.begin(), values.end());
  values.erase(it);
}

class WaitCursor {
 public:
  WaitCursor() { win::Windows().BeginWaitCursor(); }
  ~WaitCursor() { win::Windows().EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

TPrintAutoGain::TPrintAutoGain(CZK470Doc& doc) : doc_(doc) {}

TPrintAutoGain::~TPrintAutoGain() = default;

void TPrintAutoGain::FreeBlocks() {
  for (auto& blocks : minute_blocks_) blocks.clear();
}

double TPrintAutoGain::GainMmPerMv() const {
  const SettingsStore& settings = doc_.GetSettings();
  if (settings.Int(SettingKey::kSamplesAutoAmplitude) != 0) return kGainMmPerMv[IsSmallAmplitude() ? 1 : 0];
  // A hand-edited profile may hold any index.
  return kGainMmPerMv[settings.Int(SettingKey::kSamplesAmplitude) == 0 ? 0 : 1];
}

void TPrintAutoGain::Compute(int limit) {
  const WaitCursor wait;
  small_amplitude_ = 0;
  beats_.clear();
  for (std::vector<int>& values : amplitudes_) values.clear();

  ChooseBeats();
  try {
    for (const TQRSComplex* beat : beats_) MeasureBeat(*beat);
  } catch (const platform::IoError&) {
    // Without the samples nothing speaks for the higher gain.
    FreeBlocks();
    return;
  }
  FreeBlocks();

  if (static_cast<int>(beats_.size()) == kMaxBeats) {
    for (std::vector<int>& values : amplitudes_) {
      for (int i = 0; i < kTrimmedEachSide; ++i) RemoveExtreme(values, false);
      for (int i = 0; i < kTrimmedEachSide; ++i) RemoveExtreme(values, true);
    }
  }

  const int channels = std::clamp(document::Context().g_RecordingChannels.count, 0, 3);
  if (channels < 1) return;
  for (int c = 0; c < channels; ++c) {
    const std::vector<int>& values = amplitudes_[static_cast<size_t>(c)];
    if (values.empty()) return;
    int64_t sum = 0;
    for (const int v : values) sum += v;
    if (sum / static_cast<int64_t>(values.size()) >= int64_t{limit} * 100) return;
  }
  small_amplitude_ = 1;
}

void TPrintAutoGain::ChooseBeats() {
  const TQRSList& list = doc_.GetQRSList();
  // One twentieth of the recording, in samples: later beats are taken one per such segment.
  const auto segment =
      static_cast<int64_t>(std::trunc(doc_.GetRecordingMinutes() * 60.0 * doc_.GetSampleRate() * 0.05));
  const auto place = [this](int slot, const TQRSComplex* beat) {
    if (slot < static_cast<int>(beats_.size())) {
      beats_[static_cast<size_t>(slot)] = beat;
    } else {
      beats_.push_back(beat);
    }
  };
  int n = 0;
  int64_t next_segment = 1;
  int replace = 1;
  // The last two beats are left out, as their window may run past the samples.
  for (int i = 0; i + 2 < list.GetSize(); ++i) {
    const TQRSComplex* beat = list.ElementAt(i);
    if (beat->GetClass() != kClassNormal) continue;
    if (n < kMaxBeats) {
      place(n, beat);
      ++n;
      continue;
    }
    // A recording too short for a segment has no later segments to sample.
    if (segment > 0) {
      const int64_t s = beat->GetPosition() / segment;
      if (s >= next_segment) {
        next_segment = s + 1;
        place(replace, beat);
        ++replace;
        n = replace;
      }
    }
    if (n == kMaxBeats) break;
  }
}

void TPrintAutoGain::MeasureBeat(const TQRSComplex& beat) {
  const double rate = doc_.GetSampleRate();
  const auto before = static_cast<int32_t>(std::trunc(rate * kWindowBeforeMs * 0.001));
  const auto length = static_cast<int>(std::trunc(rate * (kWindowBeforeMs + kWindowAfterMs) * 0.001));
  // A beat within the first 200 ms has its window start at the recording's start.
  const int32_t start = std::max<int32_t>(beat.GetPosition() - before, 0);
  const int32_t start_ms = doc_.SamplesToMs(start);
  // The loader frees only the arrays of the channels the recording has now.
  FreeBlocks();
  const int loaded = doc_.LoadChannelMinutesSet1(
      minute_blocks_, start_ms, static_cast<int32_t>(kWindowBeforeMs + kWindowAfterMs), false);
  if (loaded <= 0) return;
  const int recording_minutes = doc_.GetRecordingMinutes();
  for (size_t c = 0; c < minute_blocks_.size(); ++c) {
    const auto& blocks = minute_blocks_[c];
    if (blocks.empty()) continue;
    const int64_t first = static_cast<int64_t>(blocks.front()->minute) * TECGBlock::kSamples;
    int lowest = 0;
    int highest = 0;
    bool any = false;
    for (int k = 0; k < length; ++k) {
      const int64_t offset = start - first + k;
      const auto block = static_cast<size_t>(offset / TECGBlock::kSamples);
      // The store serves zeros past the recording's end; they are no part of the beat.
      if (offset < 0 || block >= blocks.size() || blocks[block]->minute >= recording_minutes) break;
      const int value =
          blocks[block]->samples[static_cast<size_t>(offset % TECGBlock::kSamples)] * kMicrovoltsPerUnit;
      lowest = any ? std::min(lowest, value) : value;
      highest = any ? std::max(highest, value) : value;
      any = true;
    }
    if (any) amplitudes_[c].push_back(highest - lowest);
  }
}
