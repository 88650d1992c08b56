#pragma once

#include <functional>
#include <span>

class CZK470Doc;
namespace win {
class CmdUI;
class Window;
}  // namespace win

// When a tool command can be chosen, by the document's display mode (0 start screen, 5 online
// monitor, 15 PDF document; every other mode shows a recording).
enum class ToolRule {
  kNoRule,              // the entry keeps the state its menu gives it
  kUnlessMonitorOrPdf,  // not in mode 5 or 15
  kRecordingShown,      // not in mode 0, 5 or 15
  kNewFormatRecording,  // a recording shown whose sample file is in the new compressed format
  kRecordingWithBeats,  // a recording shown whose beat list is not empty
};

// One tool command of the main frame.
struct ToolCommand {
  int id;
  ToolRule rule;
  // Runs with the program's own resources current (its dialog templates live there); the
  // language resources are current again however the command ends.
  bool own_resources;
  // Closes the open recording first (untitled document, start screen), while the language's
  // texts still serve the save question.
  bool resets_document = false;
};

// Every tool command of the main frame, in id order.
[[nodiscard]] std::span<const ToolCommand> ToolCommands();
// nullptr when id is no tool command.
[[nodiscard]] const ToolCommand* FindToolCommand(int id);

// The rule's answer for the document (nullptr: no document, as the start screen). kNoRule leaves
// ui untouched.
void UpdateToolCommand(const ToolCommand& command, const CZK470Doc* doc, win::CmdUI& ui);

// Runs handler under the command's resource choice, after the document reset the command asks
// for (doc may be nullptr). Nothing happens without a handler.
void RunToolCommand(const ToolCommand& command, CZK470Doc* doc, const std::function<void()>& handler);

// The action of a tool command for the frame and the active document (nullptr when there is
// none); empty when the command does nothing, or nothing with this document.
using ToolHandlerLookup = std::function<std::function<void()>(int id, win::Window* frame, CZK470Doc* doc)>;
// The program's actions (tool_command_handlers.cpp).
[[nodiscard]] std::function<void()> ToolCommandHandler(int id, win::Window* frame, CZK470Doc* doc);

// How the main frame registers its handlers; its AddCommand and AddUpdate.
struct ToolCommandRegistrar {
  std::function<void(int id, std::function<void()> handler)> add_command;
  std::function<void(int id, std::function<void(win::CmdUI&)> update)> add_update;
};

// Registers a command and an update handler for every tool command. The document and the
// handler are looked up when the command runs, the document again on every update.
void AddToolCommands(const ToolCommandRegistrar& registrar, win::Window* frame,
                     std::function<CZK470Doc*()> active_document,
                     ToolHandlerLookup lookup = ToolCommandHandler);
