#include "document/sample_file_checker.h"

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "document/raw_ecg_data.h"
#include "document/zk130_info_list.h"
#include "platform/archive.h"
#include "platform/io_error.h"

std::string SampleFileChecker::ReportName(const std::string& cmp_path) {
  const size_t keep = cmp_path.size() >= 4 ? cmp_path.size() - 4 : 0;
  return cmp_path.substr(0, keep) + " QX29.txt";
}

std::string SampleFileChecker::CheckReport(const std::string& cmp_path) {
  std::ostringstream out;
  out << "File : " << cmp_path << "\n"
      << "\n";
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(cmp_path, ec);
  if (ec || size == 0) {
    out << "Error: Size of CMP File is 0\n";
  } else {
    char text[80];
    std::snprintf(text, sizeof text, "CmpFileSize         : %10llu <=> 0x%08llX\n",
                  static_cast<unsigned long long>(size), static_cast<unsigned long long>(size));
    out << text;
  }
  // A private list: the check reports no markers to the open recording.
  TZK130InfoList markers;
  const TRawECGData store(&markers, cmp_path, out);
  return out.str();
}

std::string SampleFileChecker::RunCmpCheck(const std::string& cmp_path) {
  const std::string name = ReportName(cmp_path);
  const std::string text = CheckReport(cmp_path);
  platform::WriteFileAtomic(name, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  return name;
}

std::vector<std::string> SampleFileChecker::RepairFiles(std::span<const RepairItem> files) {
  std::vector<std::string> lines;
  for (const RepairItem& item : files) {
    try {
      TZK130InfoList markers;
      const TRawECGData store(&markers, item.path);
      const std::string minutes = std::to_string(store.GetWholeMinutes()) + " whole minutes";
      if (store.GetIndexNote().empty())
        lines.push_back("OK : " + item.name + " - checked (" + minutes + "), nothing repaired");
      else
        lines.push_back("ERR: " + item.name + " - checked (" + minutes + " readable), " +
                        store.GetIndexNote() + ", nothing repaired");
    } catch (const platform::IoError& e) {
      lines.push_back("ERR: " + item.name + " - " + e.what() + ", nothing repaired");
    }
  }
  return lines;
}
