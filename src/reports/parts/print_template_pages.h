#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ids.h"
#include "reports/printer_base.h"

struct TTemplateClassEntry;
namespace platform {
class ResourcePack;
}

// The beat template pages: the rows of the document's template-class list whose family is switched
// on in "Print\Templates", twenty to a page in five columns and four rows. Each cell shows the
// row's list number, family name and special-class name, and the representative beat on
// millimetre paper with its number within the class. Rows keep their numbers of the whole list, so
// families switched off leave gaps. Layout in 0.01 mm from the printable corner, y downward.
class TPrintTemplatePages : public TPrinter {
 public:
  static constexpr int kOwnCommand = cmd::kPrintTemplates;
  static constexpr int kCellsPerPage = 20;
  static constexpr int kColumns = 5;
  static constexpr int kCellWidth = 3000;
  static constexpr int kCellHeight = 5000;
  static constexpr int kColumnPitch = 3875;
  static constexpr int kRowPitch = 5700;
  static constexpr int kCellsTop = 2500;
  static constexpr int kChannelSpread = 300;
  // "ECG\Resolution" "Templates-Speed" (mm/s) and "Templates-Amplitude" (mm/mV) index these.
  static constexpr std::array<double, 4> kSpeeds = {12.5, 25.0, 50.0, 100.0};
  static constexpr std::array<double, 3> kGains = {5.0, 10.0, 20.0};

  // Page title; family names (VES, normal, artefact, SVES); "Template" before the list number.
  static constexpr int kPageTitleString = 21099;
  static constexpr std::array<int, 4> kFamilyNameStrings = {4115, 4101, 4105, 4109};
  static constexpr int kNumberString = 16000;
  // Names of the first and second special class of the VES, normal and SVES families.
  static constexpr std::array<int, 2> kVESSpecialStrings = {32261, 32941};
  static constexpr std::array<int, 2> kNormalSpecialStrings = {32942, 32940};
  static constexpr std::array<int, 2> kSVESSpecialStrings = {32262, 32943};

  TPrintTemplatePages(int full_header, CZK470Doc* doc, TReportValues* report_values);

  int GetPageCount(win::CPrintInfo& info) override;
  void Paginate() override;
  void PrintPage(gfx::Canvas& dc, win::CPrintInfo& info, int page) override;

  int GetPrintableCount() const { return printable_count_; }
  // Entry p - 1: the template-class row that starts page p.
  const std::vector<int>& GetPageStarts() const { return page_starts_; }
  // Where the strip of a representative beat at that sample position starts: the beat lies 40 %
  // into the strip, and a strip never starts before the recording.
  int32_t StripStart(int32_t position) const;

 private:
  bool PrintsFamily(int family) const;
  double Speed() const;
  double Gain() const;
  void PrintCell(gfx::Canvas& dc, win::CPrintInfo& info, const TTemplateClassEntry& row, int row_index, int x,
                 int y);
  // The special-class name of a class, or 0.
  int SpecialString(int family, int class_index) const;
  // The working-list beat shown for a class, or -1; member is set to the shown member's index.
  int RepresentativeBeat(int family, int class_index, int& member) const;

  std::string title_;
  int printable_count_ = 0;
  std::vector<int> page_starts_;
};

// The titles of the beat and pacemaker template pages: German to the German pack, English to every
// other one. Family, special-class and pacemaker class names come with the template screens.
void AddTemplatePagesResources(platform::ResourcePack& pack);
