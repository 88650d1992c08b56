// zk470: the Holter ECG workstation. Builds the application object over the Qt host and runs it.
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/user_setup.h"
#include "core/automation_command_line_info.h"
#include "core/automation_exit_codes.h"
#include "core/narrative_commands.h"
#include "core/options_command.h"
#include "core/unattended_prompt.h"
#include "core/zk470_app.h"
#include "dialogs/optiontree/option_tree.h"
#include "dialogs/sound/null_audio_backend.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "platform/profile_store.h"
#include "qt/canvas_host.h"
#include "qt/event_pump.h"
#include "qt/key_lock_state.h"
#include "qt/qt_audio.h"
#include "qt/qt_clipboard.h"
#include "qt/qt_dialog.h"
#include "qt/qt_document_display.h"
#include "qt/qt_font_database.h"
#include "qt/qt_print_service.h"
#include "qt/qt_prompt.h"
#include "qt/screen_colormap.h"
#include "qt/single_instance.h"
#include "win/clipboard.h"
#include "win/font_database.h"
#include "win/printing.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

// How long a second start waits for the running one to listen and answer: it may still be
// starting up.
constexpr std::chrono::milliseconds kRaiseWait{15000};

// The stand-in for the main window's class "ZK470Class", one per user: the first start holds the
// guard and takes raise requests; a later start finds it held and asks the first to come forward.
// Where the guard cannot be set up, the start is turned away as if the class could not be
// registered: two programs unaware of each other would edit the same recordings.
class LocalSocketInstance : public InstanceChannel {
 public:
  LocalSocketInstance() : guard_("ZK470Class-" + std::to_string(::getuid())) {}

  bool FindRunningInstance() override {
    switch (guard_.TryClaim()) {
      case qthost::SingleInstance::Claim::kFirst:
        return false;
      case qthost::SingleInstance::Claim::kOtherRunning:
        return true;
      case qthost::SingleInstance::Claim::kNoGuard:
        break;
    }
    no_guard_ = true;
    std::cerr << "zk470: cannot make sure that only one copy of the program runs: " << guard_.Problem()
              << ".\nThe program does not start. Point XDG_RUNTIME_DIR (or TMPDIR) at a folder of yours.\n";
    return true;
  }

  void RaiseRunningInstance(const std::string& file) override {
    turned_away_ = true;
    if (no_guard_) return;
    if (!guard_.RaiseRunning(kRaiseWait, file)) std::cerr << "zk470: " << guard_.Problem() << ".\n";
  }

  void Listen(std::function<void(const std::string& file)> on_raise) override {
    if (!guard_.Listen(std::move(on_raise))) {
      std::cerr << "zk470: cannot take raise requests of later starts: " << guard_.Problem() << "\n";
    }
  }

  // This start ended at the check: another one runs, or there is no guard.
  bool TurnedAway() const { return turned_away_; }

 private:
  qthost::SingleInstance guard_;
  bool no_guard_ = false;
  bool turned_away_ = false;
};

bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

// Whether a stream socket at address takes a connection within a second.
bool Connects(int family, const sockaddr* address, socklen_t length) {
  const int fd = ::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool connected = ::connect(fd, address, length) == 0;
  if (!connected && errno == EINPROGRESS) {
    pollfd wait{fd, POLLOUT, 0};
    int error = 0;
    socklen_t size = sizeof error;
    connected = ::poll(&wait, 1, 1000) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 &&
                error == 0;
  }
  ::close(fd);
  return connected;
}

bool ConnectsUnix(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const size_t offset = abstract ? 1 : 0;
  if (path.size() + offset >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  return Connects(AF_UNIX, reinterpret_cast<const sockaddr*>(&address),
                  static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size()));
}

// Whether the X server that DISPLAY ("[host]:number[.screen]") names answers, or the Wayland
// socket exists: the platform plugin aborts the process when it cannot connect.
bool DisplayAnswers() {
  if (const char* wayland = std::getenv("WAYLAND_DISPLAY"); wayland != nullptr && *wayland != '\0') {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string socket =
        wayland[0] == '/' ? wayland : std::string(runtime ? runtime : "") + "/" + wayland;
    if (ConnectsUnix(socket, false)) return true;
  }
  const char* x11 = std::getenv("DISPLAY");
  if (x11 == nullptr || *x11 == '\0') return false;
  const std::string display(x11);
  const size_t colon = display.rfind(':');
  if (colon == std::string::npos) return false;
  const std::string host = display.substr(0, colon);
  const int number = std::atoi(display.c_str() + colon + 1);
  if (host.empty() || host == "unix") {
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    return ConnectsUnix(socket, true) || ConnectsUnix(socket, false);
  }
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(6000 + number).c_str(), &hints, &found) != 0) return false;
  bool answers = false;
  for (const addrinfo* a = found; a != nullptr && !answers; a = a->ai_next)
    answers = Connects(a->ai_family, a->ai_addr, a->ai_addrlen);
  ::freeaddrinfo(found);
  return answers;
}

bool IsAutomationCommandLine(const std::vector<std::string>& args) {
  CAutomationCommandLineInfo probe;
  probe.ParseCommandLine(args);
  return probe.IsAutomationStart();
}

// The C library's locale of the "Language" setting. Numbers keep the point: files and result
// lines are written with it whatever the language.
void ApplyRuntimeLocale(const std::string& locale) {
  if (std::setlocale(LC_ALL, locale.c_str()) == nullptr && locale == "rus") {
    std::setlocale(LC_ALL, "ru_RU.UTF-8");
  }
  std::setlocale(LC_NUMERIC, "C");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const bool automation = IsAutomationCommandLine(args);
  const bool display = HasDisplay() && DisplayAnswers();
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const bool headless_platform = platform != nullptr && (std::string_view(platform) == "offscreen" ||
                                                         std::string_view(platform) == "minimal");
  const bool unattended = automation && (!display || headless_platform);
  if (!display && !headless_platform) {
    if (!automation) {
      std::cerr
          << "zk470: no display to show the program on (DISPLAY and WAYLAND_DISPLAY name no running one).\n"
             "Start it in a desktop session, set DISPLAY to a running X server, or run it on a\n"
             "virtual one: xvfb-run zk470 [recording.QRS]\n";
      return 1;
    }
    // Automation commands need no screen, whatever the display settings say.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }

  QApplication qt_app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ZK-470"));
  const qthost::ScreenColormap screen_colormap;

  std::unique_ptr<platform::ProfileStore> profile;
  try {
    profile = std::make_unique<platform::IniProfileStore>(platform::IniProfileStore::DefaultPath());
  } catch (const platform::IoError& error) {
    // The settings file is there but unreadable: run on the defaults and leave the file alone.
    std::cerr << "zk470: " << error.what() << "\nThe program runs with the default settings; they are not saved.\n";
    profile = std::make_unique<platform::MemoryProfileStore>();
  }
  PrepareUserFiles(*profile, std::cerr);

  platform::SystemClock clock;
  qthost::EventPump pump(win::Windows());
  qthost::CanvasHost canvas_host(win::Windows(), pump);
  qthost::DialogHost dialog_host(win::Windows(), pump);
  win::Windows().SetHost(&canvas_host);
  win::Windows().SetWidgetHost(&dialog_host);
  qthost::InstallQtDocumentDisplay(canvas_host);
  qthost::QtFontDatabase fonts;
  win::SetFontDatabase(&fonts);
  qthost::QtClipboard clipboard;
  win::SetClipboard(&clipboard);
  dialogs::COptionTree::SetFontFamilyQuery(
      [](std::string_view family) { return win::CurrentFontDatabase().HasFamily(family); });
  qthost::KeyLockState key_locks;
  win::Windows().SetKeyStateSource(&key_locks);
  qthost::QtPrompt screen_prompt;
  UnattendedPrompt unattended_prompt(&std::cerr);
  win::SetPrompt(unattended ? static_cast<win::Prompt*>(&unattended_prompt) : &screen_prompt);
  // Unattended runs have nobody to answer a print dialog: they keep the service without printers.
  qthost::QtPrintService print_service;
  print_service.SetPrintDialogSwitch(PrintDialogWanted);
  if (!unattended) win::SetPrintService(&print_service);
  LocalSocketInstance instance;
  // The voice diary plays through the system's default output; a machine without one is told so
  // when it plays. Unattended runs, with nobody to listen, keep the null backend.
  std::unique_ptr<qthost::QtAudioBackend> audio;
  if (!unattended) {
    audio = std::make_unique<qthost::QtAudioBackend>();
    sound::SetAudioBackend(audio.get());
  }

  int exit_code = 0;
  {
    CZK470App app(*profile);
    CZK470App::StartupOptions options;
    options.args = args;
    options.clock = &clock;
    options.instance = &instance;
    options.apply_locale = ApplyRuntimeLocale;
    options.narrative_test = [] { return EditNarrativeTestData(); };
    // The start writes its defaults one by one: the file is written once, at the end of it.
    auto* ini = dynamic_cast<platform::IniProfileStore*>(profile.get());
    if (ini != nullptr) ini->SetBatching(true);
    const bool started = app.InitInstance(std::move(options));
    if (ini != nullptr) ini->SetBatching(false);
    if (started) {
      exit_code = pump.RunMain();
    } else if (instance.TurnedAway()) {
      exit_code = kExitOtherInstanceRunning;
    }
    const int code = app.ExitInstance();
    if (exit_code == 0) exit_code = code;
  }
  sound::SetAudioBackend(nullptr);
  qthost::RemoveQtDocumentDisplay();
  win::SetPrintService(nullptr);
  win::SetPrompt(nullptr);
  dialogs::COptionTree::SetFontFamilyQuery(nullptr);
  win::SetFontDatabase(nullptr);
  win::SetClipboard(nullptr);
  win::Windows().SetKeyStateSource(nullptr);
  win::Windows().SetWidgetHost(nullptr);
  win::Windows().SetHost(nullptr);
  return exit_code;
}
