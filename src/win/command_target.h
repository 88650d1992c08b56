#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "win/messages.h"

namespace win {

// The state that update handlers give one menu entry or toolbar button. A field stays empty when
// no handler touched it; the entry then keeps what it had.
class CmdUI {
 public:
  explicit CmdUI(int id) : id_(id) {}
  int Id() const { return id_; }

  void Enable(bool on = true) { enabled_ = on; }
  // 0 unchecked, 1 checked, 2 indeterminate.
  void SetCheck(int check = 1) { check_ = check; }
  // A bullet instead of a tick: the one of several values that is chosen.
  void SetRadio(bool on = true) { radio_ = on; }
  void SetText(std::string_view text) { text_ = std::string(text); }

  const std::optional<bool>& Enabled() const { return enabled_; }
  const std::optional<int>& Check() const { return check_; }
  const std::optional<bool>& Radio() const { return radio_; }
  const std::optional<std::string>& Text() const { return text_; }
  bool Touched() const { return enabled_ || check_ || radio_ || text_; }

 private:
  int id_;
  std::optional<bool> enabled_;
  std::optional<int> check_;
  std::optional<bool> radio_;
  std::optional<std::string> text_;
};

// What travels along a command route.
struct CommandMessage {
  enum class Kind {
    kExecute,  // run the handler
    kUpdate,   // run the update handler into ui
    kProbe,    // only ask whether an execute handler exists; nothing runs
  };
  int id = 0;
  int code = 0;  // notification code; 0 for menu, toolbar and accelerator commands and button clicks
  Kind kind = Kind::kExecute;
  CmdUI* ui = nullptr;  // kUpdate only
  WindowHandle control = 0;  // the control that sent a notification, 0 for commands
};

// Something that handles commands: windows, documents, the application. Handlers are registered
// by the object itself (its message map); OnCmdMsg offers a command to the own table, and derived
// classes extend it to route on (a frame to its view, a view to its document). User-interface
// thread only.
class CommandTarget {
 public:
  CommandTarget() = default;
  virtual ~CommandTarget() = default;
  CommandTarget(const CommandTarget&) = delete;
  CommandTarget& operator=(const CommandTarget&) = delete;

  // True when this target, or one it routes to, has a handler; for kExecute it has run.
  virtual bool OnCmdMsg(CommandMessage& message) { return HandleOwnCommand(message); }

 protected:
  // Handlers of commands (code 0) and of button clicks, which carry the same code.
  void AddCommand(int id, std::function<void()> handler);
  void AddCommandRange(int first, int last, std::function<void(int id)> handler);
  // Handlers of other control notifications (kEnChange, kCbnSelChange ...).
  void AddNotification(int id, int code, std::function<void()> handler);
  void AddUpdate(int id, std::function<void(CmdUI&)> handler);
  void AddUpdateRange(int first, int last, std::function<void(CmdUI&)> handler);
  // Drops the handler of id (code 0), e.g. when a derived class takes a command away.
  void RemoveCommand(int id);

  // The own table only.
  bool HandleOwnCommand(CommandMessage& message);

 private:
  struct Range {
    int last;
    std::function<void(int)> handler;
  };
  std::map<std::pair<int, int>, std::function<void()>> commands_;
  std::map<int, Range> command_ranges_;  // by first id
  std::map<int, std::function<void(CmdUI&)>> updates_;
  std::map<int, std::pair<int, std::function<void(CmdUI&)>>> update_ranges_;  // first -> (last, handler)
};

// Runs command id along the route that begins at target; false when nobody handled it.
bool ExecuteCommand(CommandTarget& target, int id, int code = 0, WindowHandle control = 0);
// Whether some target along the route has a handler for id.
bool HasCommandHandler(CommandTarget& target, int id);
// The update pass for one entry: the update handlers along the route fill ui. When none touched
// the enabled state and disable_if_no_handler is set, the entry is disabled exactly when no
// target handles the command (menus and toolbars of a frame work this way).
CmdUI UpdateCommand(CommandTarget& target, int id, bool disable_if_no_handler = true);

}  // namespace win
