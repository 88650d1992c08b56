#include "tools/recording_select_dlg.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "support/scoped_env.h"
#include "support/screen_golden.h"
#include "support/test_files.h"
#include "tools/run_family.h"
#include "win/messages.h"
#include "win/win_fixture.h"

namespace {

namespace fs = std::filesystem;
using D = TRecordingSelectDlg;

// The texts the recording browser's resources give the picker.
constexpr platform::StringEntry kBrowserStrings[] = {
    {D::kIdsNameColumn, "Name"},
    {D::kIdsDateColumn, "Date"},
    {D::kIdsBrowseTitle, "Choose a folder"},
};

class RecordingSelectTest : public win::testing_support::WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    platform::Resources().ExePack().AddStrings(kBrowserStrings);
    AddRecordingSelectResources(platform::Resources().ExePack());
    win::Windows().SetScreenSize({1600, 1000});
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    folder_ = testsupport::MakeTestDir("pick").string();
  }
  void TearDown() override {
    main_.DestroyWindow();
    WinTest::TearDown();
  }

  // A file of one byte, last changed at seconds (and nanoseconds) after 1 Jan 2024 00:00 UTC.
  std::string Make(const std::string& name, int seconds = 0, long nanoseconds = 0,
                   const std::string& in = "") const {
    const fs::path dir = in.empty() ? fs::path(folder_) : fs::path(in);
    const std::string path = (dir / name).string();
    testsupport::WriteBytes(path, {1});
    const timespec times[2] = {{1704067200 + seconds, nanoseconds}, {1704067200 + seconds, nanoseconds}};
    EXPECT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
    return path;
  }
  std::string In(const std::string& name) const { return (fs::path(folder_) / name).string(); }

  static D& PickerOf(win::Window* modal) { return *dynamic_cast<D*>(modal); }
  static std::vector<std::string> Column(D& picker, int column) {
    std::vector<std::string> texts;
    for (int i = 0; i < picker.List().GetItemCount(); ++i)
      texts.push_back(picker.List().GetItemText(i, column));
    return texts;
  }
  static std::vector<std::string> Headers(D& picker) {
    std::vector<std::string> headers;
    for (int c = 0; c < picker.List().GetColumnCount(); ++c)
      headers.push_back(picker.List().GetColumn(c)->text + " " +
                        std::to_string(picker.List().GetColumn(c)->width));
    return headers;
  }
  static std::vector<int> Arrows(D& picker) {
    std::vector<int> arrows;
    for (int c = 0; c < picker.List().GetColumnCount(); ++c)
      arrows.push_back(picker.List().GetColumnImage(c));
    return arrows;
  }
  static void Press(win::Window* modal, int id) { modal->SendMessage(win::kWmCommand, id, 0); }

  // Runs the picker with one step on the open dialog, then presses end_id.
  int Run(D& picker, const std::function<void(D&)>& step, int end_id = win::kIdOk) {
    DriveModal({[&](win::Window* modal) {
      step(PickerOf(modal));
      Press(modal, end_id);
    }});
    return picker.DoModal();
  }

  win::Window main_;
  std::string folder_;
};

TEST_F(RecordingSelectTest, StatusCodesGiveNameMarksAndTheFilesOwnPath) {
  struct Case {
    const char* file;
    const char* name;
    const char* validated;
    const char* vexa;
  };
  const Case cases[] = {
      {"Anna Meier V--S-.QRS", "Anna Meier ", "Validated", "Vexa"},
      {"Bert Baum.QRS", "Bert Baum", "-", "-"},
      {"Carl 12345.QRS", "Carl 12345", "-", "-"},  // a code must end in "-"
      {"Dora 0-0S-.qrs", "Dora ", "-", "Vexa"},    // the extension as it is on disk
      {"Emil V0000-.QRS", "Emil V", "-", "-"},     // the last five characters only
      {"Fay-.QRS", "Fay-", "-", "-"},              // too short for a code
      {"Äöü-.QRS", "Äöü-", "-", "-"},              // four characters, seven bytes
  };
  for (const Case& c : cases) Make(c.file);
  Make("notes.txt");
  D picker("Pick", folder_, tools::kPickRecordingsVexa);
  std::vector<std::vector<std::string>> rows;
  std::vector<int> images;
  ASSERT_EQ(Run(picker,
                [&](D& p) {
                  for (int i = 0; i < p.List().GetItemCount(); ++i) {
                    rows.push_back(
                        {p.List().GetItemText(i, 0), p.List().GetItemText(i, 2), p.List().GetItemText(i, 3)});
                    EXPECT_FALSE(p.List().GetItemText(i, 1).empty()) << "date of row " << i;
                    images.push_back(p.List().GetItemImage(i));
                  }
                  p.OnTickAll();
                }),
            win::kIdOk);
  std::vector<std::vector<std::string>> want;
  std::vector<std::string> paths;
  for (const Case& c : cases) {
    want.push_back({c.name, c.validated, c.vexa});
    paths.push_back(In(c.file));
  }
  EXPECT_EQ(rows, want);  // sorted by name on opening
  EXPECT_EQ(images, std::vector<int>(std::size(cases), 0));
  EXPECT_EQ(picker.Results(), paths);
}

TEST_F(RecordingSelectTest, EachKindListsItsFilesUnderItsColumns) {
  for (const char* name :
       {"Rec 1.QRS", "card.raw", "AHA01ID.DAT", "a02id.dat", "BID.DAT", "x.CMP", "y 0001-.cmp", "AHA0001.252",
        "aha0002.a53", "MIT100.123", "ST01.992", "XYZ.252", "CU01.2C2"})
    Make(name);
  struct Case {
    int kind;
    std::vector<std::string> headers;
    std::vector<std::string> names;
    std::vector<std::string> paths;  // with everything ticked
    int filter_entries;
  };
  const std::vector<Case> cases = {
      {0, {"Name 300", "Date 120", "Validated 90"}, {"Rec 1"}, {In("Rec 1.QRS")}, 3},
      {1, {"Name 300", "Date 120", "Validated 90"}, {"Rec 1"}, {In("Rec 1.QRS")}, 3},
      {2, {"Name 250", "Date 120", "Validated 70", "Vexa 70"}, {"Rec 1"}, {In("Rec 1.QRS")}, 5},
      {3, {"Raw Files 300", "Date 120"}, {"card"}, {In("card.raw")}, 1},
      // Unsorted kinds show the folder's order upside down.
      {4, {"AHA Files 300", "Date 120"}, {"AHA01ID", "a02id"}, {In("AHA01ID.DAT"), In("a02id.dat")}, 1},
      {5, {"CMP Files 300", "Date 120"}, {"y ", "x"}, {In("y 0001-"), In("x")}, 1},
      // Patterns in their order (AHA, ..., CU, ... ??2, then AHA ... MIT ??3); "ST01.992" has no
      // valid extension, "XYZ.252" no known prefix.
      {6,
       {"KEKG Files 300", "Date 120"},
       {"MIT100.123", "aha0002.a53", "CU01.2C2", "AHA0001.252"},
       {In("MIT100.123"), In("aha0002.a53"), In("CU01.2C2"), In("AHA0001.252")},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    D picker("Pick", folder_, c.kind);
    std::vector<std::string> headers, names;
    int filter_entries = 0;
    ASSERT_EQ(Run(picker,
                  [&](D& p) {
                    headers = Headers(p);
                    names = Column(p, 0);
                    filter_entries = p.Filter().GetCount();
                    EXPECT_EQ(p.Filter().GetLBText(0), "All files");
                    p.OnTickAll();
                  }),
              win::kIdOk);
    EXPECT_EQ(headers, c.headers);
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(filter_entries, c.filter_entries);
    EXPECT_EQ(picker.Results(), c.paths);
  }
}

TEST_F(RecordingSelectTest, FiltersListByStatusCode) {
  for (const char* name : {"A V----.QRS", "B V--S-.QRS", "C ---S-.QRS", "D.QRS"}) Make(name);
  D picker("Pick", folder_, tools::kPickRecordingsVexa);
  std::vector<std::vector<std::string>> seen;
  std::vector<std::string> entries;
  Run(
      picker,
      [&](D& p) {
        for (int i = 0; i < p.Filter().GetCount(); ++i) entries.push_back(p.Filter().GetLBText(i));
        for (int filter = 0; filter < p.Filter().GetCount(); ++filter) {
          p.Filter().SelectFromUser(filter);
          seen.push_back(Column(p, 0));
        }
      },
      win::kIdCancel);
  EXPECT_EQ(entries,
            (std::vector<std::string>{"All files", "validated", "not validated", "Vexa", "not Vexa"}));
  // A change of filter refills without sorting: the folder's order upside down.
  const std::vector<std::vector<std::string>> want = {
      {"D", "C ", "B ", "A "}, {"B ", "A "}, {"D", "C "}, {"C ", "B "}, {"D", "A "}};
  EXPECT_EQ(seen, want);
}

TEST_F(RecordingSelectTest, HeaderClicksSortStablyAndMoveTheArrow) {
  // C and D were changed in the same second; E within it, later.
  Make("A 0001-.QRS", 300);
  Make("b V002-.QRS", 100);
  Make("C 0003-.QRS", 200);
  Make("D V004-.QRS", 200);
  Make("E 0005-.QRS", 200, 500'000'000);
  D picker("Pick", folder_, tools::kPickRecordings);
  struct Step {
    int column;  // -1: as opened
    std::vector<std::string> names;
    std::vector<int> arrows;  // image per column: 0 bitmap 215, 1 bitmap 216
  };
  const std::vector<Step> steps = {
      {-1, {"A ", "b ", "C ", "D ", "E "}, {0, -1, -1}},
      {1, {"A ", "E ", "C ", "D ", "b "}, {-1, 0, -1}},  // latest first; C and D keep their order
      {1, {"b ", "C ", "D ", "E ", "A "}, {-1, 1, -1}},  // oldest first
      {2, {"b ", "D ", "C ", "E ", "A "}, {-1, -1, 0}},  // validated first, stable within
      {2, {"C ", "E ", "A ", "b ", "D "}, {-1, -1, 1}},
      {0, {"A ", "b ", "C ", "D ", "E "}, {0, -1, -1}},  // name ignoring case
      {0, {"E ", "D ", "C ", "b ", "A "}, {1, -1, -1}},
  };
  std::vector<std::vector<std::string>> names;
  std::vector<std::vector<int>> arrows;
  Run(
      picker,
      [&](D& p) {
        for (const Step& step : steps) {
          if (step.column >= 0) p.List().ColumnClickFromUser(step.column);
          names.push_back(Column(p, 0));
          arrows.push_back(Arrows(p));
        }
      },
      win::kIdCancel);
  for (size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(names[i], steps[i].names);
    EXPECT_EQ(arrows[i], steps[i].arrows);
  }
}

TEST_F(RecordingSelectTest, ManyEqualTimesSortWithoutHarm) {
  for (int i = 0; i < 300; ++i) Make("R" + std::to_string(1000 + i) + ".QRS", i % 3 == 0 ? 50 : 60);
  D picker("Pick", folder_, tools::kPickRecordings);
  std::vector<std::string> after;
  Run(
      picker,
      [&](D& p) {
        for (int i = 0; i < 3; ++i) p.List().ColumnClickFromUser(1);
        after = Column(p, 0);
      },
      win::kIdCancel);
  ASSERT_EQ(after.size(), 300u);
  // Latest first; within each time the name order of the opening.
  std::vector<std::string> want;
  for (const int seconds : {60, 50})
    for (int i = 0; i < 300; ++i)
      if ((i % 3 == 0 ? 50 : 60) == seconds) want.push_back("R" + std::to_string(1000 + i));
  EXPECT_EQ(after, want);
}

TEST_F(RecordingSelectTest, UnsortedKindsOnlyMoveTheArrow) {
  Make("a.RAW", 10);
  Make("b.RAW", 20);
  D picker("Pick", folder_, tools::kPickRaw);
  std::vector<std::string> before, after;
  std::vector<int> arrows;
  Run(
      picker,
      [&](D& p) {
        before = Column(p, 0);
        p.List().ColumnClickFromUser(1);
        p.List().ColumnClickFromUser(1);
        after = Column(p, 0);
        arrows = Arrows(p);
      },
      win::kIdCancel);
  EXPECT_EQ(before, (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(after, before);
  EXPECT_EQ(arrows, (std::vector<int>{-1, 1}));
}

TEST_F(RecordingSelectTest, TicksAndTheResultList) {
  for (const char* name : {"A.QRS", "B.QRS", "C.QRS", "D.QRS"}) Make(name);
  struct Case {
    const char* name;
    std::function<void(D&)> act;
    int end_id;
    std::vector<std::string> want;
  };
  const std::vector<Case> cases = {
      {"nothing ticked", [](D&) {}, win::kIdOk, {}},
      {"tick all",
       [](D& p) { p.OnTickAll(); },
       win::kIdOk,
       {In("A.QRS"), In("B.QRS"), In("C.QRS"), In("D.QRS")}},
      {"untick all",
       [](D& p) {
         p.OnTickAll();
         p.OnUntickAll();
       },
       win::kIdOk,
       {}},
      {"double clicks toggle; list order, not tick order",
       [](D& p) {
         for (const int row : {3, 1, 2, 2, 0}) p.List().DoubleClickFromUser(row);
       },
       win::kIdOk,
       {In("A.QRS"), In("B.QRS"), In("D.QRS")}},
      {"order after sorting",
       [](D& p) {
         p.List().ColumnClickFromUser(0);  // descending
         p.List().SetCheck(0, true);
         p.List().SetCheck(3, true);
       },
       win::kIdOk,
       {In("D.QRS"), In("A.QRS")}},
      {"cancel", [](D& p) { p.OnTickAll(); }, win::kIdCancel, {}},
      {"a refill drops the ticks",
       [](D& p) {
         p.OnTickAll();
         p.Filter().SelectFromUser(0);
       },
       win::kIdOk,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    D picker("Pick", folder_, tools::kPickRecordings);
    EXPECT_EQ(Run(picker, c.act, c.end_id), c.end_id);
    EXPECT_EQ(picker.Results(), c.want);
  }
}

TEST_F(RecordingSelectTest, MouseOnHeaderBoxAndRow) {
  for (const char* name : {"A.QRS", "B.QRS", "C.QRS"}) Make(name);
  D picker("Pick", folder_, tools::kPickRecordings);
  std::vector<std::string> names;
  std::vector<bool> ticks;
  int selected = -1;
  DriveModal({[&](win::Window* modal) {
    TPickListCtrl& list = PickerOf(modal).List();
    const gfx::Point at = list.OffsetInTopLevel();
    const auto click = [&](const gfx::Rect& r, uint32_t message) {
      const gfx::Point p{at.x + (r.left + r.right) / 2, at.y + (r.top + r.bottom) / 2};
      win::Windows().MouseInput(*modal, message, p);
      win::Windows().MouseInput(*modal, win::kWmLButtonUp, p);
    };
    click(list.HeaderRect(0), win::kWmLButtonDown);  // name descending: C B A
    names = Column(PickerOf(modal), 0);
    click(list.CheckBoxRect(0), win::kWmLButtonDown);  // ticks C
    click(list.RowRect(1), win::kWmLButtonDown);       // selects B only
    selected = list.GetNextItem(-1, win::kLvniSelected);
    click(list.RowRect(2), win::kWmLButtonDblClk);  // ticks A
    win::Windows().PressKey(win::kVkUp);            // B focused
    win::Windows().PressKey(win::kVkSpace);         // ticks B
    win::Windows().PressKey(win::kVkSpace);         // and unticks it
    for (int i = 0; i < list.GetItemCount(); ++i) ticks.push_back(list.GetCheck(i));
    Press(modal, win::kIdOk);
  }});
  EXPECT_EQ(picker.DoModal(), win::kIdOk);
  EXPECT_EQ(names, (std::vector<std::string>{"C", "B", "A"}));
  EXPECT_EQ(selected, 1);
  EXPECT_EQ(ticks, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(picker.Results(), (std::vector<std::string>{In("C.QRS"), In("A.QRS")}));
}

TEST_F(RecordingSelectTest, LongListsScrollUnderTheHeader) {
  for (int i = 0; i < 40; ++i) Make("R" + std::to_string(100 + i) + ".QRS");
  D picker("Pick", folder_, tools::kPickRecordings);
  struct Seen {
    bool bar_shown;
    int top;
    int clicked;  // the row a click on the first shown line ticks
  };
  std::vector<Seen> seen;
  int page = 0;
  Run(picker, [&](D& p) {
    TPickListCtrl& list = p.List();
    page = list.VisibleRowCount();
    const auto look = [&] {
      const int top = list.GetTopIndex();
      const gfx::Rect box = list.CheckBoxRect(top);
      list.SendMessage(win::kWmLButtonDown, 0,
                       win::MakeLParam((box.left + box.right) / 2, (box.top + box.bottom) / 2));
      int clicked = -1;
      for (int i = 0; i < list.GetItemCount(); ++i)
        if (list.GetCheck(i)) clicked = i;
      list.SetCheck(clicked, false);
      seen.push_back({(list.ScrollBar().GetStyle() & win::kWsVisible) != 0, top, clicked});
    };
    look();
    list.SendMessage(win::kWmVScroll, win::kSbPageDown, static_cast<win::LParam>(list.ScrollBar().Handle()));
    look();
    list.SendMessage(win::kWmVScroll, win::kSbBottom, static_cast<win::LParam>(list.ScrollBar().Handle()));
    look();
    list.SendMessage(win::kWmVScroll, win::kSbLineUp, static_cast<win::LParam>(list.ScrollBar().Handle()));
    look();
    p.Filter().SelectFromUser(1);  // nothing validated: no rows, no bar
    seen.push_back(
        {(list.ScrollBar().GetStyle() & win::kWsVisible) != 0, list.GetTopIndex(), list.GetItemCount()});
  });
  ASSERT_GT(page, 5);
  ASSERT_LT(page, 40);
  const std::vector<Seen> want = {{true, 0, 0},
                                  {true, page, page},
                                  {true, 40 - page, 40 - page},
                                  {true, 39 - page, 39 - page},
                                  {false, 0, 0}};
  ASSERT_EQ(seen.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(seen[i].bar_shown, want[i].bar_shown);
    EXPECT_EQ(seen[i].top, want[i].top);
    EXPECT_EQ(seen[i].clicked, want[i].clicked);
  }
}

TEST_F(RecordingSelectTest, BrowseChangesTheFolderAndCancelKeepsTheList) {
  Make("A.QRS");
  const fs::path other = fs::path(folder_) / "other";
  fs::create_directories(other);
  Make("Z 0000-.QRS", 0, 0, other.string());
  prompt_.QueueFolder(std::nullopt);
  prompt_.QueueFolder(other.string() + "/");
  D picker("Pick", folder_, tools::kPickRecordings);
  std::vector<std::vector<std::string>> seen;
  Run(picker, [&](D& p) {
    seen.push_back({p.GetDlgItemText(D::kFolderTextId)});
    p.OnTickAll();
    p.GetDlgItem(D::kBrowseId)->SendMessage(win::kBmClick);  // cancelled
    seen.push_back(Column(p, 0));
    seen.push_back({p.Folder()});
    p.GetDlgItem(D::kBrowseId)->SendMessage(win::kBmClick);
    seen.push_back(Column(p, 0));
    seen.push_back({p.Folder(), p.GetDlgItemText(D::kFolderTextId)});
    p.OnTickAll();
  });
  const std::vector<std::vector<std::string>> want = {
      {folder_}, {"A"}, {folder_}, {"Z "}, {other.string(), other.string()}};
  EXPECT_EQ(seen, want);
  EXPECT_EQ(picker.Results(), (std::vector<std::string>{(other / "Z 0000-.QRS").string()}));
  ASSERT_EQ(prompt_.Log().size(), 2u);
  EXPECT_EQ(prompt_.Log()[0].kind, "folder");
  EXPECT_EQ(prompt_.Log()[0].caption, "Choose a folder");
  EXPECT_EQ(prompt_.Log()[0].text, folder_);  // it starts where the list is
}

TEST_F(RecordingSelectTest, AMissingFolderListsNothing) {
  D picker("Pick", folder_ + "/gone", tools::kPickKekg);
  int rows = -1;
  EXPECT_EQ(Run(picker, [&](D& p) { rows = p.List().GetItemCount(); }), win::kIdOk);
  EXPECT_EQ(rows, 0);
  EXPECT_TRUE(picker.Results().empty());
}

TEST_F(RecordingSelectTest, PickFilesWithoutAServiceRunsThePicker) {
  Make("A.QRS");
  Make("B.QRS");
  struct Case {
    int end_id;
    bool ok;
    std::vector<std::string> paths;
  };
  for (const Case& c :
       {Case{win::kIdOk, true, {In("A.QRS"), In("B.QRS")}}, Case{win::kIdCancel, false, {}}}) {
    SCOPED_TRACE(c.end_id);
    std::string caption;
    DriveModal({[&](win::Window* modal) {
      caption = modal->GetWindowText();
      PickerOf(modal).OnTickAll();
      Press(modal, c.end_id);
    }});
    const tools::PickResult result = tools::PickFiles(&main_, "Export", folder_, tools::kPickRecordings);
    EXPECT_EQ(caption, "Export");
    EXPECT_EQ(result.ok, c.ok);
    EXPECT_EQ(result.paths, c.paths);
  }
}

TEST_F(RecordingSelectTest, GermanTemplateAndTexts) {
  platform::ResourcePack german("ZK470Ger");
  AddRecordingSelectResources(german);
  platform::Resources().SetLanguagePack(&german);
  Make("A V----.QRS");
  D picker("Auswahl", folder_, tools::kPickRecordingsVexa);
  std::vector<std::string> texts;
  Run(
      picker,
      [&](D& p) {
        texts = {p.Filter().GetLBText(0), p.GetDlgItemText(D::kTickAllId), p.List().GetItemText(0, 2),
                 p.List().GetColumn(3)->text};
      },
      win::kIdCancel);
  platform::Resources().SetLanguagePack(nullptr);
  EXPECT_EQ(texts, (std::vector<std::string>{"Alle Dateien", "Alle &markieren", "Validiert", "Vexa"}));
}

TEST(RecordingSelectPictures, DistinctPicturesOnTheMask) {
  const int ids[] = {D::kRecordingIconId, D::kPdfIconId, D::kArrowDirection1Id, D::kArrowDirection0Id};
  std::vector<gfx::Bitmap> pictures;
  for (const int id : ids) {
    SCOPED_TRACE(id);
    const gfx::Bitmap picture = LoadRecordingSelectPicture(id);
    const int size = id == D::kRecordingIconId || id == D::kPdfIconId ? 16 : 8;
    ASSERT_EQ(picture.Width(), size);
    ASSERT_EQ(picture.Height(), size);
    EXPECT_EQ(picture.GetPixel(0, 0), kPictureMask);
    const auto drawn = std::count_if(picture.Pixels().begin(), picture.Pixels().end(),
                                     [](gfx::Color c) { return c != kPictureMask; });
    EXPECT_GT(drawn, size * size / 4);
    for (const gfx::Bitmap& earlier : pictures) EXPECT_NE(picture, earlier);
    pictures.push_back(picture);
  }
  EXPECT_TRUE(LoadRecordingSelectPicture(999).IsEmpty());
}

TEST_F(RecordingSelectTest, GoldenDisplayList) {
  Make("Anna Meier V--S-.QRS", 3600);
  Make("Bert Baum 0--0-.QRS", 7200);
  Make("Carl Clausen.QRS", 10800);
  D picker("Export multiple recordings", folder_, tools::kPickRecordingsVexa);
  std::vector<std::string> lines;
  {
    // The dates are local times.
    testsupport::ScopedEnv tz("TZ", "UTC");
    ::tzset();
    Run(
        picker,
        [&](D& p) {
          p.List().SetCheck(1, true);
          p.List().SelectFromUser({1});
          win::Windows().RunPending();
          lines = testsupport::RecordedScreen(p);
        },
        win::kIdCancel);
  }
  ::tzset();
  // The test folder's name, and so the width of its text, changes from run to run.
  for (std::string& line : lines) {
    const size_t at = line.find(folder_);
    if (at == std::string::npos) continue;
    line.replace(at, folder_.size(), "<folder>");
    if (const size_t extent = line.rfind(" ["); extent != std::string::npos && extent > at)
      line.erase(extent);
  }
  testsupport::ExpectScreenGolden("tools", "recording_select_dlg", lines);
}

}  // namespace
