#include "reports/printer_base.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "document/patient_data.h"
#include "document/profile_keys.h"
#include "document/record_format.h"
#include "document/recording_data.h"
#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/locale.h"
#include "platform/resources.h"
#include "reports/report_part_resources.h"
#include "reports/reports_context.h"
#include "views/ecg_strip_painter.h"
#include "views/preset_font.h"

namespace {

const platform::Locale* g_print_locale = nullptr;

// The decimal value of a margin text in inches, as 0.01 mm; 0 when the text holds no number.
int MarginFromText(const std::string& text) {
  size_t start = 0;
  while (start < text.size() && (text[start] == ' ' || text[start] == '\t')) ++start;
  double inches = 0.0;
  const char* first = text.data() + start;
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  const std::from_chars_result result = std::from_chars(first, last, inches);
  if (result.ec != std::errc() || !std::isfinite(inches)) return 0;
  const double value = std::trunc(inches * 2540.0);
  if (value > 1e8 || value < -1e8) return 0;
  return static_cast<int>(value);
}

// Counts code points, so that an apostrophe before an umlaut is still a short text.
size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return count;
}

gfx::Color ColourOfNumber(int number) {
  const auto& table = CECGStripPainter::kDisplayColours;
  if (number < 0 || number >= static_cast<int>(table.size())) return 0x000000;
  return table[static_cast<size_t>(number)];
}

}  // namespace

const platform::Locale& PrintLocale() {
  static const platform::SystemLocale system_locale;
  return g_print_locale != nullptr ? *g_print_locale : system_locale;
}

void SetPrintLocale(const platform::Locale* locale) { g_print_locale = locale; }

TPrinter::DrawStep::DrawStep(gfx::Canvas& dc)
    : dc_(dc), pen_(dc.GetPen()), font_(dc.GetFont()), map_mode_(dc.GetMapMode()) {}

TPrinter::DrawStep::~DrawStep() {
  dc_.SelectPen(pen_);
  dc_.SelectFont(font_);
  dc_.SetMapMode(map_mode_);
}

TPrinter::TPrinter() = default;

TPrinter::TPrinter(int full_header, CZK470Doc* doc, int command, TReportValues* report_values)
    : full_header_(full_header), doc_(doc), command_(command), report_values_(report_values) {
  title_ = platform::LoadString(kTitleString);
  int font_scale = 1;
  if (doc_ != nullptr) {
    const SettingsStore& settings = doc_->GetSettings();
    left_margin_ = MarginFromText(settings.Text(SettingKey::kSetupMarginsLeft));
    top_margin_ = MarginFromText(settings.Text(SettingKey::kSetupMarginsTop));
    font_scale = settings.Int(SettingKey::kSetupFontSize);
  }
  left_margin_twips_ = HimetricToTwips(left_margin_);
  top_margin_twips_ = HimetricToTwips(top_margin_);
  preset_font_ = std::make_unique<CPresetFont>(font_scale);
}

TPrinter::~TPrinter() = default;

int TPrinter::GetPageCount(win::CPrintInfo&) { return page_count_; }

void TPrinter::PrepareDC(gfx::Canvas&, win::CPrintInfo&) {}

void TPrinter::PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int) {
  // Elements built without a document have nothing to put in a frame.
  if (doc_ == nullptr || preset_font_ == nullptr) return;
  PrintHeader(dc, info);
  PrintFooter(dc, info);
}

void TPrinter::Cleanup(gfx::Canvas*, win::CPrintInfo&) {}

void TPrinter::Paginate() {}

int TPrinter::XToPage(int x) const { return left_margin_ + x_offset_ + x; }

int TPrinter::YToPage(int y) const { return -(top_margin_ + y_offset_ + y); }

int TPrinter::XToTwips(int x) const {
  return HimetricToTwips(x_offset_) + HimetricToTwips(x) + left_margin_twips_;
}

int TPrinter::YToTwips(int y) const {
  return -HimetricToTwips(y_offset_) - HimetricToTwips(y) - top_margin_twips_;
}

int TPrinter::HimetricToTwips(int value) {
  // 1440 twips per inch, 2540 hundredths of a millimetre per inch; exact, truncated toward zero.
  return static_cast<int>(static_cast<int64_t>(value) * 1440 / 2540);
}

void TPrinter::PrintText(gfx::Canvas& dc, std::string_view text, int left, int top, int right, int bottom,
                         uint32_t format) {
  gfx::Rect rect{left, top, right, bottom};
  dc.DrawText(text, rect, format);
}

void TPrinter::PrintResText(gfx::Canvas& dc, int string_id, int left, int top, int right, int bottom,
                            uint32_t format) {
  scratch_text_ = platform::LoadString(string_id);
  PrintText(dc, scratch_text_, left, top, right, bottom, format);
}

const std::string& TPrinter::IntToText(int value) {
  number_text_ = std::to_string(value);
  return number_text_;
}

const std::string& TPrinter::FixedToText(double value, int decimals) {
  if (!std::isfinite(value)) {
    fixed_text_ = document::FormatFixedPoint(value, decimals);
    return fixed_text_;
  }
  const std::string text = document::FormatFixedPoint(std::fabs(value), decimals);
  const size_t point = text.find('.');
  std::string whole = text.substr(0, point);
  const std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
  if (whole == "0") whole.clear();
  fixed_text_ = whole + "." + fraction;
  // A value that rounds to zero has no sign to show.
  if (value < 0 && text.find_first_of("123456789") != std::string::npos) fixed_text_.insert(0, "-");
  return fixed_text_;
}

void TPrinter::CleanText(std::string& text) {
  if (!text.empty() && text.front() == '\'' && CharacterCount(text) < 4) {
    text.clear();
    return;
  }
  const size_t cut = text.find_first_of(std::string_view("\x01\x13", 2));
  if (cut != std::string::npos) text.erase(cut);
}

bool TPrinter::IsMonochromeJob() { return IsMonochromePrinting(); }

bool TPrinter::IsPdfExport() { return IsEmfRecording(); }

gfx::Color TPrinter::CodeColour(int code) const {
  if (doc_ == nullptr) return 0x000000;
  return ColourOfNumber(doc_->GetSettings().Color(code));
}

gfx::Color TPrinter::SettingColour(int colour_number) const { return ColourOfNumber(colour_number); }

void TPrinter::TextBox(gfx::Canvas& dc, std::string_view text, int x0, int x1, int y0, int y1,
                       uint32_t format) {
  PrintText(dc, text, XToTwips(x0), YToTwips(y0), XToTwips(x1), YToTwips(y1), format);
}

void TPrinter::ResTextBox(gfx::Canvas& dc, int string_id, int x0, int x1, int y0, int y1, uint32_t format) {
  PrintResText(dc, string_id, XToTwips(x0), YToTwips(y0), XToTwips(x1), YToTwips(y1), format);
}

void TPrinter::SelectPresetFont(gfx::Canvas& dc, int kind, int weight) {
  if (preset_font_ == nullptr) return;
  if (const gfx::Font* font = preset_font_->SelectScaled(kind, weight)) dc.SelectFont(*font);
}

void TPrinter::Line(gfx::Canvas& dc, int x0, int y0, int x1, int y1) {
  dc.MoveTo(XToPage(x0), YToPage(y0));
  dc.LineTo(XToPage(x1), YToPage(y1));
}

void TPrinter::Frame(gfx::Canvas& dc, int x0, int y0, int x1, int y1) {
  dc.Rectangle(XToPage(x0), YToPage(y0), XToPage(x1), YToPage(y1));
}

std::string TPrinter::DateText(double ole_days, bool with_date, bool with_time) const {
  const std::optional<platform::LocalDateTime> local =
      document::ToLocalDateTime(platform::OleDateTime{0, ole_days});
  if (!local) return {};
  const platform::Locale& locale = PrintLocale();
  std::string text;
  if (with_date) text = locale.FormatShortDate(local->year, local->month, local->day);
  if (with_time) {
    if (!text.empty()) text += ' ';
    text += locale.FormatTime(local->hour, local->minute, local->second);
  }
  return text;
}

void TPrinter::PrintHeader(gfx::Canvas& dc, win::CPrintInfo&) {
  if (doc_ == nullptr || preset_font_ == nullptr) return;
  DrawStep step(dc);
  SetOffset(0, 0);
  dc.SelectPen(thick_pen_);
  Frame(dc, 0, 0, 18500, full_header_ != 0 ? 2900 : 1250);
  Line(dc, 0, 550, 18500, 550);

  dc.SetMapMode(gfx::MapMode::kTwips);
  const TRecordingData& recording = doc_->GetRecordingData();
  const TPatientData& patient = doc_->GetPatientData();
  SelectPresetFont(dc, 8, 1);
  TextBox(dc, doc_->GetSettings().Text(SettingKey::kUserName), 500, 15000, 0, 550, kLeftText);
  const std::string start = DateText(recording.start_date.days, true, false) + " " +
                            DateText(recording.start_time.days, false, true);
  TextBox(dc, start, 0, 18000, 0, 550, kRightText);

  SelectPresetFont(dc, 7, 0);
  ResTextBox(dc, kIdsLabelName, 500, 6000, 700, 1200, kLeftText);
  TextBox(dc, ":", 2600, 2700, 700, 1200, kLeftText);
  if (full_header_ != 0) {
    ResTextBox(dc, kIdsLabelPatientNumber, 500, 6000, 1200, 1700, kLeftText);
    TextBox(dc, ":", 2600, 2700, 1200, 1700, kLeftText);
    ResTextBox(dc, kIdsLabelSex, 500, 6000, 1700, 2200, kLeftText);
    TextBox(dc, ":", 2600, 2700, 1700, 2200, kLeftText);
  } else {
    ResTextBox(dc, kIdsLabelPatientNumber, 9250, 18000, 700, 1200, kLeftText);
    TextBox(dc, ":", 11450, 11550, 700, 1200, kLeftText);
  }
  {
    const gfx::Font previous = dc.GetFont();
    SelectPresetFont(dc, 8, 1);
    TextBox(dc, patient.surname + " " + patient.first_name, 2900, 9000, 700, 1200, kLeftText);
    dc.SelectFont(previous);
  }
  if (full_header_ == 0) {
    const gfx::Font previous = dc.GetFont();
    SelectPresetFont(dc, 8, 1);
    TextBox(dc, patient.patient_id, 11750, 18000, 700, 1200, kLeftText);
    dc.SelectFont(previous);
    return;
  }
  HeaderValues(dc);
}

void TPrinter::HeaderValues(gfx::Canvas& dc) {
  const TRecordingData& recording = doc_->GetRecordingData();
  const TPatientData& patient = doc_->GetPatientData();
  SelectPresetFont(dc, 8, 1);
  TextBox(dc, patient.patient_id, 2900, 9000, 1200, 1700, kLeftText);
  TextBox(dc, DateText(patient.birth_date.days, true, false), 11900, 14000, 700, 1200, kLeftText);
  TextBox(dc, patient.station, 16000, 18000, 700, 1200, kLeftText);

  SelectPresetFont(dc, 7, 0);
  TextBox(dc, recording.analysis_engine, 16000, 18450, 2200, 2700, kLeftText);
  // Codes outside the three known ones print no sex rather than some unrelated string.
  const std::string sex =
      patient.sex >= 0 && patient.sex <= 2 ? platform::LoadString(kIdsSexNone + patient.sex) : std::string();
  TextBox(dc, sex, 2900, 9000, 1700, 2200, kLeftText);

  constexpr int kRowTop[] = {700, 1200, 1700, 2200};
  constexpr int kColumn2Labels[] = {kIdsLabelBirthDate, kIdsLabelAge, kIdsLabelPacemaker, kIdsLabelProgram};
  for (int row = 0; row < 4; ++row) {
    ResTextBox(dc, kColumn2Labels[row], 9500, 13500, kRowTop[row], kRowTop[row] + 500, kLeftText);
    TextBox(dc, ":", 11600, 11700, kRowTop[row], kRowTop[row] + 500, kLeftText);
  }
  TextBox(dc, patient.GetAgeText(doc_->GetClock()) + " " + platform::LoadString(kIdsYears), 11900, 14000,
          1200, 1700, kLeftText);
  const std::string pacemaker = patient.pacemaker == 0 || patient.pacemaker == 1
                                    ? platform::LoadString(kIdsPacemakerNo + patient.pacemaker)
                                    : std::string();
  TextBox(dc, pacemaker, 11900, 14000, 1700, 2200, kLeftText);
  TextBox(dc, recording.analysing_program, 11900, 15000, 2200, 2700, kLeftText);

  constexpr int kColumn3Labels[] = {kIdsLabelStation, kIdsLabelWeight, kIdsLabelHeight, kIdsLabelEngine};
  for (int row = 0; row < 4; ++row) {
    ResTextBox(dc, kColumn3Labels[row], 14500, 16500, kRowTop[row], kRowTop[row] + 500, kLeftText);
    TextBox(dc, ":", 15700, 15800, kRowTop[row], kRowTop[row] + 500, kLeftText);
  }
  const int units = doc_->GetSettings().Int(SettingKey::kUnits);
  const auto measure = [&](double value, int metric_unit, int imperial_unit) -> std::string {
    if (value == 0.0) return "-";
    std::string text = TPatientData::FormatNumber(value, 5);
    text.erase(text.size() >= 4 ? text.size() - 4 : 0);
    if (units == 0) return text + " " + platform::LoadString(metric_unit);
    if (units == 1) return text + " " + platform::LoadString(imperial_unit);
    return text;
  };
  TextBox(dc, measure(patient.weight, kIdsWeightKg, kIdsWeightLb), 16000, 18000, 1200, 1700, kLeftText);
  TextBox(dc, measure(patient.height, kIdsHeightCm, kIdsHeightIn), 16000, 18000, 1700, 2200, kLeftText);
}

void TPrinter::PrintFooter(gfx::Canvas& dc, win::CPrintInfo& info) {
  if (doc_ == nullptr || preset_font_ == nullptr) return;
  DrawStep step(dc);
  SetOffset(0, 25500);
  dc.SelectPen(thick_pen_);
  Line(dc, 0, 0, 18500, 0);

  dc.SetMapMode(gfx::MapMode::kTwips);
  SelectPresetFont(dc, 7, 0);
  // Each IntToText call reuses the number buffer: copy the first before the second.
  std::string page = IntToText(info.current_page);
  page += "/" + IntToText(info.max_page);
  TextBox(dc, page, 17000, 18150, 100, 500, kRightText);

  std::string program;
  {
    // The program's name and version never depend on the language.
    const platform::ScopedExeResources own_resources;
    program = platform::LoadString(kAppTitleString) + " V " + platform::LoadString(kVersionString);
  }
  TextBox(dc, program, 5000, 13500, 0, 550, kCentredText);

  const platform::LocalDateTime now = doc_->GetClock().Now();
  const platform::Locale& locale = PrintLocale();
  title_ = platform::LoadString(kTitleString) + " " + locale.FormatShortDate(now.year, now.month, now.day) +
           " " + locale.FormatTime(now.hour, now.minute, now.second);
  TextBox(dc, title_, 300, 10000, 0, 550, kLeftText);
}
