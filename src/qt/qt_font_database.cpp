#include "qt/qt_font_database.h"

#include <QFontDatabase>
#include <QList>
#include <QString>
#include <QStringList>
#include <string>

namespace qthost {

namespace {

// Character height in pixels of a point size on the screen the program converts sizes for.
int PointsToPixels(int points) { return (points * win::kScreenLogPixelsY + 36) / 72; }

}  // namespace

std::vector<win::FontFamilyInfo> QtFontDatabase::Families() const {
  std::vector<win::FontFamilyInfo> families;
  for (const QString& family : QFontDatabase::families()) {
    if (QFontDatabase::isPrivateFamily(family)) continue;
    families.push_back({family.toStdString(), QFontDatabase::isSmoothlyScalable(family)});
  }
  return families;
}

std::vector<win::FontStyleInfo> QtFontDatabase::Styles(std::string_view family_name) const {
  const QString family = QString::fromUtf8(family_name.data(), static_cast<qsizetype>(family_name.size()));
  std::vector<win::FontStyleInfo> styles;
  if (!QFontDatabase::hasFamily(family)) return styles;
  const bool scalable = QFontDatabase::isSmoothlyScalable(family);
  for (const QString& style : QFontDatabase::styles(family)) {
    // Qt weights run 100..900 as the platform's do.
    const int weight = QFontDatabase::weight(family, style);
    const bool italic = QFontDatabase::italic(family, style);
    if (scalable) {
      styles.push_back({weight, italic, 0});
      continue;
    }
    for (const int points : QFontDatabase::pointSizes(family, style))
      styles.push_back({weight, italic, PointsToPixels(points)});
  }
  return styles;
}

}  // namespace qthost
