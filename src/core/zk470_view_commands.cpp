// The main view's own commands: screens, time spans, files, sheets on the document, archive copies,
// validation statistics, GDT and mail.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "analysis/editing/beat_editor.h"
#include "analysis/example_strips.h"
#include "core/core_ids.h"
#include "core/main_toolbars.h"
#include "core/options_command.h"
#include "core/view_pages.h"
#include "core/view_services.h"
#include "core/zk470_app.h"
#include "core/zk470_view.h"
#include "dialogs/busy_dlg.h"
#include "dialogs/patient_property_sheet.h"
#include "dialogs/recording_browser_dlg.h"
#include "dialogs/small_dlgs.h"
#include "document/zk470_doc.h"
#include "platform/resources.h"
#include "win/prompt.h"
#include "win/property_sheet.h"

namespace {

namespace ids = core_ids;

constexpr int kMsPerMinute = 60000;
// An entry no command of this program reaches; always disabled.
constexpr int kAlwaysDisabled = 10000;

void PostStatusRefresh() {
  if (win::Window* main = win::Windows().MainWindow()) main->PostMessage(msg::kStatusRefresh);
}

int ModeNumber(const CZK470Doc& doc) { return static_cast<int>(doc.GetDisplayMode()); }

// The busy dialog around a screen that takes a while to build.
class BusyScope {
 public:
  BusyScope() : busy_(1, std::string()) { busy_.ShowBusy(); }
  ~BusyScope() { busy_.EndBusy(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  TBusyDlg busy_;
};

// The span lengths and steps in minutes by span code; any other code shows the whole recording.
struct SpanChoice {
  int length;
  int step;
};
constexpr SpanChoice kSpanChoices[] = {{0, 0}, {1440, 1380}, {720, 660}, {360, 300}, {180, 120}};

}  // namespace

// --- Screens --------------------------------------------------------------------------------------------

void CZK470View::ShowScreen(DisplayMode mode, int layout) {
  Doc().SetDisplayMode(mode);
  Doc().EnsureAnalysisUpToDate();
  (void)SelectLayout(layout);
}

void CZK470View::AddDisplayModeCommands() {
  const auto check_mode = [this](int mode) {
    return [this, mode](win::CmdUI& ui) {
      ui.SetCheck(ModeNumber(Doc()) == mode ? 1 : 0);
      ui.Enable(UsualRule());
    };
  };
  AddCommand(cmd::kNavigation, [this] { OnNavigation(); });
  AddUpdate(cmd::kNavigation, check_mode(1));
  AddCommand(cmd::kChannelView, [this] { OnECGPage(); });
  AddUpdate(cmd::kChannelView, check_mode(2));

  const auto pane_update = [this](int sub_mode) {
    return [this, sub_mode](win::CmdUI& ui) {
      ui.SetCheck(Doc().GetDisplaySubMode() == sub_mode ? 1 : 0);
      const int mode = ModeNumber(Doc());
      ui.Enable(mode == 1 || mode == 2 || mode == 3 || mode == 16);
    };
  };
  AddCommand(cmd::kTrendBelow, [this] { ToggleLowerPane(2, 2, 3); });
  AddUpdate(cmd::kTrendBelow, pane_update(2));
  AddCommand(cmd::kStripBelow, [this] { ToggleLowerPane(1, 0, 1); });
  AddUpdate(cmd::kStripBelow, pane_update(1));

  AddCommand(cmd::kHourlyBarGraphs, [this] { ShowScreen(DisplayMode::kHourlyBarGraphs, 4); });
  AddUpdate(cmd::kHourlyBarGraphs, check_mode(4));
  AddCommand(cmd::kSTTrend, [this] {
    BusyScope busy;
    ShowScreen(DisplayMode::kStTrend, 7);
  });
  AddUpdate(cmd::kSTTrend, check_mode(6));
  AddCommand(cmd::kTemplateBrowser, [this] { OnTemplateBrowser(); });
  AddUpdate(cmd::kTemplateBrowser, [this](win::CmdUI& ui) {
    const int mode = ModeNumber(Doc());
    ui.SetCheck(mode == 7 || mode == 8 ? 1 : 0);
    ui.Enable(UsualRule());
  });
  AddCommand(cmd::kSampleWindows, [this] {
    Doc().EnsureAnalysisUpToDate();
    analysis::CheckExampleStrips(Doc());
    Doc().SetDisplayMode(DisplayMode::kSampleWindows);
    (void)SelectLayout(12);
  });
  AddUpdate(cmd::kSampleWindows, check_mode(9));
  AddCommand(cmd::kHeartRateVariability, [this] { OnHeartRateVariability(); });
  AddUpdate(cmd::kHeartRateVariability, [this](win::CmdUI& ui) {
    const int mode = ModeNumber(Doc());
    ui.SetCheck(mode >= 10 && mode <= 12 ? 1 : 0);
    ui.Enable(UsualRule());
  });
  AddCommand(cmd::kPacemakerTemplates, [this] { OnPacemakerTemplates(); });
  AddUpdate(cmd::kPacemakerTemplates, check_mode(13));
  AddCommand(cmd::kStatistics, [this] { ShowScreen(DisplayMode::kStatistics, 17); });
  AddUpdate(cmd::kStatistics, check_mode(14));
  AddCommand(cmd::kHeartRateNavigator, [this] { ShowScreen(DisplayMode::kHeartRateNavigator, 21); });
  AddUpdate(cmd::kHeartRateNavigator, check_mode(17));
}

void CZK470View::OnNavigation() {
  CZK470Doc& doc = Doc();
  if (doc.GetDisplaySubMode() == 0) doc.SetDisplaySubMode(1);
  doc.SetDisplayMode(DisplayMode::kNavigation);
  if (GetSelector() == nullptr) return;
  doc.EnsureAnalysisUpToDate();
  (void)SelectLayout(doc.GetDisplaySubMode() == 1 ? 0 : 2);
}

void CZK470View::OnECGPage() {
  CZK470Doc& doc = Doc();
  doc.SetDisplayMode(DisplayMode::kEcgPage);
  if (GetSelector() == nullptr) return;
  doc.EnsureAnalysisUpToDate();
  if (!doc.GetLowerPaneFlag()) {
    doc.SetDisplaySubMode(0);
    (void)SelectLayout(11);
    return;
  }
  switch (doc.GetDisplaySubMode()) {
    case 0:
      (void)SelectLayout(11);
      break;
    case 1:
      (void)SelectLayout(1);
      break;
    case 2:
      (void)SelectLayout(3);
      break;
    default:
      break;
  }
}

void CZK470View::ToggleLowerPane(int pane, int navigation_layout, int page_layout) {
  CZK470Doc& doc = Doc();
  const int sub_mode = doc.GetDisplaySubMode();
  // Sub-mode 1 is the strip below, 2 the heart-rate trend below.
  const int other_pane = 3 - pane;
  switch (ModeNumber(doc)) {
    case 1:
      if (sub_mode == other_pane) {
        doc.SetDisplaySubMode(static_cast<int16_t>(pane));
        (void)SelectLayout(navigation_layout);
      }
      break;
    case 2:
      if (sub_mode == 0 || sub_mode == other_pane) {
        doc.SetLowerPaneFlag(true);
        doc.SetDisplaySubMode(static_cast<int16_t>(pane));
        (void)SelectLayout(page_layout);
      } else if (sub_mode == pane) {
        doc.SetLowerPaneFlag(false);
        doc.SetDisplaySubMode(0);
        (void)SelectLayout(11);
      }
      break;
    default:
      break;
  }
}

void CZK470View::OnTemplateBrowser() {
  CZK470Doc& doc = Doc();
  const int mode = ModeNumber(doc);
  if (mode != 7 && mode != 8) {
    {
      TBeatEditor editor(doc, 1);
      editor.CompactAndSortTemplateClasses();
    }
    doc.ClearTemplateClassList();
    doc.BuildTemplateClassList();
  }
  if (mode == 8) doc.ScrollTemplateClassIntoView();
  doc.SetDisplayMode(DisplayMode::kTemplateClasses);
  (void)SelectLayout(doc.GetLargeTemplateViewFlag() ? 10 : 8);
}

void CZK470View::OnHeartRateVariability() {
  BusyScope busy;
  CZK470Doc& doc = Doc();
  doc.EnsureAnalysisUpToDate();
  switch (doc.GetHRVSubMode()) {
    case 0:
      doc.SetDisplayMode(DisplayMode::kHrv10);
      (void)SelectLayout(13);
      break;
    case 1:
      doc.SetDisplayMode(DisplayMode::kHrv11);
      (void)SelectLayout(14);
      break;
    case 2:
      doc.SetDisplayMode(DisplayMode::kHrv12);
      (void)SelectLayout(15);
      break;
    default:
      (void)SelectLayout(13);
      break;
  }
}

void CZK470View::OnPacemakerTemplates() {
  CZK470Doc& doc = Doc();
  if (doc.GetDisplayMode() != DisplayMode::kPacemakerTemplates) {
    doc.ClearPMTemplateClassList();
    doc.BuildPMTemplateClassList();
  }
  ShowScreen(DisplayMode::kPacemakerTemplates, 16);
}

// --- Time spans ----------------------------------------------------------------------------------------

bool CZK470View::IsSpanNavigationPossible() const {
  switch (ModeNumber(Doc())) {
    case 1:
    case 6:
    case 9:
    case 17:
      return true;
    case 2:
      return Doc().GetDisplaySubMode() == 2;
    default:
      return false;
  }
}

void CZK470View::MoveSpan(int new_start) {
  CZK470Doc& doc = Doc();
  const int32_t length = doc.GetSpanLength();
  (void)doc.TimeSpanChanging(new_start, length);
  doc.SetSpanStartMinute(new_start);
  doc.SetSpanStartMs(new_start * kMsPerMinute);
  doc.SetSpanEndMs((new_start + length) * kMsPerMinute);
  doc.UpdateAllViews(nullptr, hint::kSpanMoved);
}

void CZK470View::AddSpanCommands() {
  AddCommand(cmd::kFirstSpan, [this] {
    if (Doc().GetSpanStartMinute() > 0) MoveSpan(0);
  });
  AddCommand(cmd::kPreviousSpan, [this] {
    const int32_t start = Doc().GetSpanStartMinute();
    const int32_t d = std::min(Doc().GetSpanStep(), start);
    if (d > 0) MoveSpan(start - d);
  });
  AddCommand(cmd::kNextSpan, [this] {
    const int32_t start = Doc().GetSpanStartMinute();
    const int32_t rest = Doc().GetRecordingMinutes() - start - Doc().GetSpanLength();
    const int32_t step = Doc().GetSpanStep();
    const int32_t d = step < rest ? step : rest;
    if (d > 0) MoveSpan(start + d);
  });
  AddCommand(cmd::kLastSpan, [this] {
    const int32_t last = Doc().GetRecordingMinutes() - Doc().GetSpanLength();
    if (Doc().GetSpanStartMinute() < last) MoveSpan(last);
  });
  const auto backward = [this](win::CmdUI& ui) {
    ui.Enable(IsSpanNavigationPossible() && span_code_ != 0 && Doc().GetSpanStartMinute() > 0);
  };
  const auto forward = [this](win::CmdUI& ui) {
    const int32_t last = Doc().GetRecordingMinutes() - Doc().GetSpanLength();
    ui.Enable(IsSpanNavigationPossible() && span_code_ != 0 && Doc().GetSpanStartMinute() < last);
  };
  AddUpdate(cmd::kFirstSpan, backward);
  AddUpdate(cmd::kPreviousSpan, backward);
  AddUpdate(cmd::kNextSpan, forward);
  AddUpdate(cmd::kLastSpan, forward);
  // The box of the main frame's time-span toolbar reports a new choice as a selection change.
  AddNotification(cmd::kTimeSpan, win::kCbnSelChange, [this] { OnSpanLength(); });
  AddUpdate(cmd::kTimeSpan, [this](win::CmdUI& ui) {
    ui.Enable(IsSpanNavigationPossible() && CTimeSpanToolBar::HasSpanChoice());
  });
}

void CZK470View::OnSpanLength() {
  CZK470Doc& doc = Doc();
  span_code_ = static_cast<int16_t>(CTimeSpanToolBar::GetSelectedSpan());
  if (span_code_ >= 1 && span_code_ <= 4) {
    const SpanChoice& choice = kSpanChoices[span_code_];
    doc.SetSpanLength(choice.length);
    doc.SetSpanStep(choice.step);
  } else {
    doc.SetSpanLength(doc.GetRecordingMinutes());
    doc.SetSpanStep(0);
  }
  (void)doc.AdjustTimeSpanToPosition(false);
  doc.UpdateAllViews(nullptr, hint::kSpanMoved);
}

// --- Files and sheets ------------------------------------------------------------------------------

void CZK470View::AddFileAndSheetCommands() {
  AddCommand(cmd::kFileOpen, [this] { OnFileOpen(); });
  AddCommand(cmd::kFileClose, [this] { OnFileClose(); });
  AddUpdate(cmd::kFileClose, [this](win::CmdUI& ui) {
    ui.Enable(Doc().GetDisplayMode() != DisplayMode::kNone &&
              Doc().GetDisplayMode() != DisplayMode::kOnlineEcg);
  });
  AddCommand(cmd::kRefreshStatus, [] { PostStatusRefresh(); });

  // The patient sheet, at its diagnosis page for 33316.
  AddCommand(cmd::kPatientData, [this] { (void)EditPatientData(Doc(), false); });
  AddCommand(cmd::kPatientDataAlt, [this] { (void)EditPatientData(Doc(), false); });
  AddCommand(cmd::kEditDiagnosis, [this] { (void)EditPatientData(Doc(), true); });
  for (const int id : {cmd::kPatientData, cmd::kPatientDataAlt, cmd::kEditDiagnosis}) {
    AddUpdate(id, [this](win::CmdUI& ui) { ui.Enable(CanEditPatientData(Doc())); });
  }

  AddCommand(cmd::kThreeTexts, [this] {
    TThreeTextDlg texts(this, &Doc());
    texts.DoModal();
  });
  AddCommand(cmd::kUserId, [this] { OnUserId(); });
  AddCommand(cmd::kOptions, [this] { RunOptionsCommand(*this); });
  AddCommand(cmd::kPacemakerTexts, [this] { OnPacemakerTexts(); });
  AddCommand(cmd::kUndoEdits, [this] {
    if (Doc().GetEditRecording() != 0) Doc().UndoEdits();
  });
  AddUpdate(cmd::kUndoEdits, [](win::CmdUI& ui) { ui.Enable(false); });

  // Entries without an action of their own.
  for (const int id : {cmd::kNoAction32993, cmd::kNoAction33207, cmd::kNoAction33211}) AddCommand(id, [] {});
  for (const int id : {cmd::kNoAction33207, cmd::kNoAction33211, kAlwaysDisabled}) {
    AddUpdate(id, [](win::CmdUI& ui) { ui.Enable(false); });
  }
  AddUpdate(cmd::kDisabled32819, [this](win::CmdUI& ui) { ui.Enable(UsualRule()); });
}

void CZK470View::OnFileOpen() {
  const std::vector<std::string> chosen = ChooseRecordingsToOpen(Doc());
  // The application's opening refreshes the status panes itself.
  if (!chosen.empty() && App() != nullptr) {
    (void)App()->OpenChosenFile(chosen.front());
    return;
  }
  PostStatusRefresh();
}

void CZK470View::OnFileClose() {
  CZK470Doc& doc = Doc();
  // The save question comes first: Cancel (or a failed save) leaves screen and recording alone.
  if (doc.GetClosedFlag() == 0) {
    if (!doc.SaveModified()) return;
    // Saved, or the user chose to drop the changes: the reset must not ask again.
    doc.SetModifiedFlag(false);
  }
  doc.ResetToUntitled();
  PostStatusRefresh();
}

void CZK470View::OnUserId() {
  CZK470Doc& doc = Doc();
  TUserIDPage page(doc.GetSettings().Text(SettingKey::kUserName));
  win::PropertySheet sheet(cmd::kUserId, this);
  sheet.SetApplyButton(false);
  sheet.SetHelpButton(false);
  sheet.AddPage(page);
  if (sheet.DoModal() != win::kIdOk) return;
  doc.GetSettings().SetText(SettingKey::kUserName, page.user_id);
  doc.SaveSettings();
}

void CZK470View::OnPacemakerTexts() {
  CZK470Doc& doc = Doc();
  TPMTextDlg page(doc);
  win::PropertySheet sheet(ids::kIdsPacemakerTextsCaption, this);
  sheet.SetApplyButton(false);
  sheet.SetHelpButton(false);
  sheet.AddPage(page);
  if (sheet.DoModal() != win::kIdOk) return;
  for (int i = 0; i < TPMTextDlg::kTextCount; ++i) {
    doc.GetSettings().SetText(PacemakerNameSetting(i), page.texts[static_cast<size_t>(i)]);
  }
  doc.SaveSettings();
  doc.UpdateAllViews(nullptr, hint::kArea1100);
}

// --- Archive copies, statistics, GDT and mail ----------------------------------------------------------

void CZK470View::AddServiceCommands() {
  AddCommand(cmd::kArchiveCopy, [this] { OnArchiveCopy(0); });
  AddCommand(cmd::kArchiveCopyAll, [this] { OnArchiveCopy(1); });
  AddUpdate(cmd::kArchiveCopy, [this](win::CmdUI& ui) {
    ui.Enable(static_cast<bool>(GetViewServices().archive_copy) && UsualRule());
  });
  AddUpdate(cmd::kArchiveCopyAll, [this](win::CmdUI& ui) {
    ui.Enable(static_cast<bool>(GetViewServices().archive_copy) &&
              Doc().GetDisplayMode() != DisplayMode::kOnlineEcg);
  });

  for (const int id : {cmd::kAnnotationStatisticAHA, cmd::kAnnotationStatisticMIT, cmd::kSTStatistic}) {
    AddCommand(id, [this, id] {
      if (const auto& statistic = GetViewServices().validation_statistic) statistic(Doc(), id);
    });
    AddUpdate(id,
              [](win::CmdUI& ui) { ui.Enable(static_cast<bool>(GetViewServices().validation_statistic)); });
  }

  const auto gdt_on = [this] {
    return static_cast<bool>(GetViewServices().gdt_link) && Doc().GetSettings().Int(SettingKey::kGDTOn) != 0;
  };
  AddCommand(cmd::kGDTSendResult, [this] { OnGDTSendResult(); });
  AddUpdate(cmd::kGDTSendResult, [this, gdt_on](win::CmdUI& ui) { ui.Enable(gdt_on() && UsualRule()); });
  AddCommand(cmd::kGDTTakePatient, [this] { OnGDTTakePatient(); });
  AddUpdate(cmd::kGDTTakePatient, [gdt_on](win::CmdUI& ui) { ui.Enable(gdt_on()); });

  AddCommand(cmd::kSend, [this] { OnSend(); });
  AddCommand(cmd::kSendReportPdf, [this] {
    if (const auto& send = GetViewServices().send_report_pdf) send(Doc());
  });
  AddCommand(cmd::kSendRecording, [this] {
    if (const auto& send = GetViewServices().send_recording) send(Doc());
  });
  const auto mail_possible = [this] {
    const DisplayMode mode = Doc().GetDisplayMode();
    return mode != DisplayMode::kNone && mode != DisplayMode::kOnlineEcg && IsMailProgramAvailable();
  };
  AddUpdate(cmd::kSend, [mail_possible](win::CmdUI& ui) {
    const ViewServices& services = GetViewServices();
    ui.Enable(services.send_report_pdf && services.send_recording && mail_possible());
  });
  AddUpdate(cmd::kSendReportPdf, [mail_possible](win::CmdUI& ui) {
    ui.Enable(GetViewServices().send_report_pdf && mail_possible());
  });
  AddUpdate(cmd::kSendRecording, [this, mail_possible](win::CmdUI& ui) {
    ui.Enable(GetViewServices().send_recording && mail_possible() &&
              Doc().GetDisplayMode() != DisplayMode::kPdf);
  });
}

void CZK470View::OnArchiveCopy(int copy_mode) {
  const auto& copy = GetViewServices().archive_copy;
  if (!copy) return;
  // The copy dialog shows no result of its own: a run that did not go through is said here.
  if (copy(Doc(), copy_mode) != 0) {
    win::CurrentPrompt().MessageBox(platform::LoadString(ids::kIdsArchiveCopyFailed),
                                    win::Windows().AppTitle(), win::kMbOk | win::kMbIconExclamation);
  }
}

void CZK470View::OnGDTSendResult() {
  const auto& make_link = GetViewServices().gdt_link;
  if (!make_link) return;
  std::unique_ptr<GdtLink> link = make_link(Doc());
  // The practice software waits for the result: a file that could not be written is said.
  if (link != nullptr && !link->SendResult()) {
    win::CurrentPrompt().MessageBox(platform::LoadString(ids::kIdsGdtNotSent), win::Windows().AppTitle(),
                                    win::kMbOk | win::kMbIconExclamation);
  }
}

void CZK470View::OnGDTTakePatient() {
  const auto& make_link = GetViewServices().gdt_link;
  if (!make_link) return;
  std::unique_ptr<GdtLink> link = make_link(Doc());
  if (link == nullptr) return;
  CZK470Doc& doc = Doc();
  TPatientData patient(doc.GetClock());
  TRecordingData recording(doc.GetClock());
  const std::string caption = win::Windows().AppTitle();
  bool read = false;
  const int gdt_mode = App() != nullptr ? App()->GetGDTMode() : 0;
  if (gdt_mode == 1) {
    read = link->ReadNewExamination(patient, recording);
  } else {
    // A failed request, or No, leaves the recording as it is without a word.
    if (!link->WriteRequest()) return;
    if (win::CurrentPrompt().MessageBox(platform::LoadString(ids::kIdsGdtAskAnswer), caption,
                                        win::kMbYesNo | win::kMbIconQuestion) != win::kIdYes) {
      return;
    }
    read = link->ReadAnswer(patient, recording);
  }
  if (read) {
    (void)doc.NewRecording(1, patient, recording);
  } else {
    win::CurrentPrompt().MessageBox(platform::LoadString(ids::kIdsGdtNoAnswer), caption,
                                    win::kMbOk | win::kMbIconStop);
  }
}

void CZK470View::OnSend() {
  // A shown PDF goes as the report; otherwise the recording goes.
  const int id = Doc().GetDisplayMode() == DisplayMode::kPdf ? cmd::kSendReportPdf : cmd::kSendRecording;
  win::CommandMessage message{id};
  (void)HandleOwnCommand(message);
}
