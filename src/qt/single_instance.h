#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLocalServer;

namespace qthost {

// One program per user and runtime folder. The first start holds an exclusive lock on a file in
// the runtime folder for its whole life; later starts find the lock taken and send the first one a
// raise request, with a file to open, over a local socket beside the lock. The lock, not the socket, decides
// which start is first, so starts at the same moment cannot both win, and a socket file left by a program
// that died can go without a race. User-interface thread only.
class SingleInstance {
 public:
  enum class Claim {
    kFirst,         // this start holds the lock
    kOtherRunning,  // another start holds it
    kNoGuard,       // no folder takes the lock: Problem() says why
  };

  // Where the lock and the socket live. The runtime folder is $XDG_RUNTIME_DIR; without a usable
  // one, "zk470-<uid>" (made private) in the temp folder ($TMPDIR, else /tmp).
  struct Places {
    std::filesystem::path lock_file;
    // A path beside the lock; when that is too long for a local socket, a name in the abstract
    // namespace made from the folder, so that every start with the same folder finds it.
    std::string socket_name;
    bool abstract_socket = false;
  };

  // base_name names lock and socket: "ZK470Class-<uid>".
  explicit SingleInstance(std::string base_name);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock when nobody holds it. Called once, before this start shows anything.
  Claim TryClaim();
  // Why the guard could not be set up (after kNoGuard), or why raising failed.
  const std::string& Problem() const { return problem_; }
  const std::optional<Places>& Where() const { return places_; }

  // After kOtherRunning: asks the start that holds the lock to come to the front, and to open
  // file when it is not empty, and waits, at most wait, until it listens and answers. False
  // (Problem() says why) when it did not answer in time or ended meanwhile.
  bool RaiseRunning(std::chrono::milliseconds wait, const std::string& file = {});

  // After kFirst: takes the raise requests of later starts; on_raise runs on this thread's event
  // loop, after the request was answered, with the file handed over (empty for none). False
  // (Problem() says why) when the socket cannot be set up; the lock still guards.
  bool Listen(std::function<void(const std::string& file)> on_raise);

 private:
  // Whether the holder of the lock is gone (checked while waiting for its answer).
  bool LockFreed();

  std::string base_name_;
  std::optional<Places> places_;
  int lock_fd_ = -1;
  std::string problem_;
  std::unique_ptr<QLocalServer> server_;
  std::function<void(const std::string& file)> on_raise_;
};

}  // namespace qthost
