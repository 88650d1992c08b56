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
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "qt/event_pump.h"
#include "qt/image_canvas.h"
#include "win/controls.h"
#include "win/dialog.h"
#include "win/messages.h"

namespace qthost {

struct DialogHost::Binding {
  win::WindowHandle handle = 0;
  QPointer<QWidget> widget;
  bool top_level = false;
  bool painted = false;  // a window that draws itself: its widget shows image
  QImage image;
};

namespace {

constexpr char kHandleProperty[] = "zk_window";

QString ToQt(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

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

QRect ToQRect(const gfx::Rect& r) { return QRect(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height())); }

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
    int vk = VirtualKeyOf(event->key());
    if (vk == 0 && !painted) return false;
    if (auto* edit = dynamic_cast<win::Edit*>(window);
        edit != nullptr && vk == win::kVkReturn && edit->IsMultiline() &&
        (edit->ControlStyle() & win::kEsWantReturn) != 0) {
      return false;
    }
    if (windows.GetFocus() != window && window->IsChild()) {
      ++host_.syncing_;
      windows.SetFocus(window);
      --host_.syncing_;
    }
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0 || event->key() == Qt::Key_Backtab;
    windows.SetKeyDown(win::kVkShift, shift);
    if (vk != 0) {
      windows.KeyInput(win::kWmKeyDown, vk);
    }
    if (painted) {
      for (const QChar c : event->text()) windows.KeyInput(win::kWmChar, c.unicode());
    }
    if (vk != 0) windows.KeyInput(win::kWmKeyUp, vk);
    windows.SetKeyDown(win::kVkShift, false);
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
    if (binding == nullptr || !binding->painted || window == nullptr || object != binding->widget) return false;
    win::Window* top = window->GetTopLevel();
    const gfx::Point offset = window->OffsetInTopLevel();
    const gfx::Point point{static_cast<int32_t>(event->position().x()) + offset.x,
                           static_cast<int32_t>(event->position().y()) + offset.y};
    uint32_t message = win::kWmMouseMove;
    const bool right = event->button() == Qt::RightButton;
    if (event->type() == QEvent::MouseButtonPress) message = right ? win::kWmRButtonDown : win::kWmLButtonDown;
    if (event->type() == QEvent::MouseButtonRelease) message = right ? win::kWmRButtonUp : win::kWmLButtonUp;
    if (event->type() == QEvent::MouseButtonDblClick) message = right ? win::kWmRButtonDblClk : win::kWmLButtonDblClk;
    unsigned flags = 0;
    if (event->buttons() & Qt::LeftButton) flags |= win::kMkLButton;
    if (event->buttons() & Qt::RightButton) flags |= win::kMkRButton;
    host_.windows_.MouseInput(*top, message, point, flags);
    return true;
  }

  DialogHost& host_;
};

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
  const Binding* binding = Find(window.Handle());
  return binding != nullptr ? binding->widget.data() : nullptr;
}

void DialogHost::Build(win::Window& window, QWidget* parent) {
  if (Find(window.Handle()) != nullptr) return;
  auto binding = std::make_unique<Binding>();
  binding->handle = window.Handle();
  binding->top_level = parent == nullptr;
  const win::WindowHandle handle = window.Handle();
  QWidget* widget = nullptr;

  // Runs a user action on the window if it still exists, then shows the model's state again
  // (the model may have refused or changed what the user did).
  const auto act = [this, handle](auto&& action) {
    if (syncing_ != 0) return;
    if (win::Window* w = Alive(handle)) {
      action(*w);
      if (win::Window* still = Alive(handle)) Sync(*still, win::kChangedState | win::kChangedText);
    }
  };

  if (parent == nullptr) {
    auto* top = new TopWidget(windows_, handle);
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if ((window.GetExStyle() & win::kWsExTopMost) != 0) flags |= Qt::WindowStaysOnTopHint;
    top->setWindowFlags(flags);
    widget = top;
  } else if (auto* control = dynamic_cast<win::Control*>(&window)) {
    switch (control->Kind()) {
      case win::ControlKind::kStatic:
      case win::ControlKind::kAnimation: {
        auto* label = new QLabel(parent);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = label;
        break;
      }
      case win::ControlKind::kPicture: {
        auto* label = new QLabel(parent);
        label->setPixmap(parent->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
        widget = label;
        break;
      }
      case win::ControlKind::kGroupBox:
        widget = new QGroupBox(parent);
        break;
      case win::ControlKind::kPushButton:
      case win::ControlKind::kDefPushButton: {
        auto* button = new QPushButton(parent);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, button, [act] {
          act([](win::Window& w) { static_cast<win::Button&>(w).Click(); });
        });
        widget = button;
        break;
      }
      case win::ControlKind::kCheckBox: {
        auto* box = new QCheckBox(parent);
        QObject::connect(box, &QCheckBox::clicked, box, [act] {
          act([](win::Window& w) { static_cast<win::Button&>(w).Click(); });
        });
        widget = box;
        break;
      }
      case win::ControlKind::kRadioButton: {
        auto* radio = new QRadioButton(parent);
        radio->setAutoExclusive(false);
        QObject::connect(radio, &QRadioButton::clicked, radio, [act] {
          act([](win::Window& w) { static_cast<win::Button&>(w).Click(); });
        });
        widget = radio;
        break;
      }
      case win::ControlKind::kEdit: {
        auto& edit = static_cast<win::Edit&>(window);
        if (edit.IsMultiline()) {
          auto* text = new QPlainTextEdit(parent);
          text->setLineWrapMode(QPlainTextEdit::NoWrap);
          QObject::connect(text, &QPlainTextEdit::textChanged, text, [act, text] {
            act([text](win::Window& w) { static_cast<win::Edit&>(w).SetTextFromUser(FromQtLines(text->toPlainText())); });
          });
          widget = text;
        } else {
          auto* line = new QLineEdit(parent);
          QObject::connect(line, &QLineEdit::textEdited, line, [act](const QString& value) {
            act([&value](win::Window& w) { static_cast<win::Edit&>(w).SetTextFromUser(FromQt(value)); });
          });
          widget = line;
        }
        break;
      }
      case win::ControlKind::kComboBox:
      case win::ControlKind::kComboDropList: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(control->Kind() == win::ControlKind::kComboBox);
        QObject::connect(combo, &QComboBox::activated, combo, [act](int index) {
          act([index](win::Window& w) { static_cast<win::ComboBox&>(w).SelectFromUser(index); });
        });
        widget = combo;
        break;
      }
      case win::ControlKind::kListBox: {
        auto* list = new QListWidget(parent);
        QObject::connect(list, &QListWidget::currentRowChanged, list, [act](int row) {
          act([row](win::Window& w) { static_cast<win::ListBox&>(w).SelectFromUser(row); });
        });
        QObject::connect(list, &QListWidget::itemDoubleClicked, list, [act, list](QListWidgetItem* item) {
          const int row = list->row(item);
          act([row](win::Window& w) { static_cast<win::ListBox&>(w).DoubleClickFromUser(row); });
        });
        widget = list;
        break;
      }
      case win::ControlKind::kListView: {
        auto* tree = new QTreeWidget(parent);
        tree->setRootIsDecorated(false);
        tree->setUniformRowHeights(true);
        tree->setSelectionBehavior(QAbstractItemView::SelectRows);
        tree->setSelectionMode(static_cast<win::ListView&>(window).IsSingleSelection()
                                   ? QAbstractItemView::SingleSelection
                                   : QAbstractItemView::ExtendedSelection);
        QObject::connect(tree, &QTreeWidget::itemSelectionChanged, tree, [act, tree] {
          std::vector<int> rows;
          for (QTreeWidgetItem* item : tree->selectedItems()) rows.push_back(tree->indexOfTopLevelItem(item));
          std::sort(rows.begin(), rows.end());
          const int current = tree->currentItem() != nullptr ? tree->indexOfTopLevelItem(tree->currentItem()) : -1;
          if (current >= 0) {
            // The focused row first, as the model takes the first as focused.
            std::erase(rows, current);
            if (!tree->selectedItems().empty() && tree->currentItem()->isSelected()) rows.insert(rows.begin(), current);
          }
          act([&rows](win::Window& w) { static_cast<win::ListView&>(w).SelectFromUser(rows); });
        });
        QObject::connect(tree, &QTreeWidget::itemDoubleClicked, tree, [act, tree](QTreeWidgetItem* item, int) {
          const int row = tree->indexOfTopLevelItem(item);
          act([row](win::Window& w) { static_cast<win::ListView&>(w).DoubleClickFromUser(row); });
        });
        widget = tree;
        break;
      }
      case win::ControlKind::kProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        widget = bar;
        break;
      }
      case win::ControlKind::kSlider: {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        QObject::connect(slider, &QSlider::valueChanged, slider, [act](int value) {
          act([value](win::Window& w) { static_cast<win::Slider&>(w).SetPosFromUser(value); });
        });
        widget = slider;
        break;
      }
      case win::ControlKind::kDateTimePicker: {
        auto* edit = new QDateTimeEdit(parent);
        edit->setDisplayFormat("dd.MM.yyyy HH:mm:ss");
        QObject::connect(edit, &QDateTimeEdit::dateTimeChanged, edit, [act](const QDateTime& value) {
          const QDate d = value.date();
          const QTime t = value.time();
          const platform::LocalDateTime local{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), 0};
          act([&local](win::Window& w) { static_cast<win::DateTimePicker&>(w).SetTimeFromUser(local); });
        });
        widget = edit;
        break;
      }
      case win::ControlKind::kSpin:
        widget = new QSpinBox(parent);
        break;
      case win::ControlKind::kTab: {
        auto* tabs = new QTabBar(parent);
        tabs->setDrawBase(true);
        QObject::connect(tabs, &QTabBar::currentChanged, tabs, [act](int index) {
          act([index](win::Window& w) { static_cast<win::TabControl&>(w).SelectFromUser(index); });
        });
        widget = tabs;
        break;
      }
    }
  } else if (dynamic_cast<win::Dialog*>(&window) != nullptr) {
    widget = new QWidget(parent);  // a page: its controls lie on it
  } else {
    binding->painted = true;
    widget = new PaintedWidget(binding->image, parent);
  }

  widget->setProperty(kHandleProperty, QVariant::fromValue(static_cast<qulonglong>(handle)));
  widget->installEventFilter(filter_.get());
  for (QObject* child : widget->findChildren<QObject*>()) child->installEventFilter(filter_.get());
  binding->widget = widget;
  bindings_.emplace(handle, std::move(binding));
  Sync(window, win::kChangedRect | win::kChangedEnabled | win::kChangedFont | win::kChangedText |
                   win::kChangedState);
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
  if (what & win::kChangedRect) {
    if (binding->top_level) {
      widget->setGeometry(ToQRect(window.GetWindowRect()));
    } else {
      widget->setGeometry(ToQRect(window.GetWindowRectInParent()));
    }
    if (binding->painted) {
      const QSize size(std::max(1, window.GetClientRect().Width()), std::max(1, window.GetClientRect().Height()));
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
  if (what & (win::kChangedText | win::kChangedState)) {
    const QString text = ToQt(window.GetWindowText());
    if (binding->top_level) {
      widget->setWindowTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
      const auto* control = dynamic_cast<const win::Control*>(&window);
      if (control != nullptr && control->Kind() != win::ControlKind::kPicture) {
        label->setText((control->ControlStyle() & win::kSsNoPrefix) != 0 ? text : WithoutMnemonic(window.GetWindowText()));
        Qt::Alignment align = Qt::AlignTop | Qt::AlignLeft;
        if ((control->ControlStyle() & win::kSsCenter) != 0) align = Qt::AlignTop | Qt::AlignHCenter;
        if ((control->ControlStyle() & win::kSsRight) != 0) align = Qt::AlignTop | Qt::AlignRight;
        label->setAlignment(align);
      }
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
      group->setTitle(WithoutMnemonic(window.GetWindowText()));
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
      button->setText(text);
      if (const auto* model = dynamic_cast<const win::Button*>(&window)) button->setDefault(model->IsDefault());
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
      box->setText(text);
      box->setCheckState(static_cast<const win::Button&>(window).GetCheck() == win::kBstChecked ? Qt::Checked
                         : static_cast<const win::Button&>(window).GetCheck() == win::kBstIndeterminate
                             ? Qt::PartiallyChecked
                             : Qt::Unchecked);
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
      radio->setText(text);
      radio->setChecked(static_cast<const win::Button&>(window).GetCheck() == win::kBstChecked);
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
      const auto& edit = static_cast<const win::Edit&>(window);
      if (line->text() != text) line->setText(text);
      line->setReadOnly(edit.IsReadOnly());
      line->setMaxLength(edit.GetLimitText());
      line->setEchoMode((edit.ControlStyle() & win::kEsPassword) != 0 ? QLineEdit::Password : QLineEdit::Normal);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
      const auto& edit = static_cast<const win::Edit&>(window);
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
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      QSignalBlocker block(combo);
      const auto& model = static_cast<const win::ComboBox&>(window);
      combo->clear();
      for (const win::ListEntry& entry : model.Items()) combo->addItem(ToQt(entry.text));
      combo->setCurrentIndex(model.GetCurSel());
      if (combo->isEditable()) combo->setEditText(text);
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
      QSignalBlocker block(list);
      const auto& model = static_cast<const win::ListBox&>(window);
      list->clear();
      for (const win::ListEntry& entry : model.Items()) list->addItem(ToQt(entry.text));
      list->setCurrentRow(model.GetCurSel());
    } else if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
      QSignalBlocker block(tree);
      const auto& model = static_cast<const win::ListView&>(window);
      QStringList headers;
      for (const win::ListView::Column& column : model.Columns()) headers << ToQt(column.text);
      tree->setColumnCount(std::max(1, static_cast<int>(model.Columns().size())));
      tree->setHeaderLabels(headers);
      for (int c = 0; c < static_cast<int>(model.Columns().size()); ++c) {
        tree->setColumnWidth(c, model.Columns()[static_cast<size_t>(c)].width);
      }
      std::vector<QIcon> icons;
      if (const win::ImageList* images = model.GetImageList(win::kLvsilSmall)) {
        for (int i = 0; i < images->Count(); ++i) icons.push_back(IconOf(*images, i));
        tree->setIconSize(QSize(images->ImageSize().cx, images->ImageSize().cy));
      }
      tree->clear();
      for (const win::ListView::Item& item : model.Items()) {
        auto* row = new QTreeWidgetItem(tree);
        for (size_t c = 0; c < item.texts.size(); ++c) row->setText(static_cast<int>(c), ToQt(item.texts[c]));
        if (item.image >= 0 && static_cast<size_t>(item.image) < icons.size()) {
          row->setIcon(0, icons[static_cast<size_t>(item.image)]);
        }
      }
      for (int i = 0; i < model.GetItemCount(); ++i) {
        QTreeWidgetItem* row = tree->topLevelItem(i);
        row->setSelected(model.GetItemState(i, win::kLvisSelected) != 0);
        if (model.GetItemState(i, win::kLvisFocused) != 0) tree->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
      }
    } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
      const auto& model = static_cast<const win::ProgressBar&>(window);
      bar->setRange(std::min(model.GetRange().first, model.GetRange().second),
                    std::max(model.GetRange().first, model.GetRange().second));
      bar->setValue(model.GetPos());
    } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
      QSignalBlocker block(slider);
      const auto& model = static_cast<const win::Slider&>(window);
      slider->setRange(model.GetRange().first, model.GetRange().second);
      slider->setValue(model.GetPos());
    } else if (auto* date = qobject_cast<QDateTimeEdit*>(widget)) {
      QSignalBlocker block(date);
      const auto& value = static_cast<const win::DateTimePicker&>(window).GetTime();
      if (value) {
        date->setDateTime(QDateTime(QDate(value->year, value->month, value->day),
                                    QTime(value->hour, value->minute, value->second)));
      }
    } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
      QSignalBlocker block(spin);
      const auto& model = static_cast<const win::SpinButton&>(window);
      spin->setRange(std::min(model.GetRange().first, model.GetRange().second),
                     std::max(model.GetRange().first, model.GetRange().second));
      spin->setValue(model.GetPos32());
    } else if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
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
    }
  }
  if ((what & win::kChangedFocus) && window.HasFocus() && !widget->hasFocus()) {
    widget->setFocus(Qt::OtherFocusReason);
  }
  --syncing_;
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
  if (syncing_ != 0 && (what & win::kChangedFocus) != 0) return;
  Sync(window, what);
}

std::unique_ptr<gfx::Canvas> DialogHost::CreateCanvas(win::Window& window, const gfx::Rect& clip) {
  Binding* binding = Find(window.Handle());
  if (binding == nullptr || !binding->painted || binding->image.isNull()) return nullptr;
  gfx::DeviceInfo device;
  device.width_px = windows_.ScreenSize().cx;
  device.height_px = windows_.ScreenSize().cy;
  auto canvas = std::make_unique<ImageCanvas>(binding->image, QPoint(0, 0), device);
  canvas->SetSystemClip(gfx::Intersect(window.GetClientRect(), clip));
  canvas->SetReleaseHandler(RepaintOnRelease(binding->widget));
  return canvas;
}

}  // namespace qthost
