#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/run_family.h"
#include "win/controls.h"
#include "win/dialog.h"
#include "win/image_list.h"
#include "win/scroll_bar.h"

namespace platform {
class ResourcePack;
}

// The picker's list: a report list with a check box in front of every row and a picture beside
// a column's header (the sort arrow). It paints itself, scrolls its rows under a fixed header
// with a scroll bar of its own (a child, shown while not every row fits) and tells its parent of
// a left click on a header (kColumnClick, the column in sub_item). A click on a check box toggles
// it; a double click elsewhere goes to the parent as kNmDblClk. The tick is the row's state
// image: 1 unticked, 2 ticked. User-interface thread only.
class TPickListCtrl : public win::ListView {
 public:
  static constexpr int kColumnClick = -108;
  static constexpr int kCheckBoxSize = 13;

  bool IsOwnerDrawn() const override { return true; }

  bool GetCheck(int item) const;
  void SetCheck(int item, bool checked);
  // The pictures beside column headers; not owned. Index -1 shows none.
  void SetHeaderImages(const win::ImageList* images) { header_images_ = images; }
  void SetColumnImage(int column, int index);
  int GetColumnImage(int column) const;
  // The rows came, went or moved: the scroll range follows and the list repaints.
  void ItemsChanged();
  int GetTopIndex() const { return top_row_; }
  const win::ScrollBar& ScrollBar() const { return bar_; }
  int VisibleRowCount() const;

  // The user's actions, as a host or a test sends them.
  void ColumnClickFromUser(int column);
  void ToggleCheckFromUser(int item);

  // Geometry in client coordinates for the rows now shown; an empty rectangle for rows scrolled
  // out of view.
  gfx::Rect HeaderRect(int column) const;
  gfx::Rect RowRect(int item) const;
  gfx::Rect CheckBoxRect(int item) const;

 protected:
  int OnCreate() override;
  void OnSize(int type, int cx, int cy) override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonDblClk(unsigned flags, gfx::Point point) override;
  void OnKeyDown(int virtual_key, unsigned repeat, unsigned flags) override;
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  int RowAtPoint(gfx::Point point) const;
  int ColumnAtPoint(gfx::Point point) const;
  void ScrollTo(int row);
  void OnVScroll(int code);
  // The client area less the scroll bar while it shows.
  gfx::Rect ContentRect() const;
  void LayoutScrollBar();

  win::ScrollBar bar_;
  const win::ImageList* header_images_ = nullptr;
  std::vector<int> column_images_;
  int top_row_ = 0;
};

// The modal picker of the tool commands: lists the files of one kind (tools::PickKind) in one
// folder with a tick box each, lets the user change the folder, filter recordings by their
// status code, sort by a column and tick or untick all, and after OK holds the full paths of the
// ticked files in list order. A recording's name ends in a five-character status code ending in
// "-" before its extension: first character "V" validated, fourth "S" handed to Vexa.
// User-interface thread only.
class TRecordingSelectDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 214;
  static constexpr int kListId = 1098;
  static constexpr int kBrowseId = 1207;
  static constexpr int kFolderTextId = 1208;
  static constexpr int kFilterId = 1209;
  static constexpr int kTickAllId = 1345;
  static constexpr int kUntickAllId = 1346;
  // Texts shared with the recording browser, which defines them: the name and date headers and
  // the folder chooser's title.
  static constexpr int kIdsNameColumn = 15000;
  static constexpr int kIdsDateColumn = 15001;
  static constexpr int kIdsBrowseTitle = 15002;
  // The picker's own: the validated and the Vexa header and mark.
  static constexpr int kIdsValidated = 15102;
  static constexpr int kIdsVexa = 59402;
  // The program's own icons: the recording document, the PDF report.
  static constexpr int kRecordingIconId = 305;
  static constexpr int kPdfIconId = 131;
  // The sort arrows: ascending direction (1) and descending (0).
  static constexpr int kArrowDirection1Id = 215;
  static constexpr int kArrowDirection0Id = 216;

  TRecordingSelectDlg(std::string title, std::string folder, int kind, win::Window* parent = nullptr);

  // After OK: the ticked paths, top to bottom; empty otherwise.
  const std::vector<std::string>& Results() const { return results_; }
  const std::string& Folder() const { return folder_; }
  int Kind() const { return kind_; }
  TPickListCtrl& List() { return list_; }
  win::ComboBox& Filter() { return filter_; }
  int SortColumn() const { return sort_column_; }
  int SortDirection() const { return sort_direction_; }

  // The buttons' and the header's actions.
  void OnBrowse();
  void OnTickAll();
  void OnUntickAll();
  void OnColumnClick(int column);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
  void OnOK() override;
  bool OnNotify(const win::NotifyHeader& header, win::LResult* result) override;

 private:
  // What the list knows of one file ever listed; an item's data is its index here.
  struct Entry {
    std::string path;
    std::string name;
    std::string validated;
    std::string vexa;
    int64_t modified_ns = 0;
  };

  void Fill();
  void Refill();
  // The header click's arrow and sort state, without sorting.
  void MoveArrow(int column);
  void Sort();
  int Compare(uintptr_t a, uintptr_t b) const;
  void OnFilterChanged();
  void OnDoubleClick();
  void SetAllChecks(bool checked);

  TPickListCtrl list_;
  win::ComboBox filter_;
  std::string folder_text_;
  std::vector<std::string> results_;
  std::string title_;
  std::string folder_;
  int kind_;
  std::vector<Entry> entries_;
  win::ImageList icons_;
  win::ImageList arrows_;
  int arrow_column_ = -1;
  int sort_column_ = 0;
  int sort_direction_ = 1;
};

// The picker for the tool commands (the fallback of tools::PickFiles): ok and the ticked paths
// after OK, not ok and no paths after Cancel.
tools::PickResult RunRecordingSelectDlg(win::Window* parent, const std::string& title,
                                        const std::string& folder, int kind);

// Template 214 and the picker's own strings: German to the German pack, English to every other.
void AddRecordingSelectResources(platform::ResourcePack& pack);

// The program's own pictures of the picker, 16 x 16 icons (305, 131) and 8 x 8 sort arrows (215,
// 216), on a background of kPictureMask; an empty bitmap for any other id.
inline constexpr gfx::Color kPictureMask = gfx::Rgb(255, 0, 255);
gfx::Bitmap LoadRecordingSelectPicture(int id);
