#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/test_files.h"

namespace testsupport {

// Builders of small WFDB records for tests.

struct TestAnnotation {
  TestAnnotation(int64_t sample_, int code_, std::string aux_ = {}, int subtype_ = 0, int channel_ = 0, int number_ = 0)
      : sample(sample_), code(code_), aux(std::move(aux_)), subtype(subtype_), channel(channel_), number(number_) {}

  int64_t sample;
  int code;
  std::string aux;
  int subtype;
  int channel;
  int number;
};

// Samples in format 212, frame after frame (signals interleaved in the given order).
std::vector<uint8_t> Encode212(const std::vector<std::vector<int16_t>>& signals);
// MIT annotation words, with SKIP for long gaps and SUB/CHN/NUM/AUX where set; ends with the end word.
std::vector<uint8_t> EncodeAnnotations(const std::vector<TestAnnotation>& annotations);
// 16-bit sum of a signal, as a header's checksum field.
int Checksum(const std::vector<int16_t>& signal);

// Writes <dir>/<name>.hea, <name>.dat (format 212, gain 200, ADC zero 1024) and, when given,
// <name>.atr. Returns the record path without extension.
std::filesystem::path WriteTestRecord(const std::filesystem::path& dir, const std::string& name, int rate,
                                      const std::vector<std::vector<int16_t>>& signals,
                                      const std::vector<TestAnnotation>& annotations);

}  // namespace testsupport
