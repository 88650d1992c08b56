#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "document/qrs_complex.h"
#include "platform/ids.h"
#include "reports/printer_base.h"

class TPrintAutoGain;
enum class SettingKey : uint16_t;
namespace platform {
class ResourcePack;
}

// Texts of the strip pages; the beat codes, group and kind names are the screens' and the
// statistics tables'.
inline constexpr int kIdsBeatCodeBase = 4200;  // + beat class or event kind
inline constexpr int kIdsSinusGroup = 20019;
inline constexpr int kIdsArrhythmiaCaption = 20020;
inline constexpr int kIdsKindNameBase = 20023;  // + kind: pauses .. R on T
inline constexpr int kIdsSVESCaption = 20032;
inline constexpr int kIdsVESCaption = 20038;
inline constexpr int kIdsSVKindNameBase = 20123;  // + kind: SV couplets .. SV trigeminy
inline constexpr int kIdsSupraventricularGroup = 21047;
inline constexpr int kIdsVentricularGroup = 21048;
inline constexpr int kIdsMarkersCaption = 21059;
inline constexpr int kIdsHeartRateLabel = 21070;
inline constexpr int kIdsRatePerMinute = 16001;

// Adds the strip pages' own texts: German to the German pack, English to every other one.
void AddSampleStripResources(platform::ResourcePack& pack);

// One page of example or marker strips: up to three beats whose strips the page prints in order
// (position -1: no strip in that row), the page caption and the beat class or event kind shown.
struct TSampleStripRecord {
  std::array<TQRSComplex, 3> beats{TQRSComplex(-1, 0), TQRSComplex(-1, 0), TQRSComplex(-1, 0)};
  std::string caption;
  int code = 0;
};

// The example-strip pages: one page per beat class or event kind switched on in "Print\Samples"
// that has stored example strips, each with up to three strip rows on millimetre paper, labelled
// with beat and event codes, RR intervals and rates, time and heart rate, and followed by a
// compressed minute of context. The row operations are the base of the four-strip pages as well.
// Layout is in 0.01 mm from the printable corner, y downward (the strip rectangle below); page
// coordinates come from XToPage / YToPage. The auto-gain object belongs to the print job.
class TPrintSampleStrips : public TPrinter {
 public:
  static constexpr int kOwnCommand = cmd::kPrint32987;
  static constexpr int kRowsPerPage = 3;
  static constexpr int kFirstRowTop = 2800;
  static constexpr int kRowPitch = 7600;
  static constexpr int kStripWidth = 18500;
  static constexpr int kStripHeight = 5000;
  static constexpr int kChannelSpread = 300;
  // Paper speeds (mm/s) of the "Speed" setting and the context strip's gains (mm/mV).
  static constexpr std::array<double, 2> kSpeeds = {12.5, 25.0};
  static constexpr std::array<double, 3> kContextGains = {1.0, 1.5, 3.0};
  // 185 mm per minute.
  static constexpr double kContextSpeed = 3.0833;
  // Labels between beats need a band wider than this (0.01 mm).
  static constexpr int kMinIntervalBand = 499;
  // Event labels closer than this to the previous one stack one line lower.
  static constexpr int kEventLabelSpacing = 1700;

  TPrintSampleStrips();
  TPrintSampleStrips(int full_header, CZK470Doc* doc, TReportValues* report_values,
                     TPrintAutoGain* auto_gain);
  ~TPrintSampleStrips() override;

  int GetPageCount(win::CPrintInfo& info) override;
  void Paginate() override;
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;

  const std::vector<TSampleStripRecord>& Records() const { return records_; }

 protected:
  // The part's own print command and "Print\User" switch decide whether it takes part.
  virtual bool IsSelected() const;
  bool IsSelectedFor(int own_command, SettingKey user_switch) const;

  // Speed and gain of the page from "Print\Samples" (and the auto-gain result when asked).
  void ChooseSpeedAndGain();
  void SetStripRect(int left, int top, int width, int height);
  // The window start that puts the position a third into the strip, never below 0.
  int32_t StripStart(int32_t position) const;
  double StripSeconds() const;
  int32_t StripSamples() const;
  // x (0.01 mm, layout) of a sample position in the strip starting at start.
  int SampleX(int32_t position, int32_t start) const;

  // A whole row of an example page: paper, annotations, ECG, legend, time label and context.
  void PrintRow(gfx::Canvas& dc, win::CPrintInfo& info, int32_t position);
  void PrintPaper(gfx::Canvas& dc, win::CPrintInfo& info);
  void PrintECG(gfx::Canvas& dc, win::CPrintInfo& info, int32_t start);
  void PrintLegend(gfx::Canvas& dc);
  void PrintTimeLabel(gfx::Canvas& dc, int32_t start);
  // Beat codes, intervals, the heart rate and the event labels of the strip from start.
  void PrintAnnotations(gfx::Canvas& dc, int32_t start);
  void PrintContext(gfx::Canvas& dc, win::CPrintInfo& info, int32_t start);

  std::vector<TSampleStripRecord> records_;
  int strip_top_ = kFirstRowTop;
  int strip_left_ = 0;
  int strip_width_ = kStripWidth;
  int strip_height_ = kStripHeight;
  double speed_ = kSpeeds[1];
  double gain_ = 10.0;
  TPrintAutoGain* auto_gain_ = nullptr;
  // 0: the printed stretch is centred in its context; 1: the context ends where the strip ends.
  int context_ends_at_strip_ = 0;

 private:
  void AddRecord(int code);
  void PrintBeatLabels(gfx::Canvas& dc, int32_t start, int32_t end);
  void PrintHeartRate(gfx::Canvas& dc, int32_t start);
  void PrintEventLabels(gfx::Canvas& dc, int32_t start, int32_t end);
};
