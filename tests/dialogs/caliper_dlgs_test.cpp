#include "dialogs/caliper_dlgs.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/channel_combo_dlg.h"
#include "dialogs/small_value_dlgs.h"
#include "dialogs/st_dlgs.h"
#include "dialogs/view_dialog_service.h"
#include "document/document_context.h"
#include "platform/resources.h"
#include "win/win_fixture.h"

namespace {

using win::testing_support::WinTest;

class CaliperDialogsTest : public WinTest {
 protected:
  void SetUp() override {
    WinTest::SetUp();
    AddCaliperDialogResources(platform::Resources().ExePack());
    AddSTDialogResources(platform::Resources().ExePack());
    AddSmallValueDialogResources(platform::Resources().ExePack());
    ASSERT_TRUE(main_.Create(nullptr, {0, 0, 1000, 800}, win::kWsPopup | win::kWsVisible));
    win::Windows().SetMainWindow(&main_);
  }
  void TearDown() override {
    main_.DestroyWindow();
    WinTest::TearDown();
  }

  win::Window main_;
};

TEST_F(CaliperDialogsTest, ReadoutsAreMadeAtOnceAndShowWhatTheCaliperWrites) {
  TCaliperStripTimeDlg time(&main_);
  EXPECT_TRUE(time.IsWindow());
  EXPECT_EQ(time.GetOwner(), &main_);
  EXPECT_EQ(time.GetDlgItemText(TCaliperStripTimeDlg::kTextId), "");
  time.text = "10:35:00";
  time.UpdateData(false);
  EXPECT_EQ(time.GetDlgItemText(TCaliperStripTimeDlg::kTextId), "10:35:00");

  const int32_t measured[] = {0, 2, 1};
  TCaliperAmplitude3Dlg amplitude(&main_, measured);
  ASSERT_TRUE(amplitude.IsWindow());
  EXPECT_EQ(amplitude.GetDlgItemText(TCaliperAmplitude3Dlg::kFirstValueId), "");
  amplitude.first_value = "1.25";
  amplitude.second_value = "-0.40";
  amplitude.third_value = "40.00";
  amplitude.time = "-120";
  amplitude.UpdateData(false);
  EXPECT_EQ(amplitude.GetDlgItemText(TCaliperAmplitude3Dlg::kFirstValueId), "1.25");
  EXPECT_EQ(amplitude.GetDlgItemText(TCaliperAmplitude3Dlg::kSecondValueId), "-0.40");
  EXPECT_EQ(amplitude.GetDlgItemText(TCaliperAmplitude3Dlg::kThirdValueId), "40.00");
  EXPECT_EQ(amplitude.GetDlgItemText(TCaliperAmplitude3Dlg::kTimeId), "-120");
}

// The values are the strip's channels; the labels must name them, whatever the display choice.
TEST_F(CaliperDialogsTest, AmplitudeLabelsNameTheChannelsMeasured) {
  document::Context().g_DisplayChannels.count = 2;
  document::Context().g_DisplayChannels.channels = {1, 0, 2};
  document::Context().g_RecordingChannels.count = 3;
  document::Context().g_RecordingChannels.channels = {0, 2, 1};
  TViewDialogService service;

  struct Case {
    const char* name;
    CaliperReadoutKind kind;
    std::vector<int32_t> channels;
    std::vector<int> labels;
    std::vector<std::string> want;
  };
  const Case kCases[] = {
      {"two channels 0 and 2",
       CaliperReadoutKind::kAmplitude2,
       {0, 2},
       {TCaliperAmplitude2Dlg::kFirstLabelId, TCaliperAmplitude2Dlg::kSecondLabelId},
       {"Ch.1", "Ch.3"}},
      {"three channels",
       CaliperReadoutKind::kAmplitude3,
       {0, 2, 1},
       {TCaliperAmplitude3Dlg::kFirstLabelId, TCaliperAmplitude3Dlg::kSecondLabelId,
        TCaliperAmplitude3Dlg::kThirdLabelId},
       {"Ch.1", "Ch.3", "Ch.2"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CCaliperReadout> readout = service.CreateCaliperReadout(c.kind, &main_, c.channels);
    ASSERT_NE(readout, nullptr);
    auto& dialog = dynamic_cast<win::Dialog&>(readout->GetWindow());
    EXPECT_EQ(dialog.TemplateId(), c.kind == CaliperReadoutKind::kAmplitude2 ? 273 : 30747);
    for (size_t i = 0; i < c.labels.size(); ++i) EXPECT_EQ(dialog.GetDlgItemText(c.labels[i]), c.want[i]);
  }

  // Without a list the three-channel readout names the recording's channels.
  TCaliperAmplitude3Dlg recording(&main_);
  EXPECT_EQ(recording.GetDlgItemText(TCaliperAmplitude3Dlg::kSecondLabelId), "Ch.3");
}

TEST_F(CaliperDialogsTest, ServiceWritesTheValuesInTheKindsOrder) {
  TViewDialogService service;
  struct Case {
    const char* name;
    CaliperReadoutKind kind;
    std::vector<int> ids;
  };
  const Case kCases[] = {
      {"amplitude 2",
       CaliperReadoutKind::kAmplitude2,
       {TCaliperAmplitude2Dlg::kFirstValueId, TCaliperAmplitude2Dlg::kSecondValueId,
        TCaliperAmplitude2Dlg::kTimeId}},
      {"amplitude 3",
       CaliperReadoutKind::kAmplitude3,
       {TCaliperAmplitude3Dlg::kFirstValueId, TCaliperAmplitude3Dlg::kSecondValueId,
        TCaliperAmplitude3Dlg::kThirdValueId, TCaliperAmplitude3Dlg::kTimeId}},
      {"strip time", CaliperReadoutKind::kStripTime, {TCaliperStripTimeDlg::kTextId}},
      {"heart rate: mean, minimum, maximum",
       CaliperReadoutKind::kHRValues,
       {TCaliperHRValuesDlg::kFirstId, TCaliperHRValuesDlg::kSecondId, TCaliperHRValuesDlg::kThirdId}},
      {"clock time", CaliperReadoutKind::kTime, {TCaliperTimeDlg::kTextId}},
      {"ST: the trend's rows level 1, level 2, slope 1, slope 2",
       CaliperReadoutKind::kSTValues,
       {TSTValuesDlg::kLevel0Id, TSTValuesDlg::kLevel1Id, TSTValuesDlg::kSlope0Id, TSTValuesDlg::kSlope1Id}},
  };
  const std::vector<std::string> values = {"a", "b", "c", "d"};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CCaliperReadout> readout = service.CreateCaliperReadout(c.kind, &main_, {});
    ASSERT_NE(readout, nullptr);
    readout->SetValues(values);
    readout->UpdateData();
    auto& dialog = dynamic_cast<win::Dialog&>(readout->GetWindow());
    for (size_t i = 0; i < c.ids.size(); ++i) EXPECT_EQ(dialog.GetDlgItemText(c.ids[i]), values[i]);
  }
}

TEST_F(CaliperDialogsTest, ChannelChoiceListsTheCodesTheChannelCountAllows) {
  struct Case {
    const char* name;
    int code;
    int channels;
    bool allow_all;
    std::vector<std::string> entries;
    int want_selection;
    int want_code;  // after OK without a change
  };
  const Case kCases[] = {
      {"two channels", 1, 2, false, {"1", "2", "1+2"}, 1, 1},
      {"code 6 with two channels selects 1+2", 6, 2, true, {"1", "2", "1+2"}, 2, 2},
      {"channel 3 is the third entry", 3, 3, true, {"1", "2", "3", "1+2", "2+3", "1+3", "1+2+3"}, 2, 3},
      {"three without all: 6 becomes 5", 6, 3, false, {"1", "2", "3", "1+2", "2+3", "1+3"}, 5, 5},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TChannelComboDlg dialog(c.code, c.channels, c.allow_all, "View channels", 77);
    std::vector<std::string> shown;
    int selection = -1;
    std::string caption;
    DriveModal({[&](win::Window* modal) {
      auto* combo = dialog.Item<win::ComboBox>(TChannelComboDlg::kComboId);
      ASSERT_NE(combo, nullptr);
      for (int i = 0; i < combo->GetCount(); ++i) shown.push_back(combo->GetLBText(i));
      selection = combo->GetCurSel();
      caption = modal->GetWindowText();
      modal->SendMessage(win::kWmCommand, win::kIdOk);
    }});
    EXPECT_EQ(dialog.DoModal(), win::kIdOk);
    EXPECT_EQ(shown, c.entries);
    EXPECT_EQ(selection, c.want_selection);
    EXPECT_EQ(caption, "View channels");
    EXPECT_EQ(dialog.channel_code, c.want_code);
  }
}

TEST_F(CaliperDialogsTest, ChannelChoiceTakesTheChosenEntryOnOkOnly) {
  TViewDialogService service;
  const auto choose = [&](int entry, int button) {
    DriveModal({[&, entry, button](win::Window* modal) {
      auto* combo = dynamic_cast<win::ComboBox*>(modal->GetDlgItem(TChannelComboDlg::kComboId));
      ASSERT_NE(combo, nullptr);
      combo->SelectFromUser(entry);
      modal->SendMessage(win::kWmCommand, static_cast<win::WParam>(button));
    }});
    return service.ChooseChannels(&main_, 0, 3, true, "Channels");
  };
  EXPECT_EQ(choose(4, win::kIdOk), 4) << "\"2+3\"";
  EXPECT_EQ(choose(3, win::kIdOk), 2) << "\"1+2\"";
  EXPECT_EQ(choose(4, win::kIdCancel), std::nullopt);

  // The one-window constructor: code 0 of two channels.
  TChannelComboDlg plain(&main_);
  EXPECT_EQ(plain.channel_code, 0);
}

}  // namespace
