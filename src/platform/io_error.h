#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// Raised by code that reads or writes a file, device, external library or process.
// The message names the place and the fault: "00012.QRS, beat list: count 70000 exceeds the file".
class IoError : public std::runtime_error {
 public:
  IoError(const std::string& where, const std::string& fault)
      : std::runtime_error(where.empty() ? fault : where + ": " + fault), where_(where), fault_(fault) {}

  const std::string& where() const { return where_; }
  const std::string& fault() const { return fault_; }

 private:
  std::string where_;
  std::string fault_;
};

// Bad content in outside input (a damaged or hostile file).
class FormatError : public IoError {
 public:
  using IoError::IoError;
};

}  // namespace platform
