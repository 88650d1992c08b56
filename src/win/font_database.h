#pragma once

#include <string>
#include <string_view>
#include <vector>

// The installed fonts as the font chooser and the option tree ask for them: families with their
// kind and, per family, the styles (and for fixed-size faces the sizes) it has. Headless, a fixed
// list of faces answers; the program's host installs one that asks the real font system.
// User-interface thread only.
namespace win {

// Font-type bits of an enumerated face.
inline constexpr int kRasterFontType = 1;
inline constexpr int kTrueTypeFontType = 4;

// Logical pixels per inch of the screen, both ways: what point sizes are converted with.
inline constexpr int kScreenLogPixelsY = 96;

struct FontFamilyInfo {
  std::string name;
  // Scalable outline faces count as TrueType; the others are raster faces with fixed sizes.
  bool scalable = true;
  int FontType() const { return scalable ? kTrueTypeFontType : kRasterFontType; }
};

// One style of a family. Raster faces list each style once per size they have.
struct FontStyleInfo {
  int weight = 400;
  bool italic = false;
  // Raster faces: the character height in pixels (cell height less internal leading); 0 otherwise.
  int height_px = 0;
};

class FontDatabase {
 public:
  virtual ~FontDatabase() = default;
  virtual std::vector<FontFamilyInfo> Families() const = 0;
  // Empty for a family that is not installed.
  virtual std::vector<FontStyleInfo> Styles(std::string_view family) const = 0;
  // Compared without regard to case.
  bool HasFamily(std::string_view family) const;
};

// A fixed list of faces: the headless default, and what tests build their own lists with.
class FixedFontDatabase : public FontDatabase {
 public:
  struct Face {
    FontFamilyInfo family;
    std::vector<FontStyleInfo> styles;
  };
  FixedFontDatabase() = default;
  explicit FixedFontDatabase(std::vector<Face> faces) : faces_(std::move(faces)) {}
  // Outline faces including "Arial" and "Arial Narrow", one with a regular style only
  // ("Wingdings"), and the raster face "MS Sans Serif" at 8, 10, 12, 14, 18 and 24 points.
  static FixedFontDatabase Standard();

  std::vector<FontFamilyInfo> Families() const override;
  std::vector<FontStyleInfo> Styles(std::string_view family) const override;

 private:
  std::vector<Face> faces_;
};

// The database in use: the one set last, else the standard fixed list.
FontDatabase& CurrentFontDatabase();
// Not owned; nullptr returns to the standard fixed list.
void SetFontDatabase(FontDatabase* database);

}  // namespace win
