// zk470-recording-file [--analysed] BASE: writes BASE.QRS for the sample file that
// "zk470-testdata synth" wrote at BASE, so that the program can open it (the demo of scripts/run);
// --analysed takes the generator's true beats and events as the analysis.
#include <iostream>
#include <string_view>

#include "platform/io_error.h"
#include "support/test_recordings.h"

int main(int argc, char** argv) {
  const bool analysed = argc == 3 && std::string_view(argv[1]) == "--analysed";
  if (argc != 2 && !analysed) {
    std::cerr << "usage: zk470-recording-file [--analysed] BASE\n"
                 "  writes BASE.QRS for BASE.CMP and BASE.setup.txt made by zk470-testdata synth;\n"
                 "  --analysed saves the true beats and events as the recording's analysis\n";
    return 2;
  }
  try {
    const char* base = argv[argc - 1];
    std::cout << (analysed ? coretest::WriteAnalysedRecordingFile(base) : coretest::WriteRecordingFile(base))
                     .string()
              << "\n";
  } catch (const platform::IoError& error) {
    std::cerr << "zk470-recording-file: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
