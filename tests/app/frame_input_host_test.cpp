// The Qt host's part of the main frame's input: tool tips as Qt's own pop-ups, files dropped on
// the frame's Qt window, the pointer leaving it, and Alt lighting the menu.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolTip>
#include <QUrl>
#include <QWidget>

#include "app/qt_app_fixture.h"
#include "core/core_ids.h"
#include "core/main_toolbars.h"
#include "core/menu_bar.h"
#include "core/splash_window.h"
#include "support/test_recordings.h"

namespace apptest {
namespace {

namespace fs = std::filesystem;

class FrameInputHostTest : public ScreenshotTest {
 protected:
  QWidget& StartFrame(std::vector<std::string> args = {}) {
    EXPECT_TRUE(Start(std::move(args)));
    Settle();
    if (CSplashWindow::Current() != nullptr) CSplashWindow::PreTranslateAppMessage(win::kWmLButtonDown);
    Settle();
    QWidget* widget = canvas_host_->WidgetOf(Frame());
    EXPECT_NE(widget, nullptr);
    return *widget;
  }

  // The centre of a main-toolbar button in the frame's client area (the Qt window's coordinates).
  QPoint ButtonPoint(int id) {
    CMainToolBar& bar = *Frame().GetMainToolBar();
    const gfx::Rect r = bar.ButtonRect(bar.Model().CommandToIndex(id).value_or(0));
    const gfx::Point p = Frame().ScreenToClient(
        bar.ClientToScreen(gfx::Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
    return {p.x, p.y};
  }

  static void MoveMouse(QWidget& widget, QPoint point) {
    QMouseEvent move(QEvent::MouseMove, QPointF(point), QPointF(widget.mapToGlobal(point)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &move);
  }

  static void Key(QWidget& widget, QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(type, key, modifiers);
    QCoreApplication::sendEvent(&widget, &event);
  }
};

TEST_F(FrameInputHostTest, ToolTipShowsAsAQtPopUpAndLeavingTheWindowEndsIt) {
  QWidget& widget = StartFrame();
  MoveMouse(widget, ButtonPoint(cmd::kFileOpen));
  clock_.Advance(ToolBarWnd::kToolTipDelayMs);
  Settle();
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text().toStdString(), "Open");
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Opens a recording");

  // The next button's tip replaces it at once.
  MoveMouse(widget, ButtonPoint(cmd::kFileSave));
  Settle();
  EXPECT_EQ(QToolTip::text().toStdString(), "Save");

  // The pointer leaves the Qt window: the prompt goes back to "Ready" and the tip is put away.
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&widget, &leave);
  Settle();
  EXPECT_EQ(Pane(CMainFrame::kPaneMessage), "Ready");
  EXPECT_FALSE(win::Windows().CurrentToolTip().has_value());
}

TEST_F(FrameInputHostTest, AFileDroppedOnTheQtWindowOpensInTheFrame) {
  const fs::path qrs = coretest::MakeSyntheticRecording(Folder("rec") / "00001", 2, {"Eva", "Berg", "55"});
  QWidget& widget = StartFrame();
  ASSERT_TRUE(widget.acceptDrops());
  const gfx::Rect view = Frame().GetView()->GetWindowRectInParent();
  const QPoint point((view.left + view.right) / 2, (view.top + view.bottom) / 2);

  // Text without files is refused.
  QMimeData text;
  text.setText("00001.QRS");
  QDragEnterEvent text_enter(point, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &text_enter);
  EXPECT_FALSE(text_enter.isAccepted());

  QMimeData files;
  files.setUrls({QUrl::fromLocalFile(QString::fromStdString(qrs.string()))});
  QDragEnterEvent enter(point, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(point), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &drop);
  EXPECT_TRUE(drop.isAccepted());
  Settle();
  EXPECT_EQ(Doc().GetPathName(), qrs.string());
  EXPECT_EQ(Frame().GetWindowText(), "KESTROVA ZK-470 Holter-ECG - 00001.QRS");
  EXPECT_EQ(Pane(CMainFrame::kPaneChannels), " 2 Channels : - analysed");
}

TEST_F(FrameInputHostTest, AltPressedAndReleasedOnTheQtWindowLightsTheMenu) {
  QWidget& widget = StartFrame();
  Key(widget, QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
  Key(widget, QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
  EXPECT_TRUE(Frame().GetMenuBar().InKeyboardMode());
  EXPECT_EQ(Frame().GetMenuBar().HotTitle(), 0);
  Key(widget, QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  EXPECT_EQ(Frame().GetMenuBar().HotTitle(), 1);
  Key(widget, QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  EXPECT_FALSE(Frame().GetMenuBar().InKeyboardMode());
  // The modifier state follows the keys: Ctrl pressed is seen, released is gone.
  Key(widget, QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier);
  EXPECT_TRUE(win::Windows().IsKeyDown(win::kVkControl));
  Key(widget, QEvent::KeyRelease, Qt::Key_Control, Qt::ControlModifier);
  EXPECT_FALSE(win::Windows().IsKeyDown(win::kVkControl));
}

}  // namespace
}  // namespace apptest
