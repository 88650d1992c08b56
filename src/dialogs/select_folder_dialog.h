#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win/controls.h"
#include "win/dialog.h"

namespace platform {
class ResourcePack;
}

// The folder edit of the folder picker: typing completes a folder name when exactly one folder
// of the shown folder begins with the text typed.
class CFolderPathEdit : public win::Edit {
 public:
  // Runs after each character the user typed (the dialog navigates and completes).
  void SetAfterChar(std::function<void(int character)> after) { after_char_ = std::move(after); }

 protected:
  void OnChar(int character, unsigned repeat, unsigned flags) override;

 private:
  std::function<void(int)> after_char_;
};

// The folder picker of the exports: a folder edit (181) over the folders of the shown folder, a
// Select button (182) and Cancel. Select accepts an existing folder, offers to create a missing
// one (with every missing level), and refuses a file or a folder that cannot be made with a
// message that begins with the typed text; the dialog then stays open. Enter in the edit opens
// the folder typed (or offers to create it) and never ends the dialog. The result is a folder
// path ending in "/". User-interface thread only.
class CSelectFolderDialog : public win::Dialog {
 public:
  static constexpr int kTemplateId = 30790;
  static constexpr int kFolderEditId = 181;
  static constexpr int kSelectId = 182;
  static constexpr int kFolderListId = 183;
  // Message texts (ids of the program's strings).
  static constexpr int kIdsNotAFolder = 30791;
  static constexpr int kIdsNotExisting = 30792;
  static constexpr int kIdsIsAFile = 30793;
  static constexpr int kIdsCannotCreate = 30794;
  static constexpr int kIdsWriteProtected = 30795;
  static constexpr int kIdsShowFoldersOnly = 30796;
  static constexpr int kIdsAllFiles = 30797;

  // filter: "Name (*.ext)|*.ext||" or empty; select_caption: the Select button's text (empty keeps
  // the template's).
  CSelectFolderDialog(std::string title, std::string initial_folder, std::string_view filter, win::Window* parent,
                      std::string select_caption);

  // The folder chosen (ending in "/") after the dialog ended with kIdOk; the initial one before.
  const std::string& GetFolder() const { return current_folder_; }
  // The filter entries the picker offers: the given filter with the folders-only entry in place
  // of its closing "|", or the folders-only and all-files entries without one; in pairs of name
  // and pattern.
  const std::vector<std::string>& FilterList() const { return filter_list_; }
  static std::vector<std::string> BuildFilterList(std::string_view filter, std::string_view folders_only,
                                                  std::string_view all_files);

  // What the Select button does with the edit's text: true when the dialog ended.
  bool Select();
  // What Enter in the edit does.
  void OnEditEnter();
  // Shows folder (relative texts count from the shown folder) when it exists; false otherwise.
  bool Navigate(std::string_view folder);
  // The folders of the shown folder, sorted.
  std::vector<std::string> SubFolders() const;
  // The completion of text: when exactly one folder of its parent begins with its last part
  // (any case), the text with that folder's whole name; nullopt otherwise.
  static std::optional<std::string> CompleteFolderName(std::string_view text);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
  void OnOK() override {}
  bool PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  // The absolute path of the edit's text; a relative text counts from the shown folder.
  std::string Resolve(std::string_view text) const;
  // Offers to create a missing folder; true when it exists afterwards.
  bool OfferCreation(const std::string& shown_text, const std::string& path);
  void Message(const std::string& text, unsigned style);
  void FillList();
  void AfterChar(int character);
  void OnListDoubleClick();

  std::string title_;
  std::string current_folder_;
  std::string select_caption_;
  std::vector<std::string> filter_list_;
  CFolderPathEdit edit_;
  win::ListBox list_;
};

// The picker's message texts, English or German by pack.
void AddSelectFolderStrings(platform::ResourcePack& pack);
