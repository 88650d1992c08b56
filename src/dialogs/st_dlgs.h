#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "win/controls.h"
#include "win/dialog.h"
#include "win/grid_ctrl.h"
#include "win/property_sheet.h"

class CZK470Doc;
class SettingsStore;
namespace platform {
class Locale;
class ProfileStore;
class ResourcePack;
}  // namespace platform

// The episode table: a grid whose header cells carry the dialog's six buttons (two channel radios,
// four jump buttons) and whose texts stand one blank in from the cell's edge.
class CSTEpisodeGrid : public win::GridCtrl {
 public:
  void SetCellText(int row, int column, const std::string& text) { SetItemText(row, column, " " + text); }
  std::array<std::unique_ptr<win::Button>, 6> buttons;
};

// Beside the ST screen: the ST episode of one ST channel that holds the main strip's position
// (onset, deepest point, end, duration), and buttons that move the current position to its
// points. Modeless; Enter and Esc do not close it. Its screen rectangle survives in the profile.
// User-interface thread only.
class TSTEpisodeDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 243;
  static constexpr int kGridId = 1197;
  static constexpr int kChannel0Id = 1325;
  static constexpr int kChannel1Id = 1326;
  static constexpr int kOnsetId = 1231;
  static constexpr int kDeepestId = 1230;
  static constexpr int kEndId = 1232;
  static constexpr int kDurationId = 1233;
  static constexpr int kFirstString = 23000;  // 23000..23007: the header texts
  static constexpr int kTimerId = 1;
  static constexpr int kTimerMs = 1000;

  // profile: where the placement is kept (nullptr keeps none); locale: the time-of-day format
  // (nullptr: the process's).
  TSTEpisodeDlg(win::Window* parent, CZK470Doc* document, platform::ProfileStore* profile = nullptr,
                const platform::Locale* locale = nullptr);
  explicit TSTEpisodeDlg(win::Window* parent);
  ~TSTEpisodeDlg() override;

  // Creates the modeless window over parent.
  bool Open(win::Window* parent);

  // ms -1 does nothing.
  void ShowEpisodeAt(int32_t ms);
  void ClearTable();
  std::string FormatTimeOfDay(int32_t seconds) const;
  static std::string FormatDuration(int32_t seconds);

  int SelectedChannel() const { return selected_; }
  int ShownEpisode() const { return shown_; }
  CSTEpisodeGrid& Grid() { return grid_; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  void OnTimer(uintptr_t id) override;
  void OnDestroy() override;
  // The ST trend passes on the strip's rebuild (1024) with the time to show, in ms, as lparam.
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  void SelectChannel(int index);
  void JumpTo(int point);
  void FocusSelectedRadio();
  void PlaceWindow();
  int32_t StripThirdMs() const;

  CSTEpisodeGrid grid_;
  int selected_ = 0;
  CZK470Doc* document_ = nullptr;
  platform::ProfileStore* profile_ = nullptr;
  const platform::Locale* locale_ = nullptr;
  int shown_ = -1;
  uintptr_t timer_ = 0;
};

// The readout of the ST trend caliper: ST level and slope of ST channel index 0 and 1. Made
// modeless at once with empty texts; its owner sets the members and exchanges them.
class TSTValuesDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 270;
  static constexpr int kLevel0Id = 1234;
  static constexpr int kSlope0Id = 1236;
  static constexpr int kLevel1Id = 1235;
  static constexpr int kSlope1Id = 1237;
  static constexpr int kLevel0LabelId = 1246;
  static constexpr int kLevel1LabelId = 1247;
  static constexpr int kSlope0LabelId = 1248;
  static constexpr int kSlope1LabelId = 1249;

  // document: whose ST switches grey the rows of channels not analysed (nullptr greys none).
  explicit TSTValuesDlg(win::Window* parent, const CZK470Doc* document = nullptr);

  std::string level0;
  std::string slope0;
  std::string level1;
  std::string slope1;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  const CZK470Doc* document_ = nullptr;
};

// The ST page of the analysis options sheet: per recorder channel the ST switch and depression
// limit, and the ST measuring point. Only the analysed channels can be changed.
class TSTOptionsDlg : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 237;
  static constexpr int kPointId = 1196;
  static constexpr std::array<int, 3> kSwitchIds = {1193, 1195, 1198};
  static constexpr std::array<int, 3> kLimitIds = {1194, 1197, 1199};
  static constexpr int kLimitChoices = 5;
  static constexpr int kPointChoices = 10;

  TSTOptionsDlg();
  explicit TSTOptionsDlg(const CZK470Doc& document);

  // The seven members into the settings (the sheet does it when it closes with OK).
  void StoreSettings(SettingsStore& settings) const;

  int st_point = 0;
  std::array<int, 3> switches{};
  std::array<int, 3> limits{};

  bool OnSetActive() override;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  void OnSwitchClicked(int channel);
  void EnableLimit(int channel);
};

// Makes every ST trend window open its episode dialog; called once at start-up.
void InstallSTDialogs(platform::ProfileStore& profile);

// The templates and header strings of the three, German to the German pack, English to every
// other one.
void AddSTDialogResources(platform::ResourcePack& pack);
