#include "app/virtual_screen.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <thread>

extern char** environ;

namespace apptest {
namespace {

constexpr int kStartTimeoutMs = 15000;
constexpr int kCommandTimeoutMs = 10000;
constexpr int kEndTimeoutMs = 5000;
// The fd on which Xvfb writes the display number it took.
constexpr int kDisplayFd = 3;

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (folder.empty()) continue;
    if (::access((std::filesystem::path(folder) / program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

// Reads what the server writes on the pipe up to the line end; empty when it gave nothing in time.
std::string ReadLine(int fd, int timeout_ms) {
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (line.find('\n') == std::string::npos) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return {};
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return {};
    char buffer[64];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n <= 0) return {};
    line.append(buffer, static_cast<size_t>(n));
  }
  return line.substr(0, line.find('\n'));
}

// Waits for the child to end, at most timeout_ms; whether it ended.
bool Reap(pid_t pid, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (true) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid || done < 0) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    // Waiting for another process: there is nothing to drive from here.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace

std::vector<std::string> VirtualScreen::MissingTools() {
  std::vector<std::string> missing;
  for (const char* tool : {"Xvfb", "xwd", "xdotool", "xprop", "xwininfo"}) {
    if (!OnPath(tool)) missing.emplace_back(tool);
  }
  return missing;
}

VirtualScreen::VirtualScreen(const std::filesystem::path& log) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    problem_ = "no pipe for the display number";
    return;
  }
  // The write end must not already be the fd the server is told to use.
  if (fds[1] == kDisplayFd) {
    const int moved = ::fcntl(fds[1], F_DUPFD_CLOEXEC, kDisplayFd + 1);
    ::close(fds[1]);
    fds[1] = moved;
    if (moved < 0) {
      ::close(fds[0]);
      problem_ = "no pipe for the display number";
      return;
    }
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawn_file_actions_adddup2(&actions, fds[1], kDisplayFd);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  const std::string fd_text = std::to_string(kDisplayFd);
  std::vector<std::string> args = {
      "Xvfb",      "-displayfd", fd_text,
      "-screen",   "0",          std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24",
      "-nolisten", "tcp",        "-noreset"};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const int spawned = ::posix_spawnp(&pid_, "Xvfb", &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(fds[1]);
  if (spawned != 0) {
    pid_ = -1;
    ::close(fds[0]);
    problem_ = "Xvfb did not start";
    return;
  }
  const std::string number = ReadLine(fds[0], kStartTimeoutMs);
  ::close(fds[0]);
  if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
    problem_ = "Xvfb named no display within " + std::to_string(kStartTimeoutMs) + " ms; see " + log.string();
    return;
  }
  display_ = ":" + number;
}

VirtualScreen::~VirtualScreen() {
  if (pid_ <= 0) return;
  // A terminated server removes its lock and socket files; one that hangs is killed.
  ::kill(-pid_, SIGTERM);
  if (!Reap(pid_, kEndTimeoutMs)) {
    ::kill(-pid_, SIGKILL);
    Reap(pid_, kEndTimeoutMs);
  }
}

QImage VirtualScreen::Grab() const {
  if (!Ready()) return {};
  platform::ProcessOptions options;
  options.timeout_ms = kCommandTimeoutMs;
  const platform::ProcessResult result =
      platform::RunProcess({"xwd", "-root", "-silent", "-display", display_}, options);
  if (!result.Succeeded()) return {};
  return ReadXwd(result.out);
}

platform::ProcessResult VirtualScreen::RunXdotool(const std::vector<std::string>& args) const {
  std::vector<std::string> argv = {"env", "DISPLAY=" + display_, "xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  platform::ProcessOptions options;
  options.timeout_ms = kCommandTimeoutMs;
  return platform::RunProcess(argv, options);
}

bool VirtualScreen::Xdotool(const std::vector<std::string>& args) const {
  return Ready() && RunXdotool(args).Succeeded();
}

std::vector<VirtualScreen::Window> VirtualScreen::VisibleWindows() const {
  std::vector<Window> windows;
  if (!Ready()) return windows;
  // One shell for all: each window's id, geometry, override-redirect state, type and name, the
  // name last on its line.
  constexpr const char* kList =
      "for w in $(xdotool search --onlyvisible --name ''); do X=; Y=; WIDTH=; HEIGHT=; "
      "eval \"$(xdotool getwindowgeometry --shell \"$w\")\"; "
      "T=$(xprop -id \"$w\" _NET_WM_WINDOW_TYPE 2>/dev/null | grep ' = ' | sed 's/.* = //' | tr -d ' '); "
      "O=$(xwininfo -id \"$w\" 2>/dev/null | grep -c 'Override Redirect State: yes'); "
      "printf '%s %s %s %s %s %s %s %s\\n' \"$w\" \"$X\" \"$Y\" \"$WIDTH\" \"$HEIGHT\" \"${O:-0}\" "
      "\"${T:--}\" "
      "\"$(xdotool getwindowname \"$w\")\"; "
      "done";
  platform::ProcessOptions options;
  options.timeout_ms = kCommandTimeoutMs;
  const platform::ProcessResult result =
      platform::RunProcess({"env", "DISPLAY=" + display_, "sh", "-c", kList}, options);
  if (!result.Succeeded()) return windows;
  std::istringstream lines(result.out);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    Window window;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int override_redirect = 0;
    if (!(fields >> window.id >> x >> y >> width >> height >> override_redirect >> window.type)) continue;
    window.override_redirect = override_redirect != 0;
    if (window.type == "-") window.type.clear();
    std::getline(fields >> std::ws, window.name);
    window.rect = QRect(x, y, width, height);
    if (window.rect == QRect(0, 0, kWidth, kHeight)) continue;  // the root window
    windows.push_back(std::move(window));
  }
  return windows;
}

QImage ReadXwd(std::string_view bytes) {
  // The header: 25 big-endian 32-bit words, then the window name up to header_size, then the
  // colormap entries of 12 bytes (pixel, red, green, blue of 16 bits, flags, pad).
  constexpr size_t kHeaderWords = 25;
  constexpr uint32_t kVersion = 7;
  constexpr uint32_t kZPixmap = 2;
  constexpr uint32_t kDirectColor = 5;
  constexpr size_t kColorSize = 12;
  if (bytes.size() < kHeaderWords * 4) return {};
  const auto big_endian = [&](uint64_t offset, int size) {
    uint32_t value = 0;
    for (int i = 0; i < size; ++i)
      value = (value << 8) | static_cast<uint8_t>(bytes[offset + static_cast<uint64_t>(i)]);
    return value;
  };
  const auto word = [&](size_t index) { return big_endian(index * 4, 4); };
  const uint32_t header_size = word(0);
  const uint32_t width = word(4);
  const uint32_t height = word(5);
  const bool msb_first = word(7) != 0;
  const uint32_t bits_per_pixel = word(11);
  const uint32_t bytes_per_line = word(12);
  const uint32_t visual_class = word(13);
  const uint32_t masks[3] = {word(14), word(15), word(16)};
  const uint32_t colors = word(19);
  if (word(1) != kVersion || word(2) != kZPixmap || header_size < kHeaderWords * 4) return {};
  if (bits_per_pixel != 24 && bits_per_pixel != 32) return {};
  if (width == 0 || height == 0 || width > 16384 || height > 16384) return {};
  // A grab through several colormaps comes packed, 3 bytes a pixel.
  const uint32_t pixel_bytes = bits_per_pixel / 8;
  if (bytes_per_line < width * pixel_bytes) return {};
  const uint64_t start = uint64_t{header_size} + uint64_t{colors} * kColorSize;
  if (start + uint64_t{bytes_per_line} * height > bytes.size()) return {};
  // A direct-colour picture looks each channel up in the colormap entries.
  const bool lookup = visual_class == kDirectColor && colors >= 256;
  const auto channel = [&](uint32_t pixel, int which) -> int {
    const uint32_t mask = masks[which];
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t raw = (pixel & mask) >> shift;
    if (lookup && raw < colors) {
      const uint64_t entry = uint64_t{header_size} + uint64_t{raw} * kColorSize;
      return static_cast<int>(big_endian(entry + 4 + static_cast<uint64_t>(which) * 2, 2) >> 8);
    }
    return static_cast<int>(raw * 255u / (mask >> shift));
  };
  QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
  for (uint32_t y = 0; y < height; ++y) {
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
    const char* row = bytes.data() + start + uint64_t{y} * bytes_per_line;
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t pixel = 0;
      for (uint32_t i = 0; i < pixel_bytes; ++i) {
        const uint32_t at = x * pixel_bytes + (msb_first ? i : pixel_bytes - 1 - i);
        pixel = (pixel << 8) | static_cast<uint8_t>(row[at]);
      }
      out[x] = qRgb(channel(pixel, 0), channel(pixel, 1), channel(pixel, 2));
    }
  }
  return image;
}

}  // namespace apptest
