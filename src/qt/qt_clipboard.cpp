#include "qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

namespace qthost {

std::optional<std::string> QtClipboard::GetText() const {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard != nullptr ? clipboard->mimeData() : nullptr;
  if (data == nullptr || !data->hasText()) return std::nullopt;
  return data->text().toStdString();
}

void QtClipboard::SetText(std::string_view text) {
  if (QClipboard* clipboard = QGuiApplication::clipboard())
    clipboard->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace qthost
