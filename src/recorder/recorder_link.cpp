#include "recorder/recorder_link.h"

#include "recorder/interface_card_link.h"
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

}  // namespace recorder
