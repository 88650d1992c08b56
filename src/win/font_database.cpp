#include "win/font_database.h"

#include <cctype>

namespace win {

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::vector<FontStyleInfo> FourStyles() {
  return {{400, false, 0}, {700, false, 0}, {400, true, 0}, {700, true, 0}};
}

FontDatabase* g_database = nullptr;

}  // namespace

bool FontDatabase::HasFamily(std::string_view family) const {
  for (const FontFamilyInfo& info : Families()) {
    if (EqualNoCase(info.name, family)) return true;
  }
  return false;
}

FixedFontDatabase FixedFontDatabase::Standard() {
  std::vector<Face> faces;
  for (const char* name : {"Arial", "Arial Narrow", "Courier New", "Tahoma", "Times New Roman"})
    faces.push_back({{name, true}, FourStyles()});
  faces.push_back({{"Wingdings", true}, {{400, false, 0}}});
  // Character heights of 8, 10, 12, 14, 18 and 24 points at 96 pixels per inch.
  Face raster{{"MS Sans Serif", false}, {}};
  for (const int height : {11, 13, 16, 19, 24, 32}) {
    raster.styles.push_back({400, false, height});
    raster.styles.push_back({700, false, height});
  }
  faces.push_back(std::move(raster));
  return FixedFontDatabase(std::move(faces));
}

std::vector<FontFamilyInfo> FixedFontDatabase::Families() const {
  std::vector<FontFamilyInfo> families;
  families.reserve(faces_.size());
  for (const Face& face : faces_) families.push_back(face.family);
  return families;
}

std::vector<FontStyleInfo> FixedFontDatabase::Styles(std::string_view family) const {
  for (const Face& face : faces_) {
    if (EqualNoCase(face.family.name, family)) return face.styles;
  }
  return {};
}

FontDatabase& CurrentFontDatabase() {
  static FixedFontDatabase standard = FixedFontDatabase::Standard();
  return g_database != nullptr ? *g_database : standard;
}

void SetFontDatabase(FontDatabase* database) { g_database = database; }

}  // namespace win
