#pragma once

#include <array>
#include <string>

#include "win/dialog.h"

class CZK470Doc;

// A hidden dialog whose multi-line edit fields hold five texts of the recording for printing: the
// report parts create its window without a parent, modeless, and read each field line by line, so
// that the fields do the word wrapping. The limits restrict typing only: they are applied after
// the texts are loaded, so a longer diagnosis stands whole. User-interface thread only.
class TFindingsDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 205;
  static constexpr std::array<int, 5> kTextIds = {1171, 1172, 1173, 1174, 1175};
  static constexpr std::array<int, 5> kLimits = {70, 1000, 1000, 1000, 1000};

  // Assignment texts 1..3, diagnosis and comments from the document's recording record.
  explicit TFindingsDlg(CZK470Doc* document);
  // Five empty texts, no document.
  explicit TFindingsDlg(win::Window* parent);

  // 0 assignment 1, 1 assignment 2, 2 medication, 3 diagnosis, 4 comments.
  std::array<std::string, 5> texts;
  CZK470Doc* document = nullptr;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};
