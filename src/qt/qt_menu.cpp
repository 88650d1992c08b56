#include "qt/qt_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QKeyEvent>

#include "win/menu.h"
#include "win/window.h"

namespace qthost {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

void Fill(QMenu& target, const win::Menu& menu) {
  QActionGroup* radios = nullptr;  // the run of radio entries the next one joins
  for (size_t i = 0; i < menu.Count(); ++i) {
    const win::MenuItem& item = menu.At(i);
    if (item.separator) {
      target.addSeparator();
      radios = nullptr;
      continue;
    }
    if (item.popup != nullptr) {
      QMenu* sub = target.addMenu(Text(item.text));
      sub->setEnabled(item.enabled);
      Fill(*sub, *item.popup);
      radios = nullptr;
      continue;
    }
    // QMenu shows the part after a tab as the accelerator text, right-aligned.
    QAction* action = target.addAction(Text(item.text));
    action->setData(item.id);
    action->setEnabled(item.enabled);
    if (item.check != 0) {
      action->setCheckable(true);
      action->setChecked(true);
    }
    if (item.radio && item.check != 0) {
      if (radios == nullptr) {
        radios = new QActionGroup(&target);
        radios->setExclusive(true);
      }
      radios->addAction(action);
    } else {
      radios = nullptr;
    }
  }
}

}  // namespace

void HostMenu::AddEntries(const win::Menu& menu) { Fill(*this, menu); }

void HostMenu::AddListEntries(const std::vector<std::string>& texts) {
  for (size_t i = 0; i < texts.size(); ++i) {
    // A list's text is no menu text: "&" is shown, and a tab is no accelerator.
    QString text = Text(texts[i]);
    text.replace('&', QStringLiteral("&&")).replace('\t', ' ');
    QAction* action = addAction(text);
    action->setData(static_cast<int>(i));
  }
}

void HostMenu::LightFirstEntry() {
  for (QAction* action : actions()) {
    if (!action->isSeparator()) {
      setActiveAction(action);
      return;
    }
  }
}

void HostMenu::keyPressEvent(QKeyEvent* event) {
  // Keys reach this menu only while no sub-menu of it is open.
  if (menu_bar_keys_ && event->modifiers() == Qt::NoModifier) {
    const QAction* active = activeAction();
    const bool opens_sub = active != nullptr && active->menu() != nullptr && active->isEnabled();
    int ending = 0;
    if (event->key() == Qt::Key_Left) ending = win::kPopupEndedLeft;
    if (event->key() == Qt::Key_Right && !opens_sub) ending = win::kPopupEndedRight;
    if (event->key() == Qt::Key_Escape) ending = win::kPopupEndedEscape;
    if (ending != 0) {
      key_ending_ = ending;
      event->accept();
      hide();
      return;
    }
  }
  QMenu::keyPressEvent(event);
}

}  // namespace qthost
