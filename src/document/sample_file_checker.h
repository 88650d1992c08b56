#pragma once

#include <span>
#include <string>
#include <vector>

// The service checks of compressed sample files that the main frame's commands run: the CMP
// check report and "Repair Files". Headless; the commands choose the files and show the results.
class SampleFileChecker {
 public:
  // One file checked by "Repair Files": its path and the name the file picker listed.
  struct RepairItem {
    std::string path;
    std::string name;
  };

  // The report's name: the path without its last four characters, then " QX29.txt".
  static std::string ReportName(const std::string& cmp_path);
  // The report text: the path, the file size, then a line for every field the checking scan of
  // the sample store reads. Never throws for the file's content.
  static std::string CheckReport(const std::string& cmp_path);
  // Writes the report beside the file and returns its name, for "Results in file: " + name.
  // Throws platform::IoError when the report cannot be written; the caller shows
  // "Unable to create output file: " + ReportName(path).
  static std::string RunCmpCheck(const std::string& cmp_path);
  // Checks each file in order and says truthfully what happened: no repair of the format is
  // known, so a file is only checked. "OK : name - checked (N whole minutes), nothing repaired",
  // or "ERR: name - ..." naming the damage or the fault that stopped the check.
  static std::vector<std::string> RepairFiles(std::span<const RepairItem> files);
};
