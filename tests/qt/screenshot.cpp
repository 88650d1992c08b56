#include "qt/screenshot.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <string>
#include <system_error>

namespace qthost::testing_support {

std::filesystem::path ScreenshotDir() { return std::filesystem::path(ZK_BINARY_DIR) / "screenshots"; }

std::filesystem::path SaveScreenshot(const QImage& image, std::string_view name) {
  const std::filesystem::path dir = ScreenshotDir();
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  const std::filesystem::path file = dir / (std::string(name) + ".png");
  if (image.isNull() || !image.save(QString::fromStdString(file.string()), "PNG")) {
    ADD_FAILURE() << "could not write the screenshot " << file;
  }
  return file;
}

std::filesystem::path SaveScreenshot(QWidget& widget, std::string_view name) {
  widget.ensurePolished();
  QCoreApplication::processEvents();
  return SaveScreenshot(widget.grab().toImage(), name);
}

}  // namespace qthost::testing_support
