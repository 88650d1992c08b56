#include "qt/qt_prompt.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include "platform/resources.h"
#include "win/win_strings.h"

namespace qthost {
namespace {

QString ToQt(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

struct ButtonSpec {
  QMessageBox::StandardButton button;
  int answer;
};

// The button's text in the program's language; Qt's own when the packs have none.
int TextIdOf(int answer) {
  switch (answer) {
    case win::kIdOk:
      return win::kIdsSheetOk;
    case win::kIdCancel:
      return win::kIdsSheetCancel;
    case win::kIdYes:
      return win::kIdsBoxYes;
    case win::kIdNo:
      return win::kIdsBoxNo;
    case win::kIdRetry:
      return win::kIdsBoxRetry;
    case win::kIdAbort:
      return win::kIdsBoxAbort;
    default:
      return win::kIdsBoxIgnore;
  }
}

std::vector<ButtonSpec> ButtonsOf(unsigned style) {
  switch (style & 0xF) {
    case win::kMbOkCancel:
      return {{QMessageBox::Ok, win::kIdOk}, {QMessageBox::Cancel, win::kIdCancel}};
    case win::kMbAbortRetryIgnore:
      return {{QMessageBox::Abort, win::kIdAbort}, {QMessageBox::Retry, win::kIdRetry},
              {QMessageBox::Ignore, win::kIdIgnore}};
    case win::kMbYesNoCancel:
      return {{QMessageBox::Yes, win::kIdYes}, {QMessageBox::No, win::kIdNo}, {QMessageBox::Cancel, win::kIdCancel}};
    case win::kMbYesNo:
      return {{QMessageBox::Yes, win::kIdYes}, {QMessageBox::No, win::kIdNo}};
    case win::kMbRetryCancel:
      return {{QMessageBox::Retry, win::kIdRetry}, {QMessageBox::Cancel, win::kIdCancel}};
    default:
      return {{QMessageBox::Ok, win::kIdOk}};
  }
}

QMessageBox::Icon IconOf(unsigned style) {
  switch (style & 0xF0) {
    case win::kMbIconStop:
      return QMessageBox::Critical;
    case win::kMbIconQuestion:
      return QMessageBox::Question;
    case win::kMbIconExclamation:
      return QMessageBox::Warning;
    case win::kMbIconInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QWidget* Owner() { return QApplication::activeWindow(); }

}  // namespace

QString QtFileFilter(std::string_view filter) {
  QStringList parts = ToQt(filter).split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString name = parts[i].trimmed();
    if (name.isEmpty()) break;
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
      const QString p = pattern.trimmed();
      if (p == "*.*") {
        patterns << "*";
        continue;
      }
      for (const QString& variant : {p, p.toUpper(), p.toLower()}) {
        if (!patterns.contains(variant)) patterns << variant;
      }
    }
    // The name keeps its text, the patterns follow in parentheses as Qt expects.
    const qsizetype open = name.indexOf('(');
    const QString label = open > 0 ? name.left(open).trimmed() : name;
    entries << QString("%1 (%2)").arg(label, patterns.join(' '));
  }
  return entries.join(";;");
}

int QtPrompt::MessageBox(std::string_view text, std::string_view caption, unsigned style) {
  QMessageBox box(IconOf(style), ToQt(caption), ToQt(text), QMessageBox::NoButton, Owner());
  const std::vector<ButtonSpec> buttons = ButtonsOf(style);
  for (const ButtonSpec& choice : buttons) {
    box.addButton(choice.button);
    const std::string text = platform::Resources().LoadString(TextIdOf(choice.answer));
    if (!text.empty()) box.button(choice.button)->setText(ToQt(text));
  }
  const size_t default_index = (style & win::kMbDefButton2) != 0 && buttons.size() > 1 ? 1 : 0;
  box.setDefaultButton(buttons[default_index].button);
  box.exec();
  const QAbstractButton* clicked = box.clickedButton();
  for (const ButtonSpec& choice : buttons) {
    if (clicked == box.button(choice.button)) return choice.answer;
  }
  // Closed without a button: the answer of Esc, which is Cancel where there is one.
  for (const ButtonSpec& choice : buttons) {
    if (choice.answer == win::kIdCancel) return win::kIdCancel;
  }
  return buttons.size() == 1 ? buttons.front().answer : win::kIdCancel;
}

std::optional<std::string> QtPrompt::ChooseFile(const win::FileDialogRequest& request) {
  QFileDialog dialog(Owner(), ToQt(request.title), ToQt(request.initial_folder), QtFileFilter(request.filter));
  dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!request.default_extension.empty()) dialog.setDefaultSuffix(ToQt(request.default_extension));
  if (!request.file_name.empty()) dialog.selectFile(ToQt(request.file_name));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::vector<std::string>> QtPrompt::ChooseFiles(const win::FileDialogRequest& request) {
  QFileDialog dialog(Owner(), ToQt(request.title), ToQt(request.initial_folder),
                     QtFileFilter(request.filter));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  if (!request.file_name.empty()) dialog.selectFile(ToQt(request.file_name));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  std::vector<std::string> paths;
  for (const QString& path : dialog.selectedFiles()) paths.push_back(path.toStdString());
  return paths;
}

bool QtPrompt::OpenExternal(std::string_view target) {
  return QDesktopServices::openUrl(
      QUrl::fromUserInput(ToQt(target), QDir::currentPath(), QUrl::AssumeLocalFile));
}

std::optional<std::string> QtPrompt::ChooseFolder(std::string_view title, std::string_view initial) {
  const QString folder = QFileDialog::getExistingDirectory(Owner(), ToQt(title), ToQt(initial));
  if (folder.isEmpty()) return std::nullopt;
  return folder.toStdString();
}

std::optional<uint32_t> QtPrompt::ChooseColor(uint32_t initial) {
  // 0x00BBGGRR, as the program's colour settings hold them.
  const QColor start(static_cast<int>(initial & 0xFF), static_cast<int>((initial >> 8) & 0xFF),
                     static_cast<int>((initial >> 16) & 0xFF));
  const QColor chosen = QColorDialog::getColor(start, Owner());
  if (!chosen.isValid()) return std::nullopt;
  return static_cast<uint32_t>(chosen.red()) | (static_cast<uint32_t>(chosen.green()) << 8) |
         (static_cast<uint32_t>(chosen.blue()) << 16);
}

}  // namespace qthost
