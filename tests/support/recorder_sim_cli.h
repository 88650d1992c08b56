#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "support/recorder_sim.h"

namespace recsim {

// "recorder-sim [options]": the options as a configuration; throws std::invalid_argument naming a
// bad option. `card_image` receives the --card-image path.
SimConfig ParseRecorderSimOptions(const std::vector<std::string>& args, std::string* card_image);

// zk470-testdata recorder-sim: starts a simulated recorder, prints its device path and serves
// while keep_running() says so (the program passes a signal flag). Exit codes as the rest of the
// command line: 0 done, 1 a file could not be read or written, 2 a bad command line.
int RunRecorderSimCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const std::function<bool()>& keep_running);

std::string RecorderSimUsage();

}  // namespace recsim
