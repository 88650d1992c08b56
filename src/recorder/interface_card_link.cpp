#include "recorder/interface_card_link.h"

namespace recorder {

bool TInterfaceCard::Open(uint32_t, const std::string&) {
  error_ = kCardUnavailable;
  return false;
}

int TInterfaceCard::SendText(std::span<const uint8_t>, bool, int) { return -1; }

int TInterfaceCard::SendBytes(std::span<const uint8_t>, size_t, size_t, bool, int) { return -1; }

int TInterfaceCard::Query(std::span<const uint8_t>, size_t, std::vector<uint8_t>& answer, int) {
  answer.clear();
  return kQueryNotSupported;
}

int TInterfaceCard::EnableTransfer(bool) { return 0; }

int TInterfaceCard::ReadBlock() {
  received_count_ = 0;
  return 0;
}

int TInterfaceCard::Read(bool) {
  received_count_ = 0;
  return 0;
}

int TInterfaceCard::Detect(std::vector<DetectedDevice>& devices, int, bool) {
  devices.clear();
  error_ = kCardUnavailable;
  return 0;
}

}  // namespace recorder
