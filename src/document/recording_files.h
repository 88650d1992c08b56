#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

// The files of one recording share a base name and differ in the three-letter extension, which is
// always the last three characters of a path and is compared upper-cased. Files made on another
// system may carry the extension in lower case ("0001.cmp"), so lookups ignore case.
namespace document {

// The last three characters, ASCII upper-cased; the whole path when it is shorter.
std::string LastThreeUpper(std::string_view path);
// The path with its last three characters replaced by the extension.
std::string ReplaceLastThree(std::string_view path, std::string_view extension);
// The path when that file exists, else the entry of its folder whose name equals it ignoring case.
std::optional<std::string> ExistingFile(const std::string& path);
// Whether the file (found as above) is a regular file that opens for reading.
bool CanOpenForReading(const std::string& path);
// Moves a recording file to its new name, replacing a file of that name. The target is touched
// only when the source exists and is moved over it: a missing source gives a failure and leaves
// the target alone. A source found with another case of its extension keeps that spelling.
[[nodiscard]] platform::FileOpResult ReplacingMove(const std::string& from, const std::string& to);

}  // namespace document
