#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/frame_window.h"
#include "win/menu.h"
#include "win/toolbar_model.h"
#include "win/win_fixture.h"

namespace win {
namespace {

using testing_support::WinTest;

constexpr int kCmdShared = 100;   // handled by the child window and the view
constexpr int kCmdViewOnly = 101;
constexpr int kCmdDocument = 102;
constexpr int kCmdApp = 103;
constexpr int kCmdNobody = 104;
constexpr int kCmdFrame = 105;
constexpr int kCmdSecondChild = 106;  // the first child refuses it, the second takes it
constexpr int kModeFirst = 110;
constexpr int kModeLast = 112;

// A target that notes who ran which command.
class Noting {
 public:
  explicit Noting(std::vector<std::string>& log) : log_(log) {}
  std::function<void()> Note(std::string what) {
    return [&log = log_, what] { log.push_back(what); };
  }

 private:
  std::vector<std::string>& log_;
};

class Document : public CommandTarget {
 public:
  explicit Document(std::vector<std::string>& log) {
    Noting n(log);
    AddCommand(kCmdDocument, n.Note("document 102"));
    AddCommand(kCmdShared, n.Note("document 100"));
  }
};

class App : public CommandTarget {
 public:
  explicit App(std::vector<std::string>& log) {
    Noting n(log);
    AddCommand(kCmdApp, n.Note("app 103"));
  }
};

class ChildWindow : public Window {
 public:
  ChildWindow(std::string name, std::vector<std::string>& log, std::vector<int> commands) {
    Noting n(log);
    for (int id : commands) AddCommand(id, n.Note(name + " " + std::to_string(id)));
  }
};

// The main view's way: every child window may take a command before the view's own handlers.
class HostingView : public View {
 public:
  explicit HostingView(std::vector<std::string>& log) {
    Noting n(log);
    AddCommand(kCmdShared, n.Note("view 100"));
    AddCommand(kCmdViewOnly, n.Note("view 101"));
    AddUpdate(kCmdViewOnly, [](CmdUI& ui) { ui.Enable(false); });
    AddUpdate(kCmdShared, [this](CmdUI& ui) { ui.SetCheck(checked_); });
    AddCommandRange(kModeFirst, kModeLast, [this](int id) { mode_ = id; });
    AddUpdateRange(kModeFirst, kModeLast, [this](CmdUI& ui) { ui.SetRadio(ui.Id() == mode_); });
  }
  bool OnCmdMsg(CommandMessage& message) override {
    return OfferToChildren(*this, message) || View::OnCmdMsg(message);
  }
  int checked_ = 1;
  int mode_ = kModeFirst;
};

class Frame : public FrameWindow {
 public:
  explicit Frame(std::vector<std::string>& log) {
    Noting n(log);
    AddCommand(kCmdFrame, n.Note("frame 105"));
    AddUpdate(kCmdFrame, [](CmdUI& ui) { ui.SetText("Frame &command"); });
  }
};

class CommandRoutingTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    ASSERT_TRUE(frame_.Create(nullptr, {0, 0, 800, 600}, kWsPopup | kWsVisible));
    ASSERT_TRUE(view_.Create(&frame_, {0, 0, 800, 600}, kWsChild | kWsVisible));
    ASSERT_TRUE(first_.Create(&view_, {0, 0, 100, 100}, kWsChild | kWsVisible));
    ASSERT_TRUE(second_.Create(&view_, {100, 0, 200, 100}, kWsChild | kWsVisible));
    frame_.SetActiveView(&view_);
    view_.SetDocument(&document_);
    Windows().SetAppCommandTarget(&app_);
  }

  std::vector<std::string> log_;
  Document document_{log_};
  App app_{log_};
  Frame frame_{log_};
  HostingView view_{log_};
  ChildWindow first_{"first", log_, {kCmdShared}};
  ChildWindow second_{"second", log_, {kCmdShared, kCmdSecondChild}};
};

TEST_F(CommandRoutingTest, ACommandTravelsFrameViewChildrenViewDocumentApplication) {
  struct Case {
    const char* name;
    int id;
    std::vector<std::string> want;
    bool handled;
  };
  const Case cases[] = {
      {"first child in z-order takes it before the view", kCmdShared, {"first 100"}, true},
      {"a child that has no handler passes it to the next", kCmdSecondChild, {"second 106"}, true},
      {"the view's own handler after its children", kCmdViewOnly, {"view 101"}, true},
      {"the document after the view", kCmdDocument, {"document 102"}, true},
      {"the frame after view and document", kCmdFrame, {"frame 105"}, true},
      {"the application last", kCmdApp, {"app 103"}, true},
      {"nobody", kCmdNobody, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log_.clear();
    EXPECT_EQ(frame_.SendMessage(kWmCommand, MakeWParam(c.id, 0)) != 0, c.handled);
    EXPECT_EQ(log_, c.want);
  }
}

TEST_F(CommandRoutingTest, UpdateHandlersEnableCheckRadioAndRename) {
  const CmdUI view_only = UpdateCommand(frame_, kCmdViewOnly);
  EXPECT_EQ(view_only.Enabled(), false);  // the handler disables it although the view handles it

  const CmdUI shared = UpdateCommand(frame_, kCmdShared);
  EXPECT_EQ(shared.Enabled(), true);  // untouched: enabled because a handler exists
  EXPECT_EQ(shared.Check(), 1);

  EXPECT_EQ(UpdateCommand(frame_, kCmdNobody).Enabled(), false);  // no handler anywhere
  EXPECT_EQ(UpdateCommand(frame_, kCmdApp).Enabled(), true);
  EXPECT_FALSE(UpdateCommand(frame_, kCmdNobody, false).Enabled().has_value());
  EXPECT_EQ(UpdateCommand(frame_, kCmdFrame).Text(), "Frame &command");

  // The update pass runs no command.
  EXPECT_TRUE(log_.empty());

  // Radio marks follow the mode the range handler chose.
  ExecuteCommand(frame_, 111);
  EXPECT_EQ(UpdateCommand(frame_, 110).Radio(), false);
  EXPECT_EQ(UpdateCommand(frame_, 111).Radio(), true);
}

TEST_F(CommandRoutingTest, MenusAndToolbarsTakeTheirStateFromTheRoute) {
  Menu bar;
  Menu& view_menu = bar.AppendPopup("&View");
  view_menu.AppendItem(kCmdShared, "Shared");
  view_menu.AppendItem(kCmdViewOnly, "View only");
  view_menu.AppendSeparator();
  view_menu.AppendItem(110, "Mode 1");
  view_menu.AppendItem(111, "Mode 2");
  view_menu.AppendItem(kCmdNobody, "Nobody");
  view_menu.AppendItem(kCmdFrame, "Frame");
  frame_.SetMenu(bar);
  view_.mode_ = 111;
  frame_.OnInitMenuPopup(*frame_.GetMenu()->SubMenu(0));
  const Menu& menu = *frame_.GetMenu()->SubMenu(0);
  EXPECT_TRUE(menu.FindItem(kCmdShared)->enabled);
  EXPECT_EQ(menu.FindItem(kCmdShared)->check, 1);
  EXPECT_FALSE(menu.FindItem(kCmdViewOnly)->enabled);
  EXPECT_EQ(menu.FindItem(110)->check, 0);
  EXPECT_EQ(menu.FindItem(111)->check, 1);
  EXPECT_TRUE(menu.FindItem(111)->radio);
  EXPECT_FALSE(menu.FindItem(kCmdNobody)->enabled);
  EXPECT_EQ(menu.FindItem(kCmdFrame)->text, "Frame &command");

  ToolBarModel bar_model;
  bar_model.AddButton(kCmdShared, 0, ToolButtonStyle::kCheck);
  bar_model.AddSeparator();
  bar_model.AddButton(110, 1, ToolButtonStyle::kCheckGroup);
  bar_model.AddButton(111, 2, ToolButtonStyle::kCheckGroup);
  bar_model.AddButton(kCmdNobody, 3);
  frame_.AddToolBar(bar_model);
  frame_.UpdateToolBars();
  EXPECT_TRUE(bar_model.Find(kCmdShared)->checked);
  EXPECT_FALSE(bar_model.Find(110)->checked);
  EXPECT_TRUE(bar_model.Find(111)->checked);
  EXPECT_FALSE(bar_model.Find(kCmdNobody)->enabled);

  // Trimming by command id and by index, as the view does on a small screen.
  EXPECT_TRUE(bar_model.HideButton(110));
  EXPECT_TRUE(bar_model.Find(110)->hidden);
  EXPECT_TRUE(bar_model.DeleteButton(1));
  EXPECT_EQ(bar_model.CommandToIndex(110), 1u);
  EXPECT_TRUE(frame_.GetMenu()->DeleteItem(kCmdViewOnly));
  EXPECT_EQ(frame_.GetMenu()->FindItem(kCmdViewOnly), nullptr);
  EXPECT_FALSE(frame_.GetMenu()->DeleteItem(kCmdViewOnly));
}

TEST_F(CommandRoutingTest, FocusedChildRoutingOffersOnlyTheWindowWithTheFocus) {
  second_.SetFocus();
  CommandMessage message{kCmdShared, 0, CommandMessage::Kind::kExecute, nullptr, 0};
  EXPECT_TRUE(OfferToFocusedChild(view_, message));
  EXPECT_EQ(log_, std::vector<std::string>{"second 100"});
  Windows().SetFocus(nullptr);
  EXPECT_FALSE(OfferToFocusedChild(view_, message));
}

}  // namespace
}  // namespace win
