#pragma once

#include <array>
#include <cstdint>
#include <vector>

// A lead-off episode of one analysed channel, in sample positions.
struct TInfoEpisode {
  int32_t channel = 0;  // index 0 or 1 within the analysed-channel set, not the recorder channel
  int32_t start = 0;
  int32_t end = 0;

  bool operator==(const TInfoEpisode&) const = default;
};

// The recorder markers that the sample readers find while decoding with marker reporting on.
// Kinds: 0 patient marker, 1 first-channel flag 0x1000 / code -1, 2 pacemaker, 3 lead-off episode
// (opened and closed per analysed channel), 4 second-channel flag 0x1000, 5 battery off.
// Owned by the document; filled by whichever thread decodes (the analysis worker during a run).
class TZK130InfoList {
 public:
  static constexpr int kEpisodeKind = 3;

  // Kinds 0, 1, 2, 4, 5 append the position (channel ignored). Kind 3 for channel 0 or 1 closes
  // that channel's open episode at the position, or opens one there. Anything else is ignored.
  void AddEntry(int kind, int32_t position, int channel);
  void RemoveAll();
  void FreeExtra();

  // Positions of kinds 0, 1, 2, 4, 5 in the order reported; empty for any other kind.
  const std::vector<int32_t>& Positions(int kind) const;
  // Closed episodes of analysed channel 0 or 1.
  const std::vector<TInfoEpisode>& Episodes(int channel) const;
  bool IsEpisodeOpen(int channel) const;
  // Start of the open episode, 0 when none is open.
  int32_t OpenEpisodeStart(int channel) const;

 private:
  std::vector<int32_t> kind0_;
  std::vector<int32_t> kind1_;
  std::vector<int32_t> kind2_;
  std::array<std::vector<TInfoEpisode>, 2> episodes_;
  std::vector<int32_t> kind4_;
  std::vector<int32_t> kind5_;
  std::array<int32_t, 2> episode_open_{};
  std::array<int32_t, 2> episode_start_{};
};
