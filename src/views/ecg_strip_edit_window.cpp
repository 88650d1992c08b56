#include "views/ecg_strip_edit_window.h"

#include <algorithm>
#include <string>

#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/ids.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/view_resources.h"
#include "win/popup_menu.h"
#include "win/system_metrics.h"
#include "win/toolbar_window.h"

namespace {

constexpr int kSlotlessTake = CECGSampleWnd::kCmdTakeExample;
constexpr int kSlotlessNext = CECGSampleWnd::kCmdNextExample;
constexpr int kMaxScaleIndex = 2;
// The strip areas overlap neighbouring channel bands by this many centimetres.
constexpr double kBandOverlapCm = 1.5;
// Shift+F10 opens the context menu this far inside the client area's top-left corner.
constexpr int kKeyboardMenuInset = 5;
constexpr int kUserMarkerLeadSeconds = 7;

int ClampScaleIndex(int index) { return std::clamp(index, 0, kMaxScaleIndex); }

// Toolbar 1025 has no pictures of its own: each button shows a short text.
constexpr win::TextToolBarWindow::ButtonText kToolBarTexts[] = {
    {CECGStripWnd::kCmdTakeCursor, "|<"}, {CECGStripWnd::kCmdUserMarker, "M"},
    {CECGStripWnd::kCmdSlower, "S-"},     {CECGStripWnd::kCmdFaster, "S+"},
    {CECGStripWnd::kCmdLarger, "A+"},     {CECGStripWnd::kCmdSmaller, "A-"},
};

struct MenuEntry {
  int id;  // 0: separator
  const char* english;
  const char* german;
};

// Sub-menu 0 of menu 184; every entry stays present, the update pass greys what does not apply.
// The texts go to the language packs; the n-th entry (separators not counted) is string
// kMenuTextFirst + n, so the menu and its strings come from this one table.
constexpr MenuEntry kContextMenu[] = {
    {CECGStripWnd::kCmdNormal, "&Normal", "&Normal"},
    {CECGStripWnd::kCmdSVES, "&SVES", "&SVES"},
    {CECGStripWnd::kCmdVES, "&VES", "&VES"},
    {CECGStripWnd::kCmdArtefact, "&Artefact", "&Artefakt"},
    {CECGStripWnd::kCmdClassChoice, "&Class...", "&Klasse..."},
    {0, nullptr, nullptr},
    {CECGStripWnd::kCmdDeleteBeat, "&Delete beat", "Schlag &löschen"},
    {CECGStripWnd::kCmdDeleteEvent, "Delete &event", "&Ereignis löschen"},
    {0, nullptr, nullptr},
    {CECGStripWnd::kCmdMarkRangeStart, "&Mark range start", "&Bereichsanfang markieren"},
    {CECGStripWnd::kCmdRangeNormal, "Range: normal", "Bereich: Normal"},
    {CECGStripWnd::kCmdRangeSVES, "Range: SVES", "Bereich: SVES"},
    {CECGStripWnd::kCmdRangeVES, "Range: VES", "Bereich: VES"},
    {CECGStripWnd::kCmdRangeArtefact, "Range: artefact", "Bereich: Artefakt"},
    {CECGStripWnd::kCmdRangeUnlabel, "Range: ectopic beats off", "Bereich: Extrasystolen aufheben"},
    {CECGStripWnd::kCmdRangeFibrillation, "Range: atrial fibrillation", "Bereich: Vorhofflimmern"},
    {CECGStripWnd::kCmdRangeFlutter, "Range: atrial flutter", "Bereich: Vorhofflattern"},
    {0, nullptr, nullptr},
    {CECGStripWnd::kCmdUserMarker, "&User marker", "Ben&utzermarke"},
    {CECGStripWnd::kCmdShowBeatTemplate, "Show &template class", "&Templateklasse anzeigen"},
    {CECGStripWnd::kCmdShowPacemakerTemplate, "Show &pacemaker class", "Schritt&macherklasse anzeigen"},
    {0, nullptr, nullptr},
    {CECGStripWnd::kCmdTakeCursor, "Position to cursor", "Position zum Cursor"},
    {CECGStripWnd::kCmdCaliper, "Ca&liper", "&Zirkel"},
    {0, nullptr, nullptr},
    {cmd::kSetMark, "Set mar&k", "Mar&ke setzen"},
    {cmd::kReturnToMark, "&Return to mark", "&Zurück zur Marke"},
    {cmd::kRemoveUserEvents, "Remove user e&vents", "Benutzerereignisse ent&fernen"},
};

// A pack without the menu's strings still gives a usable menu.
std::string TextOrFallback(int string_id, const char* english) {
  std::string text = platform::LoadString(string_id);
  return text.empty() ? std::string(english) : text;
}

// The marks of the kinds whose counts differ from those saved in the hint, with the kinds that
// stand for a group; the recording number stays as it is.
void MarkChangedKinds(const CZK470Doc& doc, TCountsHint& hint) {
  const auto& events = doc.GetEventList().Counters();
  const auto& beats = doc.GetQRSList().Counters();
  for (size_t code = 0; code < hint.marks.size(); ++code) {
    if (events[code] != hint.event_counters[code] || beats[code] != hint.beat_counters[code])
      hint.marks[code] = 1;
  }
  if (hint.marks[kClassSVTrigeminy] != 0) hint.marks[kClassSVBigeminy] = 1;
  if (hint.marks[kClassAtrialFibrillation] != 0 || hint.marks[kClassAtrialFlutter] != 0)
    hint.marks[kClassArrhythmia] = 1;
  if (hint.marks[kClassLeadOff] != 0) hint.marks[kClassRecorderMinute] = 1;
}

// Sets the manual-edit flag for the life of one user edit.
class ScopedManualEdit {
 public:
  explicit ScopedManualEdit(bool on) : previous_(document::Context().edit_mode) {
    if (on) document::Context().edit_mode = 1;
  }
  ~ScopedManualEdit() { document::Context().edit_mode = previous_; }
  ScopedManualEdit(const ScopedManualEdit&) = delete;
  ScopedManualEdit& operator=(const ScopedManualEdit&) = delete;

 private:
  int previous_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// CECGStripWindowConfig

CECGStripWindowConfig::CECGStripWindowConfig(const CPosition& position, gfx::Size min_size,
                                             gfx::Size per_mille, bool focusable)
    : CECGSampleWindowConfig(position, min_size, per_mille, focusable, -1) {}

std::unique_ptr<CAreaWnd> CECGStripWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CECGStripWnd>(this, document);
}

// ---------------------------------------------------------------------------------------------
// CECGStripWnd

CECGStripWnd::CECGStripWnd(CECGStripWindowConfig* config, CZK470Doc* document)
    : CECGSampleWnd(config, document) {
  // The base constructor could only run its own scale.
  UpdateScale();
  RegisterCommands();
}

CECGStripWnd::~CECGStripWnd() = default;

std::unique_ptr<win::Window> CECGStripWnd::CreateToolBar(CAreaFrameWnd& frame, uint32_t* style,
                                                         int* dock_bar) {
  auto bar = std::make_unique<win::TextToolBarWindow>(kToolBarTexts);
  win::ToolBarModel& model = bar->Model();
  const auto button = [&model](int id) {
    model.AddButton(id, -1, win::ToolButtonStyle::kButton, ToolTipOfCommand(id));
  };
  button(kCmdTakeCursor);
  button(kCmdUserMarker);
  model.AddSeparator();
  button(kCmdSlower);
  button(kCmdFaster);
  model.AddSeparator();
  button(kCmdLarger);
  button(kCmdSmaller);
  *dock_bar = kDockBarTop;
  std::string title;
  {
    const platform::ScopedExeResources own_resources;
    title = platform::LoadString(kToolBarTitleString);
  }
  if (!bar->CreateToolBar(frame, {0, 0, bar->NeededWidth(), win::ToolBarWindow::kBarHeight}, kToolBarId,
                          win::kTbStyleFlat, this))
    return nullptr;
  bar->SetWindowText(title);
  bar->UpdateButtons();
  return bar;
}

void CECGStripWnd::UpdateScale() {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  const double scale = doc->GetViewFields().screen_scale;
  const SettingsStore& settings = doc->GetSettings();
  SetPixelsPerSecond(scale * kZoomSpeeds[ClampScaleIndex(settings.Int(SettingKey::kResZoomSpeed))] * 0.1);
  SetPixelsPerMV(scale * kZoomGains[ClampScaleIndex(settings.Int(SettingKey::kResZoomAmplitude))] * 0.1);
}

void CECGStripWnd::WidenChannelBands() {
  const CZK470Doc* doc = GetDocument();
  std::vector<gfx::Rect>& bands = ChannelBands();
  if (doc == nullptr || bands.size() < 2) return;
  const int w = static_cast<int>(doc->GetViewFields().screen_scale * kBandOverlapCm);
  for (size_t i = 0; i + 1 < bands.size(); ++i) {
    bands[i].bottom += w;
    bands[i + 1].top -= w;
  }
}

bool CECGStripWnd::PreTranslateMessage(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (!win::IsContextMenuRequest(message, wparam))
    return CECGSampleWnd::PreTranslateMessage(message, wparam, lparam);
  const gfx::Point corner = ClientToScreen(gfx::Point{kKeyboardMenuInset, kKeyboardMenuInset});
  OnContextMenu(this, corner);
  return true;
}

// ---- Hit tests

int CECGStripWnd::AskCursorX() {
  GetConfig()->BroadcastUntilHandled(areamsg::kStripCursorX, 0, CursorParam());
  return cursor_x_;
}

bool CECGStripWnd::HitTestBeatAtCursor() {
  hit_ = CHitRecord{AskCursorX(), kCursorHitY};
  GetConfig()->BroadcastUntilHandled(areamsg::kBeatAtPoint, 0, reinterpret_cast<win::LParam>(&hit_));
  not_free_ = hit_.position == -1 || hit_.kind == CHitRecord::kBeat;
  return not_free_;
}

bool CECGStripWnd::HitTestEventAtCursor() {
  hit_ = CHitRecord{AskCursorX(), kCursorHitY};
  GetConfig()->BroadcastUntilHandled(areamsg::kEventAtPoint, 0, reinterpret_cast<win::LParam>(&hit_));
  not_free_ = hit_.position == -1 || hit_.kind == CHitRecord::kBeat;
  return not_free_;
}

CECGStripWnd::CursorState CECGStripWnd::StateAtCursor() {
  HitTestBeatAtCursor();
  CursorState state;
  if (hit_.position == -1) return state;
  if (hit_.kind != CHitRecord::kBeat) {
    state.free = true;
    return state;
  }
  // An index the list no longer holds counts as nothing under the cursor.
  const TQRSList& beats = GetDocument()->GetQRSList();
  if (hit_.index < 0 || hit_.index >= beats.GetSize()) return state;
  state.beat = true;
  state.beat_class = beats.GetAt(hit_.index).GetClass();
  return state;
}

int CECGStripWnd::EventTypeAtCursor(uint32_t message) {
  CHitRecord hit{AskCursorX(), kCursorHitY};
  GetConfig()->BroadcastUntilHandled(message, 0, reinterpret_cast<win::LParam>(&hit));
  const TEventList& events = GetDocument()->GetEventList();
  if (hit.position == -1 || hit.kind != CHitRecord::kBeat || hit.index < 0 || hit.index >= events.GetSize())
    return -1;
  return events.GetAt(hit.index).GetClass();
}

bool CECGStripWnd::CaliperOn() const { return GetDocument()->GetViewFields().caliper != 0; }

bool CECGStripWnd::EditsOn() const { return GetBeatEditSink() != nullptr && !CaliperOn(); }

bool CECGStripWnd::DisplayMode17() const {
  return GetDocument()->GetDisplayMode() == DisplayMode::kHeartRateNavigator;
}

bool CECGStripWnd::RangeMarked() const { return GetDocument()->GetViewFields().range_start_beat != -1; }

// ---- Edits

void CECGStripWnd::ExecuteEditAtPoint(unsigned key_flags, int x, int y, int command_flag, int command_id) {
  CZK470Doc* doc = GetDocument();
  CHitRecord hit{x, y};
  GetConfig()->BroadcastUntilHandled(areamsg::kBeatAtPoint, key_flags, reinterpret_cast<win::LParam>(&hit));
  if (hit.position == -1) return;
  CBeatEditSink* sink = GetBeatEditSink();
  if (sink == nullptr) return;
  TBeatEditRequest request;
  request.window = static_cast<int32_t>(Handle());
  request.x = hit.x;
  request.y = hit.y;
  request.off_beat = hit.kind;
  request.position = hit.position;
  request.beat_index = hit.index;
  request.key_flags = static_cast<int32_t>(key_flags);
  request.direct = command_flag;
  request.command = command_id;
  request.not_in_selected_class = doc->IsBeatInSelectedTemplateClass(hit.index) ? 0 : 1;
  request.beat_class = -1;
  const win::WindowHandle handle = Handle();
  sink->ExecuteCommand(*doc, request);
  // The engine may have changed the screen under this window (a dialog, a layout switch).
  if (win::Window::FromHandle(handle) != this) return;
  GetConfig()->GetRoot()->BroadcastUntilHandled(areamsg::kBeatPageRenewBeat,
                                                static_cast<win::WParam>(hit.index), 0);
  if (doc->GetDisplayMode() == DisplayMode::kSampleWindows) {
    sink->CheckExampleStrips(*doc);
    doc->UpdateAllViews(nullptr, hint::kDocumentChanged);
  }
}

void CECGStripWnd::EditAtCursor(int command_id, bool by_hand) {
  const int x = AskCursorX();
  const ScopedManualEdit manual(by_hand);
  ExecuteEditAtPoint(0, x, kCursorHitY, 1, command_id);
}

void CECGStripWnd::OnToggleUserMarker() {
  CZK470Doc* doc = GetDocument();
  CHitRecord hit{AskCursorX(), kCursorHitY};
  GetConfig()->BroadcastUntilHandled(areamsg::kBeatAtPoint, kCmdUserMarker,
                                     reinterpret_cast<win::LParam>(&hit));
  if (hit.position == -1) return;
  const double rate = doc->GetSampleRate();
  int32_t g = hit.position;
  // A marker on the recording's last sample would have nothing to show after it.
  if (static_cast<double>(doc->GetRecordingMinutes()) * 60.0 * rate <= static_cast<double>(g) + 1.0)
    g -= static_cast<int32_t>(kUserMarkerLeadSeconds * rate);
  g = std::max(g, 0);

  TEventList& events = doc->GetEventList();
  TCountsHint counts(events.Counters(), doc->GetQRSList().Counters());
  const int i = events.FindNextAfterPosition(g, 0);
  if (i > 0 && events.GetAt(i - 1).GetClass() == kClassUser && events.GetAt(i - 1).GetPosition() == g) {
    events.RemoveAt(i - 1);
  } else {
    events.InsertAt(i, TEvent(g, g, kClassUser));
  }
  MarkChangedKinds(*doc, counts);
  doc->UpdateAllViews(nullptr, hint::kCountsChanged, &counts);
  doc->SetModifiedFlag();
}

void CECGStripWnd::OnShowBeatTemplate() {
  CZK470Doc* doc = GetDocument();
  HitTestBeatAtCursor();
  const int beat = hit_.index;
  if (hit_.position == -1 || beat < 0) return;
  const std::vector<TTemplateClassEntry>& rows = doc->GetTemplateClassList();
  int row = -1;
  int member = -1;
  for (size_t r = 0; r < rows.size() && row < 0; ++r) {
    const TTemplateClassEntry& entry = rows[r];
    if (entry.family < 0 || entry.family > 3 || entry.class_index < 0 ||
        entry.class_index >= TRecordingData::kTemplateClasses)
      continue;
    const TTemplateList& list =
        doc->GetRecordingData().TemplateClasses(entry.family)[static_cast<size_t>(entry.class_index)];
    const auto members = list.Elements();
    for (size_t j = 0; j < members.size(); ++j) {
      if (members[j].GetBeatIndex() == beat) {
        row = static_cast<int>(r);
        member = static_cast<int>(j);
        break;
      }
    }
  }
  if (row < 0) return;

  if (doc->GetDisplayMode() != DisplayMode::kTemplateBeats) {
    doc->SetSelectedTemplateRow(row);
    doc->SetTemplateCursorRow(row);
    const int page =
        doc->GetSettings().Int(SettingKey::kTemplatesView) != 0 ? kLargeTemplatePageRows : kTemplatePageRows;
    int first = 0;
    while (row >= first + page) first += page;
    doc->SetFirstVisibleTemplateRow(first);
    doc->GetViewFields().pending_beat_in_class = member;
    doc->SetDisplayMode(DisplayMode::kTemplateBeats);
    doc->UpdateAllViews(nullptr, hint::kArea1101);
    return;
  }

  doc->CommitPendingRelabels();
  doc->SetSelectedTemplateRow(row);
  doc->SetTemplateCursorRow(row);
  CViewAreaConfig* root = GetConfig()->GetRoot();
  int page_rows = 0;
  int columns = 0;
  gfx::Rect page_rect;
  root->BroadcastUntilHandled(areamsg::kBeatPageRows, 0, reinterpret_cast<win::LParam>(&page_rows));
  root->BroadcastUntilHandled(areamsg::kBeatPageColumns, 0, reinterpret_cast<win::LParam>(&columns));
  root->BroadcastUntilHandled(areamsg::kBeatPageRect, 0, reinterpret_cast<win::LParam>(&page_rect));
  // Without a beat page that answers there is no page to open.
  if (page_rows <= 0 || columns <= 0) return;
  const int per_page = page_rows * columns;
  const int first_row = member / per_page * page_rows;
  const int column = member % columns;
  const int cell_row = member % per_page / columns;
  COffsetParam offset(column * (page_rect.Width() / columns), cell_row * (page_rect.Height() / page_rows));
  root->BroadcastAll(areamsg::kBeatPageOpenAt, static_cast<win::WParam>(first_row),
                     reinterpret_cast<win::LParam>(&offset));
}

void CECGStripWnd::OnShowPacemakerTemplate() {
  CZK470Doc* doc = GetDocument();
  CHitRecord hit{AskCursorX(), kCursorHitY};
  GetConfig()->BroadcastUntilHandled(areamsg::kPacemakerEventAtPoint, 0, reinterpret_cast<win::LParam>(&hit));
  if (hit.position == -1 || hit.kind != CHitRecord::kBeat) return;
  doc->BuildPMTemplateClassList();
  const std::vector<TPMTemplateClassEntry>& rows = doc->GetPMTemplateClassList();
  TRecordingData& record = doc->GetRecordingData();
  for (size_t r = 0; r < rows.size(); ++r) {
    const int pm_class = rows[r].class_index;
    if (pm_class < 0 || pm_class >= TRecordingData::kPMClasses) continue;
    const auto members = record.pm_classes[static_cast<size_t>(pm_class)].Elements();
    for (size_t m = 0; m < members.size(); ++m) {
      if (members[m].GetPosition() != hit.position) continue;
      // Row state: first visible row, selected row.
      std::array<int32_t, 3>& state = doc->GetPMRowState();
      const int row = static_cast<int>(r);
      int first = 0;
      while (row >= first + kPacemakerPageRows) first += kPacemakerPageRows;
      state[0] = first;
      state[1] = row;
      record.pm_current[static_cast<size_t>(pm_class)] = static_cast<int32_t>(m);
      doc->SetDisplayMode(DisplayMode::kPacemakerTemplates);
      doc->UpdateAllViews(nullptr, hint::kDisplayMode13);
      return;
    }
  }
}

void CECGStripWnd::ChangeZoom(int command_id) {
  CZK470Doc* doc = GetDocument();
  SettingsStore& settings = doc->GetSettings();
  const bool speed = command_id == kCmdFaster || command_id == kCmdSlower;
  const SettingKey key = speed ? SettingKey::kResZoomSpeed : SettingKey::kResZoomAmplitude;
  const int step = command_id == kCmdFaster || command_id == kCmdLarger ? 1 : -1;
  const int before = ClampScaleIndex(settings.Int(key));
  const int after = ClampScaleIndex(before + step);
  if (after == before) return;
  settings.SetInt(key, after);
  UpdateScale();
  GetConfig()->BroadcastAll(static_cast<uint32_t>(command_id), 0, 0);
  // The example strips follow the main strip's scale.
  if (speed)
    settings.SetInt(SettingKey::kResSampleSpeed, after);
  else
    settings.SetInt(SettingKey::kResSampleAmplitude, after);
  doc->UpdateAllViews(nullptr, hint::kDisplaySettings);
}

// ---- Commands

void CECGStripWnd::RegisterCommands() {
  // Class-changing edits at a beat or a free position.
  AddCommand(kCmdClassChoice, [this] {
    const int x = AskCursorX();
    const ScopedManualEdit manual(true);
    ExecuteEditAtPoint(0, x, kCursorHitY, 0, 0);
  });
  AddUpdate(kCmdClassChoice, [this](win::CmdUI& ui) {
    const CursorState at = StateAtCursor();
    const bool asks = EditsOn() && GetBeatEditSink()->AsksForTheClass();
    ui.Enable(at.beat ? asks && at.beat_class != kClassPacedBeat : at.free && asks);
  });
  for (const auto& [command, beat_class] :
       {std::pair{kCmdNormal, kClassNormal}, std::pair{kCmdVES, kClassVES}, std::pair{kCmdSVES, kClassSVES},
        std::pair{kCmdArtefact, kClassArtefact}}) {
    AddCommand(command, [this, command = command] { EditAtCursor(command, true); });
    AddUpdate(command, [this, beat_class = beat_class](win::CmdUI& ui) {
      const CursorState at = StateAtCursor();
      if (at.beat) ui.SetRadio(at.beat_class == beat_class);
      if (DisplayMode17()) {
        ui.Enable(false);
      } else {
        ui.Enable(at.beat ? EditsOn() && at.beat_class != kClassPacedBeat : at.free && EditsOn());
      }
    });
  }

  AddCommand(kCmdDeleteBeat, [this] { EditAtCursor(kCmdDeleteBeat, false); });
  AddUpdate(kCmdDeleteBeat, [this](win::CmdUI& ui) {
    const CursorState at = StateAtCursor();
    // A free position leaves the entry as the framework has it; only caliper mode takes it away.
    ui.Enable(at.beat ? !DisplayMode17() && EditsOn() : at.free && EditsOn());
  });
  AddCommand(kCmdDeleteEvent, [this] { EditAtCursor(kCmdDeleteEvent, false); });
  AddUpdate(kCmdDeleteEvent, [this](win::CmdUI& ui) {
    if (DisplayMode17() || !EditsOn()) {
      ui.Enable(false);
      return;
    }
    const CursorState at = StateAtCursor();
    const bool beat = at.beat && at.beat_class != kClassPacedBeat;
    const int event_type = EventTypeAtCursor(areamsg::kEventAtPoint);
    ui.Enable(beat || (event_type != -1 && event_type != kClassPaceMaker));
  });

  // The marked range.
  AddCommand(kCmdMarkRangeStart, [this] {
    int ms = 0;
    GetConfig()->BroadcastUntilHandled(areamsg::kStripCursorTimeMs, 0, reinterpret_cast<win::LParam>(&ms));
    GetDocument()->GetViewFields().range_position = ms;
    EditAtCursor(kCmdMarkRangeStart, false);
  });
  AddUpdate(kCmdMarkRangeStart, [this](win::CmdUI& ui) {
    ui.Enable(!DisplayMode17() && EditsOn());
    ui.SetCheck(RangeMarked() ? 1 : 0);
  });
  AddCommand(kCmdRangeUnlabel, [this] { EditAtCursor(kCmdRangeUnlabel, true); });
  AddUpdate(kCmdRangeUnlabel,
            [this](win::CmdUI& ui) { ui.Enable(!DisplayMode17() && RangeMarked() && EditsOn()); });
  for (const int command : {kCmdRangeVES, kCmdRangeSVES, kCmdRangeNormal, kCmdRangeArtefact,
                            kCmdRangeFibrillation, kCmdRangeFlutter}) {
    AddCommand(command, [this, command] { EditAtCursor(command, true); });
    AddUpdate(command, [this](win::CmdUI& ui) { ui.Enable(RangeMarked() && EditsOn()); });
  }

  // Markers and the ways to the template screens.
  AddCommand(kCmdUserMarker, [this] { OnToggleUserMarker(); });
  AddUpdate(kCmdUserMarker, [this](win::CmdUI& ui) { ui.Enable(!CaliperOn()); });
  AddCommand(kCmdShowBeatTemplate, [this] { OnShowBeatTemplate(); });
  AddUpdate(kCmdShowBeatTemplate, [this](win::CmdUI& ui) {
    const CursorState at = StateAtCursor();
    ui.Enable(at.beat ? at.beat_class != kClassPacedBeat && !CaliperOn() : at.free && !CaliperOn());
  });
  AddCommand(kCmdShowPacemakerTemplate, [this] { OnShowPacemakerTemplate(); });
  AddUpdate(kCmdShowPacemakerTemplate, [this](win::CmdUI& ui) {
    ui.Enable(!CaliperOn() && EventTypeAtCursor(areamsg::kEventAtPoint) == kClassPaceMaker);
  });

  // Commands the strip area carries out.
  AddCommand(kCmdTakeCursor, [this] { GetConfig()->BroadcastAll(kCmdTakeCursor, 0, 0); });
  AddUpdate(kCmdTakeCursor, [this](win::CmdUI& ui) { ui.Enable(!CaliperOn()); });
  for (const int command : {kCmdNextPage, kCmdPreviousPage}) {
    AddCommand(command, [this, command] { GetConfig()->BroadcastUntilHandled(command, 0, 0); });
    AddUpdate(command, [](win::CmdUI& ui) { ui.Enable(true); });
  }
  AddCommand(kCmdFaster, [this] { ChangeZoom(kCmdFaster); });
  AddCommand(kCmdSlower, [this] { ChangeZoom(kCmdSlower); });
  AddCommand(kCmdLarger, [this] { ChangeZoom(kCmdLarger); });
  AddCommand(kCmdSmaller, [this] { ChangeZoom(kCmdSmaller); });
  AddUpdate(kCmdFaster, [this](win::CmdUI& ui) {
    ui.Enable(ClampScaleIndex(GetDocument()->GetSettings().Int(SettingKey::kResZoomSpeed)) < kMaxScaleIndex);
  });
  AddUpdate(kCmdSlower, [this](win::CmdUI& ui) {
    ui.Enable(ClampScaleIndex(GetDocument()->GetSettings().Int(SettingKey::kResZoomSpeed)) > 0);
  });
  AddUpdate(kCmdLarger, [this](win::CmdUI& ui) {
    ui.Enable(ClampScaleIndex(GetDocument()->GetSettings().Int(SettingKey::kResZoomAmplitude)) <
              kMaxScaleIndex);
  });
  AddUpdate(kCmdSmaller, [this](win::CmdUI& ui) {
    ui.Enable(ClampScaleIndex(GetDocument()->GetSettings().Int(SettingKey::kResZoomAmplitude)) > 0);
  });
  AddCommand(kCmdCaliper, [this] { GetConfig()->BroadcastAll(kCmdCaliper, CaliperOn() ? 0 : 1, 0); });
  AddUpdate(kCmdCaliper, [](win::CmdUI& ui) { ui.Enable(true); });
  AddCommand(kCmdRRMode, [this] { GetConfig()->GetRoot()->BroadcastAll(areamsg::kRRMode, 0, 0); });
  AddUpdate(kCmdRRMode, [](win::CmdUI& ui) { ui.Enable(true); });
  AddCommand(kCmdRRModeMin, [this] { GetConfig()->GetRoot()->BroadcastAll(areamsg::kRRModeMin, 0, 0); });
  AddUpdate(kCmdRRModeMin, [](win::CmdUI& ui) { ui.Enable(true); });
  AddCommand(kCmdNothing, [] {});
  AddUpdate(kCmdNothing, [](win::CmdUI& ui) { ui.Enable(true); });

  // The window has no example slot: the slot commands of the base are taken away.
  for (const int command : {kSlotlessTake, kSlotlessNext}) {
    AddCommand(command, [] {});
    AddUpdate(command, [](win::CmdUI& ui) { ui.Enable(false); });
  }
}

// ---- Mouse and menu

void CECGStripWnd::OnLButtonDown(unsigned flags, gfx::Point point) {
  const win::WindowHandle handle = Handle();
  GetConfig()->BroadcastAll(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&point));
  if (win::Window::FromHandle(handle) == this) CECGSampleWnd::OnLButtonDown(flags, point);
}

void CECGStripWnd::OnLButtonUp(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastAll(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&point));
}

void CECGStripWnd::OnMouseMove(unsigned flags, gfx::Point point) {
  GetConfig()->BroadcastUntilHandled(areamsg::kMouseMove, flags, reinterpret_cast<win::LParam>(&point));
}

void CECGStripWnd::OnRButtonDown(unsigned flags, gfx::Point point) {
  // The right button places the strip cursor too, so that the context menu acts where it opens.
  const win::WindowHandle handle = Handle();
  GetConfig()->BroadcastAll(areamsg::kLeftButtonDown, flags, reinterpret_cast<win::LParam>(&point));
  if (win::Window::FromHandle(handle) == this) CECGSampleWnd::OnRButtonDown(flags, point);
}

void CECGStripWnd::OnRButtonUp(unsigned flags, gfx::Point point) {
  const win::WindowHandle handle = Handle();
  GetConfig()->BroadcastAll(areamsg::kLeftButtonUp, flags, reinterpret_cast<win::LParam>(&point));
  // The platform's default answer to a released right button: the context menu at the pointer.
  if (win::Window::FromHandle(handle) == this)
    SendMessage(win::kWmContextMenu, handle,
                win::MakeLParam(ClientToScreen(point).x, ClientToScreen(point).y));
}

void CECGStripWnd::OnLButtonDblClk(unsigned flags, gfx::Point point) {
  const CursorState at = StateAtCursor();
  if (!EditsOn() || !GetBeatEditSink()->AsksForTheClass()) return;
  if (at.beat && at.beat_class == kClassPacedBeat) return;
  const ScopedManualEdit manual(true);
  ExecuteEditAtPoint(flags, point.x, point.y, 0, 0);
}

win::Menu CECGStripWnd::BuildContextMenu() {
  win::Menu menu;
  int text_id = kMenuTextFirst;
  for (const MenuEntry& entry : kContextMenu) {
    if (entry.id == 0)
      menu.AppendSeparator();
    else
      menu.AppendItem(entry.id, TextOrFallback(text_id++, entry.english));
  }
  return menu;
}

std::vector<platform::StringEntry> CECGStripWnd::ContextMenuStrings(bool german) {
  std::vector<platform::StringEntry> strings;
  int text_id = kMenuTextFirst;
  for (const MenuEntry& entry : kContextMenu) {
    if (entry.id != 0) strings.push_back({text_id++, german ? entry.german : entry.english});
  }
  return strings;
}

void CECGStripWnd::OnContextMenu(win::Window* window, gfx::Point screen_point) {
  // Owned by the top-level window, so that the chosen command takes the main command route.
  win::Window* owner = GetTopLevel();
  if (owner == nullptr) return;
  const win::Menu menu = BuildContextMenu();
  win::TrackPopupMenu(menu, win::kTpmLeftAlign | win::kTpmRightButton, screen_point.x, screen_point.y,
                      *owner);
}
