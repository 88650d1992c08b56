#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_color_button.h"
#include "dialogs/optiontree/option_tree_color_item.h"
#include "dialogs/optiontree/option_tree_color_picker.h"
#include "dialogs/optiontree/option_tree_image_item.h"
#include "dialogs/optiontree/option_tree_image_picker.h"
#include "gfx/recording_canvas.h"
#include "platform/clock.h"
#include "support/screen_golden.h"
#include "win/prompt.h"
#include "win/system_metrics.h"
#include "win/window.h"

namespace dialogs {
namespace {

using Picker = COptionTreeColorPicker;

constexpr gfx::Color kRed = gfx::Rgb(255, 0, 0);
constexpr gfx::Color kBlue = gfx::Rgb(0, 0, 255);
constexpr gfx::Color kOffTable = gfx::Rgb(1, 2, 3);

// A window that records the private messages it gets, as "message:wparam".
class MessageLog : public win::Window {
 public:
  std::vector<std::string> log;
  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(log);
    return taken;
  }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override {
    if (message >= 2025 && message <= 2029) {
      log.push_back(std::to_string(message) + ":" + std::to_string(wparam));
      return 0;
    }
    if (message == win::kWmNotify) {
      const auto* n = reinterpret_cast<const COptionTreeNotify*>(lparam);
      log.push_back("notify " + std::to_string(n->header.code));
      return 0;
    }
    return win::Window::WindowProc(message, wparam, lparam);
  }
};

std::string Msg(uint32_t message, gfx::Color color) {
  return std::to_string(message) + ":" + std::to_string(color);
}

// The colour pickers that are open now.
std::vector<Picker*> OpenPickers() {
  std::vector<Picker*> pickers;
  for (win::Window* w : win::Windows().TopLevelWindows()) {
    if (auto* p = dynamic_cast<Picker*>(w)) pickers.push_back(p);
  }
  return pickers;
}

gfx::Color TableColor(int index) { return Picker::ColorTable()[static_cast<size_t>(index)].color; }

gfx::Point CellCentre(const Picker& picker, int index) {
  const gfx::Rect r = picker.GetCellRect(index);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class ColorPickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    win::Windows().SetClock(&clock_);
    ASSERT_TRUE(owner_.Create(nullptr, {100, 100, 300, 120}, win::kWsPopup | win::kWsVisible));
  }
  void TearDown() override {
    owner_.DestroyWindow();
    win::Windows().SetClock(nullptr);
  }

  Picker* Open(gfx::Color initial, bool with_default = true, bool with_custom = true,
               gfx::Point at = {100, 120}) {
    new Picker(at.x, at.y, initial, kBlue, &owner_, with_default ? "Automatic" : "",
               with_custom ? "More Colors..." : "");
    const std::vector<Picker*> pickers = OpenPickers();
    return pickers.empty() ? nullptr : pickers.back();
  }

 public:
  void Key(int key) { win::Windows().KeyInput(win::kWmKeyDown, key); }
  void Move(Picker& picker, gfx::Point p) { win::Windows().MouseInput(picker, win::kWmMouseMove, p); }

  platform::ManualClock clock_;
  MessageLog owner_;

 protected:
};

TEST_F(ColorPickerTest, LaysOutTheGridAndTheTextEntries) {
  struct Case {
    const char* name;
    bool with_default;
    bool with_custom;
  };
  constexpr Case kCases[] = {{"grid alone", false, false},
                             {"default entry", true, false},
                             {"custom entry", false, true},
                             {"both", true, true}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Picker* picker = Open(kRed, c.with_default, c.with_custom);
    ASSERT_NE(picker, nullptr);
    const gfx::Rect rect = picker->GetWindowRect();
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 120);
    EXPECT_EQ(rect.Width(), 148);
    int height = 94;
    int grid_top = 2;
    if (c.with_default) {
      const gfx::Rect box = picker->GetDefaultBox();
      EXPECT_EQ(box.left, 2);
      EXPECT_EQ(box.top, 2);
      EXPECT_EQ(box.right, 146);
      height += 4 + box.Height();
      grid_top += box.Height() + 2;
    }
    if (c.with_custom) {
      const gfx::Rect box = picker->GetCustomBox();
      EXPECT_EQ(box.top, height);
      height += 4 + box.Height();
    }
    EXPECT_EQ(rect.Height(), height);
    EXPECT_EQ(picker->GetCellRect(0), (gfx::Rect{2, grid_top, 20, grid_top + 18}));
    EXPECT_EQ(picker->GetCellRect(39), (gfx::Rect{128, grid_top + 72, 146, grid_top + 90}));
    EXPECT_EQ(picker->ToolTips().ToolCount(), 40u);
    EXPECT_EQ(win::Windows().GetCapture(), picker);
    picker->DestroyWindow();
  }
}

TEST_F(ColorPickerTest, StaysOnTheScreenAndOpensAboveItsOwnerNearTheBottom) {
  struct Case {
    const char* name;
    gfx::Point at;
    gfx::Point want;
  };
  // The screen is 1280 x 1024; the owner is 20 pixels high.
  const Case kCases[] = {{"fits", {100, 120}, {100, 120}},
                         {"past the right edge", {1200, 120}, {1280 - 148, 120}},
                         {"left of the screen", {-30, 120}, {0, 120}},
                         {"near the bottom", {100, 1000}, {100, 1000 - 94 - 20}}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Picker* picker = Open(kRed, false, false, c.at);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ((gfx::Point{picker->GetWindowRect().left, picker->GetWindowRect().top}), c.want);
    picker->DestroyWindow();
  }
}

TEST_F(ColorPickerTest, ArrowKeysWalkTheCellsAndTheTextEntries) {
  constexpr int D = Picker::kEntryDefault;
  constexpr int C = Picker::kEntryCustom;
  struct Case {
    const char* name;
    bool with_default;
    bool with_custom;
    std::vector<int> keys;
    std::vector<int> hot;  // after each key
  };
  const int L = win::kVkLeft, R = win::kVkRight, U = win::kVkUp, Dn = win::kVkDown;
  const Case kCases[] = {
      {"left from cell 0 through both entries",
       true,
       true,
       {R, R, R, L, L, L, L, L},
       {C, D, 0, D, C, 39, 38, 37}},
      {"right past cell 39", true, true, {L, L, L, R, R, R, R}, {D, C, 39, C, D, 0, 1}},
      {"up and down", true, true, {U, U, U, U, Dn, Dn}, {D, C, 39, 31, 39, C}},
      {"down through the grid", true, true, {Dn, Dn, Dn, Dn, Dn, Dn, Dn, Dn}, {C, D, 0, 8, 16, 24, 32, C}},
      {"rows wrap",
       true,
       true,
       {Dn, Dn, Dn, R, R, R, R, R, R, R, R, L},
       {C, D, 0, 1, 2, 3, 4, 5, 6, 7, 8, 7}},
      {"default entry only", true, false, {L, L, R, U, Dn, Dn}, {D, 39, D, 39, D, 0}},
      {"custom entry only", false, true, {L, L, R, Dn, U, U}, {C, 39, C, 0, C, 39}},
      {"no text entries", false, false, {L, R, U, Dn, Dn, R}, {39, 0, 39, 0, 8, 9}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Picker* picker = Open(kRed, c.with_default, c.with_custom);
    ASSERT_NE(picker, nullptr);
    std::vector<int> hot;
    for (const int key : c.keys) {
      Key(key);
      hot.push_back(picker->GetHotEntry());
    }
    EXPECT_EQ(hot, c.hot);
    picker->DestroyWindow();
  }
}

TEST_F(ColorPickerTest, HoveringReportsEachNewEntryAndTheCustomEntryKeepsTheColour) {
  Picker* picker = Open(kOffTable);
  ASSERT_NE(picker, nullptr);
  Move(*picker, CellCentre(*picker, 16));
  Move(*picker, CellCentre(*picker, 16));  // the same entry again: nothing
  Move(*picker, CellCentre(*picker, 13));
  EXPECT_EQ(owner_.Take(), (std::vector<std::string>{Msg(2025, kRed), Msg(2025, kBlue)}));
  const gfx::Rect custom = picker->GetCustomBox();
  // The hit test compares with the point less the margin.
  Move(*picker, {custom.left + 10, custom.top + 5});
  EXPECT_EQ(picker->GetHotEntry(), Picker::kEntryCustom);
  EXPECT_EQ(picker->GetCurrentColor(), kBlue);
  const gfx::Rect def = picker->GetDefaultBox();
  Move(*picker, {def.left + 10, def.top + 5});
  EXPECT_EQ(picker->GetHotEntry(), Picker::kEntryDefault);
  EXPECT_EQ(owner_.Take(), (std::vector<std::string>{Msg(2025, kOffTable), Msg(2025, kBlue)}));
  picker->DestroyWindow();
}

TEST_F(ColorPickerTest, EveryWayOfEndingReportsOnceAndClosesThePicker) {
  win::ScriptedPrompt prompt;
  win::ScopedPrompt scoped(prompt);
  struct Case {
    const char* name;
    int hover_cell;  // -1 none, -2 the custom entry
    std::vector<std::optional<uint32_t>> dialog;
    std::function<void(ColorPickerTest&, Picker&)> end;
    std::string want;
  };
  const auto key = [](int k) { return [k](ColorPickerTest& t, Picker&) { t.Key(k); }; };
  const auto click = [](gfx::Point owner_point) {
    return [owner_point](ColorPickerTest& t, Picker&) {
      win::Windows().MouseInput(t.owner_, win::kWmLButtonUp, owner_point);
    };
  };
  const Case kCases[] = {
      {"Enter on a cell", 16, {}, key(win::kVkReturn), Msg(2028, kRed)},
      {"Space on a cell", 13, {}, key(win::kVkSpace), Msg(2028, kBlue)},
      {"Escape after hovering", 16, {}, key(win::kVkEscape), Msg(2029, kOffTable)},
      {"click inside", 16, {}, click({30, 60}), Msg(2028, kRed)},
      {"click outside", 16, {}, click({150, 5}), Msg(2029, kOffTable)},
      {"custom entry, dialog OK", -2, {gfx::Rgb(9, 8, 7)}, key(win::kVkReturn), Msg(2028, gfx::Rgb(9, 8, 7))},
      {"custom entry, dialog cancelled", -2, {std::nullopt}, key(win::kVkReturn), Msg(2029, kOffTable)},
      {"another program activated",
       16,
       {},
       [](ColorPickerTest&, Picker& p) { p.SendMessage(win::kWmActivate, 0); },
       Msg(2029, kOffTable)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    for (const auto& answer : c.dialog) prompt.QueueColor(answer);
    prompt.ClearLog();
    Picker* picker = Open(kOffTable);
    ASSERT_NE(picker, nullptr);
    const win::WindowHandle handle = picker->Handle();
    if (c.hover_cell >= 0) {
      Move(*picker, CellCentre(*picker, c.hover_cell));
    } else if (c.hover_cell == -2) {
      Move(*picker, {picker->GetCustomBox().left + 10, picker->GetCustomBox().top + 5});
    }
    owner_.Take();
    c.end(*this, *picker);
    EXPECT_EQ(owner_.Take(), (std::vector<std::string>{c.want}));
    EXPECT_EQ(win::Windows().FromHandle(handle), nullptr);
    EXPECT_EQ(win::Windows().GetCapture(), nullptr);
    EXPECT_EQ(prompt.Log().size(), c.dialog.size());
    if (!c.dialog.empty()) {
      EXPECT_EQ(prompt.Log()[0].text, std::to_string(kOffTable));
    }
  }
}

TEST_F(ColorPickerTest, ThePressedEntryFollowsTheInitialColour) {
  struct Case {
    const char* name;
    gfx::Color initial;
    bool with_default;
    bool with_custom;
    int want;
  };
  constexpr Case kCases[] = {{"the default colour", kBlue, true, true, Picker::kEntryDefault},
                             {"default colour without its entry", kBlue, false, true, 13},
                             {"a table colour", kRed, true, true, 16},
                             {"another colour", kOffTable, true, true, Picker::kEntryCustom},
                             {"another colour, no custom entry", kOffTable, true, false, Picker::kEntryNone}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Picker* picker = Open(c.initial, c.with_default, c.with_custom);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->GetChosenEntry(), c.want);
    picker->DestroyWindow();
  }
}

TEST_F(ColorPickerTest, ACellShowsItsNameAfterThePointerRests) {
  Picker* picker = Open(kRed);
  ASSERT_NE(picker, nullptr);
  Move(*picker, CellCentre(*picker, 35));
  clock_.Advance(win::Windows().NextTimerDelayMs().value_or(0));
  win::Windows().FireDueTimers();
  ASSERT_TRUE(win::Windows().CurrentToolTip().has_value());
  EXPECT_EQ(win::Windows().CurrentToolTip()->text, "Pale Green ");
  Move(*picker, CellCentre(*picker, 0));
  EXPECT_FALSE(win::Windows().CurrentToolTip().has_value());
  picker->DestroyWindow();
}

TEST_F(ColorPickerTest, GoldenDisplayList) {
  Picker* picker = Open(kRed);
  ASSERT_NE(picker, nullptr);
  Move(*picker, CellCentre(*picker, 10));
  picker->Invalidate();
  win::Windows().RunPending();
  testsupport::ExpectScreenGolden("dialogs", "optiontree_b_color_picker",
                                  testsupport::RecordedScreen(*picker));
  picker->DestroyWindow();
}

// ---------------------------------------------------------------------------------------------
// The colour button

class ColorButtonTest : public ColorPickerTest {
 protected:
  void SetUp() override {
    ColorPickerTest::SetUp();
    ASSERT_TRUE(button_.Create(&owner_, {10, 0, 60, 20}, win::kWsChild | win::kWsVisible, 1200));
  }
  void TearDown() override {
    button_.DestroyWindow();
    ColorPickerTest::TearDown();
  }

  Picker* Press() {
    win::Windows().MouseInput(owner_, win::kWmLButtonDown, {20, 10});
    win::Windows().MouseInput(owner_, win::kWmLButtonUp, {20, 10});
    const std::vector<Picker*> pickers = OpenPickers();
    return pickers.empty() ? nullptr : pickers.back();
  }

  std::vector<std::string> Painted() {
    button_.Invalidate();
    win::Windows().RunPending();
    return win::Windows().RecordOf(button_)->paint->Lines();
  }

  COptionTreeFontSelColorButton button_;
};

bool AnyLineHas(const std::vector<std::string>& lines, const std::string& part) {
  for (const std::string& line : lines) {
    if (line.find(part) != std::string::npos) return true;
  }
  return false;
}

TEST_F(ColorButtonTest, ANewButtonShowsTheDefaultColourAndADisabledOneNoSwatch) {
  EXPECT_EQ(button_.GetColor(), COptionTreeFontSelColorButton::kAutomaticColor);
  const gfx::Color workspace = button_.GetDefaultColor();
  std::vector<std::string> lines = Painted();
  const auto fills = [&](gfx::Color c) {
    gfx::RecordingCanvas probe;
    probe.FillSolidRect({0, 0, 1, 1}, c);
    const std::string fill = probe.Lines().back();
    return AnyLineHas(lines, fill.substr(fill.find("solid")));
  };
  EXPECT_TRUE(fills(workspace));
  button_.SetColor(kRed);
  lines = Painted();
  EXPECT_TRUE(fills(kRed));
  EXPECT_FALSE(fills(workspace));
  button_.EnableWindow(false);
  lines = Painted();
  EXPECT_FALSE(fills(kRed));
  EXPECT_TRUE(fills(win::GetSysColor(win::SysColor::kGrayText)));  // the arrow
}

TEST_F(ColorButtonTest, RelaysThePickToItsParent) {
  button_.SetColor(kRed);
  struct Case {
    const char* name;
    bool track;
    int hover_cell;
    int key;
    std::vector<std::string> want;
    gfx::Color color_after;
  };
  const Case kCases[] = {
      {"the same colour again",
       false,
       -1,
       win::kVkReturn,
       {Msg(2026, kRed), Msg(2027, kRed), Msg(2028, kRed)},
       kRed},
      {"another colour",
       false,
       13,
       win::kVkReturn,
       {Msg(2026, kRed), Msg(2025, kBlue), Msg(2027, kBlue), Msg(2028, kBlue), Msg(2025, kBlue)},
       kBlue},
      {"cancelled after a preview",
       true,
       16,
       win::kVkEscape,
       {Msg(2026, kBlue), Msg(2025, kRed), Msg(2027, kBlue), Msg(2029, kBlue)},
       kBlue},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    button_.SetTrackSelection(c.track);
    owner_.Take();
    Picker* picker = Press();
    ASSERT_NE(picker, nullptr);
    EXPECT_TRUE(button_.IsPickerOpen());
    // Opened at the button's lower-left corner.
    EXPECT_EQ(picker->GetWindowRect().left, 110);
    EXPECT_EQ(picker->GetWindowRect().top, 120);
    if (c.hover_cell >= 0) {
      Move(*picker, CellCentre(*picker, c.hover_cell));
      if (c.track) {
        EXPECT_EQ(button_.GetColor(), TableColor(c.hover_cell));
      }
    }
    Key(c.key);
    EXPECT_TRUE(OpenPickers().empty());
    EXPECT_FALSE(button_.IsPickerOpen());
    EXPECT_EQ(owner_.Take(), c.want);
    EXPECT_EQ(button_.GetColor(), c.color_after);
  }
}

// ---------------------------------------------------------------------------------------------
// The colour item

TEST(ColorItemText, IsWrittenRedFirstInHexOrAsRgb) {
  struct Case {
    gfx::Color color;
    bool hex;
    const char* want;
  };
  constexpr Case kCases[] = {{kRed, true, "#FF0000"},
                             {kBlue, true, "#0000FF"},
                             {gfx::Rgb(0x12, 0xAB, 0x0C), true, "#12AB0C"},
                             {kBlue, false, "RGB (0, 0, 255)"},
                             {gfx::Rgb(1, 2, 3), false, "RGB (1, 2, 3)"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.want);
    COptionTreeColorItem item;
    item.SetColor(c.color);
    item.SetOption(ColorOptionHexText, c.hex ? 1 : 0);
    EXPECT_EQ(item.GetValueText(), c.want);
  }
}

class ColorItemTest : public ColorPickerTest {
 protected:
  void SetUp() override {
    ColorPickerTest::SetUp();
    ASSERT_TRUE(dialog_.Create(nullptr, {0, 0, 400, 300}, win::kWsPopup | win::kWsVisible));
    ASSERT_TRUE(tree_.Create(win::kWsChild | win::kWsVisible, {0, 0, 400, 300}, &dialog_, 0, 100));
    tree_.SetNotifyWindow(1, &dialog_);
    COptionTreeItem* category = tree_.InsertItem(new COptionTreeItem);
    category->SetLabelText("Colours");
    item_ = new COptionTreeColorItem;
    item_->SetLabelText("Trace");
    tree_.InsertItem(item_, category);
    ASSERT_TRUE(item_->CreateColorWindow(0, kRed, kBlue));
    EXPECT_FALSE(item_->CreateColorWindow(0, kRed, kBlue));
    tree_.ExpandAll();
    Paint();
    item_->CommitChanges();  // the first commit of a new item always notifies
    dialog_.Take();
  }
  void TearDown() override {
    tree_.DestroyWindow();
    dialog_.DestroyWindow();
    ColorPickerTest::TearDown();
  }

  void Paint() {
    tree_.GetListWindow().Invalidate();
    win::Windows().RunPending();
  }

  // Activates the item and clicks its window; returns the picker that opened.
  Picker* OpenFromItem() {
    tree_.SetFocusedItem(item_);
    item_->Activate();
    EXPECT_TRUE(item_->IsWindowVisible());
    EXPECT_TRUE(item_->HasFocus());
    const gfx::Point at = item_->OffsetInTopLevel();
    win::Windows().MouseInput(dialog_, win::kWmLButtonUp, {at.x + 30, at.y + 5});
    EXPECT_FALSE(item_->IsWindowVisible());
    const std::vector<Picker*> pickers = OpenPickers();
    return pickers.empty() ? nullptr : pickers.back();
  }

  MessageLog dialog_;
  COptionTree tree_;
  COptionTreeColorItem* item_ = nullptr;
};

TEST_F(ColorItemTest, AChosenColourIsCommittedAndShownInTheRow) {
  Picker* picker = OpenFromItem();
  ASSERT_NE(picker, nullptr);
  EXPECT_EQ(picker->GetInitialColor(), kRed);
  EXPECT_EQ(picker->GetChosenEntry(), 16);
  // Opened at the pointer.
  const gfx::Point at = win::Windows().CursorPos();
  EXPECT_EQ((gfx::Point{picker->GetWindowRect().left, picker->GetWindowRect().top}), at);
  Move(*picker, CellCentre(*picker, 13));
  EXPECT_EQ(item_->GetColor(), kRed);  // no tracking
  Key(win::kVkReturn);
  EXPECT_TRUE(OpenPickers().empty());
  EXPECT_EQ(item_->GetColor(), kBlue);
  EXPECT_EQ(dialog_.Take(), (std::vector<std::string>{"notify " + std::to_string(NotifyItemChanged)}));
  Paint();
  const std::vector<std::string> lines = win::Windows().RecordOf(tree_.GetListWindow())->paint->Lines();
  EXPECT_TRUE(AnyLineHas(lines, "RGB (0, 0, 255)"));
}

TEST_F(ColorItemTest, TrackingFollowsThePreviewAndACancelRestoresTheColour) {
  item_->SetOption(ColorOptionTrack, 1);
  Picker* picker = OpenFromItem();
  ASSERT_NE(picker, nullptr);
  Move(*picker, CellCentre(*picker, 26));
  EXPECT_EQ(item_->GetColor(), TableColor(26));
  Paint();
  EXPECT_TRUE(
      AnyLineHas(win::Windows().RecordOf(tree_.GetListWindow())->paint->Lines(), "RGB (255, 255, 0)"));
  Key(win::kVkEscape);
  EXPECT_EQ(item_->GetColor(), kRed);
  EXPECT_TRUE(dialog_.Take().empty());
}

}  // namespace
}  // namespace dialogs

// ---------------------------------------------------------------------------------------------
// The image picker and the image item

namespace dialogs {
namespace {

constexpr gfx::Color kT = COptionTreeImageItem::kTransparentColor;

// A test picture: a black outline around a fill, transparent top-left corner pixel.
gfx::Bitmap Picture(int w, int h, gfx::Color fill) {
  gfx::Bitmap b(w, h, fill);
  for (int x = 0; x < w; ++x) {
    b.SetPixel(x, 0, 0);
    b.SetPixel(x, h - 1, 0);
  }
  for (int y = 0; y < h; ++y) {
    b.SetPixel(0, y, 0);
    b.SetPixel(w - 1, y, 0);
  }
  b.SetPixel(0, 0, kT);
  return b;
}

win::ImageList Images(int count, int w, int h) {
  win::ImageList list(w, h, kT);
  for (int i = 0; i < count; ++i) list.Add(Picture(w, h, gfx::Rgb(static_cast<uint8_t>(30 * i), 100, 200)));
  return list;
}

class ImagePickerTest : public ColorPickerTest {
 protected:
  void SetUp() override {
    ColorPickerTest::SetUp();
    ASSERT_TRUE(tree_.Create(win::kWsChild | win::kWsVisible, {0, 0, 200, 20}, &owner_, 0, 100));
  }
  void TearDown() override {
    tree_.DestroyWindow();
    ColorPickerTest::TearDown();
  }

  COptionTreeImagePicker* Open(const win::ImageList& images, int columns, int selected) {
    COptionTreeImagePickerArgs args;
    args.x = 100;
    args.y = 120;
    args.image_width = images.ImageSize().cx;
    args.image_height = images.ImageSize().cy;
    args.columns = columns;
    args.images = &images;
    args.tree = &tree_;
    for (int i = 0; i < images.Count(); ++i) args.texts.push_back("Image " + std::to_string(i));
    args.selected = selected;
    args.owner = &owner_;
    auto* picker = new COptionTreeImagePicker(std::move(args));
    return picker->IsWindow() ? picker : nullptr;
  }

  static std::string Picked(int index) { return "2025:0 " + std::to_string(index); }

  COptionTree tree_;
};

// The owner log shows wparam only; the picker's index travels in lparam.
class IndexLog : public win::Window {
 public:
  std::vector<int> picked;

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override {
    if (message == COptionTreeImagePicker::kWmImagePickerSelection) {
      picked.push_back(static_cast<int>(lparam));
      return 0;
    }
    return win::Window::WindowProc(message, wparam, lparam);
  }
};

TEST_F(ImagePickerTest, LaysOutTheImagesInRowsOfTheColumnsGiven) {
  struct Case {
    const char* name;
    int count;
    int columns;
    int want_columns;
    int want_rows;
  };
  constexpr Case kCases[] = {{"seven in three columns", 7, 3, 3, 3},
                             {"columns 0 become 3", 7, 0, 3, 3},
                             {"one row", 4, 4, 4, 1},
                             {"no images: a square of empty cells", 0, 3, 3, 3}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const win::ImageList images = Images(c.count, 32, 24);
    COptionTreeImagePicker* picker = Open(images, c.columns, 0);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->GetColumns(), c.want_columns);
    EXPECT_EQ(picker->GetRows(), c.want_rows);
    const gfx::Rect rect = picker->GetWindowRect();
    EXPECT_EQ(rect.Width(), 10 + c.want_columns * 32 + (c.want_columns - 1) * 10 + 10);
    EXPECT_EQ(rect.Height(), 10 + c.want_rows * 24 + (c.want_rows - 1) * 10 + 10);
    const int col = 3 % c.want_columns;
    const int row = 3 / c.want_columns;
    EXPECT_EQ(picker->CellRects().at(3),
              (gfx::Rect{10 + col * 42, 10 + row * 34, 10 + col * 42 + 32, 10 + row * 34 + 24}));
    EXPECT_EQ(picker->ToolTips().ToolCount(), static_cast<size_t>(c.count));
    win::Windows().RunPending();
    const std::vector<std::string> lines = win::Windows().RecordOf(*picker)->paint->Lines();
    EXPECT_EQ(AnyLineHas(lines, "\"No Images.\""), c.count == 0);
    picker->DestroyWindow();
  }
}

TEST_F(ImagePickerTest, KeysMoveTheSelectionAndEveryCloseReportsIt) {
  const win::ImageList images = Images(7, 16, 16);
  IndexLog receiver;
  ASSERT_TRUE(receiver.Create(nullptr, {0, 0, 10, 10}, win::kWsPopup));
  struct Case {
    const char* name;
    int selected;
    std::vector<int> keys;
    std::vector<int> want;  // indices reported, in order
    bool stays_open;
  };
  const int L = win::kVkLeft, R = win::kVkRight, U = win::kVkUp, D = win::kVkDown;
  const Case kCases[] = {
      {"Escape reports the index moved to", 0, {R, R, D, D, L, U, win::kVkEscape}, {1}, false},
      {"Enter reports twice", 6, {R, U, win::kVkReturn}, {3, 3}, false},
      {"edges hold", 0, {L, U, D, D, D, R, R, R}, {}, true},
      {"without a selection keys do nothing", -1, {R, D, win::kVkReturn, win::kVkEscape}, {}, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    receiver.picked.clear();
    COptionTreeImagePickerArgs args;
    args.x = 100;
    args.y = 120;
    args.image_width = 16;
    args.image_height = 16;
    args.columns = 3;
    args.images = &images;
    args.tree = &tree_;
    args.selected = c.selected;
    args.owner = &receiver;
    auto* picker = new COptionTreeImagePicker(std::move(args));
    const win::WindowHandle handle = picker->Handle();
    for (const int key : c.keys) Key(key);
    EXPECT_EQ(receiver.picked, c.want);
    EXPECT_EQ(win::Windows().FromHandle(handle) != nullptr, c.stays_open);
    if (c.stays_open) {
      if (c.selected == 0) {
        EXPECT_EQ(picker->GetSelection(), 6);
      }
      picker->DestroyWindow();
    }
  }
  receiver.DestroyWindow();
}

TEST_F(ImagePickerTest, AClickPicksAnImageAndBetweenImagesStaysOpen) {
  const win::ImageList images = Images(7, 16, 16);
  IndexLog receiver;
  ASSERT_TRUE(receiver.Create(nullptr, {0, 0, 10, 10}, win::kWsPopup));
  struct Case {
    const char* name;
    gfx::Point at;  // picker client coordinates
    std::vector<int> want;
    bool stays_open;
  };
  // Cells are 16 wide from x = 10, 26 apart; image 2 is selected and counts 3 pixels larger.
  const Case kCases[] = {{"on image 4", {40, 40}, {4, 4}, false},
                         {"between images", {30, 20}, {}, true},
                         {"beside the selected image, inside its frame", {64, 20}, {2, 2}, false},
                         {"outside the window", {-20, -20}, {2, 2}, false}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    receiver.picked.clear();
    COptionTreeImagePickerArgs args;
    args.x = 100;
    args.y = 120;
    args.image_width = 16;
    args.image_height = 16;
    args.columns = 3;
    args.images = &images;
    args.tree = &tree_;
    args.selected = 2;
    args.owner = &receiver;
    auto* picker = new COptionTreeImagePicker(std::move(args));
    const win::WindowHandle handle = picker->Handle();
    win::Windows().MouseInput(*picker, win::kWmLButtonUp, c.at);
    EXPECT_EQ(receiver.picked, c.want);
    EXPECT_EQ(win::Windows().FromHandle(handle) != nullptr, c.stays_open);
    if (c.stays_open) picker->DestroyWindow();
  }
  receiver.DestroyWindow();
}

TEST_F(ImagePickerTest, GoldenDisplayList) {
  const win::ImageList images = Images(7, 16, 16);
  COptionTreeImagePicker* picker = Open(images, 3, 2);
  ASSERT_NE(picker, nullptr);
  win::Windows().MouseInput(*picker, win::kWmMouseMove, {40, 40});
  win::Windows().RunPending();
  testsupport::ExpectScreenGolden("dialogs", "optiontree_b_image_picker",
                                  testsupport::RecordedScreen(*picker));
  picker->DestroyWindow();
}

class ImageItemTest : public ColorItemTest {
 protected:
  void SetUp() override {
    ColorItemTest::SetUp();
    image_ = new COptionTreeImageItem;
    image_->SetLabelText("Symbol");
    tree_.InsertItem(image_, tree_.GetRootItem()->GetChild());
    ASSERT_TRUE(image_->CreateImageWindow(0, 32, 32, 3));
    image_->AddIcon(Picture(32, 32, kRed), "Heart");
    gfx::Bitmap masked = Picture(32, 32, kBlue);
    masked.SetPixel(5, 5, gfx::Rgb(0, 255, 0));
    image_->AddBitmap(masked, gfx::Rgb(0, 255, 0), "");
    tree_.ExpandAll();
    Paint();
    image_->CommitChanges();
    dialog_.Take();
  }

  // The pictures the last paint of the list drew for the image row (the shown part of masked
  // drawings).
  std::vector<std::shared_ptr<const gfx::Bitmap>> DrawnPictures() {
    std::vector<std::shared_ptr<const gfx::Bitmap>> pictures;
    for (const gfx::DisplayItem& item : win::Windows().RecordOf(tree_.GetListWindow())->paint->Items()) {
      if (const auto* bitmap = std::get_if<gfx::rec::DrawBitmap>(&item);
          bitmap && bitmap->rop == gfx::kSrcPaint)
        pictures.push_back(bitmap->bitmap);
    }
    return pictures;
  }

  COptionTreeImageItem* image_ = nullptr;
};

TEST_F(ImageItemTest, TheRowIsTheImageHeightPlusTwentyHigh) {
  EXPECT_EQ(image_->GetHeight(), 52);
  EXPECT_EQ(image_->GetItemKind(), kOptionItemImage);
  EXPECT_EQ(image_->GetImageCount(), 2);
}

TEST_F(ImageItemTest, ShowsTheSelectedImageAndItsText) {
  struct Case {
    const char* name;
    int selection;
    bool show_text;
    const char* text;  // nullptr: no text drawn at all
    size_t pictures;
  };
  constexpr Case kCases[] = {{"no selection", -1, true, "No selection made.", 0},
                             {"beyond the last image", 2, true, "No selection made.", 0},
                             {"with its text", 0, true, "Heart", 1},
                             {"text option off", 0, false, nullptr, 1},
                             {"an empty text", 1, true, nullptr, 1}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    image_->SetSelection(c.selection);
    image_->SetOption(ImageOptionShowText, c.show_text ? 1 : 0);
    Paint();
    const std::vector<std::string> lines = win::Windows().RecordOf(tree_.GetListWindow())->paint->Lines();
    if (c.text != nullptr) {
      EXPECT_TRUE(AnyLineHas(lines, c.text));
    } else {
      EXPECT_FALSE(AnyLineHas(lines, "Heart"));
      EXPECT_FALSE(AnyLineHas(lines, "No selection made."));
    }
    EXPECT_EQ(DrawnPictures().size(), c.pictures);
  }
}

TEST_F(ImageItemTest, AReadOnlyRowDrawsTheImageGreyAndKeepsBlack) {
  image_->SetSelection(0);
  for (const bool read_only : {false, true}) {
    SCOPED_TRACE(read_only ? "read-only" : "normal");
    image_->SetReadOnly(read_only);
    Paint();
    const auto pictures = DrawnPictures();
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0]->GetPixel(0, 5), gfx::Rgb(0, 0, 0));
    // 0.299 x 255 = 76.2
    EXPECT_EQ(pictures[0]->GetPixel(10, 10), read_only ? gfx::Rgb(76, 76, 76) : kRed);
  }
  const gfx::Bitmap gray = COptionTreeImageItem::MakeGrayIcon(Picture(4, 4, gfx::Rgb(0, 100, 0)));
  EXPECT_EQ(gray.GetPixel(0, 0), kT);
  EXPECT_EQ(gray.GetPixel(1, 1), gfx::Rgb(58, 58, 58));  // 0.587 x 100
}

TEST_F(ImageItemTest, APickedImageIsCommitted) {
  image_->SetSelection(0);
  tree_.SetFocusedItem(image_);
  image_->Activate();
  EXPECT_TRUE(image_->HasFocus());
  const gfx::Point at = image_->OffsetInTopLevel();
  win::Windows().MouseInput(dialog_, win::kWmLButtonUp, {at.x + 5, at.y + 5});
  COptionTreeImagePicker* picker = nullptr;
  for (win::Window* w : win::Windows().TopLevelWindows()) {
    if (auto* p = dynamic_cast<COptionTreeImagePicker*>(w)) picker = p;
  }
  ASSERT_NE(picker, nullptr);
  EXPECT_EQ(picker->GetSelection(), 0);
  Key(win::kVkRight);
  Key(win::kVkEscape);
  EXPECT_EQ(image_->GetSelection(), 1);
  EXPECT_EQ(dialog_.Take(), (std::vector<std::string>{"notify " + std::to_string(NotifyItemChanged)}));
}

}  // namespace
}  // namespace dialogs
