#include "dialogs/select_folder_dialog.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/file_system.h"
#include "platform/resources.h"
#include "win/data_exchange.h"
#include "win/dialog_template.h"
#include "win/prompt.h"

namespace fs = std::filesystem;

namespace {

constexpr platform::StringEntry kEnglish[] = {
    {CSelectFolderDialog::kIdsNotAFolder, "%s\nThis is not a valid folder."},
    {CSelectFolderDialog::kIdsNotExisting, "%s\nThis folder does not exist.\n\nDo you want to create it?"},
    {CSelectFolderDialog::kIdsIsAFile, "%s\nThis is a file not a directory."},
    {CSelectFolderDialog::kIdsCannotCreate, "You do not have permission\nto create this folder."},
    {CSelectFolderDialog::kIdsWriteProtected, "You cannot create this folder.\nThe medium may be write-protected."},
    {CSelectFolderDialog::kIdsShowFoldersOnly, "Show Folders Only"},
    {CSelectFolderDialog::kIdsAllFiles, "All Files (*.*)"},
};
constexpr platform::StringEntry kGerman[] = {
    {CSelectFolderDialog::kIdsNotAFolder, "%s\nDies ist kein gültiger Ordner."},
    {CSelectFolderDialog::kIdsNotExisting, "%s\nDieser Ordner existiert nicht.\n\nMöchten Sie ihn anlegen?"},
    {CSelectFolderDialog::kIdsIsAFile, "%s\nDies ist eine Datei, kein Ordner."},
    {CSelectFolderDialog::kIdsCannotCreate, "Sie haben keine Berechtigung,\ndiesen Ordner anzulegen."},
    {CSelectFolderDialog::kIdsWriteProtected,
     "Dieser Ordner kann nicht angelegt werden.\nDas Medium ist möglicherweise schreibgeschützt."},
    {CSelectFolderDialog::kIdsShowFoldersOnly, "Nur Ordner anzeigen"},
    {CSelectFolderDialog::kIdsAllFiles, "Alle Dateien (*.*)"},
};

std::string WithText(int id, std::string_view text) {
  std::string format = platform::LoadString(id);
  const size_t at = format.find("%s");
  if (at != std::string::npos) format.replace(at, 2, text);
  return format;
}

std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

void CFolderPathEdit::OnChar(int character, unsigned repeat, unsigned flags) {
  win::Edit::OnChar(character, repeat, flags);
  if (after_char_) after_char_(character);
}

CSelectFolderDialog::CSelectFolderDialog(std::string title, std::string initial_folder, std::string_view filter,
                                         win::Window* parent, std::string select_caption)
    : win::Dialog(kTemplateId, parent),
      title_(std::move(title)),
      current_folder_(WithSlash(std::move(initial_folder))),
      select_caption_(std::move(select_caption)) {
  filter_list_ = BuildFilterList(filter, platform::LoadString(kIdsShowFoldersOnly), platform::LoadString(kIdsAllFiles));
  AddCommand(kSelectId, [this] { Select(); });
  AddNotification(kFolderListId, win::kLbnDblClk, [this] { OnListDoubleClick(); });
}

std::vector<std::string> CSelectFolderDialog::BuildFilterList(std::string_view filter, std::string_view folders_only,
                                                              std::string_view all_files) {
  std::string text;
  if (filter.empty()) {
    text = std::string(folders_only) + "|.|" + std::string(all_files) + "|*.*||";
  } else {
    text = std::string(filter.substr(0, filter.size() - 1)) + std::string(folders_only) + "|.||";
  }
  std::vector<std::string> entries;
  size_t start = 0;
  while (start < text.size()) {
    const size_t bar = text.find('|', start);
    const size_t end = bar == std::string::npos ? text.size() : bar;
    // An empty entry ends the list, as two terminating zeros do.
    if (end == start) break;
    entries.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return entries;
}

void CSelectFolderDialog::DoDataExchange(win::DataExchange& dx) {
  win::DdxControl(dx, kFolderEditId, edit_);
  win::DdxControl(dx, kFolderListId, list_);
}

bool CSelectFolderDialog::OnInitDialog() {
  win::Dialog::OnInitDialog();
  if (!title_.empty()) SetWindowText(title_);
  if (!select_caption_.empty()) SetDlgItemText(kSelectId, select_caption_);
  edit_.SetAfterChar([this](int character) { AfterChar(character); });
  if (!Navigate(current_folder_)) FillList();
  SetDefID(kSelectId);
  edit_.SetFocus();
  return false;
}

std::string CSelectFolderDialog::Resolve(std::string_view text) const {
  fs::path path(text);
  if (path.is_relative()) path = fs::path(current_folder_) / path;
  std::string resolved = path.lexically_normal().string();
  if (resolved.size() > 1 && resolved.back() == '/') resolved.pop_back();
  return resolved;
}

std::vector<std::string> CSelectFolderDialog::SubFolders() const {
  std::vector<std::string> folders;
  std::error_code ec;
  for (fs::directory_iterator it(current_folder_, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_directory(ec)) folders.push_back(it->path().filename().string());
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

void CSelectFolderDialog::FillList() {
  if (!list_.IsWindow()) return;
  list_.ResetContent();
  if (current_folder_ != "/") list_.AddString("..");
  for (const std::string& folder : SubFolders()) list_.AddString(folder);
}

bool CSelectFolderDialog::Navigate(std::string_view folder) {
  const std::string path = Resolve(folder);
  std::error_code ec;
  if (!fs::is_directory(path, ec)) return false;
  current_folder_ = WithSlash(path);
  if (edit_.IsWindow()) {
    edit_.SetWindowText(current_folder_);
    edit_.SetSel(static_cast<int>(current_folder_.size()), -1);
  }
  FillList();
  return true;
}

void CSelectFolderDialog::Message(const std::string& text, unsigned style) {
  win::CurrentPrompt().MessageBox(text, title_.empty() ? GetWindowText() : title_, style);
  if (edit_.IsWindow()) edit_.SetFocus();
}

bool CSelectFolderDialog::OfferCreation(const std::string& shown_text, const std::string& path) {
  if (win::CurrentPrompt().MessageBox(WithText(kIdsNotExisting, shown_text), title_.empty() ? GetWindowText() : title_,
                                      win::kMbYesNo | win::kMbIconQuestion) != win::kIdYes) {
    if (edit_.IsWindow()) edit_.SetFocus();
    return false;
  }
  const platform::FileOpResult made = platform::MakeDirectories(path);
  if (made) return true;
  const bool read_only = made.error.find("Read-only") != std::string::npos;
  Message(platform::LoadString(read_only ? kIdsWriteProtected : kIdsCannotCreate), win::kMbOk | win::kMbIconStop);
  return false;
}

bool CSelectFolderDialog::Select() {
  const std::string text = edit_.IsWindow() ? edit_.GetWindowText() : current_folder_;
  if (text.empty() || text == "/") {
    if (!text.empty()) Navigate(text);
    EndDialog(win::kIdOk);
    return true;
  }
  if (text.find_first_not_of('/') == std::string::npos || text.find('\0') != std::string::npos) {
    Message(WithText(kIdsNotAFolder, text), win::kMbOk | win::kMbIconExclamation);
    return false;
  }
  const std::string path = Resolve(text);
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) {
    if (!OfferCreation(text, path)) return false;
  } else if (!fs::is_directory(status)) {
    Message(WithText(kIdsIsAFile, text), win::kMbOk | win::kMbIconExclamation);
    return false;
  }
  Navigate(path);
  EndDialog(win::kIdOk);
  return true;
}

void CSelectFolderDialog::OnEditEnter() {
  const std::string text = edit_.GetWindowText();
  if (text.empty() || text == "/") {
    Navigate(text.empty() ? current_folder_ : text);
    return;
  }
  const std::string path = Resolve(text);
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    if (!OfferCreation(text, path)) return;
  } else if (!fs::is_directory(path, ec)) {
    Message(WithText(kIdsIsAFile, text), win::kMbOk | win::kMbIconExclamation);
    return;
  }
  Navigate(path);
  edit_.SetFocus();
}

std::optional<std::string> CSelectFolderDialog::CompleteFolderName(std::string_view text) {
  const size_t slash = text.rfind('/');
  const std::string parent = slash == std::string_view::npos ? std::string(".") : std::string(text.substr(0, slash + 1));
  const std::string part(slash == std::string_view::npos ? text : text.substr(slash + 1));
  if (part.empty()) return std::nullopt;
  std::optional<std::string> match;
  std::error_code ec;
  for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_directory(ec)) continue;
    const std::string name = it->path().filename().string();
    if (name.size() < part.size() || LowerAscii(name.substr(0, part.size())) != LowerAscii(part)) continue;
    if (match) return std::nullopt;  // more than one
    match = name;
  }
  if (!match) return std::nullopt;
  // The folder's own spelling: on this file system case matters.
  return std::string(text.substr(0, text.size() - part.size())) + *match;
}

void CSelectFolderDialog::AfterChar(int character) {
  const std::string text = edit_.GetWindowText();
  const std::string path = Resolve(text);
  std::error_code ec;
  if (character == '/' && fs::is_directory(path, ec)) {
    const std::string shown = text;
    Navigate(path);
    // The user goes on typing from what was typed.
    edit_.SetWindowText(shown);
    edit_.SetSel(static_cast<int>(shown.size()), -1);
    return;
  }
  if (character == win::kVkBack) return;
  const auto [start, end] = edit_.GetSel();
  if (start != static_cast<int>(text.size()) || end != start) return;
  fs::path absolute(text);
  const std::string base = absolute.is_relative() ? current_folder_ : std::string();
  const std::optional<std::string> completed = CompleteFolderName(base + text);
  if (!completed) return;
  const std::string shown = completed->substr(base.size());
  if (shown.size() <= text.size()) return;
  edit_.SetWindowText(shown);
  edit_.SetSel(static_cast<int>(text.size()), static_cast<int>(shown.size()));
}

void CSelectFolderDialog::OnListDoubleClick() {
  const int index = list_.GetCurSel();
  if (index < 0) return;
  Navigate(list_.GetText(index));
}

bool CSelectFolderDialog::PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == win::kWmKeyDown && edit_.IsWindow() && edit_.HasFocus()) {
    if (wparam == static_cast<win::WParam>(win::kVkReturn)) {
      OnEditEnter();
      return true;
    }
    if (wparam == static_cast<win::WParam>(win::kVkTab)) {
      if (win::Window* select = GetDlgItem(kSelectId)) select->SetFocus();
      return true;
    }
  }
  return win::Dialog::PreTranslateMessage(message, wparam, lparam);
}

void AddSelectFolderStrings(platform::ResourcePack& pack) {
  if (win::IsGermanPack(pack)) {
    pack.AddStrings(kGerman);
  } else {
    pack.AddStrings(kEnglish);
  }
}
