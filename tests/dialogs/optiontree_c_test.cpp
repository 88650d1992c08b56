#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dialogs/optiontree/option_tree.h"
#include "dialogs/optiontree/option_tree_font_dialog.h"
#include "dialogs/optiontree/option_tree_font_item.h"
#include "gfx/recording_canvas.h"
#include "platform/resources.h"
#include "support/screen_golden.h"
#include "win/font_database.h"
#include "win/system_metrics.h"
#include "win/win_fixture.h"

namespace dialogs {
namespace {

using win::FixedFontDatabase;
using win::FontStyleInfo;

std::vector<FontStyleInfo> AllStyles() {
  return {{400, false, 0}, {700, false, 0}, {400, true, 0}, {700, true, 0}};
}

// A short list where a face's name begins another's, listed first, as font systems often order them.
FixedFontDatabase SmallFonts() {
  return FixedFontDatabase({
      {{"Arial Narrow", true}, AllStyles()},
      {{"Arial", true}, AllStyles()},
      {{"Wingdings", true}, {{400, false, 0}}},
      {{"Bold Only", true}, {{700, false, 0}, {700, true, 0}}},
      {{"Fixedsys", false}, {{400, false, 16}, {700, false, 16}, {400, false, 11}}},
  });
}

std::vector<std::string> Entries(const win::ComboBox& box) {
  std::vector<std::string> texts;
  for (const win::ListEntry& entry : box.Items()) texts.push_back(entry.text);
  return texts;
}

FontDescription Face(std::string_view name, int height, int weight = 400, uint8_t italic = 0) {
  FontDescription font;
  font.face_name = name;
  font.height = height;
  font.weight = weight;
  font.italic = italic;
  return font;
}

class FontTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    AddOptionTreeFontResources(platform::Resources().ExePack());
    win::SetFontDatabase(&fonts_);
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
  }
  void TearDown() override {
    main_.DestroyWindow();
    win::SetFontDatabase(nullptr);
    WinTest::TearDown();
  }

  // A dialog shown modeless, so that a test can work its controls and read the state between.
  std::unique_ptr<COptionTreeFontDialog> Open(uint32_t flags, const FontDescription& font,
                                              const FontDescription& default_font = {}) {
    auto dialog = std::make_unique<COptionTreeFontDialog>(flags, font, default_font, &main_);
    EXPECT_TRUE(dialog->CreateModeless(&main_));
    return dialog;
  }
  static win::ComboBox& Style(COptionTreeFontDialog& d) {
    return *d.Item<win::ComboBox>(COptionTreeFontDialog::kIdStyle);
  }
  static void Press(COptionTreeFontDialog& d, int id) { d.Item<win::Button>(id)->Click(); }

  FixedFontDatabase fonts_ = SmallFonts();
  win::Window main_;
};

TEST(FontDatabase, StandardListFindsFacesInAnyCaseAndCanBeReplaced) {
  const FixedFontDatabase standard = FixedFontDatabase::Standard();
  EXPECT_TRUE(standard.HasFamily("arial"));
  EXPECT_TRUE(standard.HasFamily("Arial Narrow"));
  EXPECT_FALSE(standard.HasFamily("Arial Nar"));
  EXPECT_TRUE(standard.Styles("Arial Nar").empty());
  bool raster = false;
  for (const win::FontFamilyInfo& family : standard.Families()) raster |= !family.scalable;
  EXPECT_TRUE(raster);

  FixedFontDatabase mine({{{"Only", true}, AllStyles()}});
  win::SetFontDatabase(&mine);
  EXPECT_TRUE(win::CurrentFontDatabase().HasFamily("only"));
  EXPECT_FALSE(win::CurrentFontDatabase().HasFamily("Arial"));
  win::SetFontDatabase(nullptr);
  EXPECT_TRUE(win::CurrentFontDatabase().HasFamily("Arial"));
}

TEST(FontConversions, CharacterFormatsAndFontDescriptionsConvertAtTheScreenResolution) {
  CharacterFormat format;
  format.height_twips = 200;
  format.effects = kCfeBold | kCfeUnderline;
  format.char_set = 2;
  format.face_name = "Arial";
  const FontDescription font = FontFromCharFormat(format);
  EXPECT_EQ(font.height, 13);  // 200 x 96 / 1440 = 13.3
  EXPECT_EQ(font.weight, 700);
  EXPECT_EQ(font.underline, 1);
  EXPECT_EQ(font.italic, 0);
  EXPECT_EQ(font.char_set, 0);
  EXPECT_EQ(font.face_name, "Arial");

  FontDescription back = Face("Times New Roman", -13, 400, 1);
  back.strike_out = 1;
  back.char_set = 2;
  const CharacterFormat out = CharFormatFromFont(back, 0x0000FF);
  EXPECT_EQ(out.mask, 0xE800000Fu);
  EXPECT_EQ(out.effects, kCfeItalic | kCfeStrikeOut);
  EXPECT_EQ(out.height_twips, 195);  // 13 x 15
  EXPECT_EQ(CharFormatFromFont(back, 0, 120).height_twips, 156);
  EXPECT_EQ(out.text_color, 0x0000FFu);
  EXPECT_EQ(out.char_set, 2);
  EXPECT_EQ(out.face_name, "Times New Roman");

  EXPECT_FALSE(CreateFontFrom(Face("", -12)));
  EXPECT_FALSE(CreateFontFrom(Face("   ", -12)));
  ASSERT_TRUE(CreateFontFrom(Face("Arial", -12, 700)));
  EXPECT_EQ(CreateFontFrom(Face("Arial", -12, 700))->weight, 700);
}

TEST_F(FontTest, FaceBoxKeepsFacesWhoseNamesBeginOthersAndFindsThemExactly) {
  COptionTreeFontFaceCombo box;
  ASSERT_TRUE(box.CreateControl(&main_, {0, 0, 150, 200}, 1, "", 0));
  EXPECT_EQ(box.AddFont(Face("Arial Narrow", 0), win::kTrueTypeFontType), 0);
  EXPECT_EQ(box.AddFont(Face("Arial", 0), win::kTrueTypeFontType), 1);
  EXPECT_EQ(box.AddFont(Face("ARIAL", 0), win::kTrueTypeFontType), -1);
  EXPECT_EQ(box.AddFont(Face("Fixedsys", 0), win::kRasterFontType), 2);
  EXPECT_EQ(Entries(box), (std::vector<std::string>{"Arial Narrow", "Arial", "Fixedsys"}));

  struct Case {
    const char* name;
    int want_result;
    const char* want_face;
  };
  constexpr Case kCases[] = {
      {"arial", 1, "Arial"}, {"Arial narrow", 1, "Arial Narrow"}, {"Ari", 0, "Arial Narrow"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(box.SelectFace(c.name), c.want_result);
    EXPECT_EQ(box.GetCurrentFace(), c.want_face);
  }
  EXPECT_EQ(box.GetFontType(2), win::kRasterFontType);
  EXPECT_EQ(box.GetLogFont(1)->face_name, "Arial");
  EXPECT_FALSE(box.GetLogFont(7));
  box.ResetContent();
  EXPECT_EQ(box.AddFont(Face("Arial", 0), win::kTrueTypeFontType), 0);
  EXPECT_EQ(box.GetLogFont(0)->face_name, "Arial");
}

TEST_F(FontTest, SizeBoxIsSortedFreeOfDuplicatesAndReadsTypedSizes) {
  COptionTreeFontSizeCombo box;
  ASSERT_TRUE(box.CreateControl(&main_, {0, 0, 60, 200}, 1, "", 0));
  for (const int points : {12, 8, 72, 10}) EXPECT_GE(box.AddSize(points, 0), 0);
  EXPECT_EQ(box.AddSize(12, 0), -1);
  EXPECT_EQ(box.AddSize(12, -16), -1);  // the same height is the same size
  EXPECT_EQ(Entries(box), (std::vector<std::string>{"8", "10", "12", "72"}));
  EXPECT_EQ(box.GetHeight(1), -13);

  COptionTreeFontSizeCombo raster;
  ASSERT_TRUE(raster.CreateControl(&main_, {0, 0, 60, 200}, 2, "", 0));
  for (const int height : {24, 11, 16}) raster.AddSize(height * 72 / 96, height);
  EXPECT_EQ(Entries(raster), (std::vector<std::string>{"8", "12", "18"}));

  struct Case {
    const char* typed;
    int want_height;
  };
  constexpr Case kCases[] = {
      {"10.6", -15},  // 11 points
      {"7", -9},      // 7 points, not the 72 that begins with it
      {"72", -96},    // an entry
      {" 12 ", -16},  // blanks around a number
      {"10.5", -15},  // halves round up
      {"abc", -11},   // not a number: the first entry
      {"0", -11},     // no size: the first entry
      {"-5", -11},   {"4 2", -11}, {"1e3", -11}, {"", -11}, {"99999999999999999999999", -11},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.typed);
    box.SetEditTextFromUser(c.typed);
    EXPECT_EQ(box.GetCurSel(), -1);
    EXPECT_EQ(box.GetHeight(-1), c.want_height);
  }
  box.SelectFromUser(3);
  EXPECT_EQ(box.GetHeight(-1), -96);
}

TEST_F(FontTest, DialogShowsTheGivenFontAndAcceptsTheChoice) {
  FontDescription font = Face("arial", -16, 700, 1);
  font.underline = 1;
  auto dialog = Open(0, font);
  EXPECT_EQ(dialog->FaceCombo().GetCurrentFace(), "Arial");  // not "Arial Narrow", listed first
  EXPECT_EQ(dialog->SizeCombo().GetLBText(dialog->SizeCombo().GetCurSel()), "12");
  EXPECT_EQ(Style(*dialog).GetLBText(Style(*dialog).GetCurSel()), "Bold Italic");
  EXPECT_EQ(dialog->Item<win::Button>(COptionTreeFontDialog::kIdUnderline)->GetCheck(), 1);
  EXPECT_EQ(dialog->Item<win::Button>(COptionTreeFontDialog::kIdStrikeOut)->GetCheck(), 0);
  ASSERT_TRUE(dialog->GetPreviewFont());
  EXPECT_EQ(*dialog->GetPreviewFont(), (gfx::Font{-16, 0, 0, 700, true, true, false, "Arial"}));

  Press(*dialog, COptionTreeFontDialog::kIdStrikeOut);
  Press(*dialog, COptionTreeFontDialog::kIdUnderline);
  Style(*dialog).SelectFromUser(0);
  dialog->SizeCombo().SelectFromUser(dialog->SizeCombo().FindStringExact(-1, "10"));
  EXPECT_TRUE(dialog->GetPreviewFont()->strike_out);
  Press(*dialog, COptionTreeFontDialog::kIdAccept);
  EXPECT_EQ(dialog->Result(), COptionTreeFontDialog::kIdAccept);
  FontDescription want = Face("Arial", -13, 400, 0);
  want.strike_out = 1;
  EXPECT_EQ(dialog->GetLogFont(), want);
}

TEST_F(FontTest, DialogOffersTheSizesAndStylesOfEachFace) {
  struct Case {
    const char* face;
    uint32_t flags;
    std::vector<std::string> sizes;
    std::vector<std::string> styles;
  };
  const std::vector<std::string> standard = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                             "20", "22", "24", "26", "28", "36", "48", "72"};
  const std::vector<std::string> four = {"Regular", "Bold", "Italic", "Bold Italic"};
  const std::vector<Case> cases = {
      {"Wingdings", 0, standard, four},  // regular alone still offers all four
      {"Bold Only", 0, standard, {"Bold", "Bold Italic"}},
      {"Fixedsys", 0, {"8", "12"}, four},  // its own sizes only
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    auto dialog = Open(c.flags, Face(c.face, -12));
    EXPECT_EQ(dialog->FaceCombo().GetCurrentFace(), c.face);
    EXPECT_EQ(Entries(dialog->SizeCombo()), c.sizes);
    EXPECT_EQ(Entries(Style(*dialog)), c.styles);
    dialog->DestroyWindow();
  }

  auto true_type = Open(kFontDlgTrueTypeOnly, Face("Fixedsys", -12));
  EXPECT_EQ(Entries(true_type->FaceCombo()),
            (std::vector<std::string>{"Arial Narrow", "Arial", "Wingdings", "Bold Only"}));
  EXPECT_EQ(true_type->FaceCombo().GetCurrentFace(), "Arial Narrow");  // not listed: the first
}

TEST_F(FontTest, TypedSizesChangeThePreviewOnlyWhenTheyNameAnEntry) {
  auto dialog = Open(0, Face("Arial", -16));
  const gfx::Font before = *dialog->GetPreviewFont();
  dialog->SizeCombo().SetEditTextFromUser("13");
  EXPECT_EQ(dialog->SizeCombo().GetWindowText(), "13");
  EXPECT_EQ(*dialog->GetPreviewFont(), before);
  dialog->SizeCombo().SetEditTextFromUser("14");
  EXPECT_EQ(dialog->SizeCombo().GetCurSel(), dialog->SizeCombo().FindStringExact(-1, "14"));
  EXPECT_EQ(dialog->GetPreviewFont()->height, -19);

  // A typed face takes effect once it names a face exactly.
  dialog->FaceCombo().SetEditTextFromUser("Arial Narrow");
  EXPECT_EQ(dialog->GetPreviewFont()->face, "Arial Narrow");
  dialog->FaceCombo().SetEditTextFromUser("Wing");
  EXPECT_EQ(dialog->GetPreviewFont()->face, "Arial Narrow");

  dialog->FaceCombo().SetEditTextFromUser("wingdings");
  EXPECT_EQ(dialog->GetPreviewFont()->face, "Wingdings");

  dialog->SizeCombo().SetEditTextFromUser("10.6");
  Press(*dialog, COptionTreeFontDialog::kIdAccept);
  EXPECT_EQ(dialog->GetLogFont().face_name, "Wingdings");
  EXPECT_EQ(dialog->GetLogFont().height, -15);  // 11 points
}

TEST_F(FontTest, ButtonsFollowTheFlags) {
  struct Case {
    const char* name;
    uint32_t flags;
    bool apply_shown;
    bool default_shown;
    bool default_at_apply;
  };
  constexpr Case kCases[] = {
      {"none", 0, false, false, false},
      {"default only takes the apply button's place", kFontDlgDefaultButton, false, true, true},
      {"both", kFontDlgDefaultButton | kFontDlgApplyButton, true, true, false},
      {"apply only", kFontDlgApplyButton, true, false, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    auto dialog = Open(c.flags, Face("Arial", -12));
    win::Window* apply = dialog->GetDlgItem(COptionTreeFontDialog::kIdApply);
    win::Window* reset = dialog->GetDlgItem(COptionTreeFontDialog::kIdDefault);
    EXPECT_EQ(apply->IsWindowVisible(), c.apply_shown);
    EXPECT_EQ(reset->IsWindowVisible(), c.default_shown);
    EXPECT_EQ(reset->GetWindowRectInParent() == apply->GetWindowRectInParent(), c.default_at_apply);
    dialog->DestroyWindow();
  }

  auto locked =
      Open(kFontDlgNoEffects | kFontDlgNoColor | kFontDlgNoFace | kFontDlgNoStyle, Face("Arial", -12));
  for (const int id :
       {COptionTreeFontDialog::kIdStrikeOut, COptionTreeFontDialog::kIdUnderline,
        COptionTreeFontDialog::kIdColor, COptionTreeFontDialog::kIdFace, COptionTreeFontDialog::kIdStyle})
    EXPECT_FALSE(locked->GetDlgItem(id)->IsWindowEnabled()) << id;
  EXPECT_TRUE(locked->GetDlgItem(COptionTreeFontDialog::kIdSize)->IsWindowEnabled());
}

// The parent of the dialog: keeps what the apply button sends.
class ApplySink : public win::Window {
 public:
  int user_value = 0;
  std::optional<FontDescription> font;
  std::optional<CharacterFormat> format;

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override {
    if (message != COptionTreeFontDialog::kApplyMessage)
      return win::Window::WindowProc(message, wparam, lparam);
    user_value = static_cast<int>(wparam);
    if (char_format)
      format = *reinterpret_cast<const CharacterFormat*>(lparam);
    else
      font = *reinterpret_cast<const FontDescription*>(lparam);
    return 0;
  }

 public:
  bool char_format = false;
};

TEST_F(FontTest, PlainDefaultAndApplyCommands) {
  FontDescription fallback = Face("Arial Narrow", -21, 700);
  fallback.underline = 1;
  auto dialog = Open(kFontDlgDefaultButton | kFontDlgApplyButton, Face("Arial", -16, 700, 1), fallback);
  dialog->SetDefaultColor(0x00FF00);
  Press(*dialog, COptionTreeFontDialog::kIdDefault);
  EXPECT_EQ(dialog->FaceCombo().GetCurrentFace(), "Arial Narrow");
  EXPECT_EQ(dialog->SizeCombo().GetWindowText(), "15");
  EXPECT_EQ(dialog->GetCurrentStyle(), kFontStyleBold);
  EXPECT_EQ(dialog->GetColor(), 0x00FF00u);
  EXPECT_EQ(dialog->GetPreviewFont()->height, -20);

  for (const bool char_format : {false, true}) {
    SCOPED_TRACE(char_format);
    ApplySink sink;
    sink.char_format = char_format;
    ASSERT_TRUE(sink.Create(nullptr, {0, 0, 10, 10}, win::kWsPopup));
    COptionTreeFontDialog applying(
        char_format ? kFontDlgCharFormat | kFontDlgApplyButton : kFontDlgApplyButton, Face("Arial", -16, 700),
        &sink);
    applying.SetUserValue(17);
    applying.SetColor(0x0000FF);
    ASSERT_TRUE(applying.CreateModeless(&sink));
    Press(applying, COptionTreeFontDialog::kIdApply);
    EXPECT_EQ(sink.user_value, 17);
    if (char_format) {
      ASSERT_TRUE(sink.format);
      EXPECT_EQ(sink.format->height_twips, 240);
      EXPECT_EQ(sink.format->effects, kCfeBold);
      EXPECT_EQ(sink.format->text_color, 0x0000FFu);
    } else {
      ASSERT_TRUE(sink.font);
      EXPECT_EQ(*sink.font, Face("Arial", -16, 700));
    }
    EXPECT_FALSE(applying.Ended());
    applying.DestroyWindow();
    sink.DestroyWindow();
  }

  auto plain = Open(0, Face("Arial", -16, 700, 1));
  Press(*plain, COptionTreeFontDialog::kIdFaceAndSize);
  EXPECT_EQ(plain->Result(), COptionTreeFontDialog::kIdFaceAndSize);
  EXPECT_EQ(plain->GetLogFont(), Face("Arial", -16, 400, 0));
}

TEST_F(FontTest, WithoutFontsTheBoxesAreDisabledAndTheFontStays) {
  FixedFontDatabase none;
  win::SetFontDatabase(&none);
  auto dialog = Open(0, Face("Arial", -16, 700));
  for (const int id :
       {COptionTreeFontDialog::kIdFace, COptionTreeFontDialog::kIdSize, COptionTreeFontDialog::kIdStyle,
        COptionTreeFontDialog::kIdStrikeOut, COptionTreeFontDialog::kIdUnderline})
    EXPECT_FALSE(dialog->GetDlgItem(id)->IsWindowEnabled()) << id;
  EXPECT_FALSE(dialog->GetPreviewFont());
  Press(*dialog, COptionTreeFontDialog::kIdAccept);
  EXPECT_EQ(dialog->GetLogFont(), Face("Arial", -16, 700));
}

TEST_F(FontTest, PreviewTextFollowsTheFlagsAndIsCentredOnItsArea) {
  struct Case {
    uint32_t flags;
    const char* want;
  };
  constexpr Case kCases[] = {
      {0, "AaBbYyZz"}, {kFontDlgPreviewText, "Own text"}, {kFontDlgPreviewFaceName, "Arial"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.want);
    auto dialog = Open(c.flags, Face("Arial", -16));
    dialog->SetPreviewText("Own text");
    EXPECT_EQ(dialog->PreviewText(), c.want);
    dialog->DestroyWindow();
  }

  auto dialog = Open(0, Face("Arial", -16));
  auto* button = dialog->Item<COptionTreeFontSelColorButton>(COptionTreeFontDialog::kIdColor);
  ASSERT_NE(button, nullptr);
  dialog->SetColor(0x0000FF);
  EXPECT_EQ(button->GetColor(), 0x0000FFu);
  gfx::RecordingCanvas canvas;
  dialog->DrawPreview(canvas, {10, 20, 310, 80});
  const std::vector<std::string> lines = canvas.Lines();
  std::string joined;
  for (const std::string& line : lines) joined += line + "\n";
  EXPECT_NE(joined.find("SetTextColor 0x0000FF"), std::string::npos) << joined;
  EXPECT_NE(joined.find("SelectFont \"Arial\" -16"), std::string::npos) << joined;
  EXPECT_NE(joined.find("IntersectClipRect 10,20,310,80"), std::string::npos) << joined;
  EXPECT_NE(joined.find("\"AaBbYyZz\""), std::string::npos) << joined;

  dialog->SetDefaultColor(0x00FF00);
  dialog->SetColor(COptionTreeFontSelColorButton::kAutomaticColor);
  gfx::RecordingCanvas automatic;
  dialog->DrawPreview(automatic, {10, 20, 310, 80});
  joined.clear();
  for (const std::string& line : automatic.Lines()) joined += line + "\n";
  EXPECT_NE(joined.find("SetTextColor 0x00FF00"), std::string::npos) << joined;
}

TEST_F(FontTest, GoldenFontDialog) {
  auto dialog = Open(kFontDlgDefaultButton, Face("Arial", -16, 700));
  dialog->SetColor(0x800000);
  win::Windows().RunPending();
  testsupport::ExpectScreenGolden("dialogs", "optiontree_c_dialog", testsupport::RecordedScreen(*dialog));
}

// --- the font item ---

class FontItemTest : public FontTest {
 protected:
  void SetUp() override {
    FontTest::SetUp();
    ASSERT_TRUE(tree_.Create(win::kWsChild | win::kWsVisible, {0, 0, 400, 200}, &main_,
                             OptionShadeExpandColumn | OptionShadeCategories, 100));
    category_ = tree_.InsertItem(new COptionTreeItem);
    category_->SetLabelText("Fonts");
    item_ = new COptionTreeFontItem;
    item_->SetLabelText("Text");
    tree_.InsertItem(item_, category_);
    tree_.ExpandAll();
  }
  void TearDown() override {
    tree_.DestroyWindow();
    FontTest::TearDown();
  }

  // Activates the item; the dialog gets the size typed in, then ends with the command.
  void RunDialog(const char* size, int command) {
    DriveModal({[size, command](win::Window* modal) {
      auto* dialog = dynamic_cast<COptionTreeFontDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      dialog->SizeCombo().SetEditTextFromUser(size);
      dialog->Item<win::Button>(command)->Click();
    }});
    item_->Activate();
  }

  COptionTree tree_;
  COptionTreeItem* category_ = nullptr;
  COptionTreeFontItem* item_ = nullptr;
};

TEST_F(FontItemTest, SetUpNeedsTheControl) {
  COptionTreeFontItem loose;
  EXPECT_EQ(loose.GetItemKind(), kOptionItemFont);
  EXPECT_FALSE(loose.CreateFontItem(Face("Arial", -12), 0, 0));
  CharacterFormat format;
  format.height_twips = 200;
  format.face_name = "Arial";
  EXPECT_TRUE(item_->CreateFontItem(format, 0x0000FF, format, 0x00FF00, kFontDlgPreviewFaceName));
  EXPECT_EQ(item_->GetLogFont().height, 13);
  EXPECT_EQ(item_->GetDefaultLogFont().height, 13);
  EXPECT_EQ(item_->GetDefaultColor(), 0x00FF00u);
  EXPECT_TRUE(item_->HasOption(kFontDlgPreviewFaceName | kFontDlgPreviewText));
  EXPECT_EQ(item_->GetCharFormat(item_->GetLogFont()).height_twips, 195);
  EXPECT_EQ(item_->GetCharFormat(item_->GetLogFont()).text_color, 0x0000FFu);
  item_->SetOption(kFontDlgPreviewFaceName, 0);
  EXPECT_FALSE(item_->HasOption(kFontDlgPreviewFaceName));
}

TEST_F(FontItemTest, AnAcceptedFontSetsTheRowHeight) {
  ASSERT_TRUE(item_->CreateFontItem(Face("Arial", -12), 0x0000FF, 0));
  struct Case {
    const char* size;
    int command;
    int want_font_height;
    int want_row;
    bool want_top;
  };
  constexpr Case kCases[] = {
      {"10", COptionTreeFontDialog::kIdAccept, -13, 23, true},  // 13 + 10 exceeds 21
      {"6", COptionTreeFontDialog::kIdAccept, -8, 21, false},   // back to the row's own height
      {"20", win::kIdCancel, -8, 21, false},                    // cancel changes nothing
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.size);
    RunDialog(c.size, c.command);
    EXPECT_EQ(item_->GetLogFont().height, c.want_font_height);
    EXPECT_EQ(item_->GetHeight(), c.want_row);
    EXPECT_EQ(item_->IsLabelAtTop(), c.want_top);
    EXPECT_EQ(item_->GetTextColor(), 0x0000FFu);
  }
}

TEST_F(FontItemTest, ValueShowsTheChosenTextInTheFontAndColour) {
  struct Case {
    const char* name;
    uint32_t options;
    const char* face;
    bool read_only;
    const char* want_text;  // nullptr: nothing drawn
    gfx::Color want_color;
  };
  const Case kCases[] = {
      {"sample", 0, "Arial", false, "\"AaBbYyZz\"", 0x0000FF},
      {"face name", kFontDlgPreviewFaceName, "Courier New", false, "\"Courier New\"", 0x0000FF},
      {"own text", kFontDlgPreviewText | kFontDlgPreviewFaceName, "Arial", false, "\"Mine\"", 0x0000FF},
      {"read-only is grey", 0, "Arial", true, "\"AaBbYyZz\"", win::GetSysColor(win::SysColor::kGrayText)},
      {"no face, no text", 0, "", false, nullptr, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(item_->CreateFontItem(Face(c.face, -16), 0x0000FF, c.options));
    item_->SetCustomText("Mine");
    item_->SetReadOnly(c.read_only);
    gfx::RecordingCanvas canvas;
    item_->DrawValue(canvas, {155, 21, 400, 41});
    std::string joined;
    for (const std::string& line : canvas.Lines()) joined += line + "\n";
    if (c.want_text == nullptr) {
      EXPECT_EQ(joined.find("DrawText"), std::string::npos) << joined;
      continue;
    }
    EXPECT_NE(joined.find(c.want_text), std::string::npos) << joined;
    EXPECT_NE(joined.find("DrawText 156,21,401,41"), std::string::npos) << joined;
    char color[32];
    std::snprintf(color, sizeof color, "SetTextColor 0x%06X", c.want_color);
    EXPECT_NE(joined.find(color), std::string::npos) << joined;
  }
}

TEST_F(FontItemTest, GoldenFontRows) {
  ASSERT_TRUE(item_->CreateFontItem(Face("Arial", -19, 700), 0x0000C0, 0));
  auto* face = new COptionTreeFontItem;
  face->SetLabelText("Heading");
  tree_.InsertItem(face, category_);
  ASSERT_TRUE(face->CreateFontItem(Face("Times New Roman", -13, 400, 1), 0x800000, kFontDlgPreviewFaceName));
  RunDialog("14", COptionTreeFontDialog::kIdAccept);
  tree_.UpdateList();
  win::Windows().RunPending();
  testsupport::ExpectScreenGolden("dialogs", "optiontree_c_rows", testsupport::RecordedScreen(tree_));
}

}  // namespace
}  // namespace dialogs
