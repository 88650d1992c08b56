#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recorder/recorder_link.h"

namespace recorder {

// The link over the recorder interface card. This system has no driver for the card, so the link
// never opens: Open and Detect fail with kCardUnavailable, and every operation behaves as on a
// link whose Open failed (-1 or 0, nothing done). Query is not supported by the card at all.
class TInterfaceCard : public RecorderLink {
 public:
  static constexpr const char* kCardUnavailable =
      "The recorder interface card is not available on this system.";

  [[nodiscard]] bool Open(uint32_t mode_word, const std::string& device) override;
  bool IsOpen() const override { return false; }
  const std::string& Error() const override { return error_; }

  int SendText(std::span<const uint8_t> text, bool wait_echo, int delay_ms) override;
  using RecorderLink::SendText;
  int SendBytes(std::span<const uint8_t> bytes, size_t header_len, size_t data_len, bool wait_echo,
                int delay_ms) override;
  int Query(std::span<const uint8_t> command, size_t answer_len, std::vector<uint8_t>& answer,
            int delay_ms) override;
  using RecorderLink::Query;
  void Reset() override {}
  void SetMode(uint8_t) override {}
  int EnableTransfer(bool on) override;
  int ReadBlock() override;
  int Read(bool use_leftover) override;
  int Detect(std::vector<DetectedDevice>& devices, int filter, bool enumerate) override;

 private:
  std::string error_;
};

}  // namespace recorder
