// zk470: the Holter ECG workstation. Builds the application object over the Qt host and runs it.
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "core/automation_command_line_info.h"
#include "core/unattended_prompt.h"
#include "core/zk470_app.h"
#include "dialogs/sound/null_audio_backend.h"
#include "platform/clock.h"
#include "platform/io_error.h"
#include "platform/profile_store.h"
#include "qt/canvas_host.h"
#include "qt/event_pump.h"
#include "qt/key_lock_state.h"
#include "qt/qt_audio.h"
#include "qt/qt_dialog.h"
#include "qt/qt_prompt.h"
#include "win/prompt.h"
#include "win/window.h"

namespace {

constexpr int kConnectTimeoutMs = 500;
constexpr int kAnswerTimeoutMs = 3000;
constexpr char kRaiseRequest[] = "raise\n";
constexpr char kRaiseAnswer[] = "raised\n";

// The running instance is found by a local socket named after the main window's class, one per
// user: a second start connects to it; the first one listens.
class LocalSocketInstance : public InstanceChannel {
 public:
  LocalSocketInstance() : name_(QStringLiteral("ZK470Class-%1").arg(static_cast<qulonglong>(::getuid()))) {}

  bool FindRunningInstance() override {
    socket_ = std::make_unique<QLocalSocket>();
    socket_->connectToServer(name_);
    return socket_->waitForConnected(kConnectTimeoutMs);
  }

  void RaiseRunningInstance() override {
    if (socket_ == nullptr || socket_->state() != QLocalSocket::ConnectedState) return;
    socket_->write(kRaiseRequest);
    socket_->waitForBytesWritten(kAnswerTimeoutMs);
    // The answer shows that the request arrived; without one the running instance is hung.
    bool answered = false;
    while (!answered && socket_->waitForReadyRead(kAnswerTimeoutMs)) {
      answered = socket_->readAll().contains(QByteArray(kRaiseAnswer).trimmed());
    }
    if (!answered) std::cerr << "zk470: the running program did not answer; it may be busy.\n";
    socket_->disconnectFromServer();
  }

  void Listen(std::function<void()> on_raise) override {
    socket_.reset();
    on_raise_ = std::move(on_raise);
    server_ = std::make_unique<QLocalServer>();
    // Nobody answered on the name: a socket file left by a program that died goes.
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_)) {
      std::cerr << "zk470: cannot take raise requests of later starts: " << server_->errorString().toStdString()
                << "\n";
      return;
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
      while (QLocalSocket* peer = server_->nextPendingConnection()) {
        QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        QObject::connect(peer, &QLocalSocket::readyRead, peer, [this, peer] {
          if (!peer->readAll().contains(QByteArray(kRaiseRequest).trimmed())) return;
          if (on_raise_) on_raise_();
          peer->write(kRaiseAnswer);
          peer->flush();
        });
      }
    });
  }

 private:
  QString name_;
  std::unique_ptr<QLocalSocket> socket_;
  std::unique_ptr<QLocalServer> server_;
  std::function<void()> on_raise_;
};

bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
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
  const bool unattended = automation && !HasDisplay();
  if (!HasDisplay() && std::getenv("QT_QPA_PLATFORM") == nullptr) {
    if (!automation) {
      std::cerr << "zk470: no display to show the program on (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                   "Start it in a desktop session, set DISPLAY to a running X server, or run it on a\n"
                   "virtual one: xvfb-run zk470 [recording.QRS]\n";
      return 1;
    }
    // Automation commands need no screen.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }

  QApplication qt_app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ZK-470"));

  std::unique_ptr<platform::ProfileStore> profile;
  try {
    profile = std::make_unique<platform::IniProfileStore>(platform::IniProfileStore::DefaultPath());
  } catch (const platform::IoError& error) {
    // The settings file is there but unreadable: run on the defaults and leave the file alone.
    std::cerr << "zk470: " << error.what() << "\nThe program runs with the default settings; they are not saved.\n";
    profile = std::make_unique<platform::MemoryProfileStore>();
  }

  platform::SystemClock clock;
  qthost::EventPump pump(win::Windows());
  qthost::CanvasHost canvas_host(win::Windows(), pump);
  qthost::DialogHost dialog_host(win::Windows(), pump);
  win::Windows().SetHost(&canvas_host);
  win::Windows().SetWidgetHost(&dialog_host);
  qthost::KeyLockState key_locks;
  win::Windows().SetKeyStateSource(&key_locks);
  qthost::QtPrompt screen_prompt;
  UnattendedPrompt unattended_prompt(&std::cerr);
  win::SetPrompt(unattended ? static_cast<win::Prompt*>(&unattended_prompt) : &screen_prompt);
  LocalSocketInstance instance;
  // The voice diary plays through the system's default output; without one, and on unattended
  // runs that have nobody to listen, the null backend stays.
  std::unique_ptr<qthost::QtAudioBackend> audio;
  if (!unattended && qthost::QtAudioBackend::HasOutputDevice()) {
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
    if (app.InitInstance(std::move(options))) {
      exit_code = pump.RunMain();
    }
    const int code = app.ExitInstance();
    if (exit_code == 0) exit_code = code;
  }
  sound::SetAudioBackend(nullptr);
  win::SetPrompt(nullptr);
  win::Windows().SetKeyStateSource(nullptr);
  win::Windows().SetWidgetHost(nullptr);
  win::Windows().SetHost(nullptr);
  return exit_code;
}
