#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "win/controls.h"
#include "win/dialog.h"

namespace platform {
class ResourcePack;
}

// The clock-time readout of the caliper under the event-tick strip: modeless, made at once over
// the parent with an empty text. User-interface thread only.
class TCaliperStripTimeDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 274;
  static constexpr int kTextId = 1227;

  explicit TCaliperStripTimeDlg(win::Window* parent);

  std::string text;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// The amplitude readout of a three-channel strip: each channel's amplitude difference between the
// caliper cursors (mV) and their distance (ms). The labels "Ch.%d" name the recorder channels
// measured, which are the strip's channels in recording order. Modeless, made at once.
class TCaliperAmplitude3Dlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 30747;
  static constexpr int kFirstValueId = 1222;
  static constexpr int kTimeId = 1225;
  static constexpr int kSecondValueId = 1224;
  static constexpr int kThirdValueId = 1382;
  static constexpr int kFirstLabelId = 1221;
  static constexpr int kSecondLabelId = 1223;
  static constexpr int kThirdLabelId = 1381;

  // channels: the recorder channels (0..2) measured, in the order of the values; empty takes
  // the recording's channels.
  explicit TCaliperAmplitude3Dlg(win::Window* parent, std::span<const int32_t> channels = {});

  std::string first_value;
  std::string time;
  std::string second_value;
  std::string third_value;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  std::vector<int32_t> channels_;
};

// Writes "Ch.%d" for each measured recorder channel (counted from 1) into the labels given.
void LabelMeasuredChannels(win::Dialog& dialog, std::span<const int> label_ids,
                           std::span<const int32_t> channels);

// Adds the templates of the caliper readouts and of the channel choice, and the texts of the
// online sweep (channel names, units of the calibration bars), to a pack: German to the German
// pack, English to every other one.
void AddCaliperDialogResources(platform::ResourcePack& pack);
