#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "reports/pdf/pdf_writer.h"

namespace pdf_test {

struct Report {
  int severity;
  std::string module;
  std::string message;
};

// Each test starts with a prepared and opened writer whose reports are recorded, a fixed clock
// and its own temporary folder; the writer is released afterwards.
class PdfTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Finishes the document and returns the file's bytes (fails the test when finishing fails).
  std::string Finish();
  // True when a report's message contains the text.
  bool Reported(std::string_view text) const;
  std::filesystem::path Path(std::string_view leaf) const { return dir_ / leaf; }
  // A4 portrait page.
  static int BeginA4(int page);

  std::vector<Report> reports_;
  platform::ManualClock clock_{platform::LocalDateTime{2004, 3, 7, 9, 5, 1, 0}};
  std::filesystem::path dir_;
};

// The decoded content stream of every page, in page order.
std::vector<std::string> ContentStreams(const std::string& pdf);
// The text of object n from "n 0 obj" to "endobj".
std::string ObjectText(const std::string& pdf, int n);
// Checks the cross-reference table: 20-byte lines, each offset at its "N 0 obj".
void ExpectValidXref(const std::string& pdf);
int CountOf(std::string_view text, std::string_view what);

// Runs a shell command and collects its standard output.
struct ToolResult {
  int exit_code;
  std::string output;
};
bool HaveTool(const char* program);
ToolResult RunTool(const std::string& command);
std::string WriteFile(const std::filesystem::path& path, std::string_view bytes);

// A Windows PFM metrics file for a Type 1 font: header, extended metrics, driver info (the
// PostScript name) and the width table of codes first..last (Helvetica's WinAnsi widths); cut to
// cut_to bytes when that is not 0.
std::string MakePfm(const std::string& ps_name, int first, int last, size_t cut_to = 0);

// Compares with tests/golden/reports/pdf/<name>; UPDATE_GOLDEN=1 rewrites the file.
void ExpectGolden(const std::string& name, const std::string& actual);
std::filesystem::path FixturePath(std::string_view leaf);

}  // namespace pdf_test

#define SKIP_WITHOUT(program)                                                         \
  do {                                                                                \
    if (!pdf_test::HaveTool(program)) GTEST_SKIP() << program << " is not installed"; \
  } while (0)
