#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "win/dialog.h"

class CZK470Doc;

// Asks for the parameters of a test RAW card image: the length of its ECG area and whether (and
// where) an error is to be placed. OK checks the bounds and keeps the dialog open until they hold.
class TRawDataTestDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 318;
  static constexpr int kWithErrorId = 1064;
  static constexpr int kLengthId = 1383;
  static constexpr int kErrorPositionId = 1384;
  static constexpr int kMinLength = 512;
  static constexpr int kMaxLength = 60808 * 1024;  // 62,267,392
  // Digits a field takes: the largest bound has eight, one more lets a too-large value be told.
  static constexpr int kMaxDigits = 9;

  explicit TRawDataTestDlg(CZK470Doc& document, win::Window* parent = nullptr);

  int length = 32768;
  int with_error = 0;
  int error_position = 3;

  // The message that refuses the values; empty when they hold.
  [[nodiscard]] std::string Validate() const;
  CZK470Doc& Document() { return document_; }

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
  void OnOK() override;

 private:
  CZK470Doc& document_;
};

// Writes the test card image of length ECG bytes (zeros) with the fixed test patient and recording
// blocks, under the progress window. 1 on success; 0 with the message in result_text otherwise.
int CreateRawTestImage(const std::filesystem::path& target, uint32_t length, std::string& result_text);
