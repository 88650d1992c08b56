#pragma once

#include <string>
#include <vector>

#include "dialogs/recording_listing.h"
#include "win/controls.h"
#include "win/dialog.h"
#include "win/image_list.h"

class CZK470Doc;

// The program's own file-open dialog for recordings: lists the recordings, PDF reports and KZT
// exchange files of one folder with their number, finalized and archived marks and date, lets the
// user filter the list and change the folder, and returns the paths of the rows selected when OK
// (or a double click) ended it. Used by the main view's file-open command (caption 61440, data
// directory) and the archive copy (15203 data directory, 15205 export directory).
// User-interface thread only.
class TRecordingBrowserDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 259;
  static constexpr int kListId = 1098;
  static constexpr int kFolderButtonId = 1207;
  static constexpr int kFolderTextId = 1208;
  static constexpr int kFilterId = 1209;
  // The program's own icons of the kinds recording, PDF and KZT: image index = kind.
  static constexpr int kKindIconIds[] = {305, 131, 132};

  // Folder mode 2 the export directory, 3 the 24-hour export directory, 4 the SD-card directory,
  // any other the data directory.
  TRecordingBrowserDlg(CZK470Doc* document, int caption_id, int folder_mode);

  // After OK: the full paths of the rows selected, in list order; empty when none was.
  const std::vector<std::string>& Results() const { return results_; }
  const std::string& Folder() const { return folder_; }
  win::ListView& List() { return list_; }
  win::ComboBox& Filter() { return filter_; }

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
  void OnOK() override;

 private:
  void Fill();
  void Refill();
  void OnFilterChanged();
  void OnChangeFolder();

  win::ListView list_;
  win::ComboBox filter_;
  std::string folder_text_;
  std::vector<std::string> results_;
  CZK470Doc* document_;
  int folder_mode_;
  dialogs::RecordingListing listing_;
  std::string folder_;
  std::string caption_;
  win::ImageList images_;
};

// The main view's file-open command: the browser on the data directory; the paths chosen, empty
// when it was cancelled or nothing was selected.
std::vector<std::string> ChooseRecordingsToOpen(CZK470Doc& document);
