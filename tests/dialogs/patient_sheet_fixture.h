#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "dialogs/date_time_text.h"
#include "dialogs/dialog_resources.h"
#include "dialogs/patient_dialog_resources.h"
#include "dialogs/patient_property_sheet.h"
#include "dialogs/patient_sheet_flags.h"
#include "document/doc_test_support.h"
#include "platform/locale.h"
#include "win/controls.h"
#include "win/win_fixture.h"

namespace dialogs_test {

// A headless window system with the dialogs' texts and templates, a 24-hour locale, and a
// document with user interface whose data folder is a temp folder holding one two-minute
// recording of Anna Meier, started 5 March 2024 at 10:00, opened (display mode 1).
class PatientSheetTest : public win::testing_support::WinTest {
 protected:
  static constexpr const char* kBase = "Anna Meier 05-03-2024 10-00 0001-";

  void SetUp() override {
    WinTest::SetUp();
    AddDialogResources(platform::Resources().ExePack());
    AddPatientDialogResources(platform::Resources().ExePack());
    dialogs::SetDialogLocale(&locale_);
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1200, 900}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
    clock_.Set({2024, 3, 5, 10, 0, 0, 0});
    cwd_ = std::filesystem::current_path();
    SettingsDefaults defaults;
    defaults.home = temp_.Path().string();
    doc_ = std::make_unique<CZK470Doc>(profile_, clock_, defaults);
    doc_->SetHost(&host_);
    doc_->AddView(&view_);
    data_ = doc_->GetDataDirectory();
    qrs_ = doctest::WriteRecording(clock_, (std::filesystem::path(data_) / kBase).string(), {});
    ASSERT_TRUE(doc_->OnOpenDocument(qrs_));
    view_.hints.clear();
  }

  void TearDown() override {
    if (doc_) doc_->RemoveView(&view_);
    doc_.reset();
    std::filesystem::current_path(cwd_);
    main_.DestroyWindow();
    WinTest::TearDown();
  }

  static CPatientPropertySheet& SheetOf(win::Window* modal) {
    auto* sheet = dynamic_cast<CPatientPropertySheet*>(modal);
    EXPECT_NE(sheet, nullptr);
    return *sheet;
  }
  // Types text into a field of the sheet's current page, as the user would.
  static void Type(win::Window* modal, int id, const std::string& text) {
    win::PropertyPage* page = SheetOf(modal).GetActivePage();
    ASSERT_NE(page, nullptr);
    auto* edit = page->Item<win::Edit>(id);
    ASSERT_NE(edit, nullptr) << id;
    edit->SetTextFromUser(text);
  }
  // Runs the edit command with these steps on the sheet, then OK.
  int EditWith(std::vector<std::function<void(win::Window*)>> steps, bool press_ok = true) {
    if (press_ok) steps.push_back([](win::Window* modal) { SheetOf(modal).PressButton(win::kIdOk); });
    DriveModal(std::move(steps));
    return EditPatientData(*doc_, false);
  }

  bool Exists(const std::string& name) const { return std::filesystem::exists(std::filesystem::path(data_) / name); }

  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  win::Window main_;
  ContextGuard context_guard_;
  doctest::TempFolder temp_;
  platform::MemoryProfileStore profile_;
  doctest::FakeHost host_;
  doctest::RecordingView view_;
  std::unique_ptr<CZK470Doc> doc_;
  std::filesystem::path cwd_;
  std::string data_;
  std::string qrs_;
};

}  // namespace dialogs_test
