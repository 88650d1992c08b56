#include "win/drawn_check_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/recording_canvas.h"
#include "win/system_metrics.h"
#include "win/win_fixture.h"

namespace win {
namespace {

using testing_support::WinTest;

// A painted area that hosts check boxes and logs their clicks with the check at that moment.
class Area : public Window {
 public:
  std::vector<std::string> log;

 protected:
  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override {
    if (message == kWmCommand && HiWord(wparam) == kBnClicked) {
      log.push_back(std::to_string(LoWord(wparam)) + " checked " +
                    std::to_string(GetParentCheck(LoWord(wparam))));
    }
    return Window::WindowProc(message, wparam, lparam);
  }
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override {
    canvas.FillSolidRect(update, 0x00FFFFFF);
  }

 private:
  int GetParentCheck(int id) const { return IsDlgButtonChecked(id); }
};

class DrawnCheckBoxTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(area_.Create(nullptr, {0, 0, 300, 200}, kWsPopup | kWsVisible));
    area_.SetBackground(gfx::Rgb(255, 255, 255));
    ASSERT_TRUE(manual_.CreateControl(&area_, {10, 10, 150, 25}, 41101, "RR mode",
                                      kWsVisible | kWsTabStop | kBsCheckBox));
    ASSERT_TRUE(automatic_.CreateControl(&area_, {10, 40, 150, 55}, 41102, "Caliper",
                                         kWsVisible | kWsTabStop | kBsAutoCheckBox));
  }

  Area area_;
  DrawnCheckBox manual_;
  DrawnCheckBox automatic_;
};

TEST_F(DrawnCheckBoxTest, ClicksAndSpaceTellTheParentAndOnlyAnAutomaticBoxTogglesItself) {
  struct Case {
    const char* name;
    DrawnCheckBox* box;
    bool by_key;
    int want_check;
    const char* want_log;
  };
  const Case cases[] = {
      {"a click on the plain box", &manual_, false, kBstUnchecked, "41101 checked 0"},
      {"space on the plain box", &manual_, true, kBstUnchecked, "41101 checked 0"},
      {"a click on the automatic box", &automatic_, false, kBstChecked, "41102 checked 1"},
      {"space on the automatic box", &automatic_, true, kBstUnchecked, "41102 checked 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    area_.log.clear();
    const gfx::Point centre{20, c.box->GetWindowRectInParent().top + 7};
    if (c.by_key) {
      c.box->SetFocus();
      Windows().PressKey(kVkSpace);
    } else {
      Windows().MouseInput(area_, kWmLButtonDown, centre);
      Windows().MouseInput(area_, kWmLButtonUp, centre);
    }
    EXPECT_EQ(c.box->GetCheck(), c.want_check);
    EXPECT_EQ(area_.log, std::vector<std::string>{c.want_log});
  }
  // The parent sets the plain box's check itself.
  manual_.SetCheck(kBstChecked);
  EXPECT_EQ(area_.IsDlgButtonChecked(41101), kBstChecked);
  // A disabled box says nothing.
  area_.log.clear();
  automatic_.EnableWindow(false);
  automatic_.Click();
  EXPECT_TRUE(area_.log.empty());
}

TEST_F(DrawnCheckBoxTest, ItPaintsItsWholeRectangleInTheBackgroundOfItsArea) {
  struct Case {
    const char* name;
    std::optional<uint32_t> own;
    std::optional<uint32_t> area;
    gfx::Color want;
  };
  const Case cases[] = {
      {"the area's colour", std::nullopt, gfx::Rgb(255, 255, 255), gfx::Rgb(255, 255, 255)},
      {"its own colour first", gfx::Rgb(10, 20, 30), gfx::Rgb(255, 255, 255), gfx::Rgb(10, 20, 30)},
      {"the button face without either", std::nullopt, std::nullopt, GetSysColor(SysColor::kBtnFace)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    manual_.SetBackground(c.own);
    area_.SetBackground(c.area);
    Windows().PaintPending();
    // The box repaints alone, without its area.
    manual_.SetCheck(manual_.GetCheck() == kBstChecked ? kBstUnchecked : kBstChecked);
    Windows().PaintPending();
    const std::vector<std::string> lines = Windows().RecordOf(manual_)->paint->Lines();
    ASSERT_FALSE(lines.empty());
    char want[64];
    std::snprintf(want, sizeof want, "solid 0x%06X", static_cast<unsigned>(c.want));
    bool found = false;
    for (const std::string& line : lines) {
      if (line.rfind("FillRect 0,0,140,15 ", 0) == 0) {
        found = true;
        EXPECT_NE(line.find(want), std::string::npos) << line;
        break;
      }
    }
    EXPECT_TRUE(found);
  }
}

TEST_F(DrawnCheckBoxTest, TheFocusRectangleComesAndGoesWithTheFocus) {
  const auto focus_drawn = [this] {
    Windows().PaintPending();
    for (const std::string& line : Windows().RecordOf(automatic_)->paint->Lines()) {
      if (line.rfind("DrawFocusRect", 0) == 0) return true;
    }
    return false;
  };
  EXPECT_FALSE(focus_drawn());
  automatic_.SetFocus();
  EXPECT_TRUE(focus_drawn());
  manual_.SetFocus();
  EXPECT_FALSE(focus_drawn());
}

}  // namespace
}  // namespace win
