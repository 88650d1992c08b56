// zk470-recording-file BASE: writes BASE.QRS for the sample file that "zk470-testdata synth"
// wrote at BASE, so that the program can open it (the demo of scripts/run).
#include <iostream>

#include "core/test_recordings.h"
#include "platform/io_error.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zk470-recording-file BASE\n"
                 "  writes BASE.QRS for BASE.CMP and BASE.setup.txt made by zk470-testdata synth\n";
    return 2;
  }
  try {
    std::cout << coretest::WriteRecordingFile(argv[1]).string() << "\n";
  } catch (const platform::IoError& error) {
    std::cerr << "zk470-recording-file: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
