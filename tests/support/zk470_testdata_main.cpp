#include <iostream>
#include <string>
#include <vector>

#include "support/testdata_cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return testsupport::RunTestdataCli(args, std::cout, std::cerr);
}
