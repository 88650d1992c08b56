#include "qt/qt_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTabBar>
#include <QTreeWidget>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "qt/event_pump.h"
#include "qt/image_canvas.h"
#include "qt/qt_menu.h"
#include "win/controls.h"
#include "win/dialog.h"
#include "win/messages.h"
#include "win/popup_menu.h"

namespace qthost {

struct DialogHost::Binding {
  win::WindowHandle handle = 0;
  QPointer<QWidget> widget;
  const Adaptor* adaptor = nullptr;
  bool top_level = false;
  bool painted = false;  // a window that draws itself: its widget shows image
  QImage image;
  unsigned dirty = 0;  // what changed since the last sync
  // The revisions of the list model the widget shows; ~0: none yet.
  uint64_t rows_seen = ~uint64_t{0};
  uint64_t selection_seen = ~uint64_t{0};
  uint64_t columns_seen = ~uint64_t{0};
  std::vector<QIcon> icons;  // the small image list's pictures
  const win::ImageList* icons_of = nullptr;
};

namespace {

constexpr char kHandleProperty[] = "zk_window";

QString ToQt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text) { return text.toStdString(); }

// A static's text without the "&" marks ("&&" is one "&").
QString WithoutMnemonic(std::string_view text) { return ToQt(win::WithoutMnemonic(text)); }

// Line ends as the fields keep them ("\r\n") and as Qt shows them ("\n").
QString ToQtLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c != '\r') out += c;
  }
  return ToQt(out);
}

std::string FromQtLines(const QString& text) {
  std::string out;
  for (const char c : text.toStdString()) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// One picture of an image list as an icon; a masked list's background becomes transparent.
QIcon IconOf(const win::ImageList& images, int index) {
  const gfx::Bitmap* image = images.Image(index);
  if (image == nullptr || image->IsEmpty()) return {};
  QImage picture(image->Width(), image->Height(), QImage::Format_ARGB32);
  for (int y = 0; y < image->Height(); ++y) {
    for (int x = 0; x < image->Width(); ++x) {
      const gfx::Color c = image->GetPixel(x, y);
      const bool background = images.MaskColor() && c == *images.MaskColor();
      picture.setPixel(x, y,
                       background ? qRgba(0, 0, 0, 0) : qRgb(gfx::RedOf(c), gfx::GreenOf(c), gfx::BlueOf(c)));
    }
  }
  return QIcon(QPixmap::fromImage(picture));
}

QFont ToQFont(const gfx::Font& font) {
  QFont q(ToQt(font.face));
  const int height = font.height == 0 ? 12 : std::abs(font.height);
  // A positive height counts the internal leading too: the characters are about 7/8 of it.
  q.setPixelSize(std::max(1, font.height > 0 ? height * 7 / 8 : height));
  q.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight == 0 ? 400 : font.weight, 100, 900)));
  q.setItalic(font.italic);
  q.setUnderline(font.underline);
  return q;
}

QRect ToQRect(const gfx::Rect& r) {
  return QRect(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height()));
}

win::WindowHandle HandleOf(const QObject* object) {
  for (const QObject* o = object; o != nullptr; o = o->parent()) {
    const QVariant value = o->property(kHandleProperty);
    if (value.isValid()) return static_cast<win::WindowHandle>(value.toULongLong());
  }
  return 0;
}

int VirtualKeyOf(int key) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return win::kVkReturn;
    case Qt::Key_Escape:
      return win::kVkEscape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return win::kVkTab;
    default:
      return 0;
  }
}

// The top-level Qt window of a window rendered as widgets; closing it asks the window.
class TopWidget : public QWidget {
 public:
  TopWidget(win::WindowSystem& windows, win::WindowHandle handle) : windows_(windows), handle_(handle) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (win::Window* window = windows_.FromHandle(handle_)) window->SendMessage(win::kWmClose);
  }

 private:
  win::WindowSystem& windows_;
  win::WindowHandle handle_;
};

// A child window that draws itself: shows what the window system painted into its image.
class PaintedWidget : public QWidget {
 public:
  explicit PaintedWidget(QImage& image, QWidget* parent) : QWidget(parent), image_(image) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
  }

 private:
  QImage& image_;
};

}  // namespace

// Hands Enter, Esc and Tab to the window tree, follows the focus, and passes keys and the mouse
// of drawn windows to them.
class DialogEventFilter : public QObject {
 public:
  explicit DialogEventFilter(DialogHost& host) : host_(host) {}

  bool eventFilter(QObject* object, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
        return Key(object, static_cast<QKeyEvent*>(event));
      case QEvent::FocusIn:
        FocusIn(object);
        return false;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove:
      case QEvent::MouseButtonDblClick:
        return Mouse(object, static_cast<QMouseEvent*>(event));
      case QEvent::Wheel:
        return Wheel(object, static_cast<QWheelEvent*>(event));
      default:
        return false;
    }
  }

 private:
  bool Key(QObject* object, QKeyEvent* event) {
    win::WindowSystem& windows = host_.windows_;
    win::Window* window = host_.Alive(HandleOf(object));
    if (window == nullptr) return false;
    const DialogHost::Binding* binding = host_.Find(window->Handle());
    const bool painted = binding != nullptr && binding->painted;
    // A window that draws itself gets every key, as it would on its own; a widget keeps its own
    // keys but those the dialog answers.
    int vk = painted ? VirtualKey(event->key()) : VirtualKeyOf(event->key());
    auto* edit = dynamic_cast<win::Edit*>(window);
    // A one-line edit has no use for Up and Down of its own; some fields step their value with them.
    if (vk == 0 && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
      if (edit != nullptr && !edit->IsMultiline())
        vk = event->key() == Qt::Key_Up ? win::kVkUp : win::kVkDown;
    }
    if (vk == 0 && !painted) return false;
    if (edit != nullptr && vk == win::kVkReturn && edit->IsMultiline()) {
      // Return in a multi-line field breaks the line, with Ctrl or Shift too; it never answers
      // the dialog.
      auto* text = qobject_cast<QPlainTextEdit*>(object);
      if (text == nullptr) text = qobject_cast<QPlainTextEdit*>(object->parent());
      if (text == nullptr || text->isReadOnly()) return false;
      text->insertPlainText(QStringLiteral("\n"));
      return true;
    }
    if (windows.GetFocus() != window && window->IsChild()) {
      ++host_.syncing_;
      windows.SetFocus(window);
      --host_.syncing_;
    }
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0 || event->key() == Qt::Key_Backtab;
    windows.SetKeyDown(win::kVkShift, shift);
    windows.SetKeyDown(win::kVkControl, (event->modifiers() & Qt::ControlModifier) != 0);
    if (vk != 0) {
      windows.KeyInput(win::kWmKeyDown, vk);
    }
    if (painted) {
      for (const QChar c : event->text()) windows.KeyInput(win::kWmChar, c.unicode());
    }
    if (vk != 0) windows.KeyInput(win::kWmKeyUp, vk);
    windows.SetKeyDown(win::kVkShift, false);
    windows.SetKeyDown(win::kVkControl, false);
    return true;
  }

  void FocusIn(QObject* object) {
    if (host_.syncing_ != 0) return;
    win::Window* window = host_.Alive(HandleOf(object));
    if (window == nullptr || host_.windows_.GetFocus() == window) return;
    ++host_.syncing_;
    host_.windows_.SetFocus(window);
    --host_.syncing_;
  }

  bool Mouse(QObject* object, QMouseEvent* event) {
    const win::WindowHandle handle = HandleOf(object);
    const DialogHost::Binding* binding = host_.Find(handle);
    win::Window* window = host_.Alive(handle);
    if (binding == nullptr || !binding->painted || window == nullptr || object != binding->widget)
      return false;
    win::Window* top = window->GetTopLevel();
    const gfx::Point offset = window->OffsetInTopLevel();
    const gfx::Point point{static_cast<int32_t>(event->position().x()) + offset.x,
                           static_cast<int32_t>(event->position().y()) + offset.y};
    uint32_t message = win::kWmMouseMove;
    const bool right = event->button() == Qt::RightButton;
    if (event->type() == QEvent::MouseButtonPress)
      message = right ? win::kWmRButtonDown : win::kWmLButtonDown;
    if (event->type() == QEvent::MouseButtonRelease) message = right ? win::kWmRButtonUp : win::kWmLButtonUp;
    if (event->type() == QEvent::MouseButtonDblClick)
      message = right ? win::kWmRButtonDblClk : win::kWmLButtonDblClk;
    unsigned flags = 0;
    if (event->buttons() & Qt::LeftButton) flags |= win::kMkLButton;
    if (event->buttons() & Qt::RightButton) flags |= win::kMkRButton;
    host_.windows_.MouseInput(*top, message, point, flags);
    return true;
  }

  // The wheel goes to the window that draws itself and has the focus in this dialog, else to
  // the one under the pointer; the widgets keep theirs.
  bool Wheel(QObject* object, QWheelEvent* event) {
    win::WindowSystem& windows = host_.windows_;
    win::Window* under = host_.Alive(HandleOf(object));
    if (under == nullptr) return false;
    win::Window* target = nullptr;
    win::Window* focus = windows.GetFocus();
    const DialogHost::Binding* focus_binding = focus != nullptr ? host_.Find(focus->Handle()) : nullptr;
    if (focus_binding != nullptr && focus_binding->painted && focus->GetTopLevel() == under->GetTopLevel()) {
      target = focus;
    } else if (const DialogHost::Binding* binding = host_.Find(under->Handle());
               binding != nullptr && binding->painted && object == binding->widget) {
      target = under;
    }
    if (target == nullptr) return false;
    const int delta = std::clamp(event->angleDelta().y(), -32768, 32767);
    if (delta == 0) return true;
    const QPoint global = event->globalPosition().toPoint();
    target->SendMessage(win::kWmMouseWheel, win::MakeWParam(0, delta),
                        win::MakeLParam(global.x(), global.y()));
    return true;
  }

  DialogHost& host_;
};

namespace {

using Action = std::function<void(win::Window&)>;
// Runs a user action on the control if it still exists, then shows the model's state again.
using Act = std::function<void(const Action&)>;

QLabel* MakeLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

// Brings the rows of a list widget in line with its model: applies the changes logged since the
// widget last looked, or builds all rows again when the log no longer reaches back that far.
// Ops: Count(), Clear(), Insert(row), Remove(row), Refresh(row) (texts from the model), Rebuild().
// True when the rows were rebuilt or cleared (the widget's selection is gone with them).
template <typename Ops>
bool MirrorRows(const win::RowChangeLog& log, uint64_t& seen, int model_count, Ops& ops) {
  std::vector<win::RowChangeLog::Change> changes;
  bool ok = log.Since(seen, changes);
  seen = log.Revision();
  if (ok && changes.empty() && ops.Count() == model_count) return false;
  bool cleared = false;
  std::vector<char> stale;  // rows inserted or changed, to be given their texts at the end
  if (ok) {
    stale.assign(static_cast<size_t>(ops.Count()), 0);
    for (const win::RowChangeLog::Change& change : changes) {
      const int rows = static_cast<int>(stale.size());
      switch (change.kind) {
        case win::RowChangeLog::Kind::kReset:
          ops.Clear();
          stale.clear();
          cleared = true;
          break;
        case win::RowChangeLog::Kind::kInserted:
          ok = change.row >= 0 && change.row <= rows;
          if (ok) {
            ops.Insert(change.row);
            stale.insert(stale.begin() + change.row, 1);
          }
          break;
        case win::RowChangeLog::Kind::kDeleted:
          ok = change.row >= 0 && change.row < rows;
          if (ok) {
            ops.Remove(change.row);
            stale.erase(stale.begin() + change.row);
          }
          break;
        case win::RowChangeLog::Kind::kChanged:
          ok = change.row >= 0 && change.row < rows;
          if (ok) stale[static_cast<size_t>(change.row)] = 1;
          break;
      }
      if (!ok) break;
    }
  }
  if (!ok || static_cast<int>(stale.size()) != model_count) {
    ops.Rebuild();
    return true;
  }
  for (int row = 0; row < model_count; ++row) {
    if (stale[static_cast<size_t>(row)] != 0) ops.Refresh(row);
  }
  return cleared;
}

}  // namespace

// How one kind of window is shown: the widget made for it, the user's actions connected back to
// the model, and the parts shown again when the window's text or state changed.
struct DialogHost::Adaptor {
  QWidget* (*create)(win::WindowSystem& windows, win::Window& window, QWidget* parent, Binding& binding);
  void (*connect)(QWidget* widget, const Act& act);
  void (*sync)(Binding& binding, win::Window& window, QWidget* widget);
};

namespace {

using Binding = DialogHost::Binding;
using Adaptor = DialogHost::Adaptor;

void ConnectClick(QWidget* widget, const Act& act) {
  auto* button = static_cast<QAbstractButton*>(widget);
  QObject::connect(button, &QAbstractButton::clicked, button,
                   [act] { act([](win::Window& w) { static_cast<win::Button&>(w).Click(); }); });
}

// ----- top-level windows, pages and drawn windows

const Adaptor kTopLevel{
    [](win::WindowSystem& windows, win::Window& window, QWidget*, Binding& binding) -> QWidget* {
      auto* top = new TopWidget(windows, binding.handle);
      Qt::WindowFlags flags =
          Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
      if ((window.GetExStyle() & win::kWsExTopMost) != 0) flags |= Qt::WindowStaysOnTopHint;
      top->setWindowFlags(flags);
      return top;
    },
    nullptr,
    [](Binding&, win::Window& window, QWidget* widget) {
      widget->setWindowTitle(ToQt(window.GetWindowText()));
    },
};

const Adaptor kPage{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding&) { return new QWidget(parent); },
    nullptr,
    nullptr,
};

const Adaptor kPainted{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding& binding) -> QWidget* {
      binding.painted = true;
      return new PaintedWidget(binding.image, parent);
    },
    nullptr,
    nullptr,
};

// ----- statics and buttons

const Adaptor kStaticText{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding&) -> QWidget* { return MakeLabel(parent); },
    nullptr,
    [](Binding&, win::Window& window, QWidget* widget) {
      auto* label = static_cast<QLabel*>(widget);
      const auto& control = static_cast<const win::Control&>(window);
      label->setText((control.ControlStyle() & win::kSsNoPrefix) != 0
                         ? ToQt(window.GetWindowText())
                         : WithoutMnemonic(window.GetWindowText()));
      Qt::Alignment align = Qt::AlignTop | Qt::AlignLeft;
      if ((control.ControlStyle() & win::kSsCenter) != 0) align = Qt::AlignTop | Qt::AlignHCenter;
      if ((control.ControlStyle() & win::kSsRight) != 0) align = Qt::AlignTop | Qt::AlignRight;
      label->setAlignment(align);
    },
};

const Adaptor kPicture{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding&) -> QWidget* {
      auto* label = new QLabel(parent);
      label->setPixmap(parent->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
      return label;
    },
    nullptr,
    nullptr,
};

const Adaptor kGroupBox{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding&) -> QWidget* {
      return new QGroupBox(parent);
    },
    nullptr,
    [](Binding&, win::Window& window, QWidget* widget) {
      static_cast<QGroupBox*>(widget)->setTitle(WithoutMnemonic(window.GetWindowText()));
    },
};

const Adaptor kPushButton{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding&) -> QWidget* {
      auto* button = new QPushButton(parent);
      button->setAutoDefault(false);
      return button;
    },
    ConnectClick,
    [](Binding&, win::Window& window, QWidget* widget) {
      auto* button = static_cast<QPushButton*>(widget);
      button->setText(ToQt(window.GetWindowText()));
      if (const auto* model = dynamic_cast<const win::Button*>(&window))
        button->setDefault(model->IsDefault());
    },
};

const Adaptor kCheckBox{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding&) -> QWidget* {
      return new QCheckBox(parent);
    },
    ConnectClick,
    [](Binding&, win::Window& window, QWidget* widget) {
      auto* box = static_cast<QCheckBox*>(widget);
      box->setText(ToQt(window.GetWindowText()));
      const int check = static_cast<const win::Button&>(window).GetCheck();
      box->setCheckState(check == win::kBstChecked         ? Qt::Checked
                         : check == win::kBstIndeterminate ? Qt::PartiallyChecked
                                                           : Qt::Unchecked);
    },
};

const Adaptor kRadioButton{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding&) -> QWidget* {
      auto* radio = new QRadioButton(parent);
      radio->setAutoExclusive(false);
      return radio;
    },
    ConnectClick,
    [](Binding&, win::Window& window, QWidget* widget) {
      auto* radio = static_cast<QRadioButton*>(widget);
      radio->setText(ToQt(window.GetWindowText()));
      radio->setChecked(static_cast<const win::Button&>(window).GetCheck() == win::kBstChecked);
    },
};

// ----- edit fields

// Byte offsets of the UTF-8 text the model keeps, and positions in Qt's text.
int Utf8Offset(const QString& text, int position) {
  return static_cast<int>(text.left(position).toUtf8().size());
}
int QtOffset(const std::string& text, int bytes) {
  const size_t n = std::min(text.size(), static_cast<size_t>(std::max(bytes, 0)));
  return static_cast<int>(QString::fromUtf8(text.data(), static_cast<qsizetype>(n)).size());
}

// A field with a context menu of its own: the field gets the selection the user sees and the
// context-menu message; the command chosen runs at once and the widget shows what it did.
void ShowOwnContextMenu(win::Edit& edit, QLineEdit* line, const QPoint& pos) {
  const QString shown = line->text();
  const int start = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
  const int end = line->hasSelectedText() ? line->selectionEnd() : start;
  edit.SetSel(Utf8Offset(shown, start), Utf8Offset(shown, end));
  const win::WindowHandle handle = edit.Handle();
  const gfx::Point screen = edit.ClientToScreen(gfx::Point{pos.x(), pos.y()});
  edit.SendMessage(win::kWmContextMenu, static_cast<win::WParam>(handle),
                   win::MakeLParam(screen.x, screen.y));
  // The menu posts its command to the field.
  win::Windows().RunPending();
  if (win::Window::FromHandle(handle) != &edit) return;
  const std::string text = edit.GetWindowText();
  QSignalBlocker block(line);
  if (line->text() != ToQt(text)) line->setText(ToQt(text));
  const auto [from, to] = edit.GetSel();
  const int q_from = QtOffset(text, from);
  const int q_to = QtOffset(text, to);
  if (q_to > q_from) {
    line->setSelection(q_from, q_to - q_from);
  } else {
    line->setCursorPosition(q_to);
  }
}

const Adaptor kEdit{
    [](win::WindowSystem&, win::Window& window, QWidget* parent, Binding&) -> QWidget* {
      const auto& edit = static_cast<win::Edit&>(window);
      if (edit.IsMultiline()) {
        auto* text = new QPlainTextEdit(parent);
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        return text;
      }
      auto* line = new QLineEdit(parent);
      if (edit.HasOwnContextMenu()) line->setContextMenuPolicy(Qt::CustomContextMenu);
      return line;
    },
    [](QWidget* widget, const Act& act) {
      if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) {
        QObject::connect(text, &QPlainTextEdit::textChanged, text, [act, text] {
          const std::string value = FromQtLines(text->toPlainText());
          act([&value](win::Window& w) { static_cast<win::Edit&>(w).SetTextFromUser(value); });
        });
      } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(line, &QLineEdit::textEdited, line, [act](const QString& value) {
          act([&value](win::Window& w) { static_cast<win::Edit&>(w).SetTextFromUser(FromQt(value)); });
        });
        QObject::connect(line, &QWidget::customContextMenuRequested, line, [act, line](const QPoint& pos) {
          act([line, pos](win::Window& w) { ShowOwnContextMenu(static_cast<win::Edit&>(w), line, pos); });
        });
      }
    },
    [](Binding&, win::Window& window, QWidget* widget) {
      const auto& edit = static_cast<const win::Edit&>(window);
      if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        const QString text = ToQt(window.GetWindowText());
        if (line->text() != text) line->setText(text);
        line->setReadOnly(edit.IsReadOnly());
        // Setting either again sets the text again, which drops the selection.
        if (line->maxLength() != edit.GetLimitText()) line->setMaxLength(edit.GetLimitText());
        const QLineEdit::EchoMode echo =
            (edit.ControlStyle() & win::kEsPassword) != 0 ? QLineEdit::Password : QLineEdit::Normal;
        if (line->echoMode() != echo) line->setEchoMode(echo);
        return;
      }
      auto* plain = static_cast<QPlainTextEdit*>(widget);
      plain->setReadOnly(edit.IsReadOnly());
      const QString wanted = ToQtLines(window.GetWindowText());
      const QString shown = plain->toPlainText();
      if (wanted != shown) {
        QSignalBlocker block(plain);
        if (wanted.startsWith(shown) && !shown.isEmpty()) {
          // A log that grew: add the new end instead of setting all of it again.
          QTextCursor cursor(plain->document());
          cursor.movePosition(QTextCursor::End);
          cursor.insertText(wanted.mid(shown.size()));
        } else {
          plain->setPlainText(wanted);
        }
      }
      plain->verticalScrollBar()->setValue(edit.GetFirstVisibleLine());
    },
};

// ----- lists

// Entries that the box draws itself (their texts say nothing) show as pictures of the entry, in
// the closed box and in its list alike.
void ShowDrawnEntries(win::ComboBox& model, QComboBox* combo) {
  const QSize size(std::max(16, model.GetWindowRectInParent().Width() - 28), 16);
  const QColor ground = combo->palette().color(QPalette::Base);
  for (int row = 0; row < combo->count() && row < model.GetCount(); ++row) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(ground);
    {
      ImageCanvas canvas(picture, QPoint(0, 0), gfx::DeviceInfo{});
      if (!model.DrawListEntry(canvas, {0, 0, size.width(), size.height()}, row)) return;
    }
    combo->setItemIcon(row, QIcon(QPixmap::fromImage(picture)));
  }
  if (combo->iconSize() != size) combo->setIconSize(size);
}

const Adaptor kComboBox{
    [](win::WindowSystem&, win::Window& window, QWidget* parent, Binding&) -> QWidget* {
      auto* combo = new QComboBox(parent);
      combo->setEditable(static_cast<win::Control&>(window).Kind() == win::ControlKind::kComboBox);
      return combo;
    },
    [](QWidget* widget, const Act& act) {
      auto* combo = static_cast<QComboBox*>(widget);
      QObject::connect(combo, &QComboBox::activated, combo, [act](int index) {
        act([index](win::Window& w) { static_cast<win::ComboBox&>(w).SelectFromUser(index); });
      });
      // Only what the user types; choosing from the list changes the text too but is no typing.
      if (QLineEdit* edit = combo->lineEdit()) {
        QObject::connect(edit, &QLineEdit::textEdited, combo, [act](const QString& text) {
          act([t = text.toStdString()](win::Window& w) {
            static_cast<win::ComboBox&>(w).SetEditTextFromUser(t);
          });
        });
      }
    },
    [](Binding& binding, win::Window& window, QWidget* widget) {
      auto* combo = static_cast<QComboBox*>(widget);
      QSignalBlocker block(combo);
      const auto& model = static_cast<const win::ComboBox&>(window);
      struct Ops {
        QComboBox* combo;
        const win::ComboBox& model;
        int Count() const { return combo->count(); }
        void Clear() { combo->clear(); }
        void Insert(int row) { combo->insertItem(row, QString()); }
        void Remove(int row) { combo->removeItem(row); }
        void Refresh(int row) { combo->setItemText(row, ToQt(model.Items()[static_cast<size_t>(row)].text)); }
        void Rebuild() {
          QStringList texts;
          texts.reserve(model.GetCount());
          for (const win::ListEntry& entry : model.Items()) texts << ToQt(entry.text);
          combo->clear();
          combo->addItems(texts);
        }
      } ops{combo, model};
      MirrorRows(model.RowChanges(), binding.rows_seen, model.GetCount(), ops);
      ShowDrawnEntries(static_cast<win::ComboBox&>(window), combo);
      // Qt makes the first row current when a list gets rows; the model may have none chosen.
      if (combo->currentIndex() != model.GetCurSel()) combo->setCurrentIndex(model.GetCurSel());
      const QString text = ToQt(window.GetWindowText());
      if (combo->isEditable() && combo->currentText() != text) combo->setEditText(text);
    },
};

const Adaptor kListBox{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding&) -> QWidget* {
      return new QListWidget(parent);
    },
    [](QWidget* widget, const Act& act) {
      auto* list = static_cast<QListWidget*>(widget);
      QObject::connect(list, &QListWidget::currentRowChanged, list, [act](int row) {
        act([row](win::Window& w) { static_cast<win::ListBox&>(w).SelectFromUser(row); });
      });
      QObject::connect(list, &QListWidget::itemDoubleClicked, list, [act, list](QListWidgetItem* item) {
        const int row = list->row(item);
        act([row](win::Window& w) { static_cast<win::ListBox&>(w).DoubleClickFromUser(row); });
      });
    },
    [](Binding& binding, win::Window& window, QWidget* widget) {
      auto* list = static_cast<QListWidget*>(widget);
      QSignalBlocker block(list);
      const auto& model = static_cast<const win::ListBox&>(window);
      struct Ops {
        QListWidget* list;
        const win::ListBox& model;
        int Count() const { return list->count(); }
        void Clear() { list->clear(); }
        void Insert(int row) { list->insertItem(row, new QListWidgetItem); }
        void Remove(int row) { delete list->takeItem(row); }
        void Refresh(int row) {
          list->item(row)->setText(ToQt(model.Items()[static_cast<size_t>(row)].text));
        }
        void Rebuild() {
          QStringList texts;
          texts.reserve(model.GetCount());
          for (const win::ListEntry& entry : model.Items()) texts << ToQt(entry.text);
          list->clear();
          list->addItems(texts);
        }
      } ops{list, model};
      const bool cleared = MirrorRows(model.RowChanges(), binding.rows_seen, model.GetCount(), ops);
      const uint64_t selection = model.RowChanges().SelectionRevision();
      if (cleared || binding.selection_seen != selection || list->currentRow() != model.GetCurSel()) {
        binding.selection_seen = selection;
        // Only a changed choice moves the list: a row the user scrolled to stays in view.
        if (list->currentRow() != model.GetCurSel()) list->setCurrentRow(model.GetCurSel());
      }
    },
};

void ShowListViewRow(QTreeWidgetItem* row, const win::ListView::Item& item, const std::vector<QIcon>& icons) {
  for (size_t c = 0; c < item.texts.size(); ++c) row->setText(static_cast<int>(c), ToQt(item.texts[c]));
  if (item.image >= 0 && static_cast<size_t>(item.image) < icons.size()) {
    row->setIcon(0, icons[static_cast<size_t>(item.image)]);
  } else {
    row->setIcon(0, QIcon());
  }
}

const Adaptor kListView{
    [](win::WindowSystem&, win::Window& window, QWidget* parent, Binding&) -> QWidget* {
      auto* tree = new QTreeWidget(parent);
      tree->setRootIsDecorated(false);
      tree->setUniformRowHeights(true);
      tree->setSelectionBehavior(QAbstractItemView::SelectRows);
      tree->setSelectionMode(static_cast<win::ListView&>(window).IsSingleSelection()
                                 ? QAbstractItemView::SingleSelection
                                 : QAbstractItemView::ExtendedSelection);
      return tree;
    },
    [](QWidget* widget, const Act& act) {
      auto* tree = static_cast<QTreeWidget*>(widget);
      QObject::connect(tree, &QTreeWidget::itemSelectionChanged, tree, [act, tree] {
        std::vector<int> rows;
        for (QTreeWidgetItem* item : tree->selectedItems()) rows.push_back(tree->indexOfTopLevelItem(item));
        std::sort(rows.begin(), rows.end());
        const int current =
            tree->currentItem() != nullptr ? tree->indexOfTopLevelItem(tree->currentItem()) : -1;
        if (current >= 0) {
          // The focused row first, as the model takes the first as focused.
          std::erase(rows, current);
          if (!tree->selectedItems().empty() && tree->currentItem()->isSelected())
            rows.insert(rows.begin(), current);
        }
        act([&rows](win::Window& w) { static_cast<win::ListView&>(w).SelectFromUser(rows); });
      });
      QObject::connect(tree, &QTreeWidget::itemDoubleClicked, tree, [act, tree](QTreeWidgetItem* item, int) {
        const int row = tree->indexOfTopLevelItem(item);
        act([row](win::Window& w) { static_cast<win::ListView&>(w).DoubleClickFromUser(row); });
      });
    },
    [](Binding& binding, win::Window& window, QWidget* widget) {
      auto* tree = static_cast<QTreeWidget*>(widget);
      QSignalBlocker block(tree);
      const auto& model = static_cast<const win::ListView&>(window);
      if (binding.columns_seen != model.ColumnRevision()) {
        binding.columns_seen = model.ColumnRevision();
        QStringList headers;
        for (const win::ListView::Column& column : model.Columns()) headers << ToQt(column.text);
        tree->setColumnCount(std::max(1, static_cast<int>(model.Columns().size())));
        tree->setHeaderLabels(headers);
        for (int c = 0; c < static_cast<int>(model.Columns().size()); ++c) {
          tree->setColumnWidth(c, model.Columns()[static_cast<size_t>(c)].width);
        }
      }
      const win::ImageList* images = model.GetImageList(win::kLvsilSmall);
      const int image_count = images != nullptr ? images->Count() : 0;
      if (images != binding.icons_of || static_cast<int>(binding.icons.size()) != image_count) {
        binding.icons_of = images;
        binding.icons.clear();
        for (int i = 0; i < image_count; ++i) binding.icons.push_back(IconOf(*images, i));
        if (images != nullptr) tree->setIconSize(QSize(images->ImageSize().cx, images->ImageSize().cy));
        binding.rows_seen = ~uint64_t{0};  // every row's icon again
      }
      struct Ops {
        QTreeWidget* tree;
        const win::ListView& model;
        const std::vector<QIcon>& icons;
        int Count() const { return tree->topLevelItemCount(); }
        void Clear() { tree->clear(); }
        void Insert(int row) { tree->insertTopLevelItem(row, new QTreeWidgetItem); }
        void Remove(int row) { delete tree->takeTopLevelItem(row); }
        void Refresh(int row) {
          ShowListViewRow(tree->topLevelItem(row), model.Items()[static_cast<size_t>(row)], icons);
        }
        void Rebuild() {
          QList<QTreeWidgetItem*> rows;
          rows.reserve(model.GetItemCount());
          for (const win::ListView::Item& item : model.Items()) {
            auto* row = new QTreeWidgetItem;
            ShowListViewRow(row, item, icons);
            rows << row;
          }
          tree->clear();
          tree->addTopLevelItems(rows);
        }
      } ops{tree, model, binding.icons};
      const bool cleared = MirrorRows(model.RowChanges(), binding.rows_seen, model.GetItemCount(), ops);
      const uint64_t selection = model.RowChanges().SelectionRevision();
      if (!cleared && binding.selection_seen == selection) return;
      binding.selection_seen = selection;
      QItemSelection selected;
      QTreeWidgetItem* focused = nullptr;
      const int columns = tree->columnCount();
      for (int i = 0; i < model.GetItemCount(); ++i) {
        const unsigned state = model.GetItemState(i, win::kLvisSelected | win::kLvisFocused);
        if ((state & win::kLvisSelected) != 0) {
          // Neighbouring rows as one range: one selection change for the whole list.
          const int first = i;
          while (i + 1 < model.GetItemCount() && model.GetItemState(i + 1, win::kLvisSelected) != 0) {
            if (model.GetItemState(i, win::kLvisFocused) != 0) focused = tree->topLevelItem(i);
            ++i;
          }
          selected.select(tree->model()->index(first, 0), tree->model()->index(i, columns - 1));
        }
        if (model.GetItemState(i, win::kLvisFocused) != 0) focused = tree->topLevelItem(i);
      }
      tree->selectionModel()->select(selected, QItemSelectionModel::ClearAndSelect);
      if (focused != nullptr && tree->currentItem() != focused) {
        tree->setCurrentItem(focused, 0, QItemSelectionModel::NoUpdate);
      }
    },
};

// ----- the other controls

const Adaptor kProgressBar{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding&) -> QWidget* {
      auto* bar = new QProgressBar(parent);
      bar->setTextVisible(false);
      return bar;
    },
    nullptr,
    [](Binding&, win::Window& window, QWidget* widget) {
      auto* bar = static_cast<QProgressBar*>(widget);
      const auto& model = static_cast<const win::ProgressBar&>(window);
      bar->setRange(std::min(model.GetRange().first, model.GetRange().second),
                    std::max(model.GetRange().first, model.GetRange().second));
      bar->setValue(model.GetPos());
    },
};

const Adaptor kSlider{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding&) -> QWidget* {
      return new QSlider(Qt::Horizontal, parent);
    },
    [](QWidget* widget, const Act& act) {
      auto* slider = static_cast<QSlider*>(widget);
      QObject::connect(slider, &QSlider::valueChanged, slider, [act](int value) {
        act([value](win::Window& w) { static_cast<win::Slider&>(w).SetPosFromUser(value); });
      });
    },
    [](Binding&, win::Window& window, QWidget* widget) {
      auto* slider = static_cast<QSlider*>(widget);
      QSignalBlocker block(slider);
      const auto& model = static_cast<const win::Slider&>(window);
      slider->setRange(model.GetRange().first, model.GetRange().second);
      slider->setValue(model.GetPos());
    },
};

// The picker's format letters as Qt's: both quote text in apostrophes; "t"/"tt" are the AM/PM
// marks and a lone "y" or "yyy" has no Qt letter of its own.
QString QtDateTimeFormat(std::string_view format) {
  QString out;
  size_t i = 0;
  while (i < format.size()) {
    const char c = format[i];
    if (c == '\'') {
      const size_t end = format.find('\'', i + 1);
      const size_t stop = end == std::string_view::npos ? format.size() : end + 1;
      out += QString::fromUtf8(format.data() + i, static_cast<qsizetype>(stop - i));
      i = stop;
      continue;
    }
    size_t run = 1;
    while (i + run < format.size() && format[i + run] == c) ++run;
    if (c == 't') {
      out += run >= 2 ? "AP" : "A";
    } else if (c == 'y') {
      out += run <= 2 ? "yy" : "yyyy";
    } else {
      out += QString(static_cast<qsizetype>(run), QChar(c));
    }
    i += run;
  }
  return out;
}

const Adaptor kDateTimePicker{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding&) -> QWidget* {
      auto* edit = new QDateTimeEdit(parent);
      edit->setDisplayFormat("dd.MM.yyyy HH:mm:ss");
      return edit;
    },
    [](QWidget* widget, const Act& act) {
      auto* edit = static_cast<QDateTimeEdit*>(widget);
      QObject::connect(edit, &QDateTimeEdit::dateTimeChanged, edit, [act](const QDateTime& value) {
        const QDate d = value.date();
        const QTime t = value.time();
        const platform::LocalDateTime local{d.year(),   d.month(),  d.day(), t.hour(),
                                            t.minute(), t.second(), 0};
        act([&local](win::Window& w) { static_cast<win::DateTimePicker&>(w).SetTimeFromUser(local); });
      });
    },
    [](Binding&, win::Window& window, QWidget* widget) {
      auto* date = static_cast<QDateTimeEdit*>(widget);
      QSignalBlocker block(date);
      const auto& picker = static_cast<const win::DateTimePicker&>(window);
      const QString format =
          picker.GetFormat().empty() ? QString("dd.MM.yyyy HH:mm:ss") : QtDateTimeFormat(picker.GetFormat());
      if (date->displayFormat() != format) date->setDisplayFormat(format);
      const auto& value = picker.GetTime();
      if (value) {
        date->setDateTime(QDateTime(QDate(value->year, value->month, value->day),
                                    QTime(value->hour, value->minute, value->second)));
      }
    },
};

const Adaptor kSpin{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding&) -> QWidget* {
      return new QSpinBox(parent);
    },
    nullptr,
    [](Binding&, win::Window& window, QWidget* widget) {
      auto* spin = static_cast<QSpinBox*>(widget);
      QSignalBlocker block(spin);
      const auto& model = static_cast<const win::SpinButton&>(window);
      spin->setRange(std::min(model.GetRange().first, model.GetRange().second),
                     std::max(model.GetRange().first, model.GetRange().second));
      spin->setValue(model.GetPos32());
    },
};

const Adaptor kTab{
    [](win::WindowSystem&, win::Window&, QWidget* parent, Binding&) -> QWidget* {
      auto* tabs = new QTabBar(parent);
      tabs->setDrawBase(true);
      // Tabs that do not fit share the row with shortened texts: the bar is as high as the whole
      // control, and its scroll buttons would stand down the side of the pages.
      tabs->setUsesScrollButtons(false);
      tabs->setElideMode(Qt::ElideRight);
      return tabs;
    },
    [](QWidget* widget, const Act& act) {
      auto* tabs = static_cast<QTabBar*>(widget);
      QObject::connect(tabs, &QTabBar::currentChanged, tabs, [act](int index) {
        act([index](win::Window& w) { static_cast<win::TabControl&>(w).SelectFromUser(index); });
      });
    },
    [](Binding&, win::Window& window, QWidget* widget) {
      auto* tabs = static_cast<QTabBar*>(widget);
      QSignalBlocker block(tabs);
      const auto& model = static_cast<const win::TabControl&>(window);
      while (tabs->count() > model.GetItemCount()) tabs->removeTab(tabs->count() - 1);
      for (int i = 0; i < model.GetItemCount(); ++i) {
        if (i < tabs->count()) {
          tabs->setTabText(i, ToQt(model.GetItemText(i)));
        } else {
          tabs->addTab(ToQt(model.GetItemText(i)));
        }
      }
      tabs->setCurrentIndex(model.GetCurSel());
    },
};

struct KindAdaptor {
  win::ControlKind kind;
  const Adaptor* adaptor;
};

constexpr KindAdaptor kControlAdaptors[] = {
    {win::ControlKind::kStatic, &kStaticText},
    {win::ControlKind::kAnimation, &kStaticText},
    {win::ControlKind::kPicture, &kPicture},
    {win::ControlKind::kGroupBox, &kGroupBox},
    {win::ControlKind::kPushButton, &kPushButton},
    {win::ControlKind::kDefPushButton, &kPushButton},
    {win::ControlKind::kCheckBox, &kCheckBox},
    {win::ControlKind::kRadioButton, &kRadioButton},
    {win::ControlKind::kEdit, &kEdit},
    {win::ControlKind::kComboBox, &kComboBox},
    {win::ControlKind::kComboDropList, &kComboBox},
    {win::ControlKind::kListBox, &kListBox},
    {win::ControlKind::kListView, &kListView},
    {win::ControlKind::kProgressBar, &kProgressBar},
    {win::ControlKind::kSlider, &kSlider},
    {win::ControlKind::kDateTimePicker, &kDateTimePicker},
    {win::ControlKind::kSpin, &kSpin},
    {win::ControlKind::kTab, &kTab},
};

const Adaptor& AdaptorFor(win::Window& window, bool top_level) {
  if (top_level) return kTopLevel;
  if (const auto* control = dynamic_cast<const win::Control*>(&window)) {
    if (control->IsOwnerDrawn()) return kPainted;
    for (const KindAdaptor& entry : kControlAdaptors) {
      if (entry.kind == control->Kind()) return *entry.adaptor;
    }
    return kPainted;
  }
  if (dynamic_cast<const win::Dialog*>(&window) != nullptr) return kPage;  // its controls lie on it
  return kPainted;
}

}  // namespace

DialogHost::DialogHost(win::WindowSystem& windows, EventPump& pump)
    : QtHost(pump), windows_(windows), filter_(std::make_unique<DialogEventFilter>(*this)) {}

DialogHost::~DialogHost() {
  for (auto& [handle, binding] : bindings_) {
    if (binding->top_level && binding->widget) binding->widget->deleteLater();
  }
  bindings_.clear();
}

DialogHost::Binding* DialogHost::Find(win::WindowHandle handle) const {
  const auto it = bindings_.find(handle);
  return it == bindings_.end() ? nullptr : it->second.get();
}

win::Window* DialogHost::Alive(win::WindowHandle handle) const {
  return Find(handle) != nullptr ? windows_.FromHandle(handle) : nullptr;
}

QWidget* DialogHost::WidgetOf(const win::Window& window) const {
  // Whoever looks at a widget sees it as its window is now.
  const_cast<DialogHost*>(this)->SyncPending();
  const Binding* binding = Find(window.Handle());
  return binding != nullptr ? binding->widget.data() : nullptr;
}

void DialogHost::Build(win::Window& window, QWidget* parent) {
  if (Find(window.Handle()) != nullptr) return;
  auto binding = std::make_unique<Binding>();
  binding->handle = window.Handle();
  binding->top_level = parent == nullptr;
  const win::WindowHandle handle = window.Handle();
  const Adaptor& adaptor = AdaptorFor(window, parent == nullptr);
  binding->adaptor = &adaptor;
  QWidget* widget = adaptor.create(windows_, window, parent, *binding);
  if (adaptor.connect != nullptr) {
    // The model may refuse or change what the user did: its state is shown again at once.
    adaptor.connect(widget, [this, handle](const Action& action) {
      if (syncing_ != 0) return;
      win::Window* w = Alive(handle);
      if (w == nullptr) return;
      action(*w);
      if (Binding* b = Find(handle); b != nullptr && Alive(handle) != nullptr) {
        MarkDirty(*b, win::kChangedState | win::kChangedText);
        SyncPending();
      }
    });
  }

  widget->setProperty(kHandleProperty, QVariant::fromValue(static_cast<qulonglong>(handle)));
  widget->installEventFilter(filter_.get());
  for (QObject* child : widget->findChildren<QObject*>()) child->installEventFilter(filter_.get());
  binding->widget = widget;
  bindings_.emplace(handle, std::move(binding));
  Sync(window,
       win::kChangedRect | win::kChangedEnabled | win::kChangedFont | win::kChangedText | win::kChangedState);
  for (win::Window* child : window.Children()) Build(*child, widget);
  if (parent != nullptr) {
    widget->setVisible((window.GetStyle() & win::kWsVisible) != 0);
  } else if (window.IsWindowVisible()) {
    widget->show();
  }
  if (Binding* b = Find(handle); b != nullptr && b->painted) window.Invalidate(true);
}

void DialogHost::Sync(win::Window& window, unsigned what) {
  Binding* binding = Find(window.Handle());
  if (binding == nullptr || !binding->widget) return;
  QWidget* widget = binding->widget;
  ++syncing_;
  ++sync_count_;
  if (what & win::kChangedRect) {
    if (binding->top_level) {
      widget->setGeometry(ToQRect(window.GetWindowRect()));
    } else {
      QRect rect = ToQRect(window.GetWindowRectInParent());
      // A combo box's rectangle includes its dropped-down list; the closed box is one line high.
      if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        rect.setHeight(std::min(rect.height(), combo->sizeHint().height()));
        // Over a drawn window the box stands on one of its rows: no taller than the model's
        // closed box, so that it leaves the row below alone.
        const Binding* parent = window.GetParent() != nullptr ? Find(window.GetParent()->Handle()) : nullptr;
        if (parent != nullptr && parent->painted)
          rect.setHeight(std::min(rect.height(), std::min(window.GetWindowRectInParent().Height(),
                                                          win::ComboBox::kClosedHeight)));
      }
      widget->setGeometry(rect);
    }
    if (binding->painted) {
      // The whole window: its own scroll bars lie right of and below the client area.
      const gfx::Rect whole = window.GetWindowRectInParent();
      const QSize size(std::max(1, whole.Width()), std::max(1, whole.Height()));
      if (binding->image.size() != size) {
        binding->image = QImage(size, QImage::Format_RGB32);
        binding->image.fill(Qt::white);
        window.Invalidate(true);
      }
    }
  }
  if (what & win::kChangedEnabled) widget->setEnabled((window.GetStyle() & win::kWsDisabled) == 0);
  if (what & win::kChangedFont) widget->setFont(ToQFont(window.GetFont()));
  if (what & win::kChangedVisible) {
    if (binding->top_level) {
      if (window.IsWindowVisible()) {
        widget->show();
        widget->raise();
      } else {
        widget->hide();
      }
    } else {
      widget->setVisible((window.GetStyle() & win::kWsVisible) != 0);
    }
  }
  if ((what & (win::kChangedText | win::kChangedState)) != 0 && binding->adaptor->sync != nullptr) {
    binding->adaptor->sync(*binding, window, widget);
  }
  if ((what & win::kChangedFocus) && window.HasFocus() && !widget->hasFocus()) {
    widget->setFocus(Qt::OtherFocusReason);
  }
  --syncing_;
}

void DialogHost::MarkDirty(Binding& binding, unsigned what) {
  if (binding.dirty == 0) dirty_.push_back(binding.handle);
  binding.dirty |= what;
  if (sync_posted_) return;
  sync_posted_ = true;
  QMetaObject::invokeMethod(
      filter_.get(), [this] { SyncPending(); }, Qt::QueuedConnection);
}

void DialogHost::SyncPending() {
  sync_posted_ = false;
  if (flushing_ || syncing_ != 0) return;
  flushing_ = true;
  while (!dirty_.empty()) {
    std::vector<win::WindowHandle> pending;
    pending.swap(dirty_);
    for (const win::WindowHandle handle : pending) {
      Binding* binding = Find(handle);
      if (binding == nullptr) continue;
      const unsigned what = std::exchange(binding->dirty, 0u);
      if (win::Window* window = Alive(handle); window != nullptr && what != 0) Sync(*window, what);
    }
  }
  flushing_ = false;
}

std::optional<int> DialogHost::TrackPopupMenu(const win::PopupRequest& request) {
  if (request.menu == nullptr) return 0;
  HostMenu menu;
  menu.AddEntries(*request.menu);
  std::optional<int> chosen;
  QObject::connect(&menu, &QMenu::triggered, &menu, [&chosen](QAction* action) {
    if (action->data().isValid()) chosen = action->data().toInt();
  });
  const QSize size = menu.sizeHint();
  const gfx::Rect place = win::PopupMenuRect(request.screen_point, {size.width(), size.height()},
                                             request.flags, windows_.ScreenSize());
  SyncPending();
  menu.popup(QPoint(place.left, place.top));
  // The menu closes before its action triggers, in the same event.
  windows_.RunModalLoop([&menu] { return !menu.isVisible(); }, request.owner);
  if (menu.isVisible()) menu.hide();
  return chosen.value_or(0);
}

bool DialogHost::RunModalLoop(const std::function<bool()>& done) {
  SyncPending();
  return QtHost::RunModalLoop(done);
}

void DialogHost::Flush(win::Window& top_level) {
  SyncPending();
  QtHost::Flush(top_level);
}

void DialogHost::Remove(win::Window& window) {
  std::vector<win::Window*> pending{&window};
  QPointer<QWidget> widget;
  if (Binding* binding = Find(window.Handle())) widget = binding->widget;
  while (!pending.empty()) {
    win::Window* w = pending.back();
    pending.pop_back();
    bindings_.erase(w->Handle());
    for (win::Window* child : w->Children()) pending.push_back(child);
  }
  if (widget) {
    // A window may end inside a handler of its own widget: the widget goes later.
    widget->hide();
    widget->setProperty(kHandleProperty, QVariant());
    widget->deleteLater();
  }
}

void DialogHost::TopLevelCreated(win::Window& top_level) {
  Build(top_level, nullptr);
  Pump().Schedule();
}

void DialogHost::TopLevelDestroyed(win::Window& top_level) { Remove(top_level); }

void DialogHost::WindowChanged(win::Window& window, unsigned what) {
  if (what & win::kChangedDestroyed) {
    Remove(window);
    return;
  }
  if (what & win::kChangedCreated) {
    win::Window* parent = window.GetParent();
    Binding* parent_binding = parent != nullptr ? Find(parent->Handle()) : nullptr;
    if (parent_binding != nullptr && parent_binding->widget) Build(window, parent_binding->widget);
    return;
  }
  // The focus the widgets just gave the window needs no echo.
  if (syncing_ != 0) what &= ~win::kChangedFocus;
  Binding* binding = Find(window.Handle());
  if (binding == nullptr || what == 0) return;
  MarkDirty(*binding, what);
}

std::unique_ptr<gfx::Canvas> DialogHost::CreateCanvas(win::Window& window, const gfx::Rect& clip) {
  return PaintedCanvas(window, gfx::Intersect(window.GetClientRect(), clip));
}

std::unique_ptr<gfx::Canvas> DialogHost::CreateWindowCanvas(win::Window& window, const gfx::Rect& clip) {
  const gfx::Rect whole = window.GetWindowRectInParent();
  return PaintedCanvas(window, gfx::Intersect({0, 0, whole.Width(), whole.Height()}, clip));
}

std::unique_ptr<gfx::Canvas> DialogHost::PaintedCanvas(win::Window& window, const gfx::Rect& clip) {
  Binding* binding = Find(window.Handle());
  if (binding == nullptr || !binding->painted || binding->image.isNull()) return nullptr;
  gfx::DeviceInfo device;
  device.width_px = windows_.ScreenSize().cx;
  device.height_px = windows_.ScreenSize().cy;
  // The client area's origin is the window's: the image holds both.
  auto canvas = std::make_unique<ImageCanvas>(binding->image, QPoint(0, 0), device);
  canvas->SetSystemClip(clip);
  canvas->SetReleaseHandler(RepaintOnRelease(binding->widget));
  return canvas;
}

}  // namespace qthost
