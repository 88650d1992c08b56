#include "qt/canvas_host.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "qt/event_pump.h"
#include "qt/image_canvas.h"
#include "qt/qt_menu.h"
#include "win/messages.h"
#include "win/popup_menu.h"

namespace qthost {
namespace {

unsigned MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  unsigned flags = 0;
  if (buttons & Qt::LeftButton) flags |= win::kMkLButton;
  if (buttons & Qt::RightButton) flags |= win::kMkRButton;
  if (buttons & Qt::MiddleButton) flags |= win::kMkMButton;
  if (modifiers & Qt::ShiftModifier) flags |= win::kMkShift;
  if (modifiers & Qt::ControlModifier) flags |= win::kMkControl;
  return flags;
}

gfx::Point ToPoint(const QPointF& p) { return {static_cast<int32_t>(p.x()), static_cast<int32_t>(p.y())}; }

// The local files of a drag; empty when it carries none (text, remote addresses).
std::vector<std::string> LocalFiles(const QMimeData* data) {
  std::vector<std::string> paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  }
  return paths;
}

// Whether a window of the tree below window (or window itself) takes dropped files.
bool AnyAcceptsFiles(const win::Window& window) {
  if ((window.GetExStyle() & win::kWsExAcceptFiles) != 0) return true;
  return std::any_of(window.Children().begin(), window.Children().end(),
                     [](const win::Window* child) { return AnyAcceptsFiles(*child); });
}

}  // namespace

// The Qt window of one top-level window of the tree. Forgets the window when it is destroyed;
// events after that do nothing.
class TopLevelWidget : public QWidget {
 public:
  TopLevelWidget(win::WindowSystem& windows, win::Window& window)
      : windows_(windows), window_(&window), handle_(window.Handle()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    if ((window.GetStyle() & win::kWsCaption) != win::kWsCaption)
      setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QString::fromStdString(window.GetWindowText()));
    SyncAcceptDrops();
    SyncGeometry();
  }

  // Qt offers drags only to a widget that accepts drops: one does while a window of its tree
  // takes files.
  void SyncAcceptDrops() {
    if (Alive()) setAcceptDrops(AnyAcceptsFiles(*window_));
  }

  QImage& Image() { return image_; }

  void Detach() {
    window_ = nullptr;
    hide();
  }

  // Takes position and size from the window; the backing store keeps what it holds.
  void SyncGeometry() {
    if (!Alive()) return;
    const gfx::Rect r = window_->GetWindowRect();
    const QSize size(std::max(1, r.Width()), std::max(1, r.Height()));
    if (image_.size() != size) {
      QImage resized(size, QImage::Format_RGB32);
      resized.fill(Qt::white);
      if (!image_.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, image_);
      }
      image_ = std::move(resized);
    }
    syncing_ = true;
    setGeometry(r.left, r.top, size.width(), size.height());
    syncing_ = false;
  }

 protected:
  bool event(QEvent* event) override {
    // Tab belongs to the window tree, not to Qt's focus chain.
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
        keyPressEvent(key);
        return true;
      }
    }
    return QWidget::event(event);
  }

  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
  }

  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    FollowQt();
  }

  void moveEvent(QMoveEvent* event) override {
    QWidget::moveEvent(event);
    FollowQt();
  }

  void mousePressEvent(QMouseEvent* event) override { Mouse(event, ButtonMessage(event->button(), true)); }
  void mouseReleaseEvent(QMouseEvent* event) override { Mouse(event, ButtonMessage(event->button(), false)); }
  void mouseMoveEvent(QMouseEvent* event) override { Mouse(event, win::kWmMouseMove); }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    const Qt::MouseButton b = event->button();
    Mouse(event, b == Qt::LeftButton    ? win::kWmLButtonDblClk
                 : b == Qt::RightButton ? win::kWmRButtonDblClk
                                        : ButtonMessage(b, true));
  }

  void wheelEvent(QWheelEvent* event) override {
    if (!Alive()) return;
    const int delta = std::clamp(event->angleDelta().y(), -32768, 32767);
    const unsigned flags = MouseFlags(event->buttons(), event->modifiers()) |
                           (static_cast<unsigned>(static_cast<uint16_t>(delta)) << 16);
    windows_.MouseInput(*window_, win::kWmMouseWheel, ToPoint(event->position()), flags);
  }

  void leaveEvent(QEvent* event) override {
    QWidget::leaveEvent(event);
    if (Alive()) windows_.MouseLeft(*window_);
  }

  void dragEnterEvent(QDragEnterEvent* event) override { OfferDrag(event); }
  void dragMoveEvent(QDragMoveEvent* event) override { OfferDrag(event); }

  void dropEvent(QDropEvent* event) override {
    std::vector<std::string> paths = LocalFiles(event->mimeData());
    const gfx::Point point = ToPoint(event->position());
    if (!Alive() || paths.empty() || windows_.DropTarget(*window_, point) == nullptr) {
      event->ignore();
      return;
    }
    event->acceptProposedAction();
    // Opening a recording may ask questions: the drag source is let go first, and the files
    // arrive from the event loop.
    QMetaObject::invokeMethod(
        this,
        [this, point, paths = std::move(paths)]() mutable {
          if (!Alive()) return;
          // No exception may leave the event loop's call.
          try {
            windows_.DeliverDroppedFiles(*window_, point, std::move(paths));
          } catch (const std::exception& e) {
            qWarning("dropped files: unhandled error: %s", e.what());
          }
        },
        Qt::QueuedConnection);
  }

  void keyPressEvent(QKeyEvent* event) override {
    if (!Alive()) return;
    SyncModifiers(event);
    const unsigned repeat_flag = event->isAutoRepeat() ? 0x4000 : 0;
    if (const int vk = VirtualKey(event->key()); vk != 0) {
      windows_.KeyInput(SystemKey(event) ? win::kWmSysKeyDown : win::kWmKeyDown, vk, repeat_flag);
    }
    if (SystemKey(event)) return;  // no characters from menu keys
    const QString text = event->text();
    for (const QChar c : text) {
      if (!Alive()) return;
      windows_.KeyInput(win::kWmChar, c.unicode(), repeat_flag);
    }
  }

  void keyReleaseEvent(QKeyEvent* event) override {
    if (!Alive() || event->isAutoRepeat()) return;
    SyncModifiers(event);
    if (const int vk = VirtualKey(event->key()); vk != 0) {
      windows_.KeyInput(SystemKey(event) ? win::kWmSysKeyUp : win::kWmKeyUp, vk, 0);
    }
  }

  void focusInEvent(QFocusEvent* event) override {
    QWidget::focusInEvent(event);
    if (Alive() && windows_.GetActiveWindow() != window_) windows_.SetActiveWindow(window_);
  }

  void focusOutEvent(QFocusEvent* event) override {
    QWidget::focusOutEvent(event);
    // The whole window lost the keyboard (another program's window took it).
    if (Alive() && event->reason() == Qt::ActiveWindowFocusReason) window_->SendMessage(win::kWmActivate, 0);
  }

  void closeEvent(QCloseEvent* event) override {
    // The window decides; when it ends, the host retires this widget.
    event->ignore();
    if (Alive()) window_->SendMessage(win::kWmClose);
  }

 private:
  bool Alive() const { return window_ != nullptr && windows_.FromHandle(handle_) == window_; }

  // The window system's modifier state follows every key (the accelerators ask it).
  void SyncModifiers(const QKeyEvent* event) {
    Qt::KeyboardModifiers modifiers = event->modifiers();
    // A modifier's own press or release is not yet, or still, in the event's modifiers.
    const bool press = event->type() == QEvent::KeyPress;
    const auto follow = [&](Qt::Key key, Qt::KeyboardModifier modifier) {
      if (event->key() == key) modifiers.setFlag(modifier, press);
    };
    follow(Qt::Key_Shift, Qt::ShiftModifier);
    follow(Qt::Key_Control, Qt::ControlModifier);
    follow(Qt::Key_Alt, Qt::AltModifier);
    windows_.SetKeyDown(win::kVkShift, modifiers.testFlag(Qt::ShiftModifier));
    windows_.SetKeyDown(win::kVkControl, modifiers.testFlag(Qt::ControlModifier));
    windows_.SetKeyDown(win::kVkMenu, modifiers.testFlag(Qt::AltModifier));
  }

  void OfferDrag(QDropEvent* event) {
    if (Alive() && !LocalFiles(event->mimeData()).empty() &&
        windows_.DropTarget(*window_, ToPoint(event->position())) != nullptr) {
      event->acceptProposedAction();
    } else {
      event->ignore();
    }
  }

  // Keys pressed with Alt, and F10, are the menu's: they arrive as system keys.
  static bool SystemKey(const QKeyEvent* event) {
    return (event->modifiers() & Qt::AltModifier) != 0 || event->key() == Qt::Key_Alt ||
           event->key() == Qt::Key_F10;
  }

  static uint32_t ButtonMessage(Qt::MouseButton button, bool down) {
    switch (button) {
      case Qt::RightButton:
        return down ? win::kWmRButtonDown : win::kWmRButtonUp;
      case Qt::MiddleButton:
        return down ? win::kWmMButtonDown : win::kWmMButtonUp;
      default:
        return down ? win::kWmLButtonDown : win::kWmLButtonUp;
    }
  }

  void Mouse(QMouseEvent* event, uint32_t message) {
    if (!Alive()) return;
    windows_.MouseInput(*window_, message, ToPoint(event->position()),
                        MouseFlags(event->buttons(), event->modifiers()));
  }

  // The user moved or resized the Qt window: the tree follows.
  void FollowQt() {
    if (syncing_ || !Alive()) return;
    const QRect g = geometry();
    const gfx::Rect r{g.x(), g.y(), g.x() + g.width(), g.y() + g.height()};
    if (r != window_->GetWindowRect()) window_->MoveWindow(r, true);
  }

  win::WindowSystem& windows_;
  win::Window* window_;
  win::WindowHandle handle_;
  QImage image_;
  bool syncing_ = false;
};

CanvasHost::CanvasHost(win::WindowSystem& windows, EventPump& pump) : QtHost(pump), windows_(windows) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    windows_.SetScreenSize({screen->geometry().width(), screen->geometry().height()});
  }
}

CanvasHost::~CanvasHost() {
  for (auto& [handle, widget] : widgets_) widget->Detach();
}

TopLevelWidget* CanvasHost::Find(const win::Window& top_level) const {
  const auto it = widgets_.find(top_level.Handle());
  return it == widgets_.end() ? nullptr : it->second.get();
}

QWidget* CanvasHost::WidgetOf(const win::Window& top_level) const { return Find(top_level); }

const QImage* CanvasHost::BackingStore(const win::Window& top_level) const {
  TopLevelWidget* widget = Find(top_level);
  return widget != nullptr ? &widget->Image() : nullptr;
}

gfx::DeviceInfo CanvasHost::ScreenDevice() const {
  gfx::DeviceInfo device;
  device.width_px = windows_.ScreenSize().cx;
  device.height_px = windows_.ScreenSize().cy;
  return device;
}

void CanvasHost::TopLevelCreated(win::Window& top_level) {
  if (Find(top_level) != nullptr) return;
  auto widget = std::make_unique<TopLevelWidget>(windows_, top_level);
  TopLevelWidget* owner_widget = top_level.GetOwner() != nullptr ? Find(*top_level.GetOwner()) : nullptr;
  if (owner_widget != nullptr) TieToOwner(*widget, *owner_widget);
  if (top_level.IsWindowVisible()) widget->show();
  TopLevelWidget& shown = *widget;
  widgets_.emplace(top_level.Handle(), std::move(widget));
  // Windows it owns may have come first (the splash, made while the frame is created).
  for (win::Window* top : windows_.TopLevelWindows()) {
    if (top->GetOwner() != &top_level) continue;
    if (TopLevelWidget* owned = Find(*top)) TieToOwner(*owned, shown);
  }
  if (top_level.IsWindowVisible()) RaiseOwnedWindows(top_level);
  top_level.Invalidate(true);
  Pump().Schedule();
}

void CanvasHost::TopLevelDestroyed(win::Window& top_level) {
  const auto it = widgets_.find(top_level.Handle());
  if (it == widgets_.end()) return;
  it->second->Detach();
  retired_.push_back(std::move(it->second));
  widgets_.erase(it);
  QMetaObject::invokeMethod(
      &receiver_, [this] { retired_.clear(); }, Qt::QueuedConnection);
}

void CanvasHost::WindowChanged(win::Window& window, unsigned what) {
  if (what & win::kChangedAcceptFiles) {
    if (win::Window* top = window.GetTopLevel(); top != nullptr) {
      if (TopLevelWidget* widget = Find(*top)) widget->SyncAcceptDrops();
    }
  }
  if (window.IsChild()) return;  // children are drawn into their top-level window
  TopLevelWidget* widget = Find(window);
  if (widget == nullptr) return;
  if (what & win::kChangedRect) widget->SyncGeometry();
  if (what & win::kChangedText) widget->setWindowTitle(QString::fromStdString(window.GetWindowText()));
  if (what & win::kChangedVisible) {
    widget->setVisible(window.IsWindowVisible());
    if (window.IsWindowVisible()) RaiseOwnedWindows(window);
  }
}

void CanvasHost::TieToOwner(QWidget& owned, QWidget& owner) {
  // A window manager then keeps the owned window above its owner.
  owned.winId();
  owner.winId();
  if (owned.windowHandle() != nullptr) owned.windowHandle()->setTransientParent(owner.windowHandle());
}

void CanvasHost::RaiseOwnedWindows(const win::Window& owner) {
  // Owned windows stay above their owner, also where no window manager stacks them.
  for (win::Window* top : windows_.TopLevelWindows()) {
    if (top->GetOwner() != &owner || !top->IsWindowVisible()) continue;
    if (TopLevelWidget* widget = Find(*top)) {
      widget->raise();
      RaiseOwnedWindows(*top);
    }
  }
}

void CanvasHost::ShowToolTip(win::Window& owner, gfx::Point screen_point, std::string_view text) {
  win::Window* top = owner.GetTopLevel();
  TopLevelWidget* widget = top != nullptr ? Find(*top) : nullptr;
  const QString tip = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  QToolTip::showText(QPoint(screen_point.x, screen_point.y), tip, widget);
}

void CanvasHost::HideToolTip() { QToolTip::hideText(); }

std::unique_ptr<gfx::Canvas> CanvasHost::CanvasOn(win::Window& window, const gfx::Rect& visible_clip) {
  win::Window* top = window.GetTopLevel();
  TopLevelWidget* widget = top != nullptr ? Find(*top) : nullptr;
  if (widget == nullptr) return nullptr;
  const gfx::Point offset = window.OffsetInTopLevel();
  auto canvas = std::make_unique<ImageCanvas>(widget->Image(), QPoint(offset.x, offset.y), ScreenDevice());
  canvas->SetSystemClip(visible_clip);
  canvas->SetReleaseHandler(RepaintOnRelease(widget));
  return canvas;
}

std::unique_ptr<gfx::Canvas> CanvasHost::CreateCanvas(win::Window& window, const gfx::Rect& clip) {
  return CanvasOn(window, gfx::Intersect(window.VisibleClientRect(), clip));
}

std::unique_ptr<gfx::Canvas> CanvasHost::CreateClientCanvas(win::Window& window, const gfx::Rect& clip) {
  std::unique_ptr<gfx::Canvas> canvas = CreateCanvas(window, clip);
  if (auto* image = dynamic_cast<ImageCanvas*>(canvas.get())) {
    win::Window* top = window.GetTopLevel();
    image->SetChangeHandler(RepaintOnRelease(top != nullptr ? Find(*top) : nullptr));
  }
  return canvas;
}

std::unique_ptr<gfx::Canvas> CanvasHost::CreateWindowCanvas(win::Window& window, const gfx::Rect& clip) {
  return CanvasOn(window, gfx::Intersect(window.VisibleWindowRect(), clip));
}

std::optional<int> CanvasHost::RunPopup(HostMenu& menu, const QPoint& at, win::Window* owner) {
  std::optional<int> chosen;
  QObject::connect(&menu, &QMenu::triggered, &menu, [&chosen](QAction* action) {
    if (action->data().isValid()) chosen = action->data().toInt();
  });
  menu.popup(at);
  // The menu closes before its action triggers, in the same event.
  windows_.RunModalLoop([&menu] { return !menu.isVisible(); }, owner);
  if (menu.isVisible()) menu.hide();
  return chosen;
}

std::optional<int> CanvasHost::TrackPopupMenu(const win::PopupRequest& request) {
  if (request.menu == nullptr) return 0;
  HostMenu menu;
  menu.AddEntries(*request.menu);
  menu.SetMenuBarKeys(request.menu_bar);
  const win::WindowHandle owner = request.owner != nullptr ? request.owner->Handle() : 0;
  if ((request.flags & win::kTpmNoNotify) == 0 && owner != 0) {
    // The status bar shows the prompt of the lit entry.
    QObject::connect(&menu, &QMenu::hovered, &menu, [this, owner](QAction* action) {
      win::Window* window = windows_.FromHandle(owner);
      if (window == nullptr || action->isSeparator()) return;
      int flags = action->isEnabled() ? 0 : win::kMfGrayed;
      int id = action->data().isValid() ? action->data().toInt() : 0;
      if (action->menu() != nullptr) {
        flags |= win::kMfPopup;
        id = 0;
      }
      window->SendMessage(win::kWmMenuSelect, win::MakeWParam(id, flags), 0);
    });
  }
  const QSize size = menu.sizeHint();
  const gfx::Rect place = win::PopupMenuRect(request.screen_point, {size.width(), size.height()},
                                             request.flags, windows_.ScreenSize());
  if (request.keyboard) {
    // Lit once shown: QMenu drops an active action set before it pops up.
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&menu] {
      QMetaObject::invokeMethod(
          &menu, [&menu] { menu.LightFirstEntry(); }, Qt::QueuedConnection);
    });
  }
  const std::optional<int> chosen = RunPopup(menu, QPoint(place.left, place.top), request.owner);
  if (chosen) return *chosen;
  return menu.KeyEnding();
}

std::optional<int> CanvasHost::ShowDropDownList(const win::PopupRequest& request) {
  HostMenu menu;
  menu.AddListEntries(request.items);
  const gfx::Rect box = request.screen_rect;
  menu.setMinimumWidth(std::max(box.Width(), 0));
  const QList<QAction*> actions = menu.actions();
  if (request.current >= 0 && request.current < actions.size()) {
    QAction* lit = actions[request.current];
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&menu, lit] {
      QMetaObject::invokeMethod(
          &menu, [&menu, lit] { menu.setActiveAction(lit); }, Qt::QueuedConnection);
    });
  }
  // Below the box, above it where the screen ends.
  const int height = menu.sizeHint().height();
  int top = box.bottom;
  if (top + height > windows_.ScreenSize().cy && box.top - height >= 0) top = box.top - height;
  return RunPopup(menu, QPoint(box.left, top), request.owner).value_or(-1);
}

}  // namespace qthost
