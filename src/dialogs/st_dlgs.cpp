#include "dialogs/st_dlgs.h"

#include <cmath>
#include <cstdio>
#include <span>

#include "common/number_formatter.h"
#include "document/document_context.h"
#include "document/settings_store.h"
#include "document/zk470_doc.h"
#include "layouts/st_trend_area.h"
#include "platform/ids.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "win/data_exchange.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::LocalizeControls;
using win::LocalizeDialog;

using Episode = TSTEpisodeDlg;
using Values = TSTValuesDlg;
using Options = TSTOptionsDlg;

constexpr char kPlacementSection[] = "ST-Trend\\Episode";
constexpr int kRows = 5;
constexpr int kColumns = 5;
constexpr int kWidthsTwips[kColumns] = {900, 1300, 900, 1000, 900};
constexpr double kPixelsPerTwip = 1.0 / 14.4;
// Rows 1..4 of the header column: the jump button over it and its header string.
constexpr int kRowButtons[] = {Episode::kOnsetId, Episode::kDeepestId, Episode::kEndId, Episode::kDurationId};
constexpr int kRowStrings[] = {23000, 23001, 23002, 23006};
constexpr int kColumnStrings[] = {23003, 23004, 23007, 23005};

// The episode dialog's controls are made at run time over the grid; the template is the frame.
constexpr DialogLayout kEpisodeLayout{Episode::kTemplateId, 232, 62};

constexpr DialogLayout kValuesLayout{Values::kTemplateId, 150, 44};
constexpr ControlLayout kValuesControls[] = {
    {Values::kLevel0LabelId, ControlKind::kStatic, 6, 6, 34, 10},
    {Values::kLevel0Id, ControlKind::kStatic, 42, 6, 28, 10, win::kSsRight},
    {Values::kSlope0LabelId, ControlKind::kStatic, 78, 6, 34, 10},
    {Values::kSlope0Id, ControlKind::kStatic, 114, 6, 28, 10, win::kSsRight},
    {Values::kLevel1LabelId, ControlKind::kStatic, 6, 24, 34, 10},
    {Values::kLevel1Id, ControlKind::kStatic, 42, 24, 28, 10, win::kSsRight},
    {Values::kSlope1LabelId, ControlKind::kStatic, 78, 24, 34, 10},
    {Values::kSlope1Id, ControlKind::kStatic, 114, 24, 28, 10, win::kSsRight},
};
constexpr auto kValuesEnglish =
    LocalizeControls(kValuesControls, {"Level%d", "", "Slope%d", "", "Level%d", "", "Slope%d", ""});
constexpr auto kValuesGerman =
    LocalizeControls(kValuesControls, {"Niveau%d", "", "Steigung%d", "", "Niveau%d", "", "Steigung%d", ""});

constexpr DialogLayout kOptionsLayout{Options::kTemplateId, 220, 120, true};
constexpr ControlLayout kOptionsControls[] = {
    {-1, ControlKind::kGroupBox, 7, 4, 206, 70},
    {-1, ControlKind::kStatic, 110, 14, 96, 8},
    {Options::kSwitchIds[0], ControlKind::kCheckBox, 14, 26, 90, 10, 0, win::kCtlGroup},
    {Options::kLimitIds[0], ControlKind::kComboDropList, 110, 24, 60, 80},
    {Options::kSwitchIds[1], ControlKind::kCheckBox, 14, 42, 90, 10},
    {Options::kLimitIds[1], ControlKind::kComboDropList, 110, 40, 60, 80},
    {Options::kSwitchIds[2], ControlKind::kCheckBox, 14, 58, 90, 10},
    {Options::kLimitIds[2], ControlKind::kComboDropList, 110, 56, 60, 80},
    {-1, ControlKind::kStatic, 14, 86, 90, 8},
    {Options::kPointId, ControlKind::kComboDropList, 110, 84, 60, 120},
};
constexpr auto kOptionsEnglish =
    LocalizeControls(kOptionsControls, {"ST analysis", "Depression limit (mm)", "Channel &1", "",
                                        "Channel &2", "", "Channel &3", "", "ST &point after J", ""});
constexpr auto kOptionsGerman =
    LocalizeControls(kOptionsControls, {"ST-Analyse", "Senkungsgrenze (mm)", "Kanal &1", "", "Kanal &2", "",
                                        "Kanal &3", "", "ST-&Punkt nach J", ""});

constexpr win::DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kEpisodeLayout, "ST episode", {}),
    LocalizeDialog(kValuesLayout, "ST values", kValuesEnglish),
    LocalizeDialog(kOptionsLayout, "ST", kOptionsEnglish),
};
constexpr win::DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kEpisodeLayout, "ST-Episode", {}),
    LocalizeDialog(kValuesLayout, "ST-Werte", kValuesGerman),
    LocalizeDialog(kOptionsLayout, "ST", kOptionsGerman),
};

constexpr platform::StringEntry kEnglishStrings[] = {
    {23000, "Onset"},    {23001, "Deepest"}, {23002, "End"},      {23003, "Time"},
    {23004, "ST level"}, {23005, "HR"},      {23006, "Duration"}, {23007, "ST slope"},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {23000, "Beginn"},    {23001, "Tiefster"}, {23002, "Ende"},  {23003, "Zeit"},
    {23004, "ST-Niveau"}, {23005, "HF"},       {23006, "Dauer"}, {23007, "ST-Steigung"},
};

const platform::Locale& ProcessLocale() {
  static const platform::SystemLocale locale;
  return locale;
}

int32_t STChannel(int index) {
  const document::ChannelSet& set = document::Context().g_STChannels;
  return index < set.count ? set.channels[static_cast<size_t>(index)] : index;
}

std::string ChannelText(const char* format, int index) {
  char text[32];
  std::snprintf(text, sizeof text, format, STChannel(index) + 1);
  return text;
}

std::string TwoDigits(int32_t n) { return (n < 10 ? "0" : "") + std::to_string(n); }

}  // namespace

// --- The episode dialog ---

TSTEpisodeDlg::TSTEpisodeDlg(win::Window* parent, CZK470Doc* document, platform::ProfileStore* profile,
                             const platform::Locale* locale)
    : win::Dialog(kTemplateId, parent), document_(document), profile_(profile), locale_(locale) {
  AddCommand(kChannel0Id, [this] { SelectChannel(0); });
  AddCommand(kChannel1Id, [this] { SelectChannel(1); });
  AddCommand(kOnsetId, [this] { JumpTo(TSTDetail::kOnset); });
  AddCommand(kDeepestId, [this] { JumpTo(TSTDetail::kExtreme); });
  AddCommand(kEndId, [this] { JumpTo(TSTDetail::kEnd); });
  AddCommand(kDurationId, [this] { FocusSelectedRadio(); });
}

TSTEpisodeDlg::TSTEpisodeDlg(win::Window* parent) : TSTEpisodeDlg(parent, nullptr) {}

TSTEpisodeDlg::~TSTEpisodeDlg() {
  if (IsWindow()) DestroyWindow();
}

bool TSTEpisodeDlg::Open(win::Window* parent) { return CreateModeless(parent, false); }

bool TSTEpisodeDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  const gfx::Rect client = GetClientRect();
  grid_.CreateGrid(*this, client, kGridId, win::kWsVisible);
  grid_.SetRowCount(kRows);
  grid_.SetColumnCount(kColumns);
  grid_.SetFixedRowCount(1);
  grid_.SetFixedColumnCount(1);
  for (int c = 0; c < kColumns; ++c)
    grid_.SetColumnWidth(c, static_cast<int>(kWidthsTwips[c] * kPixelsPerTwip));
  ClearTable();

  // The channel radios share the corner cell; a channel without ST analysis cannot be chosen.
  const gfx::Rect corner = grid_.CellRect({0, 0});
  const int half = corner.left + corner.Width() / 2;
  const gfx::Rect radio_rects[] = {{corner.left, corner.top, half, corner.bottom},
                                   {half, corner.top, corner.right, corner.bottom}};
  bool enabled[2] = {true, true};
  for (int i = 0; i < 2; ++i) {
    enabled[i] = document_ == nullptr || document_->IsSTTrendOn(STChannel(i));
  }
  if (!enabled[0]) selected_ = 1;
  for (int i = 0; i < 2; ++i) {
    auto radio = std::make_unique<win::Button>(ControlKind::kRadioButton);
    radio->CreateControl(this, radio_rects[i], i == 0 ? kChannel0Id : kChannel1Id, ChannelText("%d", i),
                         win::kWsVisible | win::kWsChild);
    radio->EnableWindow(enabled[i]);
    radio->SetCheck(i == selected_ ? win::kBstChecked : win::kBstUnchecked);
    grid_.buttons[static_cast<size_t>(i)] = std::move(radio);
  }
  for (int row = 1; row < kRows; ++row) {
    auto button = std::make_unique<win::Button>(ControlKind::kPushButton);
    button->CreateControl(this, grid_.CellRect({row, 0}), kRowButtons[row - 1],
                          platform::Resources().LoadString(kRowStrings[row - 1]),
                          win::kWsVisible | win::kWsChild);
    grid_.buttons[static_cast<size_t>(row + 1)] = std::move(button);
  }

  PlaceWindow();
  ShowWindow(win::kSwShow);
  timer_ = SetTimer(kTimerId, kTimerMs);
  return false;
}

void TSTEpisodeDlg::PlaceWindow() {
  const gfx::Rect own = GetWindowRect();
  gfx::Rect saved{};
  if (profile_ != nullptr) {
    saved = {profile_->GetInt(kPlacementSection, "Left").value_or(0),
             profile_->GetInt(kPlacementSection, "Top").value_or(0),
             profile_->GetInt(kPlacementSection, "Right").value_or(0),
             profile_->GetInt(kPlacementSection, "Bottom").value_or(0)};
  }
  const gfx::Size desktop = win::Windows().ScreenSize();
  const bool any = saved.left != 0 || saved.top != 0 || saved.right != 0 || saved.bottom != 0;
  const bool inside =
      saved.left >= 0 && saved.top >= 0 && saved.right <= desktop.cx && saved.bottom <= desktop.cy;
  if (any && inside) {
    MoveWindow(saved);
    return;
  }
  win::Window* main = win::Windows().MainWindow();
  if (main == nullptr) return;
  const gfx::Rect frame = main->GetWindowRect();
  const int left = frame.right - own.Width() - 15;
  const int top = frame.bottom - own.Height() - 35;
  MoveWindow({left, top, left + own.Width(), top + own.Height()});
}

void TSTEpisodeDlg::OnTimer(uintptr_t id) {
  if (id != kTimerId) return;
  KillTimer(kTimerId);
  timer_ = 0;
  ShowEpisodeAt(StripThirdMs());
  if (win::Window* main = win::Windows().MainWindow()) main->SetFocus();
}

void TSTEpisodeDlg::OnDestroy() {
  if (profile_ != nullptr) {
    const gfx::Rect rect = GetWindowRect();
    profile_->WriteInt(kPlacementSection, "Left", rect.left);
    profile_->WriteInt(kPlacementSection, "Top", rect.top);
    profile_->WriteInt(kPlacementSection, "Right", rect.right);
    profile_->WriteInt(kPlacementSection, "Bottom", rect.bottom);
  }
  win::Dialog::OnDestroy();
}

win::LResult TSTEpisodeDlg::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == areamsg::kStripRecomputed) {
    ShowEpisodeAt(static_cast<int32_t>(lparam));
    return 0;
  }
  return win::Dialog::WindowProc(message, wparam, lparam);
}

int32_t TSTEpisodeDlg::StripThirdMs() const {
  if (document_ == nullptr) return -1;
  const int32_t start = document_->GetStripStartMs();
  return start + (document_->GetStripEndMs() - start) / 3;
}

void TSTEpisodeDlg::ClearTable() {
  if (!grid_.IsWindow()) return;
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kColumns; ++c) grid_.SetCellText(r, c, "");
  }
  for (int c = 1; c < kColumns; ++c)
    grid_.SetCellText(0, c, platform::Resources().LoadString(kColumnStrings[c - 1]));
  for (int r = 1; r < kRows; ++r)
    grid_.SetCellText(r, 0, platform::Resources().LoadString(kRowStrings[r - 1]));
}

void TSTEpisodeDlg::ShowEpisodeAt(int32_t ms) {
  if (ms == -1 || document_ == nullptr) return;
  const double rate = document_->GetSampleRate();
  const auto sample = static_cast<int64_t>(std::floor(ms * 0.001 * rate + 0.5));
  const TSTDetails& episodes = document_->GetRecordingData().st_episodes[static_cast<size_t>(selected_)];
  shown_ = -1;
  for (int i = 0; i < episodes.GetSize(); ++i) {
    const TSTDetail& e = episodes.Elements()[static_cast<size_t>(i)];
    if (e.points[TSTDetail::kOnset].position <= sample && sample <= e.points[TSTDetail::kEnd].position) {
      shown_ = i;
      break;
    }
  }
  ClearTable();
  if (shown_ < 0) return;
  const TSTDetail& e = episodes.Elements()[static_cast<size_t>(shown_)];
  const TNumberFormatter numbers;
  for (int row = 1; row <= 3; ++row) {
    const TSTPoint& p = e.points[static_cast<size_t>(row - 1)];
    grid_.SetCellText(row, 1, FormatTimeOfDay(static_cast<int32_t>(p.position / rate)));
    grid_.SetCellText(row, 2, numbers.FormatFixed(p.level, 1));
    grid_.SetCellText(row, 3, numbers.FormatFixed(p.slope, 1));
    grid_.SetCellText(row, 4, std::to_string(p.heart_rate));
  }
  // An episode lasts at least a second.
  const int64_t d =
      std::max<int64_t>(int64_t{e.points[TSTDetail::kEnd].position} - e.points[TSTDetail::kOnset].position,
                        static_cast<int64_t>(std::ceil(rate)));
  grid_.SetCellText(4, 1, FormatDuration(static_cast<int32_t>(static_cast<double>(d) / rate)));
  for (int c = 2; c < kColumns; ++c) grid_.SetCellText(4, c, "  ---");
}

std::string TSTEpisodeDlg::FormatTimeOfDay(int32_t seconds) const {
  int64_t start = 0;
  if (document_ != nullptr) {
    const double days = document_->GetRecordingData().start_time.days;
    start = std::llround((days - std::floor(days)) * 86400.0) % 86400;
  }
  const int64_t total = start + seconds;
  const int64_t hours = total / 3600;
  const int day = static_cast<int>(hours / 24);
  const platform::Locale& locale = locale_ != nullptr ? *locale_ : ProcessLocale();
  std::string text = locale.FormatTime(static_cast<int>(hours % 24), static_cast<int>(total % 3600 / 60),
                                       static_cast<int>(total % 60));
  if (document_ != nullptr) text += document_->GetDayLabel(day + 1);
  return text;
}

std::string TSTEpisodeDlg::FormatDuration(int32_t seconds) {
  return TwoDigits(seconds / 3600) + ":" + TwoDigits(seconds % 3600 / 60) + ":" + TwoDigits(seconds % 60);
}

void TSTEpisodeDlg::FocusSelectedRadio() {
  if (win::Window* radio = GetDlgItem(selected_ == 0 ? kChannel0Id : kChannel1Id)) radio->SetFocus();
}

void TSTEpisodeDlg::SelectChannel(int index) {
  selected_ = index;
  for (int i = 0; i < 2; ++i) {
    if (auto* radio = Item<win::Button>(i == 0 ? kChannel0Id : kChannel1Id))
      radio->SetCheck(i == index ? win::kBstChecked : win::kBstUnchecked);
  }
  ShowEpisodeAt(StripThirdMs());
}

void TSTEpisodeDlg::JumpTo(int point) {
  FocusSelectedRadio();
  if (shown_ < 0 || document_ == nullptr) return;
  const TSTDetails& episodes = document_->GetRecordingData().st_episodes[static_cast<size_t>(selected_)];
  if (shown_ >= episodes.GetSize()) return;
  const TSTPoint& p = episodes.Elements()[static_cast<size_t>(shown_)].points[static_cast<size_t>(point)];
  int64_t ms = static_cast<int64_t>(p.position / document_->GetSampleRate() * 1000.0);
  // The position stays inside the whole minutes of the samples.
  const int64_t limit = int64_t{document_->GetRecordingMinutes()} * 60000;
  if (limit > 0 && (ms > limit || (point == TSTDetail::kEnd && ms >= limit))) ms = limit - 1;
  document_->SetCurrentPosition(static_cast<int32_t>(ms), 0);
  document_->UpdateAllViews(nullptr, hint::kEditsChanged);
  document_->UpdateAllViews(nullptr, hint::kNavigationRebuild);
}

// --- The values readout ---

TSTValuesDlg::TSTValuesDlg(win::Window* parent, const CZK470Doc* document)
    : win::Dialog(kTemplateId, parent), document_(document) {
  CreateModeless(parent);
}

bool TSTValuesDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  const int rows[2][4] = {{kLevel0LabelId, kSlope0LabelId, kLevel0Id, kSlope0Id},
                          {kLevel1LabelId, kSlope1LabelId, kLevel1Id, kSlope1Id}};
  for (int i = 0; i < 2; ++i) {
    SetDlgItemText(rows[i][0], ChannelText(GetDlgItemText(rows[i][0]).c_str(), i));
    SetDlgItemText(rows[i][1], ChannelText(GetDlgItemText(rows[i][1]).c_str(), i));
    const bool on = document_ == nullptr || document_->IsSTTrendOn(STChannel(i));
    for (const int id : rows[i]) {
      if (win::Window* control = GetDlgItem(id)) control->EnableWindow(on);
    }
  }
  return true;
}

void TSTValuesDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kLevel0Id, level0);
  win::DdxText(dx, kSlope0Id, slope0);
  win::DdxText(dx, kLevel1Id, level1);
  win::DdxText(dx, kSlope1Id, slope1);
}

// --- The options page ---

TSTOptionsDlg::TSTOptionsDlg() : win::PropertyPage(kTemplateId) {
  for (int c = 0; c < 3; ++c) {
    AddCommand(kSwitchIds[static_cast<size_t>(c)], [this, c] { OnSwitchClicked(c); });
  }
}

TSTOptionsDlg::TSTOptionsDlg(const CZK470Doc& document) : TSTOptionsDlg() {
  const SettingsStore& settings = document.GetSettings();
  st_point = settings.Int(SettingKey::kSTPoint);
  switches = {settings.Int(SettingKey::kSTTrendOn0), settings.Int(SettingKey::kSTTrendOn1),
              settings.Int(SettingKey::kSTTrendOn2)};
  limits = {settings.Int(SettingKey::kSTLimit0), settings.Int(SettingKey::kSTLimit1),
            settings.Int(SettingKey::kSTLimit2)};
}

void TSTOptionsDlg::StoreSettings(SettingsStore& settings) const {
  settings.SetInt(SettingKey::kSTPoint, st_point);
  settings.SetInt(SettingKey::kSTTrendOn0, switches[0]);
  settings.SetInt(SettingKey::kSTTrendOn1, switches[1]);
  settings.SetInt(SettingKey::kSTTrendOn2, switches[2]);
  settings.SetInt(SettingKey::kSTLimit0, limits[0]);
  settings.SetInt(SettingKey::kSTLimit1, limits[1]);
  settings.SetInt(SettingKey::kSTLimit2, limits[2]);
}

bool TSTOptionsDlg::OnInitDialog() {
  // The choices must exist before the base loads the members into them.
  const TNumberFormatter numbers;
  for (const int id : kLimitIds) {
    if (auto* combo = Item<win::ComboBox>(id)) {
      for (int i = 0; i < kLimitChoices; ++i) combo->AddString(numbers.FormatFixed((i + 2) * 0.5, 1));
    }
  }
  if (auto* combo = Item<win::ComboBox>(kPointId)) {
    for (int i = 1; i <= kPointChoices; ++i) combo->AddString(std::to_string(i * 10) + " ms");
  }
  return win::PropertyPage::OnInitDialog();
}

void TSTOptionsDlg::DoDataExchange(win::DataExchange& dx) {
  win::DdxCBIndex(dx, kPointId, st_point);
  for (size_t c = 0; c < 3; ++c) {
    win::DdxCheck(dx, kSwitchIds[c], switches[c]);
    win::DdxCBIndex(dx, kLimitIds[c], limits[c]);
  }
}

bool TSTOptionsDlg::OnSetActive() {
  const bool shown = win::PropertyPage::OnSetActive();
  const document::ChannelSet& analysed = document::Context().g_AnalysisChannels;
  if (analysed.count > 0) {
    for (size_t c = 0; c < 3; ++c) {
      for (const int id : {kSwitchIds[c], kLimitIds[c]}) {
        if (win::Window* control = GetDlgItem(id)) control->EnableWindow(false);
      }
    }
    for (const int32_t channel : analysed.Channels()) {
      if (channel < 0 || channel > 2) continue;
      if (win::Window* box = GetDlgItem(kSwitchIds[static_cast<size_t>(channel)])) box->EnableWindow(true);
      EnableLimit(channel);
    }
    UpdateData(false);
  } else {
    for (int c = 0; c < 3; ++c) EnableLimit(c);
  }
  return shown;
}

void TSTOptionsDlg::EnableLimit(int channel) {
  if (win::Window* combo = GetDlgItem(kLimitIds[static_cast<size_t>(channel)]))
    combo->EnableWindow(switches[static_cast<size_t>(channel)] == 1);
}

void TSTOptionsDlg::OnSwitchClicked(int channel) {
  int& value = switches[static_cast<size_t>(channel)];
  value = value == 1 ? 0 : 1;
  EnableLimit(channel);
}

// --- Installation ---

void InstallSTDialogs(platform::ProfileStore& profile) {
  CSTTrendWnd::SetEpisodeDialogFactory([&profile](CSTTrendWnd& window) -> std::unique_ptr<win::Window> {
    auto dialog = std::make_unique<TSTEpisodeDlg>(&window, window.GetDocument(), &profile);
    if (!dialog->Open(&window)) return nullptr;
    return dialog;
  });
}

void AddSTDialogResources(platform::ResourcePack& pack) {
  const bool german = win::IsGermanPack(pack);
  win::Templates().Add(pack, german ? std::span<const win::DialogTemplate>(kGermanDialogs)
                                    : std::span<const win::DialogTemplate>(kEnglishDialogs));
  pack.AddStrings(german ? std::span<const platform::StringEntry>(kGermanStrings)
                         : std::span<const platform::StringEntry>(kEnglishStrings));
}
