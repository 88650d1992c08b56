#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "dialogs/sound/wave_file.h"
#include "win/prompt.h"

namespace {

// Answers every box without keeping it (the default prompt would log millions of them).
class SilentPrompt : public win::Prompt {
 public:
  int MessageBox(std::string_view, std::string_view, unsigned) override { return win::kIdOk; }
  std::optional<std::string> ChooseFile(const win::FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> ChooseFolder(std::string_view, std::string_view) override { return std::nullopt; }
  std::optional<uint32_t> ChooseColor(uint32_t) override { return std::nullopt; }
};

}  // namespace

// Feeds the bytes to the voice diary's wave reader as a file and reads every block of its data.
// A bad file ends in a closed reader with its message box; anything else, a crash or a sanitizer
// report, is a finding.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static SilentPrompt prompt;
  win::SetPrompt(&prompt);
  static const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("zk470_wave_file_fuzz_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "f.PID").string();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  TWaveFile file(path);
  int blocks = 0;
  while (std::unique_ptr<TAudioBuffer> block = file.ReadNewBuffer()) {
    if (++blocks > 4096) break;
  }
  std::filesystem::remove(path);
  return 0;
}
