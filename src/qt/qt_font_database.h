#pragma once

#include <string_view>
#include <vector>

#include "win/font_database.h"

namespace qthost {

// The installed fonts as the platform's font system lists them. Smoothly scalable families count
// as TrueType; the others list each style at each of their sizes. User-interface thread only.
class QtFontDatabase : public win::FontDatabase {
 public:
  std::vector<win::FontFamilyInfo> Families() const override;
  std::vector<win::FontStyleInfo> Styles(std::string_view family) const override;
};

}  // namespace qthost
