#include "win/command_target.h"

namespace win {

void CommandTarget::AddCommand(int id, std::function<void()> handler) {
  commands_.insert_or_assign({id, 0}, std::move(handler));
}

void CommandTarget::AddCommandRange(int first, int last, std::function<void(int id)> handler) {
  command_ranges_.insert_or_assign(first, Range{last, std::move(handler)});
}

void CommandTarget::AddNotification(int id, int code, std::function<void()> handler) {
  commands_.insert_or_assign({id, code}, std::move(handler));
}

void CommandTarget::AddUpdate(int id, std::function<void(CmdUI&)> handler) {
  updates_.insert_or_assign(id, std::move(handler));
}

void CommandTarget::AddUpdateRange(int first, int last, std::function<void(CmdUI&)> handler) {
  update_ranges_.insert_or_assign(first, std::make_pair(last, std::move(handler)));
}

void CommandTarget::RemoveCommand(int id) { commands_.erase({id, 0}); }

bool CommandTarget::HandleOwnCommand(CommandMessage& message) {
  using Kind = CommandMessage::Kind;
  if (message.kind == Kind::kUpdate) {
    if (const auto it = updates_.find(message.id); it != updates_.end()) {
      // Copy first: a handler may replace its own entry.
      const auto handler = it->second;
      handler(*message.ui);
      return true;
    }
    for (const auto& [first, entry] : update_ranges_) {
      if (message.id >= first && message.id <= entry.first) {
        const auto handler = entry.second;
        handler(*message.ui);
        return true;
      }
    }
    return false;
  }
  if (const auto it = commands_.find({message.id, message.code}); it != commands_.end()) {
    if (message.kind == Kind::kExecute) {
      const auto handler = it->second;
      handler();
    }
    return true;
  }
  if (message.code != 0) return false;
  for (const auto& [first, range] : command_ranges_) {
    if (message.id >= first && message.id <= range.last) {
      if (message.kind == Kind::kExecute) {
        const auto handler = range.handler;
        handler(message.id);
      }
      return true;
    }
  }
  return false;
}

bool ExecuteCommand(CommandTarget& target, int id, int code, WindowHandle control) {
  CommandMessage message{id, code, CommandMessage::Kind::kExecute, nullptr, control};
  return target.OnCmdMsg(message);
}

bool HasCommandHandler(CommandTarget& target, int id) {
  CommandMessage message{id, 0, CommandMessage::Kind::kProbe, nullptr, 0};
  return target.OnCmdMsg(message);
}

CmdUI UpdateCommand(CommandTarget& target, int id, bool disable_if_no_handler) {
  CmdUI ui(id);
  CommandMessage message{id, 0, CommandMessage::Kind::kUpdate, &ui, 0};
  target.OnCmdMsg(message);
  if (!ui.Enabled() && disable_if_no_handler) ui.Enable(HasCommandHandler(target, id));
  return ui;
}

}  // namespace win
