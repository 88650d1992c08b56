// zk470-icons SHARE: draws the program's icon, the recording document's icon of the program's own
// resources, as PNG files of the desktop's usual sizes under SHARE/icons/hicolor. Run by the build.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>
#include <iostream>

#include "dialogs/dialog_resources.h"
#include "platform/installation.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zk470-icons SHARE\n";
    return 2;
  }
  const gfx::Bitmap icon = LoadDialogIcon(305);
  if (icon.IsEmpty()) {
    std::cerr << "zk470-icons: the program has no icon 305\n";
    return 1;
  }
  const platform::ProgramShare share{argv[1]};
  for (const int size : platform::kIconSizes) {
    // Whole multiples of the pixel picture keep its edges sharp.
    const int scale = size / icon.Width();
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const gfx::Color pixel = icon.GetPixel(x / scale, y / scale);
        if (pixel == kDialogIconMask) continue;
        image.setPixelColor(x, y, QColor(gfx::RedOf(pixel), gfx::GreenOf(pixel), gfx::BlueOf(pixel)));
      }
    }
    const QString path = QString::fromStdString(share.Icon(size).string());
    if (!QDir().mkpath(QString::fromStdString(share.Icon(size).parent_path().string())) ||
        !image.save(path, "PNG")) {
      std::cerr << "zk470-icons: cannot write " << path.toStdString() << "\n";
      return 1;
    }
  }
  return 0;
}
