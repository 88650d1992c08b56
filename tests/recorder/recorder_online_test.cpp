#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "recorder/online_monitor.h"
#include "recorder/real_speed_dlg.h"
#include "recorder_online_fixture.h"
#include "support/screen_golden.h"
#include "views/online_ecg_area.h"
#include "win/command_target.h"
#include "win/controls.h"
#include "win/property_sheet.h"

namespace {

using recordertest::RecorderScreenTest;
using Ring = TOnlineMonitorRing;

// A frame of raw 12-bit values (before the receiver's negation); marks set bit 6 of a high byte.
std::vector<uint8_t> Frame(std::vector<int> values, std::vector<bool> marks = {}) {
  std::vector<uint8_t> bytes;
  for (size_t c = 0; c < values.size(); ++c) {
    const int raw = values[c] & 0xFFF;
    uint8_t high = static_cast<uint8_t>((raw >> 7) & 0x1F);
    if (c == 0) high |= 0x80;
    if (c < marks.size() && marks[c]) high |= 0x40;
    bytes.push_back(high);
    bytes.push_back(static_cast<uint8_t>(raw & 0x7F));
  }
  return bytes;
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(TOnlineMonitorRing, DecodesFramesAsTheSweepExpectsThem) {
  struct Case {
    const char* name;
    int channels;
    std::vector<uint8_t> bytes;
    std::vector<std::vector<int32_t>> want;  // per channel
    int read_index;                          // after decoding
  };
  const int32_t mark = Ring::kMarkBit;
  const Case cases[] = {
      // Three stray bytes are skipped one by one; the frame behind them waits while it is the last.
      {"stray bytes then one frame", 2, Join({{0x01, 0x02, 0x03}, Frame({5, -7})}), {{}, {}}, 3},
      {"stray bytes then two frames",
       2,
       Join({{0x01, 0x02, 0x03}, Frame({5, -7}), Frame({1, 2})}),
       {{-5}, {7}},
       7},
      {"one complete frame waits for the next poll", 2, Frame({100, 200}), {{}, {}}, 0},
      {"limits of the 12-bit range",
       2,
       Join({{0x90, 0x00, 0x8F & 0x7F, 0x7F}, {0x8F, 0x7F, 0x10, 0x00}, Frame({0, 0})}),
       {{2048, -2047}, {-2047, 2048}},
       8},
      // Only channel 1's high byte marked: channels 1 and 2 carry the mark, channel 0 does not.
      {"mark of channel 1",
       3,
       Join({Frame({10, -10, 0}, {false, true, false}), Frame({0, 0, 0})}),
       {{-10}, {10 | mark}, {0 | mark}},
       6},
      {"mark of channel 0 marks all",
       3,
       Join({Frame({10, -10, 5}, {true}), Frame({0, 0, 0})}),
       {{-10 & ~mark}, {10 | mark}, {-5 & ~mark}},
       6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Ring ring;
    ring.Append(c.bytes);
    std::array<Ring::Channel, Ring::kMaxChannels> out{};
    const int frames = ring.Decode(c.channels, out);
    ASSERT_EQ(frames, static_cast<int>(c.want[0].size()));
    for (int ch = 0; ch < c.channels; ++ch) {
      for (int f = 0; f < frames; ++f)
        EXPECT_EQ(out[ch][f], c.want[ch][f]) << "channel " << ch << " frame " << f;
    }
    EXPECT_EQ(ring.ReadIndex(), c.read_index);
  }
}

TEST(TOnlineMonitorRing, MarkedSamplesKeepTheirValueForTheSweep) {
  for (const int value : {0, 1, -1, 2047, -2048}) {
    SCOPED_TRACE(value);
    const std::vector<uint8_t> bytes = Frame({value});
    const int32_t stored = Ring::StoredSample(bytes[0], bytes[1], true);
    EXPECT_TRUE(COnlineECGArea::IsFlagged(stored));
    EXPECT_EQ(COnlineECGArea::Restore(stored), -TRecorderProtocol::DecodeMonitorSample(bytes[0], bytes[1]));
    EXPECT_FALSE(COnlineECGArea::IsFlagged(Ring::StoredSample(bytes[0], bytes[1], false)));
  }
}

TEST(TOnlineMonitorRing, WrapsAtTheEndAndHandsFramesBack) {
  Ring ring;
  // Move both indices close to the end, so that the next frames cross it.
  ring.Append(std::vector<uint8_t>(Ring::kSize - 5, 0x00));
  std::array<Ring::Channel, Ring::kMaxChannels> out{};
  EXPECT_EQ(ring.Decode(2, out), 0);
  EXPECT_EQ(ring.ReadIndex(), Ring::kSize - 9);
  // The 4 bytes of the last stray stretch and three frames.
  ring.Append(Join({Frame({1, 2}), Frame({3, 4}), Frame({5, 6})}));
  EXPECT_EQ(ring.WriteIndex(), (Ring::kSize - 5 + 12) % Ring::kSize);
  ASSERT_EQ(ring.Decode(2, out), 2);
  EXPECT_EQ(out[0][0], -1);
  EXPECT_EQ(out[1][1], -4);
  EXPECT_EQ(ring.ReadIndex(), 3);

  // The sweep took one of the two: the other is decoded again, read index back across the end.
  ring.GiveBack(1, 2);
  EXPECT_EQ(ring.ReadIndex(), Ring::kSize - 1);
  ring.Append(Frame({7, 8}));
  ASSERT_EQ(ring.Decode(2, out), 2);
  EXPECT_EQ(out[0][0], -3);
  EXPECT_EQ(out[0][1], -5);
}

TEST(TOnlineMonitorRing, AnOverrunKeepsTheNewestBytes) {
  Ring ring;
  ring.Append(std::vector<uint8_t>(Ring::kSize + 100, 0x00));
  EXPECT_EQ(ring.Available(), Ring::kSize - 1);
  ring.Append(Join({Frame({9, 9}), Frame({0, 0})}));
  std::array<Ring::Channel, Ring::kMaxChannels> out{};
  ASSERT_EQ(ring.Decode(2, out), 1);
  EXPECT_EQ(out[0][0], -9);
}

// --- The screen against the simulated recorder ---

bool Contains(const std::vector<std::string>& words, const std::string& word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

TEST_F(RecorderScreenTest, LiveEcgReachesTheSweepsOfBothScreens) {
  for (const int kind : {TRecorderProtocol::kKindZK130, TRecorderProtocol::kKindZK131}) {
    SCOPED_TRACE(kind);
    recsim::SimConfig config = recsim::SimConfig::ForKind(kind);
    config.monitor_marker_period = 25;
    StartRecorder(config);
    Show();
    CRecorderArea* area = Area();
    ASSERT_NE(area, nullptr);
    EXPECT_TRUE(area->IsLinkOpen());
    const int channels = TRecorderProtocol::ChannelCount(kind);
    EXPECT_EQ(area->GetChannelCount(), channels);
    for (int c = 0; c < channels; ++c) ASSERT_NE(area->GetSweepArea(c), nullptr) << c;

    StartMonitor();
    EXPECT_TRUE(area->IsMonitoring());
    ASSERT_TRUE(sim_->WaitForCommand(recsim::kStartStreamWord));
    const std::vector<std::string> words = Words();
    ASSERT_GE(words.size(), 3u) << ::testing::PrintToString(words);
    EXPECT_EQ(std::vector<std::string>(words.end() - 2, words.end()),
              (std::vector<std::string>{"MON", std::string(recsim::kStartStreamWord)}));

    // A tick lasts a few real milliseconds: on a loaded machine the stream may lag behind the
    // polls, so tick on (bounded) until every sweep has run far enough to show a mark, and the
    // last poll brought bytes.
    const auto streamed = [&] {
      if (area->GetEmptyPolls() > 0) return false;
      for (int c = 0; c < channels; ++c) {
        const COnlineECGArea* sweep = area->GetSweepArea(c);
        bool marked = false;
        for (int x = 0; x < sweep->GetSweepPos(); ++x) marked = marked || sweep->IsMarked(x);
        if (sweep->GetSweepPos() <= 50 || !marked) return false;
      }
      return true;
    };
    for (int i = 0; i < 40; ++i) Tick();
    for (int i = 0; i < 400 && !streamed(); ++i) Tick();
    EXPECT_TRUE(area->IsMonitoring());
    EXPECT_EQ(area->GetEmptyPolls(), 0);
    for (int c = 0; c < channels; ++c) {
      SCOPED_TRACE(c);
      const COnlineECGArea* sweep = area->GetSweepArea(c);
      EXPECT_GT(sweep->GetSweepPos(), 50);
      // The test wave moves the trace off its baseline.
      const auto& points = sweep->GetPoints();
      const bool moved = std::any_of(points.begin(), points.begin() + sweep->GetSweepPos(),
                                     [&](const gfx::Point& p) { return p.y != sweep->GetBaseline(); });
      EXPECT_TRUE(moved);
      // The recorder's marks arrive as ticks.
      bool marked = false;
      for (int x = 0; x < sweep->GetSweepPos(); ++x) marked = marked || sweep->IsMarked(x);
      EXPECT_TRUE(marked);
    }
    EXPECT_TRUE(exit_codes_.empty());
    Close();
    // Leaving the screen ends the monitor at the recorder.
    EXPECT_TRUE(sim_->WaitForCommand("ExMON"));
  }
}

// The screens as they stand before the first frame: toolbar, grid, calibration, the panel.
TEST_F(RecorderScreenTest, GoldenOnlineScreensBeforeTheFirstFrame) {
  for (const int kind : {TRecorderProtocol::kKindZK130, TRecorderProtocol::kKindZK131}) {
    SCOPED_TRACE(kind);
    StartRecorder(recsim::SimConfig::ForKind(kind));
    Show();
    testsupport::ExpectScreenGolden(
        "recorder", kind == TRecorderProtocol::kKindZK130 ? "online_layout_06" : "online_layout_19",
        testsupport::RecordedScreen(*view_));
    Close();
  }
}

TEST_F(RecorderScreenTest, TwentyFiveEmptyPollsLeaveWithCommunicationFailure) {
  recsim::SimConfig config = recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK130);
  config.faults.cut_stream_after = 0;
  StartRecorder(config);
  Show();
  CRecorderArea* area = Area();
  ASSERT_NE(area, nullptr);
  StartMonitor();
  ASSERT_TRUE(area->IsMonitoring());

  int polls = 0;
  int empty_before_stop = -1;
  while (area->IsMonitoring() && polls < 60) {
    empty_before_stop = area->GetEmptyPolls();
    Tick();
    ++polls;
  }
  EXPECT_FALSE(area->IsMonitoring());
  EXPECT_EQ(empty_before_stop, CRecorderArea::kMaxEmptyPolls - 1);
  EXPECT_EQ(area->GetEmptyPolls(), CRecorderArea::kMaxEmptyPolls);
  EXPECT_EQ(MessagesAsked(),
            std::vector<std::string>{platform::LoadString(CRecorderArea::kCommFailureString)});
  EXPECT_GE(win::Windows().BeepCount(), 1);
  EXPECT_TRUE(sim_->WaitForCommand("ExMON"));

  // The common end ran once, after the handler: start screen, exit code 10.
  win::Windows().RunPending();
  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone);
  EXPECT_EQ(exit_codes_, std::vector<int>{CRecorderArea::kExitFailed});
}

TEST_F(RecorderScreenTest, FailedMonitorStartAndCancelLeavesSilentlyWithExitCode10) {
  StartRecorder(recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK130));
  Show();
  ASSERT_TRUE(Area()->IsLinkOpen());
  // The recorder goes away before the monitor starts: "MON\r" cannot be written.
  sim_.reset();
  comm_answer_retry_ = false;
  StartMonitor();
  win::Windows().RunPending();
  EXPECT_EQ(comm_questions_, 1);
  EXPECT_TRUE(MessagesAsked().empty());
  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone);
  EXPECT_EQ(exit_codes_, std::vector<int>{CRecorderArea::kExitFailed});
}

TEST_F(RecorderScreenTest, LeavingFromThePanelEndsTheMonitorWithExitCode11) {
  StartRecorder(recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK133));
  Show();
  StartMonitor();
  ASSERT_TRUE(Area()->IsMonitoring());
  doc_->UpdateAllViews(nullptr, hint::kArea1144);
  EXPECT_FALSE(Area()->IsMonitoring());
  EXPECT_TRUE(sim_->WaitForCommand("ExMON"));
  win::Windows().RunPending();
  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone);
  EXPECT_EQ(exit_codes_, std::vector<int>{CRecorderArea::kExitLeft});
  EXPECT_TRUE(MessagesAsked().empty());
}

TEST_F(RecorderScreenTest, NoRecorderLeavesAtTheFirstTickWithExitCode10) {
  // The device search named a device that is not there.
  doc_->GetRecorderIdentification().recorder_kind = TRecorderProtocol::kKindZK130;
  doc_->GetRecorderIdentification().texts[0] = "/nonexistent/ttyUSB9";
  recorder::Environment().probe_names = {};
  SetOnlineRecorder({2, 2});
  Close();
  doc_->SetDisplayMode(DisplayMode::kOnlineEcg);
  ASSERT_TRUE(CreateDefaultLayouts());
  view_ = std::make_unique<recordertest::LayoutView>(doc_.get(), 6);
  ASSERT_TRUE(view_->Create(nullptr, {0, 0, 1000, 700}, win::kWsVisible));
  win::Windows().RunPending();
  ASSERT_NE(Area(), nullptr);
  EXPECT_FALSE(Area()->IsLinkOpen());
  StartMonitor();
  EXPECT_EQ(MessagesAsked(),
            std::vector<std::string>{platform::LoadString(CRecorderArea::kCommFailureString)});
  win::Windows().RunPending();
  EXPECT_EQ(exit_codes_, std::vector<int>{CRecorderArea::kExitFailed});
}

TEST_F(RecorderScreenTest, ACommandWithoutALinkStopsWithTheDriverMessage) {
  // The interface card does not exist here: its link never opens.
  doc_->GetSettings().SetInt(SettingKey::kIOPortMode, recorder::kInterfaceCard);
  StartRecorder(recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK130));
  Show();
  ASSERT_FALSE(Area()->IsLinkOpen());
  EXPECT_TRUE(win::ExecuteCommand(*Window(), CRecorderArea::kCmdReset));
  EXPECT_EQ(MessagesAsked(),
            std::vector<std::string>{platform::LoadString(CRecorderArea::kCardDriverString)});
  // The start timer was killed with the stop: nothing more is said.
  StartMonitor();
  EXPECT_EQ(MessagesAsked().size(), 1u);
  EXPECT_EQ(exit_codes_, std::vector<int>{CRecorderArea::kExitFailed});
  EXPECT_EQ(doc_->GetDisplayMode(), DisplayMode::kNone);
}

TEST_F(RecorderScreenTest, MenuCommandsReachTheRecorder) {
  StartRecorder(recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK130));
  Show();
  CRecorderWnd* window = Window();
  ASSERT_NE(window, nullptr);
  {
    auto lock = sim_->Lock();
    sim_->Model().ClearLog();
  }
  struct Case {
    int command;
    const char* word;
  };
  const Case cases[] = {{32795, "Reset"}, {32796, "SET"},   {32811, "ExSET"}, {32799, "TST"},
                        {32798, "REV"},   {32812, "ExREV"}, {32800, "POff"}};
  int count = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_TRUE(win::ExecuteCommand(*window, c.command));
    ++count;
    ASSERT_TRUE(sim_->WaitForCommand(c.word));
  }
  EXPECT_EQ(static_cast<int>(Words().size()), count);
  EXPECT_TRUE(exit_codes_.empty());
}

TEST_F(RecorderScreenTest, AmplitudeStepsBetweenItsTwoValues) {
  StartRecorder(recsim::SimConfig::ForKind(TRecorderProtocol::kKindZK130));
  Show();
  CRecorderWnd* window = Window();
  ASSERT_NE(window, nullptr);
  COnlineECGArea* sweep = Area()->GetSweepArea(0);
  ASSERT_NE(sweep, nullptr);
  const double gain_at_1 = sweep->GetPixelsPerMV();
  auto enabled = [&](int id) { return win::UpdateCommand(*window, id).Enabled().value_or(false); };
  struct Case {
    const char* name;
    int command;
    int want_step;
    bool up_enabled;
    bool down_enabled;
  };
  const Case cases[] = {
      {"up at step 1 does nothing", CRecorderWnd::kAmplitudeUp, 1, false, true},
      {"down to step 0", CRecorderWnd::kAmplitudeDown, 0, true, false},
      {"down at step 0 does nothing", CRecorderWnd::kAmplitudeDown, 0, true, false},
      {"up to step 1", CRecorderWnd::kAmplitudeUp, 1, false, true},
  };
  ASSERT_EQ(window->GetAmplitudeStep(), 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(win::ExecuteCommand(*window, c.command));
    EXPECT_EQ(window->GetAmplitudeStep(), c.want_step);
    EXPECT_EQ(enabled(CRecorderWnd::kAmplitudeUp), c.up_enabled);
    EXPECT_EQ(enabled(CRecorderWnd::kAmplitudeDown), c.down_enabled);
  }
  EXPECT_EQ(sweep->GetPixelsPerMV(), gain_at_1);
}

class RealSpeedPageTest : public win::testing_support::WinTest {};

TEST_F(RealSpeedPageTest, ExchangesTheStepWithItsRadioGroup) {
  AddRecorderScreenResources(platform::Resources().ExePack());
  for (const int step : {0, 1}) {
    SCOPED_TRACE(step);
    TRealSpeedDlg page(step);
    win::PropertySheet sheet("Display speed");
    sheet.AddPage(page);
    DriveModal({[&](win::Window*) {
      auto checked = [&](int id) { return page.Item<win::Button>(id)->GetCheck() == win::kBstChecked; };
      ASSERT_NE(page.Item<win::Button>(TRealSpeedDlg::kAmplitudeId + 1), nullptr);
      EXPECT_EQ(checked(TRealSpeedDlg::kAmplitudeId), step == 0);
      EXPECT_EQ(checked(TRealSpeedDlg::kAmplitudeId + 1), step == 1);
      // The user picks the other step.
      page.Item<win::Button>(TRealSpeedDlg::kAmplitudeId + (1 - step))->Click();
      sheet.PressButton(win::kIdOk);
    }});
    EXPECT_EQ(sheet.DoModal(), win::kIdOk);
    EXPECT_EQ(page.amplitude, 1 - step);
  }
}

}  // namespace
