#include "tools/validation/validation_records.h"

#include <cmath>

#include "document/record_format.h"
#include "document/recording_files.h"
#include "document/zk470_doc.h"

namespace tools {

std::vector<int> ValidationRecordNumbers(ValidationSet set) {
  std::vector<int> numbers;
  switch (set) {
    case ValidationSet::kAha:
      for (int series = 1; series <= 8; ++series)
        for (int record = 1; record <= 10; ++record) numbers.push_back(series * 1000 + 200 + record);
      break;
    case ValidationSet::kMit:
      for (int number = 100; number <= 899; ++number) numbers.push_back(number);
      break;
    case ValidationSet::kEsc:
      for (int number = 100; number <= 1399; ++number) numbers.push_back(number);
      break;
  }
  return numbers;
}

std::string ValidationRecordFileName(ValidationSet set, int number, std::string_view extension) {
  std::string name;
  switch (set) {
    case ValidationSet::kAha:
      name = "AHA";
      break;
    case ValidationSet::kMit:
      name = "MIT";
      break;
    case ValidationSet::kEsc:
      name = number < 1000 ? "ESC0" : "ESC";
      break;
  }
  return name + std::to_string(number) + std::string(extension);
}

std::string ValidationRecordPath(std::string_view folder, ValidationSet set, int number,
                                 std::string_view extension) {
  const std::string plain = CZK470Doc::JoinPath(folder, ValidationRecordFileName(set, number, ""));
  // Finalizing a record gives it the recording number "V----" after a blank, with all its files.
  const std::string finalized = plain + " V----";
  if (!document::ExistingFile(plain + ".QRS") && document::ExistingFile(finalized + ".QRS"))
    return finalized + std::string(extension);
  return plain + std::string(extension);
}

std::string StatisticField(double value, int width, int decimals) {
  std::string text = std::isfinite(value) ? document::FormatFixedPoint(value, decimals) : "-";
  if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
  return text;
}

}  // namespace tools
