#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ids.h"
#include "reports/printer_base.h"

namespace platform {
class ResourcePack;
}

inline constexpr int kIdsFullDisclosureTitle = 30007;
inline constexpr int kIdsFullDisclosureAtPositionTitle = 21069;
inline constexpr int kIdsFullDisclosureChannel = 21098;

// Full disclosure on paper: both channels, half an hour a page in 30 rows of one minute. Which
// half-hours print is chosen per day in the recording record (the whole day, only the flagged
// half-hours, or nothing). Rows are compressed ECG strips, each loading only its own minute;
// rows past the recording's end stay empty. Layout in 0.01 mm from the margin corner.
class TPrintFullDisclosure : public TPrinter {
 public:
  static constexpr int kOwnCommand = cmd::kPrintFullDisclosure;
  static constexpr int kFirstRowY = 2200;
  static constexpr int kRowsEndY = 25180;
  static constexpr int kRowLeft = 1000;
  static constexpr int kRowWidth = 17500;
  // 175 mm of row per minute.
  static constexpr double kSpeed = 175.0 / 60.0;

  struct Block {
    int day = 0;    // 24-hour block from the recording start, from 0
    int index = 0;  // half-hour or hour within the day, from 0
  };

  TPrintFullDisclosure(int full_header, CZK470Doc* doc, TReportValues* report_values);
  ~TPrintFullDisclosure() override;

  int GetPageCount(win::CPrintInfo& info) override;
  void Paginate() override;
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;

  // The block a page (from 1) prints; none past the page count (Paginate sets it).
  std::optional<Block> FindBlock(int page) const;
  int BlockFirstMinute(const Block& block) const;
  // The page title of a block: the title text, its first and last clock time and its day's date.
  std::string BlockTitle(const Block& block) const;
  int RowHeight() const { return row_height_; }
  // mm/mV of the "Amplitude" setting.
  double Gain() const;

 protected:
  TPrintFullDisclosure(int full_header, CZK470Doc* doc, TReportValues* report_values, int row_height,
                       int block_minutes, int page_limit);

  // The rows of a page from a sample position on, with the channel and speed legends.
  virtual void PrintRows(gfx::Canvas& dc, win::CPrintInfo& info, int64_t first_sample, int channels);
  virtual void PrintChannelLegend(gfx::Canvas& dc, win::CPrintInfo& info, int channels);
  virtual void PrintSpeedLegend(gfx::Canvas& dc, win::CPrintInfo& info);
  virtual void PrintRowTime(gfx::Canvas& dc, win::CPrintInfo& info, int64_t row_start, int y);
  // The "Channels" setting: 0 first, 1 second, 2 both.
  int ChannelChoice() const;
  void PrintTitle(gfx::Canvas& dc, const std::string& title, const std::string& bookmark);

 private:
  bool IsSelected() const;
  int BlocksPerDay() const { return 1440 / block_minutes_; }
  // Whether a block of a day prints: its day prints whole or its flag is set, and the recording
  // reaches into it.
  bool BlockPrints(int day, int index) const;

  int row_height_ = 766;
  int block_minutes_ = 30;
  int page_limit_ = 144;
};

// One channel, an hour a page in 60 rows; an hour prints when its first half-hour is flagged.
class TPrintFullDisclosureSingle : public TPrintFullDisclosure {
 public:
  TPrintFullDisclosureSingle(int full_header, CZK470Doc* doc, TReportValues* report_values);
};

// One page of both channels: the 30 minutes from 15 minutes before the document's current
// position. Printed only for its own command, never in the whole report.
class TPrintFullDisclosureAtPosition : public TPrintFullDisclosure {
 public:
  static constexpr int kOwnCommand = 32664;

  TPrintFullDisclosureAtPosition(int full_header, CZK470Doc* doc, TReportValues* report_values);

  int GetPageCount(win::CPrintInfo& info) override;
  void Paginate() override;
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;

  // The first row's sample position.
  int64_t FirstSample() const;
};

// Adds the texts of the full-disclosure pages: German to the German pack, English to every other.
void AddFullDisclosureResources(platform::ResourcePack& pack);
