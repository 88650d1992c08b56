#pragma once

#include <cstdint>

#include "win/grid_ctrl.h"

class CViewAreaConfig;
class CZK470Doc;

// Captions of the statistics tables (language strings).
namespace statstr {
inline constexpr int kRateUnit = 14389;  // shared with the heart-rate screens, which bring it
inline constexpr int kRecording = 20017;
inline constexpr int kHeartRate = 20018;
inline constexpr int kSinusRhythm = 20019;
inline constexpr int kAbsArrhythmia = 20020;
inline constexpr int kStart = 20022;
inline constexpr int kEnd = 20023;
inline constexpr int kDuration = 20024;
inline constexpr int kBeats = 20025;
inline constexpr int kMinimum = 20026;
inline constexpr int kMean = 20027;
inline constexpr int kMaximum = 20028;
inline constexpr int kPauses = 20029;
inline constexpr int kBradycardias = 20030;
inline constexpr int kTachycardias = 20031;
inline constexpr int kSves = 20032;
inline constexpr int kVes = 20038;
inline constexpr int kCouplets = 20039;
inline constexpr int kTriplets = 20040;
inline constexpr int kVt = 20041;
inline constexpr int kBigeminy = 20042;
inline constexpr int kTrigeminy = 20043;
inline constexpr int kRonT = 20046;
inline constexpr int kAaEpisodes = 20047;
inline constexpr int kSvCouplets = 20133;
inline constexpr int kSvTriplets = 20134;
inline constexpr int kSvt = 20135;
inline constexpr int kTotal = 21042;
inline constexpr int kMaxPerHour = 21043;
inline constexpr int kLongest = 21044;
inline constexpr int kRhythmTitle = 21045;
inline constexpr int kSupraventricularTitle = 21047;
inline constexpr int kVentricularTitle = 21048;
inline constexpr int kHourBeats = 21049;
inline constexpr int kHourMin = 21050;
inline constexpr int kHourMean = 21051;
inline constexpr int kHourMax = 21052;
inline constexpr int kHourBrady = 21053;
inline constexpr int kHourTachy = 21054;
inline constexpr int kHourSvt = 21055;
inline constexpr int kHourBigeminy = 21056;
inline constexpr int kHourTrigeminy = 21057;
inline constexpr int kHourVt = 21058;
inline constexpr int kMarkersTitle = 21059;
inline constexpr int kLeadOff = 21060;
inline constexpr int kArtefacts = 21061;  // shared with the pacemaker page, which brings it
inline constexpr int kSignalTitle = 21063;
inline constexpr int kHourAa = 21076;
inline constexpr int kFastest = 21079;
inline constexpr int kRate = 21080;
inline constexpr int kShortestInterval = 21081;
inline constexpr int kLongestInterval = 21082;
inline constexpr int kTime = 21083;
inline constexpr int kLongestWithDuration = 21084;
inline constexpr int kCount = 21086;
inline constexpr int kIntervalUnit = 21088;  // shared with the strip header, which brings it
inline constexpr int kLengthUnit = 21089;
inline constexpr int kLength = 21090;
inline constexpr int kSummaryTab = 21102;
inline constexpr int kRhythmTab = 21103;
inline constexpr int kVentricularTab = 21104;
}  // namespace statstr

// Messages of the go-to buttons of the summary (episode starts; the extremes use their command
// ids).
namespace statmsg {
inline constexpr uint32_t kLongestBradycardia = 700;
inline constexpr uint32_t kLongestTachycardia = 701;
inline constexpr uint32_t kLongestVt = 702;
inline constexpr uint32_t kFastestVt = 703;
inline constexpr uint32_t kLongestVBigeminy = 704;
inline constexpr uint32_t kFastestVBigeminy = 705;
inline constexpr uint32_t kLongestVTrigeminy = 706;
inline constexpr uint32_t kFastestVTrigeminy = 707;
inline constexpr uint32_t kLongestSvt = 708;
inline constexpr uint32_t kFastestSvt = 709;
// The day refill of the hourly grids: wparam 0, 1, 2 or 99.
inline constexpr uint32_t kSelectDay = 33322;
}  // namespace statmsg

// Cell looks of the statistics tables.
namespace statstyle {
inline constexpr gfx::Color kCaptionGrey = gfx::Rgb(192, 192, 192);
inline constexpr gfx::Color kButtonBlue = gfx::Rgb(0, 0, 255);
win::GridCellStyle Caption(bool bold = false);
win::GridCellStyle Value();
win::GridCellStyle Button();
}  // namespace statstyle

// The grids of the statistics tables. Rows and columns count as the tables do: row 0 is the
// column-header row and column 0 the row-header column, and a grid of n rows and m columns
// has rows 0..n and columns 0..m. The button cells send their message from the root of the
// layout, after the document's extremes are made valid for the extreme commands. Owned by the
// statistics table area; user-interface thread only.
class CStatisticsGrid : public win::GridCtrl {
 public:
  CStatisticsGrid(CZK470Doc* document, CViewAreaConfig* node) : document_(document), node_(node) {}

  // In the tables' counting: rows 0..rows, columns 0..columns.
  void SetTableSize(int rows, int columns);
  // The message the cell sends, 0 for none.
  virtual uint32_t ButtonMessage(int row, int column) const { return 0; }

 protected:
  void OnCellButtonClicked(int row, int column) override;
  CZK470Doc* document_ = nullptr;
  CViewAreaConfig* node_ = nullptr;
};

// Tab 1: heart rate, rhythm events and supraventricular ectopy per hour.
class CStatisticsRhythmGrid : public CStatisticsGrid {
 public:
  using CStatisticsGrid::CStatisticsGrid;
  int GetTotalRow() const { return total_row_; }
  void SetTotalRow(int row) { total_row_ = row; }
  uint32_t ButtonMessage(int row, int column) const override;

 private:
  int total_row_ = 26;
};

// Tab 2: ventricular ectopy, markers, lead-off and artefacts per hour; no buttons.
class CStatisticsVentricularGrid : public CStatisticsGrid {
 public:
  using CStatisticsGrid::CStatisticsGrid;

 protected:
  void OnCellButtonClicked(int row, int column) override {}
};

// Tab 0: the recording's summary.
class CStatisticsSummaryGrid : public CStatisticsGrid {
 public:
  using CStatisticsGrid::CStatisticsGrid;
  uint32_t ButtonMessage(int row, int column) const override;
};
