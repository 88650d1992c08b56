#pragma once

#include <array>
#include <vector>

#include "document/pm_template_list.h"
#include "document/profile_keys.h"
#include "document/qrs_list.h"
#include "document/recording_data.h"
#include "document/settings_store.h"
#include "document/template_class_entry.h"
#include "gfx/canvas.h"
#include "layouts/st_pm_resources.h"
#include "layouts/template_review_factories.h"
#include "reports/parts/print_template_pages.h"
#include "reports/printer_base.h"
#include "reports/report_parts_fixture.h"

namespace reporttest {

inline constexpr int V = TTemplateClassEntry::kFamilyVES;
inline constexpr int N = TTemplateClassEntry::kFamilyNormal;
inline constexpr int A = TTemplateClassEntry::kFamilyArtefact;
inline constexpr int S = TTemplateClassEntry::kFamilySVES;

// A template class to plant: its family (-1: a row whose class was emptied) and member count.
struct PlantedClass {
  int family;
  int members;
};

// A five-minute analysed recording whose template and pacemaker class lists the tests plant by
// hand, with the page titles and the screens' class names in the program's pack.
class TemplatePagesTest : public ReportPartTest {
 protected:
  void SetUp() override {
    ReportPartTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(OpenRecording(5));
    platform::ResourcePack& own = platform::Resources().ExePack();
    AddTemplatePagesResources(own);
    AddTemplateReviewResources(own);
    AddSTAndPacemakerViewResources(own);
  }

  // One template class per entry, each family numbering its classes from 0; members are spread
  // over the recording's beats, the first shown.
  void PlantTemplates(const std::vector<PlantedClass>& classes) {
    std::vector<TTemplateClassEntry>& rows = doc_->GetTemplateClassList();
    rows.clear();
    TRecordingData& recording = doc_->GetRecordingData();
    recording.normal_special = recording.ves_special = recording.sves_special = {-1, -1};
    std::array<int, 4> next{};
    int beat = 10;
    for (const PlantedClass& c : classes) {
      if (c.family < 0) {
        rows.push_back({TTemplateClassEntry::kEmptied, TTemplateClassEntry::kEmptied, 0});
        continue;
      }
      const int k = next[static_cast<size_t>(c.family)]++;
      TTemplateList& members = recording.TemplateClasses(c.family)[static_cast<size_t>(k)];
      members.RemoveAll();
      for (int i = 0; i < c.members; ++i) members.Append(beat + 2 * i);
      recording.CurrentMembers(c.family)[static_cast<size_t>(k)] = 0;
      rows.push_back({c.family, k, c.members});
      beat += 7;
    }
  }

  void SwitchFamilies(int ves, int normal, int artefact, int sves) {
    SettingsStore& settings = doc_->GetSettings();
    settings.SetInt(SettingKey::kPrintTemplatesVES, ves);
    settings.SetInt(SettingKey::kPrintTemplatesNormal, normal);
    settings.SetInt(SettingKey::kPrintTemplatesArtefact, artefact);
    settings.SetInt(SettingKey::kPrintTemplatesSVES, sves);
  }

  // Pacemaker class rows with these example counts; row j is class index j, its examples at beats.
  void PlantPMClasses(const std::vector<int>& counts) {
    std::vector<TPMTemplateClassEntry>& rows = doc_->GetPMTemplateClassList();
    rows.clear();
    TRecordingData& recording = doc_->GetRecordingData();
    for (size_t j = 0; j < counts.size(); ++j) {
      TPMTemplateList& examples = recording.pm_classes[j];
      examples.RemoveAll();
      for (int i = 0; i < counts[j]; ++i)
        examples.Append(
            TPMTemplate(doc_->GetQRSList().GetAt(10 + 3 * static_cast<int>(j) + i).GetPosition()));
      recording.pm_current[j] = 0;
      rows.push_back({0, static_cast<int32_t>(j), counts[j]});
    }
  }

  void PrintOnePage(TPrinter& part, gfx::Canvas& dc, int page) {
    PreparePage(dc);
    part.PrintPage(dc, info_, page);
  }

  // Page coordinates of a cell's left edge and of its top, given its layout position.
  int PageX(const TPrinter& part, int x) const { return part.GetLeftMargin() + x; }
  int PageY(const TPrinter& part, int y) const { return -(part.GetTopMargin() + 2500 + y); }
};

}  // namespace reporttest
