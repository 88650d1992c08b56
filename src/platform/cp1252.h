#pragma once

#include <string>
#include <string_view>

namespace platform {

// Text is UTF-8 inside the program; single-byte file formats are cp1252 at the boundary.
// What cp1252 cannot hold becomes '?'; invalid UTF-8 bytes also become '?'.
std::string Utf8ToCp1252(std::string_view utf8);
std::string Cp1252ToUtf8(std::string_view cp1252);

}  // namespace platform
