#include "qt/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace qthost {

namespace {

// One line per request: "raise", or "open " and the file's path in base 64 (a path may hold any
// byte but the zero).
constexpr char kRaiseRequest[] = "raise";
constexpr char kOpenRequest[] = "open ";
constexpr char kRaiseAnswer[] = "raised";
// Far beyond any path; a longer request is no request of ours.
constexpr qint64 kMaxRequestBytes = 64 * 1024;
// How long one connection attempt may take while the running start is not listening yet.
constexpr std::chrono::milliseconds kConnectAttempt{500};
constexpr std::chrono::milliseconds kRetryPause{50};

std::string ErrnoText(int error) { return std::strerror(error); }

// A folder of this user only: made when missing, refused when it is a link or someone else's.
std::optional<std::string> MakePrivateFolder(const std::filesystem::path& folder) {
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return folder.string() + ": " + ErrnoText(errno);
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) return folder.string() + ": " + ErrnoText(errno);
  if (!S_ISDIR(info.st_mode)) return folder.string() + ": not a folder";
  if (info.st_uid != ::getuid()) return folder.string() + ": belongs to another user";
  if ((info.st_mode & 077) != 0 && ::chmod(folder.c_str(), 0700) != 0) {
    return folder.string() + ": cannot make it private: " + ErrnoText(errno);
  }
  return std::nullopt;
}

std::string HexHash(std::string_view text) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex(16, '0');
  for (int i = 15; i >= 0; --i, hash >>= 4) hex[static_cast<size_t>(i)] = kDigits[hash & 0xF];
  return hex;
}

SingleInstance::Places PlacesIn(const std::filesystem::path& folder, const std::string& base_name) {
  SingleInstance::Places places;
  places.lock_file = folder / (base_name + ".lock");
  const std::string socket_path = (folder / base_name).string();
  // The socket address holds the path with its terminating zero.
  if (socket_path.size() + 1 <= sizeof(sockaddr_un::sun_path)) {
    places.socket_name = socket_path;
  } else {
    places.socket_name = base_name + "-" + HexHash(folder.string());
    places.abstract_socket = true;
  }
  return places;
}

QString ToQt(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

SingleInstance::SingleInstance(std::string base_name) : base_name_(std::move(base_name)) {}

SingleInstance::~SingleInstance() {
  // The socket goes before the lock: once the lock is free, a new first start may already have
  // put its own socket where ours was.
  server_.reset();
  if (lock_fd_ >= 0) ::close(lock_fd_);
}

SingleInstance::Claim SingleInstance::TryClaim() {
  std::optional<std::filesystem::path> runtime_folder;
  std::string tried;
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime == '/') {
    struct stat info {};
    if (::stat(runtime, &info) == 0 && S_ISDIR(info.st_mode)) {
      runtime_folder = runtime;
    } else {
      tried = std::string(runtime) + ": not a folder; ";
    }
  }
  const char* temp = std::getenv("TMPDIR");
  const std::filesystem::path temp_folder = temp != nullptr && *temp == '/' ? temp : "/tmp";
  const std::filesystem::path own_folder = temp_folder / ("zk470-" + std::to_string(::getuid()));

  auto try_folder = [&](const std::filesystem::path& folder) -> std::optional<Claim> {
    const Places places = PlacesIn(folder, base_name_);
    const int fd = ::open(places.lock_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
      tried += places.lock_file.string() + ": " + ErrnoText(errno) + "; ";
      return std::nullopt;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      lock_fd_ = fd;
      places_ = places;
      return Claim::kFirst;
    }
    const int error = errno;
    if (error == EWOULDBLOCK) {
      // Kept open to notice when the holder ends.
      lock_fd_ = fd;
      places_ = places;
      return Claim::kOtherRunning;
    }
    ::close(fd);
    tried += places.lock_file.string() + ": cannot lock: " + ErrnoText(error) + "; ";
    return std::nullopt;
  };

  if (runtime_folder) {
    if (const std::optional<Claim> claim = try_folder(*runtime_folder)) return *claim;
  }
  if (const std::optional<std::string> fault = MakePrivateFolder(own_folder)) {
    tried += *fault + "; ";
  } else if (const std::optional<Claim> claim = try_folder(own_folder)) {
    return *claim;
  }
  problem_ = "no folder takes the lock file (" + tried.substr(0, tried.size() - 2) + ")";
  return Claim::kNoGuard;
}

bool SingleInstance::LockFreed() {
  if (lock_fd_ < 0 || ::flock(lock_fd_, LOCK_EX | LOCK_NB) != 0) return false;
  ::flock(lock_fd_, LOCK_UN);
  return true;
}

bool SingleInstance::RaiseRunning(std::chrono::milliseconds wait, const std::string& file) {
  if (!places_) return false;
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + wait;
  auto remaining_ms = [&] {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<int64_t>(1, left.count()));
  };
  const char* const kNoAnswer = "the running program did not answer; it may be busy or still starting";

  QLocalSocket socket;
  if (places_->abstract_socket) socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
  // The holder may still be starting: it listens only once its window is up.
  for (;;) {
    socket.connectToServer(ToQt(places_->socket_name));
    if (socket.waitForConnected(std::min(remaining_ms(), static_cast<int>(kConnectAttempt.count())))) break;
    socket.abort();
    if (LockFreed()) {
      problem_ = "the running program ended before it answered";
      return false;
    }
    if (Clock::now() >= deadline) {
      problem_ = kNoAnswer;
      return false;
    }
    std::this_thread::sleep_for(std::min(
        kRetryPause, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())));
  }

  const QByteArray request =
      file.empty() ? QByteArray(kRaiseRequest)
                   : QByteArray(kOpenRequest) +
                         QByteArray(file.data(), static_cast<qsizetype>(file.size())).toBase64();
  socket.write(request + '\n');
  socket.waitForBytesWritten(remaining_ms());
  // The answer shows that the request arrived.
  bool answered = false;
  QByteArray received;
  while (!answered && Clock::now() < deadline && socket.waitForReadyRead(remaining_ms())) {
    received += socket.readAll();
    answered = received.contains(kRaiseAnswer);
  }
  socket.disconnectFromServer();
  if (!answered) problem_ = kNoAnswer;
  return answered;
}

bool SingleInstance::Listen(std::function<void(const std::string& file)> on_raise) {
  if (!places_ || lock_fd_ < 0) return false;
  on_raise_ = std::move(on_raise);
  server_ = std::make_unique<QLocalServer>();
  const QString name = ToQt(places_->socket_name);
  if (places_->abstract_socket) {
    server_->setSocketOptions(QLocalServer::AbstractNamespaceOption);
  } else {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // This start holds the lock: a socket file there was left by a program that died.
    QLocalServer::removeServer(name);
  }
  if (!server_->listen(name)) {
    problem_ = places_->socket_name + ": " + server_->errorString().toStdString();
    server_.reset();
    return false;
  }
  QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
    while (QLocalSocket* peer = server_->nextPendingConnection()) {
      QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
      QObject::connect(peer, &QLocalSocket::readyRead, peer, [this, peer] {
        if (!peer->canReadLine()) {
          if (peer->bytesAvailable() > kMaxRequestBytes) peer->abort();
          return;
        }
        const QByteArray line = peer->readLine(kMaxRequestBytes).trimmed();
        std::string file;
        if (line.startsWith(kOpenRequest)) {
          const QByteArray path =
              QByteArray::fromBase64(line.mid(static_cast<qsizetype>(std::strlen(kOpenRequest))));
          file.assign(path.constData(), static_cast<size_t>(path.size()));
        } else if (line != kRaiseRequest) {
          return;
        }
        peer->write(QByteArray(kRaiseAnswer) + '\n');
        peer->flush();
        // After the answer: opening the file may ask the user first, and the later start waits.
        QMetaObject::invokeMethod(
            server_.get(),
            [this, file] {
              if (on_raise_) on_raise_(file);
            },
            Qt::QueuedConnection);
      });
    }
  });
  return true;
}

}  // namespace qthost
