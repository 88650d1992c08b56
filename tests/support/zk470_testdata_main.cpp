#include <iostream>
#include <string>
#include <vector>

#include "support/testdata_cli.h"
#ifdef ZK_HAVE_DOCUMENT
#include "support/mit_records.h"
#endif
#ifdef ZK_HAVE_RECORDER_SIM
#include <csignal>

#include "support/recorder_sim_cli.h"

namespace {
volatile std::sig_atomic_t g_stop = 0;
}
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef ZK_HAVE_RECORDER_SIM
  if (!args.empty() && args[0] == "recorder-sim") {
    std::signal(SIGINT, [](int) { g_stop = 1; });
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    return recsim::RunRecorderSimCli(args, std::cout, std::cerr, [] { return g_stop == 0; });
  }
#endif
#ifdef ZK_HAVE_DOCUMENT
  return coretest::RunTestdataCliWithDocument(args, std::cout, std::cerr);
#else
  return testsupport::RunTestdataCli(args, std::cout, std::cerr);
#endif
}
