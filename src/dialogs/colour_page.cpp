#include "dialogs/colour_page.h"

#include <algorithm>
#include <span>

#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using gfx::Rgb;
using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::LocalizeControls;
using win::LocalizeDialog;

// Teal appears twice (5 and 11), as the stored indices expect.
constexpr std::array<gfx::Color, 15> kColours = {
    Rgb(255, 255, 255), Rgb(255, 255, 0), Rgb(0, 255, 255),   Rgb(0, 0, 255),     Rgb(0, 0, 128),
    Rgb(0, 128, 128),   Rgb(128, 0, 128), Rgb(255, 0, 0),     Rgb(255, 0, 255),   Rgb(0, 255, 0),
    Rgb(0, 128, 0),     Rgb(0, 128, 128), Rgb(192, 192, 192), Rgb(128, 128, 128), Rgb(0, 0, 0)};

// The setting each box shows, in binding order.
constexpr std::array<SettingKey, TColoursPage::kBoxes> kBoxSettings = {
    SettingKey::kColorMarker,     SettingKey::kColorLeadOff,     SettingKey::kColorArtefakt,
    SettingKey::kColorPause,      SettingKey::kColorBradycardia, SettingKey::kColorTachycardia,
    SettingKey::kColorSVES,       SettingKey::kColorVES,         SettingKey::kColorPaceMaker,
    SettingKey::kColorHRTrendMin, SettingKey::kColorHRTrendMax,  SettingKey::kColorHRTrendAverage};

SettingKey SettingOfBox(int id) {
  const auto at = std::find(TColoursPage::kBoxIds.begin(), TColoursPage::kBoxIds.end(), id);
  return kBoxSettings[static_cast<size_t>(at - TColoursPage::kBoxIds.begin())];
}

constexpr DialogLayout kLayout{TColoursPage::kTemplateId, 230, 170, true};
constexpr ControlLayout kControls[] = {
    {-1, ControlKind::kStatic, 8, 10, 60, 8},    {1068, ControlKind::kComboDropList, 70, 8, 40, 100},
    {-1, ControlKind::kStatic, 8, 36, 60, 8},    {1069, ControlKind::kComboDropList, 70, 34, 40, 100},
    {-1, ControlKind::kStatic, 8, 62, 60, 8},    {1070, ControlKind::kComboDropList, 70, 60, 40, 100},
    {-1, ControlKind::kStatic, 8, 88, 60, 8},    {1011, ControlKind::kComboDropList, 70, 86, 40, 100},
    {-1, ControlKind::kStatic, 8, 114, 60, 8},   {1072, ControlKind::kComboDropList, 70, 112, 40, 100},
    {-1, ControlKind::kStatic, 8, 140, 60, 8},   {1073, ControlKind::kComboDropList, 70, 138, 40, 100},
    {-1, ControlKind::kStatic, 120, 10, 60, 8},  {1074, ControlKind::kComboDropList, 182, 8, 40, 100},
    {-1, ControlKind::kStatic, 120, 36, 60, 8},  {1075, ControlKind::kComboDropList, 182, 34, 40, 100},
    {-1, ControlKind::kStatic, 120, 62, 60, 8},  {1076, ControlKind::kComboDropList, 182, 60, 40, 100},
    {-1, ControlKind::kStatic, 120, 88, 60, 8},  {1071, ControlKind::kComboDropList, 182, 86, 40, 100},
    {-1, ControlKind::kStatic, 120, 114, 60, 8}, {1077, ControlKind::kComboDropList, 182, 112, 40, 100},
    {-1, ControlKind::kStatic, 120, 140, 60, 8}, {1078, ControlKind::kComboDropList, 182, 138, 40, 100},
};
constexpr auto kEnglish =
    LocalizeControls(kControls, {"Marker",      "", "Lead off",    "", "Artefact",   "", "Pause",      "",
                                 "Bradycardia", "", "Tachycardia", "", "SVES",       "", "VES",        "",
                                 "Pacemaker",   "", "HR minimum",  "", "HR maximum", "", "HR average", ""});
constexpr auto kGerman =
    LocalizeControls(kControls, {"Marker",        "", "Elektrode ab", "", "Artefakt",   "", "Pause",     "",
                                 "Bradykardie",   "", "Tachykardie",  "", "SVES",       "", "VES",       "",
                                 "Schrittmacher", "", "HF Minimum",   "", "HF Maximum", "", "HF Mittel", ""});
constexpr win::DialogTemplate kEnglishDialogs[] = {LocalizeDialog(kLayout, "Colours", kEnglish)};
constexpr win::DialogTemplate kGermanDialogs[] = {LocalizeDialog(kLayout, "Farben", kGerman)};

int Sum(gfx::Color c) { return gfx::RedOf(c) + gfx::GreenOf(c) + gfx::BlueOf(c); }

}  // namespace

const std::array<gfx::Color, 15>& ColourTable() { return kColours; }

// --- TColourCombo ---

void TColourCombo::DrawItem(gfx::Canvas& canvas, const gfx::Rect& item, gfx::Color colour, unsigned action,
                            bool selected) {
  const gfx::Rect r{item.left + 2, item.top + 2, item.right - 2, item.bottom - 2};
  if ((action & kDrawEntire) != 0) canvas.FillSolidRect(r, colour);
  if (selected && (action & (kDrawEntire | kDrawSelect)) != 0) {
    const gfx::Color inverted =
        gfx::Rgb(255 - gfx::RedOf(colour), 255 - gfx::GreenOf(colour), 255 - gfx::BlueOf(colour));
    canvas.FrameRect(r, gfx::Brush{gfx::BrushStyle::kSolid, inverted});
    return;
  }
  // Takes an earlier selection frame away.
  if (!selected && (action & kDrawSelect) != 0)
    canvas.FrameRect(r, gfx::Brush{gfx::BrushStyle::kSolid, colour});
}

int TColourCombo::CompareItem(gfx::Color a, gfx::Color b) {
  if (a == b) return 0;
  if (Sum(a) != Sum(b)) return Sum(a) < Sum(b) ? -1 : 1;
  if (gfx::BlueOf(b) >= gfx::BlueOf(a) && gfx::GreenOf(b) >= gfx::GreenOf(a))
    return gfx::RedOf(b) < gfx::RedOf(a) ? -1 : 1;
  return -1;
}

bool TColourCombo::DrawListEntry(gfx::Canvas& canvas, const gfx::Rect& rect, int index) {
  if (index < 0 || index >= GetCount()) return false;
  DrawItem(canvas, rect, ColourAt(index), kDrawEntire, false);
  return true;
}

void TColourCombo::OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) {
  win::ComboBox::OnPaint(canvas, update);
  const int index = GetCurSel();
  if (index < 0) return;
  const gfx::Rect client = GetClientRect();
  const gfx::Rect item{client.left + 1, client.top + 1, client.right - kButtonWidth - 1,
                       client.top + std::min(client.Height(), 21) - 1};
  DrawItem(canvas, item, ColourAt(index), kDrawEntire, false);
}

// --- TColoursPage ---

TColoursPage::TColoursPage() : win::PropertyPage(kTemplateId) {
  values.fill(-1);
  for (size_t i = 0; i < boxes_.size(); ++i) AttachControl(kBoxIds[i], boxes_[i]);
}

TColoursPage::TColoursPage(const CZK470Doc& document) : TColoursPage() {
  document_ = &document;
  // Each value starts as the setting of the box it is exchanged with, so the boxes show the
  // settings whichever order binds them.
  for (size_t i = 0; i < values.size(); ++i)
    values[i] = document.GetSettings().Int(SettingOfBox(kValueIds[i]));
}

bool TColoursPage::OnInitDialog() {
  for (TColourCombo& box : boxes_) {
    for (const gfx::Color colour : kColours) box.SetItemData(box.AddString(""), colour);
  }
  const bool result = win::PropertyPage::OnInitDialog();
  if (document_ != nullptr) {
    for (size_t i = 0; i < boxes_.size(); ++i)
      boxes_[i].SetCurSel(document_->GetSettings().Int(kBoxSettings[i]));
  }
  return result;
}

void TColoursPage::DoDataExchange(win::DataExchange& dx) {
  for (size_t i = 0; i < values.size(); ++i) win::DdxCBIndex(dx, kValueIds[i], values[i]);
}

void AddColourPageResources(platform::ResourcePack& pack) {
  win::Templates().Add(pack, win::IsGermanPack(pack) ? std::span<const win::DialogTemplate>(kGermanDialogs)
                                                     : std::span<const win::DialogTemplate>(kEnglishDialogs));
}
