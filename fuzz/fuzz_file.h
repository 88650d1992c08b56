#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

// For readers that take only a path: each input is written to a file in a folder of the fuzz
// process's own (on tmpfs when there is one, so the loop does not wait for a disk). The folder
// goes when the process ends normally.
class FuzzFolder {
 public:
  static FuzzFolder& Get() {
    static FuzzFolder folder;
    return folder;
  }

  std::string Path(std::string_view leaf) const { return (path_ / std::string(leaf)).string(); }

  std::string Write(std::string_view leaf, std::span<const uint8_t> bytes) const {
    const std::string path = Path(leaf);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

 private:
  FuzzFolder() {
    std::error_code ec;
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path base =
        std::filesystem::is_directory(shm, ec) && ::access("/dev/shm", W_OK) == 0
            ? shm
            : std::filesystem::temp_directory_path();
    path_ = base / ("zk470_fuzz_" + std::to_string(::getpid()));
    std::filesystem::create_directories(path_);
  }
  ~FuzzFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }

  std::filesystem::path path_;
};
