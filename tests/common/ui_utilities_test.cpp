#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/full_row_list_ctrl.h"
#include "common/log_edit.h"
#include "common/monitor_log.h"
#include "common/table_tab_wnd.h"
#include "common/text_view_dlg.h"
#include "common/utility_resources.h"
#include "gfx/recording_canvas.h"
#include "support/test_files.h"
#include "win/win_fixture.h"

namespace {

using win::testing_support::WinTest;

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, at - start));
    start = at + 2;
  }
  lines.push_back(text.substr(start));
  return lines;
}

class UiUtilitiesTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(parent_.Create(nullptr, {0, 0, 600, 400}, win::kWsPopup | win::kWsVisible));
    ASSERT_TRUE(log_.CreateControl(&parent_, {10, 10, 400, 110}, 1383, "",
                                   win::kWsChild | win::kWsVisible | win::kEsMultiline | win::kEsReadOnly));
  }
  win::Window parent_;
  CLogEdit log_;
};

TEST_F(UiUtilitiesTest, HexDumpWritesSixteenBytesALineWithOffsetsAndDots) {
  struct Case {
    size_t count;
    std::vector<std::string> offsets;  // of the data lines
  };
  const Case cases[] = {{0, {}}, {16, {"0000"}}, {20, {"0000", "0010"}}, {31, {"0000", "0010"}}, {33, {"0000", "0010", "0020"}}};
  std::vector<uint8_t> bytes(40);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 0x3B);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    log_.Clear();
    log_.AddHexDump("Block", std::span<const uint8_t>(bytes.data(), c.count));
    const std::vector<std::string> lines = SplitCrLf(log_.GetWindowText());
    ASSERT_EQ(lines.size(), c.offsets.size() + 1);
    EXPECT_EQ(lines[0], "Block");
    for (size_t i = 0; i < c.offsets.size(); ++i) EXPECT_EQ(lines[i + 1].substr(0, 6), c.offsets[i] + ": ");
  }
  // One line exactly: hex padded to 48, a blank, the characters padded to 16.
  const uint8_t sample[] = {'A', 'b', 0x00, 0x7F, 0x80, 0xFF, ' ', '~'};
  log_.Clear();
  log_.AddHexDump("X", sample);
  EXPECT_EQ(SplitCrLf(log_.GetWindowText())[1],
            "0000: 41 62 00 7f 80 ff 20 7e                          Ab.... ~        ");
}

TEST_F(UiUtilitiesTest, AddLineSeparatesLinesAndScrollsToTheLast) {
  log_.AddLine("first");
  EXPECT_EQ(log_.GetWindowText(), "first");  // no leading line end into an empty field
  log_.AddLine("second");
  EXPECT_EQ(log_.GetWindowText(), "first\r\nsecond");
  for (int i = 0; i < 100; ++i) log_.AddLine("line " + std::to_string(i));
  EXPECT_EQ(log_.GetLineCount(), 102);
  EXPECT_EQ(log_.GetFirstVisibleLine() + log_.VisibleLineCount(), 102);
  log_.SetAutoScroll(false);
  log_.Clear();
  EXPECT_EQ(log_.GetWindowText(), "");
  EXPECT_EQ(log_.GetLineCount(), 1);
}

TEST_F(UiUtilitiesTest, TheLogGivesTheFocusBackUnlessAllowedToTakeIt) {
  win::Window other;
  ASSERT_TRUE(other.Create(&parent_, {450, 10, 500, 40}, win::kWsChild | win::kWsVisible));
  other.SetFocus();
  win::Windows().MouseInput(parent_, win::kWmLButtonDown, {20, 20});
  EXPECT_EQ(win::Windows().GetFocus(), &other);
  log_.SetMayTakeFocus(true);
  win::Windows().MouseInput(parent_, win::kWmLButtonDown, {20, 20});
  EXPECT_EQ(win::Windows().GetFocus(), &log_);
}

TEST_F(UiUtilitiesTest, TheTextViewerShowsItsLinesInAFixedPitchFont) {
  AddUtilityResources(platform::Resources().ExePack());
  TTextViewDlg dialog({"00012.QRS: ok", "00013.QRS: sample file missing"}, "Check results", true);
  DriveModal({[&](win::Window*) {
    EXPECT_EQ(dialog.GetWindowText(), "Check results");
    EXPECT_EQ(dialog.GetDlgItem(TTextViewDlg::kLogEditId), &dialog.LogEdit());
    EXPECT_EQ(dialog.LogEdit().GetWindowText(), "00012.QRS: ok\r\n00013.QRS: sample file missing");
    EXPECT_EQ(dialog.LogEdit().GetFont().face, "Courier new");
    EXPECT_EQ(dialog.LogEdit().GetFont().height, -11);
    EXPECT_TRUE(dialog.LogEdit().IsReadOnly());
    win::Windows().PressKey(win::kVkReturn);
  }});
  EXPECT_EQ(dialog.DoModal(), win::kIdOk);
}

class ListTest : public UiUtilitiesTest {
 protected:
  void SetUp() override {
    UiUtilitiesTest::SetUp();
    ASSERT_TRUE(list_.CreateControl(&parent_, {0, 150, 500, 350}, 1600, "",
                                    win::kWsChild | win::kWsVisible | win::kLvsReport | win::kLvsShowSelAlways));
    list_.InsertColumn(0, "Name", win::kLvcfmtLeft, 100);
    list_.InsertColumn(1, "Size", win::kLvcfmtRight, 60);
    list_.InsertItem(0, "00012.QRS");
    list_.SetItemText(0, 1, "12");
    list_.InsertItem(1, "00013.QRS");
    list_.SetItemState(0, win::kLvisSelected, win::kLvisSelected);
  }
  CFullRowListCtrl list_;
};

TEST_F(ListTest, HighlightModesCoverLabelItemRowOrTheRestOfTheRow) {
  gfx::RecordingCanvas canvas;
  canvas.SelectFont(list_.GetFont());
  const gfx::Rect label = list_.ItemLabelRect(0);
  const int text = canvas.GetTextExtent("00012.QRS").cx + 2 * canvas.GetTextExtent(" ").cx;
  struct Case {
    int mode;
    gfx::Rect want;
  };
  const Case cases[] = {
      {0, {label.left, label.top, label.left + text, label.bottom}},
      {1, {label.left, label.top, 2 + 160, label.bottom}},
      {2, {label.left, label.top, 500, label.bottom}},
      {3, {2 + 100, label.top, 500, label.bottom}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    list_.SetHighlightMode(c.mode);
    EXPECT_EQ(list_.HighlightRect(canvas, 0), c.want);
    gfx::RecordingCanvas drawn;
    list_.DrawItem(drawn, 0);
    const std::vector<std::string> lines = drawn.Lines();
    const std::string fill = "FillRect " + std::to_string(c.want.left) + "," + std::to_string(c.want.top) + "," +
                             std::to_string(c.want.right) + "," + std::to_string(c.want.bottom) + " solid 0xD77800";
    EXPECT_NE(std::find(lines.begin(), lines.end(), fill), lines.end()) << drawn.Dump();
  }
  // A mode above 3 is refused; the old one is still returned.
  list_.SetHighlightMode(1);
  EXPECT_EQ(list_.SetHighlightMode(4), 1);
  EXPECT_EQ(list_.GetHighlightMode(), 1);
}

TEST_F(ListTest, RedrawLocksNestAndOnlyTheOutermostSwitches) {
  list_.SetRedraw(false);
  EXPECT_FALSE(list_.RedrawEnabled());
  list_.SetRedraw(false);
  list_.SetRedraw(true);
  EXPECT_FALSE(list_.RedrawEnabled());
  EXPECT_EQ(list_.RedrawLockDepth(), 1);
  list_.SetRedraw(true);
  EXPECT_TRUE(list_.RedrawEnabled());
  list_.SetRedraw(true);  // unbalanced
  EXPECT_EQ(list_.RedrawLockDepth(), 0);
  EXPECT_EQ(list_.GetItemImage(5), -1);
  EXPECT_EQ(list_.GetItemImage(-1), -1);
}

TEST_F(UiUtilitiesTest, TheTableTabWindowTellsItsParentTheChosenTabFirst) {
  class Parent : public win::Window {
   public:
    std::vector<std::string> log;
    CTableTabWnd* tabs = nullptr;

   protected:
    win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override {
      if (message == CTableTabWnd::kTabChosenMessage) {
        log.push_back("2026 tab " + std::to_string(wparam) + ", current " + std::to_string(tabs->CurrentTab()));
      }
      return win::Window::WindowProc(message, wparam, lparam);
    }
  };
  Parent parent;
  ASSERT_TRUE(parent.Create(&parent_, {0, 0, 300, 200}, win::kWsChild | win::kWsVisible));
  CTableTabWnd tabs;
  parent.tabs = &tabs;
  ASSERT_TRUE(tabs.Create(&parent, {0, 0, 300, 200}, 7));
  win::Window sheet1, sheet2;
  ASSERT_TRUE(sheet1.Create(&tabs, {}, win::kWsChild | win::kWsVisible));
  ASSERT_TRUE(sheet2.Create(&tabs, {}, win::kWsChild | win::kWsVisible));
  tabs.AddTab(sheet1, "Hours");
  tabs.AddTab(sheet2, "Events");
  EXPECT_EQ(sheet1.GetWindowRectInParent(), (gfx::Rect{0, 0, 300, 200 - win::TabWindow::kBeamHeight}));
  tabs.SelectTabFromUser(1);
  EXPECT_EQ(parent.log, std::vector<std::string>{"2026 tab 1, current 0"});
  EXPECT_EQ(tabs.CurrentTab(), 1);
  EXPECT_FALSE(sheet1.IsWindowVisible());
  EXPECT_TRUE(sheet2.IsWindowVisible());
}

class MonitorLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testsupport::MakeTestDir("common_monitor");
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  static TMonitorRecord Record(int n) {
    TMonitorRecord r;
    for (int i = 0; i < 8; ++i) {
      r.first[static_cast<size_t>(i)] = static_cast<int16_t>(n * 10 + i);
      r.second[static_cast<size_t>(i)] = static_cast<int16_t>(-n - i);
    }
    r.value_a = static_cast<int16_t>(n);
    r.value_b = static_cast<int16_t>(-n);
    r.value_c = n * 0.5;
    r.last = static_cast<int16_t>(0x7000 + n);
    return r;
  }
  std::filesystem::path dir_;
};

TEST_F(MonitorLogTest, RecordsAre46BytesLittleEndianAtTheirIndex) {
  const std::array<uint8_t, 46> bytes = TMonitorLog::Encode(Record(1));
  EXPECT_EQ(bytes[0], 10);
  EXPECT_EQ(bytes[1], 0);
  EXPECT_EQ(bytes[16], 1);
  EXPECT_EQ(bytes[18], 0xFF);  // -1
  EXPECT_EQ(bytes[19], 0xFF);
  EXPECT_EQ(bytes[27], 0x3F);  // 0.5 = 0x3FE0000000000000
  EXPECT_EQ(bytes[26], 0xE0);
  EXPECT_EQ(bytes[44], 0x01);
  EXPECT_EQ(bytes[45], 0x70);
  EXPECT_EQ(TMonitorLog::Decode(bytes), Record(1));
}

TEST_F(MonitorLogTest, TheFileLags49RecordsAndHoldsAllOfThemWhenClosed) {
  const std::filesystem::path path = dir_ / "00012.QRS";
  {
    TMonitorLog log(path, true);
    ASSERT_TRUE(log.IsOpen());
    EXPECT_EQ(log.FileName(), dir_ / "00012.MON");
    size_t waiting = 0;
    for (int i = 0; i < 60; ++i) waiting = log.AddRecord(Record(i));
    EXPECT_EQ(waiting, 49u);
    EXPECT_EQ(log.ReadRecord(10), Record(10));
    EXPECT_EQ(log.ReadRecord(11), TMonitorRecord{});  // still in the buffer
  }
  EXPECT_EQ(std::filesystem::file_size(dir_ / "00012.MON"), 60u * 46);
  TMonitorLog read(path, false);
  for (int i = 0; i < 60; ++i) EXPECT_EQ(read.ReadRecord(i), Record(i)) << i;
  EXPECT_EQ(read.ReadRecord(60), TMonitorRecord{});
  EXPECT_EQ(read.ReadRecord(-1), TMonitorRecord{});
  EXPECT_EQ(read.AddRecord(Record(1)), 0u);
}

TEST_F(MonitorLogTest, TenAdditionsGiveTenRecordsAndAnOldLogStaysUntilTheNewOneIsClosed) {
  const std::filesystem::path path = dir_ / "00012.QRS";
  {
    std::ofstream old(dir_ / "00012.MON", std::ios::binary);
    old << std::string(46, 'x');
  }
  {
    TMonitorLog log(path, true);
    for (int i = 0; i < 10; ++i) log.AddRecord(Record(i));
    EXPECT_EQ(std::filesystem::file_size(dir_ / "00012.MON"), 46u);
  }
  TMonitorLog read(path, false);
  EXPECT_EQ(std::filesystem::file_size(dir_ / "00012.MON"), 10u * 46);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(read.ReadRecord(i), Record(i));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);  // no temporary left
}

TEST_F(MonitorLogTest, ALogThatCannotBeOpenedIgnoresAdditionsAndReadsZeros) {
  TMonitorLog missing(dir_ / "none" / "00001.QRS", false);
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_EQ(missing.ReadRecord(0), TMonitorRecord{});
  TMonitorLog unwritable(dir_ / "none" / "00001.QRS", true);
  EXPECT_FALSE(unwritable.IsOpen());
  EXPECT_EQ(unwritable.AddRecord(Record(1)), 0u);
}

}  // namespace
