#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "views/view_dialogs.h"

// The dialogs the views open: the caliper readouts and the channel choice. User-interface thread
// only.
class TViewDialogService : public CViewDialogs {
 public:
  std::unique_ptr<CCaliperReadout> CreateCaliperReadout(CaliperReadoutKind kind, win::Window* host,
                                                        std::span<const int32_t> channels) override;
  std::optional<int> ChooseChannels(win::Window* parent, int code, int channel_count, bool allow_all,
                                    const std::string& caption) override;
};

// Makes the views reach these dialogs; called once at start-up.
void InstallViewDialogs();
