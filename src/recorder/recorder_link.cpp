#include "recorder/recorder_link.h"

#include "recorder/interface_card_link.h"
#include "recorder/recorder_protocol.h"
#include "recorder/usb_converter.h"

namespace recorder {

LinkEnvironment& Environment() {
  static LinkEnvironment environment;
  return environment;
}

std::unique_ptr<RecorderLink> MakeRecorderLink(int interface_kind) {
  switch (interface_kind) {
    case kInterfaceUsbConverter:
      return std::make_unique<TUsbConverter>();
    case kInterfaceCard:
      return std::make_unique<TInterfaceCard>();
    default:
      return nullptr;
  }
}

int SendCommand(RecorderLink& link, const TRecorderCommand& command, bool confirm) {
  const std::vector<uint8_t> frame = command.Frame();
  if (command.data.empty()) return link.SendText(frame, confirm, 0);
  if (command.data.size() <= TRecorderProtocol::kDataBlockSize)
    return link.SendBytes(frame, command.text.size(), command.data.size(), confirm, 0);
  const int sent = link.SendText(command.text, confirm, 0);
  if (sent <= 0) return sent;
  const size_t head = command.data.size() - TRecorderProtocol::kDataBlockSize;
  return link.SendBytes(command.data, head, TRecorderProtocol::kDataBlockSize, false, 0);
}

}  // namespace recorder
