#include "views/ecg_sample_window.h"

#include <algorithm>
#include <cmath>

#include "document/document_context.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "views/area_messages.h"
#include "views/sample_slot_hint.h"
#include "views/view_resources.h"
#include "win/system_metrics.h"
#include "win/toolbar_window.h"

namespace {

constexpr int kSlots = 3;
// The example kind whose slot searches step through events of these kinds as well.
constexpr int kArrhythmiaKind = kClassArrhythmia;

int ClampIndex(int index) { return std::clamp(index, 0, 2); }

// Toolbar 178: its pictures are drawn, a downward triangle into a box (take the position) and an
// arrow to the right (next example).
class SampleToolBar : public win::ToolBarWindow {
 protected:
  void DrawButtonImage(gfx::Canvas& canvas, const win::ToolButton& button, const gfx::Rect& box,
                       bool enabled) override {
    const gfx::Color color = win::GetSysColor(enabled ? win::SysColor::kBtnText : win::SysColor::kGrayText);
    const int cx = (box.left + box.right) / 2;
    const int cy = (box.top + box.bottom) / 2;
    const gfx::Pen old_pen = canvas.SelectPen({gfx::PenStyle::kSolid, 1, color});
    const gfx::Brush old_brush = canvas.SelectBrush({gfx::BrushStyle::kSolid, color});
    if (button.id == CECGSampleWnd::kCmdTakeExample) {
      const gfx::Point arrow[] = {{cx - 4, cy - 5}, {cx + 4, cy - 5}, {cx, cy}};
      canvas.Polygon(arrow);
      canvas.MoveTo(cx - 6, cy + 2);
      canvas.LineTo(cx - 6, cy + 6);
      canvas.LineTo(cx + 6, cy + 6);
      canvas.LineTo(cx + 6, cy + 1);
    } else if (button.id == CECGSampleWnd::kCmdNextExample) {
      const gfx::Point arrow[] = {{cx + 1, cy - 5}, {cx + 6, cy}, {cx + 1, cy + 5}};
      canvas.Polygon(arrow);
      canvas.MoveTo(cx - 6, cy);
      canvas.LineTo(cx + 2, cy);
    }
    canvas.SelectBrush(old_brush);
    canvas.SelectPen(old_pen);
  }
};

constexpr platform::StringEntry kEnglishStrings[] = {
    {4200, "P"},     {4201, "N"},     {4202, "A"},     {4203, "M"},    {4204, "LO"}, {4205, "X"},
    {4206, "Pause"}, {4207, "Brady"}, {4208, "Tachy"}, {4209, "S"},    {4210, "SC"}, {4211, "STr"},
    {4212, "SVT"},   {4213, "SBi"},   {4214, "STri"},  {4215, "V"},    {4216, "VC"}, {4217, "VTr"},
    {4218, "VT"},    {4219, "VBi"},   {4220, "VTri"},  {4221, "U"},    {4222, "?"},  {4223, "RonT"},
    {4224, "AA"},    {4225, "ST1"},   {4226, "ST2"},   {4227, "ST3"},  {4228, "Z"},  {4229, "PB"},
    {4230, "AFib"},  {4231, "AFl"},   {4232, "Seg"},   {4234, "Batt"}, {4235, "E5"}, {4238, "DS"},
    {14394, "Ch 1"}, {14395, "Ch 2"}, {14396, "Ch 3"},
};

// German strips keep most letters; atrial fibrillation and flutter take the German abbreviations.
// The channel names are those of the caliper readouts, which share the ids.
constexpr platform::StringEntry kGermanStrings[] = {
    {4200, "P"},        {4201, "N"},        {4202, "A"},        {4203, "M"},    {4204, "LO"}, {4205, "X"},
    {4206, "Pause"},    {4207, "Brady"},    {4208, "Tachy"},    {4209, "S"},    {4210, "SC"}, {4211, "STr"},
    {4212, "SVT"},      {4213, "SBi"},      {4214, "STri"},     {4215, "V"},    {4216, "VC"}, {4217, "VTr"},
    {4218, "VT"},       {4219, "VBi"},      {4220, "VTri"},     {4221, "U"},    {4222, "?"},  {4223, "RonT"},
    {4224, "AA"},       {4225, "ST1"},      {4226, "ST2"},      {4227, "ST3"},  {4228, "Z"},  {4229, "PB"},
    {4230, "VHF"},      {4231, "VFla"},     {4232, "Seg"},      {4234, "Batt"}, {4235, "E5"}, {4238, "DS"},
    {14394, "Kanal 1"}, {14395, "Kanal 2"}, {14396, "Kanal 3"},
};

}  // namespace

std::span<const platform::StringEntry> SampleWindowStrings(bool german) {
  if (german) return kGermanStrings;
  return kEnglishStrings;
}

// ---------------------------------------------------------------------------------------------
// CECGSampleWindowConfig

CECGSampleWindowConfig::CECGSampleWindowConfig(const CPosition& position, gfx::Size min_size,
                                               gfx::Size per_mille, bool focusable, int sample_slot)
    : CWindowAreaConfig(position, min_size, per_mille, focusable), sample_slot_(sample_slot) {}

std::unique_ptr<CAreaWnd> CECGSampleWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CECGSampleWnd>(this, document);
}

// ---------------------------------------------------------------------------------------------
// CECGSampleWnd

CECGSampleWnd::CECGSampleWnd(CECGSampleWindowConfig* config, CZK470Doc* document)
    : CAreaWnd(config, document), sample_config_(config) {
  UpdateScale();
  AddCommand(kCmdTakeExample, [this] { OnTakeCurrentPosition(); });
  AddUpdate(kCmdTakeExample, [](win::CmdUI& ui) { ui.Enable(true); });
  AddCommand(kCmdNextExample, [this] { OnNextExample(); });
  AddUpdate(kCmdNextExample, [this](win::CmdUI& ui) { ui.Enable(sample_slot_ >= 0 && has_example_); });
}

CECGSampleWnd::~CECGSampleWnd() = default;

void CECGSampleWnd::OnAreaNotify(document::DocumentView* sender, int hint, THintObject* object) {
  switch (hint) {
    case hint::kDocumentChanged:
    case hint::kSpanMoved:
    case hint::kArea20000:
    case hint::kArea20003:
      RefreshSlot(false);
      break;
    default:
      break;
  }
}

std::unique_ptr<win::Window> CECGSampleWnd::CreateToolBar(CAreaFrameWnd& frame, uint32_t* style,
                                                          int* dock_bar) {
  auto bar = std::make_unique<SampleToolBar>();
  for (const int id : {kCmdTakeExample, kCmdNextExample})
    bar->Model().AddButton(id, -1, win::ToolButtonStyle::kButton, ToolTipOfCommand(id));
  *dock_bar = kDockBarTop;
  if (!bar->CreateToolBar(frame, {0, 0, bar->NeededWidth(), win::ToolBarWindow::kBarHeight}, kToolBarId,
                          win::kTbStyleFlat, this))
    return nullptr;
  bar->UpdateButtons();
  return bar;
}

void CECGSampleWnd::Attach(CBaseView* view) {
  CAreaWnd::Attach(view);
  RefreshSlot(true);
}

void CECGSampleWnd::UpdateScale() {
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  const double scale = doc->GetViewFields().screen_scale;
  const SettingsStore& settings = doc->GetSettings();
  pixels_per_second_ = scale * kSampleSpeeds[ClampIndex(settings.Int(SettingKey::kResSampleSpeed))] * 0.1;
  pixels_per_mv_ = scale * kSampleGains[ClampIndex(settings.Int(SettingKey::kResSampleAmplitude))] * 0.1;
}

void CECGSampleWnd::WidenChannelBands() {
  const CZK470Doc* doc = GetDocument();
  if (doc == nullptr || channel_bands_.size() < 2) return;
  const int w = static_cast<int>(doc->GetViewFields().screen_scale * 0.5);
  for (size_t i = 0; i + 1 < channel_bands_.size(); ++i) {
    channel_bands_[i].bottom += w;
    channel_bands_[i + 1].top -= w;
  }
}

namespace {

// The recording's channels; a strip always has at least one band.
int RecordingChannelCount() { return std::max(1, document::Context().g_RecordingChannels.count); }

}  // namespace

void CECGSampleWnd::LayoutChannelBands(const gfx::Rect& strip) {
  UpdateScale();
  channel_bands_.clear();
  const int n = RecordingChannelCount();
  const int h = (strip.bottom - strip.top) / n;
  for (int i = 0; i < n; ++i)
    channel_bands_.push_back({strip.left, strip.top + i * h, strip.right, strip.top + (i + 1) * h});
  WidenChannelBands();
}

void CECGSampleWnd::LayoutChannelLabels(const gfx::Rect& strip) {
  channel_label_rects_.clear();
  channel_label_texts_.clear();
  const document::ChannelSet& set = document::Context().g_RecordingChannels;
  const int n = RecordingChannelCount();
  const int h = (strip.bottom - strip.top) / n;
  const int cm = GetDocument() != nullptr ? GetDocument()->GetViewFields().screen_scale : 30;
  for (int i = 0; i < n; ++i) {
    channel_label_rects_.push_back({strip.left + 3, strip.top + i * h, strip.right, strip.top + (i + 1) * h});
    const int channel = i < set.count ? set.channels[static_cast<size_t>(i)] : i;
    channel_label_texts_.push_back(platform::LoadString(kChannelLabelString + channel));
  }
  for (size_t i = 0; i + 1 < channel_label_rects_.size(); ++i) {
    channel_label_rects_[i].bottom += cm;
    channel_label_rects_[i + 1].top -= cm;
  }
}

int CECGSampleWnd::SlotKind() const {
  const CZK470Doc* doc = GetDocument();
  if (doc == nullptr || sample_slot_ < 0 || sample_slot_ >= kSlots) return -1;
  const int kind = doc->GetViewFields().sample_kind[static_cast<size_t>(sample_slot_)];
  return IsValidClassCode(kind) ? kind : -1;
}

int CECGSampleWnd::GetExampleTime() const {
  const int kind = SlotKind();
  if (kind < 0) return -1;
  return GetDocument()->GetRecordingData().example_strips[static_cast<size_t>(kind)]
                                                         [static_cast<size_t>(sample_slot_)];
}

void CECGSampleWnd::RefreshSlot(bool on_attach) {
  has_example_ = true;
  const int node_slot = sample_config_->GetSampleSlot();
  if (node_slot < 0 || node_slot >= kSlots) {
    sample_slot_ = -1;
    return;
  }
  sample_slot_ = node_slot;
  CZK470Doc* doc = GetDocument();
  int32_t& kind = doc->GetViewFields().sample_kind[static_cast<size_t>(sample_slot_)];
  if (on_attach) {
    kind = doc->GetSettings().Int(SettingKey::kECGSamplesLast);
  } else {
    int selected = kind;
    GetConfig()->GetRoot()->BroadcastUntilHandled(areamsg::kSelectedSampleKind, 0,
                                                  reinterpret_cast<win::LParam>(&selected));
    kind = selected;
  }
  // A kind outside the codes (a hand-edited profile) shows no example rather than reading past
  // the table.
  if (GetExampleTime() == -1) has_example_ = false;
}

void CECGSampleWnd::AnnounceExampleChange() {
  CZK470Doc* doc = GetDocument();
  doc->UpdateAllViews(nullptr, hint::kArea20003);
  TSampleSlotHint slot_hint(sample_slot_);
  doc->UpdateAllViews(nullptr, hint::kDocumentChanged, &slot_hint);
  doc->SetModifiedFlag();
}

void CECGSampleWnd::OnTakeCurrentPosition() {
  const int kind = SlotKind();
  if (kind < 0) return;
  CZK470Doc* doc = GetDocument();
  doc->GetRecordingData().example_strips[static_cast<size_t>(kind)][static_cast<size_t>(sample_slot_)] =
      doc->GetCurrentPosition();
  AnnounceExampleChange();
}

namespace {

bool MatchesKind(int code, int kind) {
  return code == kind ||
         (kind == kArrhythmiaKind && (code == kClassAtrialFibrillation || code == kClassAtrialFlutter));
}

// Walks the list from the first element after start_sample, wrapping once, and returns the time
// (ms) of the first element of the kind that is none of the kind's stored examples; -1 none.
template <class List>
int32_t FindNext(const List& list, const typename List::Element& probe, int kind, double rate,
                 const std::array<int32_t, 3>& taken) {
  const int count = list.GetSize();
  if (count == 0 || rate <= 0.0) return -1;
  int i = list.FindNextAfter(probe, 0);
  bool wrapped = false;
  if (i >= count) {
    i = 0;
    wrapped = true;
  }
  for (;;) {
    if (i >= count) {
      if (wrapped) return -1;
      wrapped = true;
      i = 0;
    }
    const auto& element = list.GetAt(i);
    if (MatchesKind(element.GetClass(), kind)) {
      // Compared as stored (truncated ms), so that no two slots take the same element.
      const auto m = static_cast<int32_t>(element.GetPosition() / rate * 1000.0);
      if (std::find(taken.begin(), taken.end(), m) == taken.end()) return m;
    }
    ++i;
  }
}

}  // namespace

int32_t CECGSampleWnd::FindNextBeatExample(int kind, int start_sample) const {
  const CZK470Doc* doc = GetDocument();
  return FindNext(doc->GetQRSList(), TQRSComplex(start_sample, kClassNormal, kPriorNeverEdited), kind,
                  doc->GetSampleRate(), doc->GetRecordingData().example_strips[static_cast<size_t>(kind)]);
}

int32_t CECGSampleWnd::FindNextEventExample(int kind, int start_sample) const {
  const CZK470Doc* doc = GetDocument();
  return FindNext(doc->GetEventList(), TEvent(start_sample, start_sample, 0), kind, doc->GetSampleRate(),
                  doc->GetRecordingData().example_strips[static_cast<size_t>(kind)]);
}

void CECGSampleWnd::OnNextExample() {
  const int kind = SlotKind();
  if (kind < 0) return;
  CZK470Doc* doc = GetDocument();
  const double rate = doc->GetSampleRate();
  int32_t& time =
      doc->GetRecordingData().example_strips[static_cast<size_t>(kind)][static_cast<size_t>(sample_slot_)];
  int start_sample = 0;
  if (time == -1) {
    // Without an example the slots start a third of the recording apart.
    start_sample = static_cast<int>(doc->GetRecordingMinutes() * 60 * rate / 3) * sample_slot_;
  } else {
    start_sample = static_cast<int>(std::floor(time * 0.001 * rate + 0.5));
  }
  const bool beats = kind == kClassSVES || kind == kClassVES;
  const int32_t found =
      beats ? FindNextBeatExample(kind, start_sample) : FindNextEventExample(kind, start_sample);
  if (found >= 0) time = found;
  AnnounceExampleChange();
}

void CECGSampleWnd::OnLButtonDown(unsigned flags, gfx::Point point) {
  CAreaWnd::OnLButtonDown(flags, point);
  if (sample_slot_ < 0 || !has_example_) return;
  const int example = GetExampleTime();
  if (example < 0) return;
  CZK470Doc* doc = GetDocument();
  doc->SetCurrentPosition(example, 0);
  doc->UpdateAllViews(nullptr, hint::kEditsChanged);
  doc->UpdateAllViews(nullptr, hint::kNavigationRebuild);
}

// ---------------------------------------------------------------------------------------------

CECGSampleWnd* FindSampleWindow(const CViewAreaConfig* node) {
  if (node == nullptr) return nullptr;
  return dynamic_cast<CECGSampleWnd*>(node->GetParentWindow());
}

int FindSampleSlot(const CViewAreaConfig* node) {
  for (const CViewAreaConfig* at = node != nullptr ? node->GetParent() : nullptr; at != nullptr;
       at = at->GetParent()) {
    if (const auto* window_node = dynamic_cast<const CECGSampleWindowConfig*>(at))
      return window_node->GetSampleSlot();
  }
  return -1;
}
