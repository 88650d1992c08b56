#include "dialogs/auto_scroll_dlg.h"

#include <algorithm>
#include <memory>

#include "document/zk470_doc.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "views/st_scale_area.h"
#include "win/dialog_layout.h"
#include "win/dialog_template.h"

namespace {

using win::ControlKind;
using win::ControlLayout;
using win::DialogLayout;
using win::LocalizeControls;
using win::LocalizeDialog;

constexpr const char* kPlaceSection = "ECG\\AutoScroll";

constexpr DialogLayout kAutoScrollLayout{TAutoScrollDlg::kTemplateId, 150, 46};
constexpr ControlLayout kAutoScrollControls[] = {
    {-1, ControlKind::kStatic, 7, 5, 30, 8},
    {TAutoScrollDlg::kSliderId, ControlKind::kSlider, 7, 15, 136, 14},
    {-1, ControlKind::kStatic, 113, 5, 30, 8, win::kSsRight},
    {TAutoScrollDlg::kStartStopId, ControlKind::kPushButton, 50, 30, 50, 14},
};
constexpr auto kAutoScrollEnglish = LocalizeControls(kAutoScrollControls, {"Slow", "", "Fast", "Stop"});
constexpr auto kAutoScrollGerman = LocalizeControls(kAutoScrollControls, {"Langsam", "", "Schnell", "Stopp"});
constexpr win::DialogTemplate kEnglishDialogs[] = {
    LocalizeDialog(kAutoScrollLayout, "Auto-scroll", kAutoScrollEnglish),
};
constexpr win::DialogTemplate kGermanDialogs[] = {
    LocalizeDialog(kAutoScrollLayout, "Automatisch blättern", kAutoScrollGerman),
};

constexpr platform::StringEntry kEnglishStrings[] = {
    {TAutoScrollDlg::kStartText, "Start"},
    {TAutoScrollDlg::kStopText, "Stop"},
    {ecgpage::kAnalysedChannelsCaption, "Analysed channels"},
    {ecgpage::kChannelsCaption, "Channels shown"},
    {ecgpage::kConfirmReanalysis,
     "The recording is saved and analysed again with the new channels; all edits of the analysis are "
     "lost. Continue?"},
    {ecgpage::kReanalysisAborted,
     "The analysis was cancelled. The recording is opened again as it was saved."},
    {CSTScaleArea::kTrendCaption, "Trend"},
    {CSTScaleArea::kSTCaption, "ST"},
    {CSTScaleArea::kLevelCaption, "Level"},
    {CSTScaleArea::kSlopeCaption, "Slope"},
};
constexpr platform::StringEntry kGermanStrings[] = {
    {TAutoScrollDlg::kStartText, "Start"},
    {TAutoScrollDlg::kStopText, "Stopp"},
    {ecgpage::kAnalysedChannelsCaption, "Ausgewertete Kanäle"},
    {ecgpage::kChannelsCaption, "Angezeigte Kanäle"},
    {ecgpage::kConfirmReanalysis,
     "Die Aufzeichnung wird gespeichert und mit den neuen Kanälen neu ausgewertet; alle Änderungen der "
     "Auswertung gehen verloren. Fortfahren?"},
    {ecgpage::kReanalysisAborted,
     "Die Auswertung wurde abgebrochen. Die Aufzeichnung wird so geöffnet, wie sie gespeichert wurde."},
    {CSTScaleArea::kTrendCaption, "Trend"},
    {CSTScaleArea::kSTCaption, "ST"},
    {CSTScaleArea::kLevelCaption, "Niveau"},
    {CSTScaleArea::kSlopeCaption, "Steigung"},
};

bool Inside(const gfx::Rect& inner, const gfx::Rect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

}  // namespace

TAutoScrollDlg::TAutoScrollDlg(CZK470Doc& document, CAutoScrollOwner& owner, platform::ProfileStore& profile)
    : win::Dialog(kTemplateId, owner.GetOwnerWindow()),
      document_(document),
      owner_(owner),
      profile_(profile) {
  // A hand-edited profile may hold any speed; the interval table has eleven entries.
  position_ = std::clamp(document_.GetSettings().Int(SettingKey::kECGViewScrollSpeed), 0,
                         static_cast<int>(kIntervalsMs.size()) - 1);
  AttachControl(kStartStopId, start_stop_);
  AttachControl(kSliderId, slider_);
  AddCommand(kStartStopId, [this] { StartStop(); });
}

TAutoScrollDlg::~TAutoScrollDlg() {
  if (IsWindow()) Close();
}

bool TAutoScrollDlg::Open() { return CreateModeless(owner_.GetOwnerWindow()); }

void TAutoScrollDlg::PlaceWindow() {
  const auto read = [this](const char* key) { return profile_.GetInt(kPlaceSection, key).value_or(0); };
  const gfx::Rect saved{read("Left"), read("Top"), read("Right"), read("Bottom")};
  const gfx::Size screen = win::Windows().ScreenSize();
  const gfx::Rect desktop{0, 0, screen.cx, screen.cy};
  const bool any = saved.left != 0 || saved.top != 0 || saved.right != 0 || saved.bottom != 0;
  if (any && Inside(saved, desktop)) {
    MoveWindow(saved);
    return;
  }
  const gfx::Rect own = GetWindowRect();
  const win::Window* main = win::Windows().MainWindow();
  const gfx::Rect frame = main != nullptr && main->IsWindow() ? main->GetWindowRect() : desktop;
  const int x = frame.right - own.Width() - 15;
  const int y = frame.bottom - own.Height() - 35;
  MoveWindow({x, y, x + own.Width(), y + own.Height()});
}

bool TAutoScrollDlg::OnInitDialog() {
  win::Dialog::OnInitDialog();
  PlaceWindow();
  ShowWindow(win::kSwShow);
  slider_.SetRange(0, static_cast<int>(kIntervalsMs.size()) - 1);
  slider_.SetPos(position_);
  SetTimer(kPageTimer, Interval());
  state_ = kRunning;
  SetTimer(kSliderTimer, kSliderPollMs);
  SetTimer(kFocusTimer, kFocusPollMs);
  return true;
}

void TAutoScrollDlg::StartStop() {
  if (!IsWindow()) return;
  if (state_ != kRunning) {
    start_stop_.SetWindowText(platform::LoadString(kStopText));
    SetTimer(kPageTimer, Interval());
    state_ = kRunning;
  } else if (KillTimer(kPageTimer)) {
    start_stop_.SetWindowText(platform::LoadString(kStartText));
    state_ = kStopped;
  }
}

void TAutoScrollDlg::OnTimer(uintptr_t id) {
  switch (id) {
    case kPageTimer:
      // The page stops at the end of the displayed span; the timer keeps running.
      if (document_.GetViewFields().page_end_ms + 1 < document_.GetSpanEndMs()) owner_.ScrollOnePage();
      break;
    case kSliderTimer: {
      const int chosen = std::clamp(slider_.GetPos(), 0, static_cast<int>(kIntervalsMs.size()) - 1);
      if (chosen == position_) break;
      position_ = chosen;
      if (state_ == kRunning) SetTimer(kPageTimer, Interval());
      document_.GetSettings().SetInt(SettingKey::kECGViewScrollSpeed, position_);
      break;
    }
    case kFocusTimer:
      if (win::Windows().GetFocus() == &slider_) start_stop_.SetFocus();
      break;
    default:
      break;
  }
}

void TAutoScrollDlg::OnClose() {
  // The owner ends auto-scroll as its toggle does, so that its place is kept and the page window
  // no longer counts it as running.
  owner_.RequestClose();
}

void TAutoScrollDlg::Close() {
  if (!IsWindow()) return;
  const gfx::Rect place = GetWindowRect();
  profile_.WriteInt(kPlaceSection, "Left", place.left);
  profile_.WriteInt(kPlaceSection, "Top", place.top);
  profile_.WriteInt(kPlaceSection, "Right", place.right);
  profile_.WriteInt(kPlaceSection, "Bottom", place.bottom);
  KillTimer(kPageTimer);
  KillTimer(kSliderTimer);
  KillTimer(kFocusTimer);
  state_ = kStopped;
  DestroyWindow();
}

void InstallAutoScrollDialog(platform::ProfileStore& profile) {
  SetAutoScrollDialogFactory(
      [&profile](CZK470Doc& document, CAutoScrollOwner& owner) -> std::unique_ptr<CAutoScrollDialog> {
        auto dialog = std::make_unique<TAutoScrollDlg>(document, owner, profile);
        if (!dialog->Open()) return nullptr;
        return dialog;
      });
}

void AddECGPageResources(platform::ResourcePack& pack) {
  const bool german = win::IsGermanPack(pack);
  pack.AddStrings(german ? std::span<const platform::StringEntry>(kGermanStrings)
                         : std::span<const platform::StringEntry>(kEnglishStrings));
  win::Templates().Add(pack, german ? std::span<const win::DialogTemplate>(kGermanDialogs)
                                    : std::span<const win::DialogTemplate>(kEnglishDialogs));
}
