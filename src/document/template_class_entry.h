#pragma once

#include <cstdint>

// One row of the document's template review: a template class of one family with the number of
// its beats when the row was built or last refreshed. Rebuilt from the recording record, never
// stored.
struct TTemplateClassEntry {
  // Family numbers of the template review.
  static constexpr int32_t kFamilyVES = 0;
  static constexpr int32_t kFamilyNormal = 1;
  static constexpr int32_t kFamilyArtefact = 2;
  static constexpr int32_t kFamilySVES = 3;
  // A row whose class became empty keeps its place with family and class -1.
  static constexpr int32_t kEmptied = -1;

  int32_t family = kFamilyNormal;
  int32_t class_index = 0;  // 0..299 within the family
  int32_t count = 0;

  bool operator==(const TTemplateClassEntry&) const = default;
};
