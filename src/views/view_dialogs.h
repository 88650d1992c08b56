#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace win {
class Window;
}

// The readout windows a caliper can show; each takes its value texts in the order listed.
enum class CaliperReadoutKind {
  kAmplitude2,  // first channel, second channel (mV), time difference (ms)
  kAmplitude3,  // first, second, third channel (mV), time difference (ms)
  kStripTime,   // clock time
  kHRValues,    // mean, minimum, maximum heart rate
  kSTValues,    // ST rows 0, 1, 2, 3
  kTime,        // clock time
};

// One readout window of a caliper: a modeless dialog over the caliper's host window, made by the
// dialogs library. The caliper writes the value texts into the dialog's members, moves and shows
// the window, and deletes the object (which ends the window) when it is done.
class CCaliperReadout {
 public:
  virtual ~CCaliperReadout() = default;
  virtual win::Window& GetWindow() = 0;
  // The texts in the order of the kind's list; extra texts are ignored, missing ones stay.
  virtual void SetValues(std::span<const std::string> values) = 0;
  // Members to controls.
  virtual void UpdateData() = 0;
};

// The dialogs that the views open, which live in a layer above them. The dialogs library installs
// its implementation at start-up; until then calipers measure without a readout and the channel
// choice changes nothing. User-interface thread only.
class CViewDialogs {
 public:
  virtual ~CViewDialogs() = default;
  // channels: the recorder channels (0..2) whose values the readout shows, for its labels.
  // nullptr when the kind has no window here.
  virtual std::unique_ptr<CCaliperReadout> CreateCaliperReadout(CaliperReadoutKind kind, win::Window* host,
                                                                std::span<const int32_t> channels) = 0;
  // The channel choice (channel codes 0..6); the code chosen, nullopt when cancelled.
  virtual std::optional<int> ChooseChannels(win::Window* parent, int code, int channel_count, bool allow_all,
                                            const std::string& caption) = 0;
};

// Not owned; nullptr removes it. Describes the program, not one run: the process reset keeps it.
void SetViewDialogs(CViewDialogs* dialogs);
CViewDialogs* GetViewDialogs();
