#include "document/zk130_info_list.h"

namespace {
const std::vector<int32_t> kNoPositions;
const std::vector<TInfoEpisode> kNoEpisodes;
}  // namespace

void TZK130InfoList::AddEntry(int kind, int32_t position, int channel) {
  switch (kind) {
    case 0:
      kind0_.push_back(position);
      return;
    case 1:
      kind1_.push_back(position);
      return;
    case 2:
      kind2_.push_back(position);
      return;
    case 4:
      kind4_.push_back(position);
      return;
    case 5:
      kind5_.push_back(position);
      return;
    case kEpisodeKind:
      if (channel != 0 && channel != 1) return;
      if (episode_open_[channel] != 0) {
        episodes_[channel].push_back({channel, episode_start_[channel], position});
        episode_open_[channel] = 0;
        episode_start_[channel] = 0;
      } else {
        episode_open_[channel] = 1;
        episode_start_[channel] = position;
      }
      return;
    default:
      return;
  }
}

void TZK130InfoList::RemoveAll() {
  episode_open_ = {};
  episode_start_ = {};
  for (auto* list : {&kind0_, &kind1_, &kind2_, &kind4_, &kind5_}) list->clear();
  for (auto& list : episodes_) list.clear();
}

void TZK130InfoList::FreeExtra() {
  for (auto* list : {&kind0_, &kind1_, &kind2_, &kind4_, &kind5_}) list->shrink_to_fit();
  for (auto& list : episodes_) list.shrink_to_fit();
}

const std::vector<int32_t>& TZK130InfoList::Positions(int kind) const {
  switch (kind) {
    case 0:
      return kind0_;
    case 1:
      return kind1_;
    case 2:
      return kind2_;
    case 4:
      return kind4_;
    case 5:
      return kind5_;
    default:
      return kNoPositions;
  }
}

const std::vector<TInfoEpisode>& TZK130InfoList::Episodes(int channel) const {
  return channel == 0 || channel == 1 ? episodes_[channel] : kNoEpisodes;
}

bool TZK130InfoList::IsEpisodeOpen(int channel) const {
  return (channel == 0 || channel == 1) && episode_open_[channel] != 0;
}

int32_t TZK130InfoList::OpenEpisodeStart(int channel) const {
  return channel == 0 || channel == 1 ? episode_start_[channel] : 0;
}
