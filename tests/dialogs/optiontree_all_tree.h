#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_check_box.h"
#include "dialogs/optiontree/option_tree_color_item.h"
#include "dialogs/optiontree/option_tree_combo_item.h"
#include "dialogs/optiontree/option_tree_date_item.h"
#include "dialogs/optiontree/option_tree_edit_item.h"
#include "dialogs/optiontree/option_tree_file_item.h"
#include "dialogs/optiontree/option_tree_font_item.h"
#include "dialogs/optiontree/option_tree_hyperlink.h"
#include "dialogs/optiontree/option_tree_image_item.h"
#include "dialogs/optiontree/option_tree_ip_address_item.h"
#include "dialogs/optiontree/option_tree_radio.h"
#include "dialogs/optiontree/option_tree_spinner_item.h"
#include "dialogs/optiontree/option_tree_static.h"
#include "gfx/bitmap.h"
#include "platform/clock.h"

namespace dialogs::testing_support {

// A tree holding a row of every item kind, in three categories, filled the way a dialog fills
// it. Shared by the headless test and the pictures through the Qt host.
struct TreeOfEveryKind {
  COptionTreeItem* general = nullptr;
  COptionTreeCheckItem* check = nullptr;
  COptionTreeRadioItem* radio = nullptr;
  COptionTreeHyperlinkItem* link = nullptr;
  COptionTreeStaticItem* version = nullptr;
  COptionTreeItem* appearance = nullptr;
  COptionTreeColorItem* colour = nullptr;
  COptionTreeImageItem* symbol = nullptr;
  COptionTreeFontItem* font = nullptr;
  COptionTreeItem* values = nullptr;
  COptionTreeEditItem* station = nullptr;
  COptionTreeSpinnerItem* beats = nullptr;
  COptionTreeIPAddressItem* server = nullptr;
  COptionTreeComboItem* lead = nullptr;
  COptionTreeDateItem* date = nullptr;
  COptionTreeFileItem* file = nullptr;
  COptionTreeFileItem* folder = nullptr;

  // The rows that open an editor of their own when clicked, top to bottom.
  std::vector<COptionTreeItem*> Editable() const {
    return {check, radio, colour, symbol, station, beats, server, lead, date};
  }
};

// A 16-pixel symbol drawn in code: a coloured square with a black frame on a transparent ground.
inline gfx::Bitmap SymbolOf(gfx::Color fill) {
  gfx::Bitmap b(16, 16, COptionTreeImageItem::kTransparentColor);
  for (int y = 2; y < 14; ++y)
    for (int x = 2; x < 14; ++x) b.SetPixel(x, y, x == 2 || y == 2 || x == 13 || y == 13 ? 0 : fill);
  return b;
}

template <typename Item>
Item* AddRow(COptionTree& tree, COptionTreeItem* parent, std::string_view label, std::string_view info = {}) {
  auto* item = new Item;
  item->SetLabelText(label);
  item->SetInfoText(info);
  tree.InsertItem(item, parent);
  return item;
}

inline TreeOfEveryKind FillTreeOfEveryKind(COptionTree& tree) {
  TreeOfEveryKind t;
  t.general = AddRow<COptionTreeItem>(tree, nullptr, "General");
  t.check = AddRow<COptionTreeCheckItem>(tree, t.general, "Pacemaker", "The patient wears a pacemaker.");
  t.check->CreateCheckWindow(1, CheckOptionDrawBox | CheckOptionDrawText);
  t.check->SetStateTexts("Yes", "No");
  t.radio = AddRow<COptionTreeRadioItem>(tree, t.general, "Units", "The unit of the amplitudes.");
  t.radio->CreateRadioWindow();
  t.radio->AddRadio("Millimetres", 1);
  t.radio->AddRadio("Inches", 0);
  t.link = AddRow<COptionTreeHyperlinkItem>(tree, t.general, "Manual");
  t.link->CreateHyperlinkWindow(HyperlinkOptionUnderlineHover | HyperlinkOptionHoverColor,
                                "https://example.org/zk470", gfx::Rgb(0, 0, 255), gfx::Rgb(255, 0, 0),
                                gfx::Rgb(128, 0, 128));
  t.version = AddRow<COptionTreeStaticItem>(tree, t.general, "Version");
  t.version->SetStaticText("3.2.1");

  t.appearance = AddRow<COptionTreeItem>(tree, nullptr, "Appearance");
  t.colour = AddRow<COptionTreeColorItem>(tree, t.appearance, "Trace colour", "The colour of the ECG trace.");
  t.colour->CreateColorWindow(ColorOptionHexText, gfx::Rgb(255, 0, 0), gfx::Rgb(0, 0, 0));
  t.symbol = AddRow<COptionTreeImageItem>(tree, t.appearance, "Event symbol");
  t.symbol->CreateImageWindow(ImageOptionShowText, 16, 16, 3);
  t.symbol->AddIcon(SymbolOf(gfx::Rgb(220, 30, 30)), "Alarm");
  t.symbol->AddIcon(SymbolOf(gfx::Rgb(30, 140, 220)), "Note");
  t.symbol->SetSelection(1);
  t.font = AddRow<COptionTreeFontItem>(tree, t.appearance, "Report font");
  FontDescription face;
  face.face_name = "Arial";
  face.height = -13;
  t.font->CreateFontItem(face, gfx::Rgb(0, 0, 128), kFontDlgPreviewFaceName);

  t.values = AddRow<COptionTreeItem>(tree, nullptr, "Values");
  t.station = AddRow<COptionTreeEditItem>(tree, t.values, "Station", "Where the recording was made.");
  t.station->CreateEditWindow(0);
  t.station->GetEdit().SetWindowText("Holter room 2");
  t.beats = AddRow<COptionTreeSpinnerItem>(tree, t.values, "Beats");
  t.beats->CreateSpinnerWindow(kSpinnerOptionDirectEdit, 12, 0, 100);
  t.server = AddRow<COptionTreeIPAddressItem>(tree, t.values, "Server");
  t.server->CreateIPAddressWindow();
  t.server->GetAddressWindow().SetAddress({10, 0, 0, 47});
  t.lead = AddRow<COptionTreeComboItem>(tree, t.values, "Lead");
  t.lead->CreateComboWindow();
  for (const char* text : {"I", "II", "V1"}) t.lead->AddString(text);
  t.lead->SetCurSel(1);
  t.date = AddRow<COptionTreeDateItem>(tree, t.values, "Start date");
  t.date->CreateDateWindow("ddd, MMM d, yyyy", kDtsLongDateFormat);
  t.date->SetTime(platform::LocalDateTime{2026, 12, 11, 8, 30, 0});
  t.file = AddRow<COptionTreeFileItem>(tree, t.values, "Recording");
  t.file->CreateFileItem("/data/a.QRS", "QRS", "Recordings (*.QRS)|*.QRS||",
                         kFileShowFullPath | kFileOpenDialog, 0);
  t.folder = AddRow<COptionTreeFileItem>(tree, t.values, "Export folder");
  t.folder->CreateFileItem("/home/user/ZK-470/Export", "", "", kFileChooseFolder | kFileShowFullPath, 0);
  tree.UpdateList();
  return t;
}

}  // namespace dialogs::testing_support
