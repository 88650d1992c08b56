#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/recording_canvas.h"
#include "win/window.h"

namespace testsupport {

// What the window system recorded of a window and its visible children (headless: no host set),
// children in z-order after their parent, each headed by its class, id and rectangle in the
// top-level window's client coordinates: the last paint and the last painting of its scroll bars.
inline void AppendRecordedScreen(const win::Window& window, std::vector<std::string>& lines) {
  if (!window.IsWindowVisible()) return;
  const gfx::Rect client = window.GetClientRect();
  const gfx::Point at = window.OffsetInTopLevel();
  std::ostringstream head;
  head << "== " << window.ClassName() << " id " << window.GetDlgCtrlID() << " at " << at.x << "," << at.y
       << " " << client.Width() << "x" << client.Height();
  lines.push_back(head.str());
  if (const win::WindowSystem::Record* record = win::Windows().RecordOf(window)) {
    if (record->paint) {
      for (std::string& line : record->paint->Lines()) lines.push_back(std::move(line));
    }
    if (record->scroll_bars) {
      lines.push_back("-- scroll bars");
      for (std::string& line : record->scroll_bars->Lines()) lines.push_back(std::move(line));
    }
  }
  for (const win::Window* child : window.Children()) AppendRecordedScreen(*child, lines);
}

inline std::vector<std::string> RecordedScreen(const win::Window& window) {
  std::vector<std::string> lines;
  AppendRecordedScreen(window, lines);
  return lines;
}

// Compares the lines with tests/golden/<folder>/<name>.txt; UPDATE_GOLDEN=1 writes the file
// instead. A difference names its first line rather than printing thousands.
inline void ExpectScreenGolden(std::string_view folder, std::string_view name,
                               const std::vector<std::string>& lines) {
  const std::filesystem::path golden =
      std::filesystem::path(ZK_SOURCE_DIR) / "tests/golden" / folder / (std::string(name) + ".txt");
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  if (const char* update = std::getenv("UPDATE_GOLDEN"); update != nullptr && std::string(update) == "1") {
    std::filesystem::create_directories(golden.parent_path());
    std::ofstream(golden, std::ios::binary) << text;
    return;
  }
  std::ifstream in(golden, std::ios::binary);
  ASSERT_TRUE(in) << "missing golden file " << golden << " (run with UPDATE_GOLDEN=1)";
  std::vector<std::string> want;
  for (std::string line; std::getline(in, line);) want.push_back(line);
  for (size_t i = 0; i < std::min(want.size(), lines.size()); ++i) {
    if (want[i] != lines[i]) {
      ADD_FAILURE() << golden << " line " << i + 1 << ":\n  want: " << want[i] << "\n  got:  " << lines[i];
      return;
    }
  }
  EXPECT_EQ(lines.size(), want.size()) << "line count differs from " << golden;
}

}  // namespace testsupport
