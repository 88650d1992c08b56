#pragma once

#include "win/dialog.h"

class CZK470Doc;
namespace platform {
class ResourcePack;
}

// The extras dialog: the analysis engine (0 built in, 1 external analysis library, 2 the built-in
// variant) and the file mode (0 built in, 1 the maker's data-management library) as radio
// groups, beside two version texts. Nothing in the program opens it; after OK the owner reads
// the two fields.
class TQX99ExtraDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 309;
  static constexpr int kVersionId = 1479;
  static constexpr int kLongVersionId = 1480;
  // First radios of the groups; the analysis group is in the order 1366, 1368, 1367.
  static constexpr int kAnalysisBuiltInId = 1366;
  static constexpr int kAnalysisLibraryId = 1368;
  static constexpr int kAnalysisVariantId = 1367;
  static constexpr int kFileBuiltInId = 1369;
  static constexpr int kFileLibraryId = 1370;

  explicit TQX99ExtraDlg(const CZK470Doc& doc, win::Window* parent = nullptr);

  int analysis_mode = 0;
  int file_mode = 0;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// Adds the dialog's template, the same in every pack: it is the program's own.
void AddQX99ExtraDlgResources(platform::ResourcePack& pack);
