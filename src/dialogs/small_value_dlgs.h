#pragma once

#include <string>

#include "win/controls.h"
#include "win/dialog.h"
#include "win/property_sheet.h"

class CZK470Doc;

namespace platform {
class ResourcePack;
}

// The read-out windows of the measuring calipers: modeless, made at once by the constructor over
// the parent with empty texts; the caliper writes the texts (UpdateData(false)) and destroys the
// window. User-interface thread only.
class TCaliperHRValuesDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 272;
  static constexpr int kFirstId = 1229;
  static constexpr int kSecondId = 1228;
  static constexpr int kThirdId = 1230;

  explicit TCaliperHRValuesDlg(win::Window* parent);

  std::string first;
  std::string second;
  std::string third;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

class TCaliperTimeDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 30734;
  static constexpr int kTextId = 1227;

  explicit TCaliperTimeDlg(win::Window* parent);

  std::string text;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// The amplitude read-out of a two-channel display: the amplitude differences of the first and
// second displayed channel (1222, 1224) and the time between the cursors (1225), with channel
// labels "Ch.%d" (1221, 1223) after the display channel selection.
class TCaliperAmplitude2Dlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 273;
  static constexpr int kFirstValueId = 1222;
  static constexpr int kTimeId = 1225;
  static constexpr int kSecondValueId = 1224;
  static constexpr int kFirstLabelId = 1221;
  static constexpr int kSecondLabelId = 1223;

  explicit TCaliperAmplitude2Dlg(win::Window* parent);

  std::string first_value;
  std::string time;
  std::string second_value;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;
};

// A modal question for a number of at most three digits (the number of template classes): the
// text the user typed is in text after OK; the caller converts it.
class TNumberInputDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 269;
  static constexpr int kTextId = 1215;
  static constexpr int kMaxDigits = 3;

  explicit TNumberInputDlg(std::string initial_text);
  // Nothing calls it: an empty text under a parent.
  explicit TNumberInputDlg(win::Window* parent);

  std::string text;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// The automatic-deletion page of the options sheet: the switch (check box 1064, "Auto Delete" /
// "On") and the number of recordings to keep (combo 1201, "Auto Delete" / "Files": 0..4 keep 5, 10,
// 20, 50 or 100). The combo is enabled only while the switch is on.
class TAutoDeletePage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 252;
  static constexpr int kSwitchId = 1064;
  static constexpr int kChoiceId = 1201;

  TAutoDeletePage();
  // The page on the document's settings.
  explicit TAutoDeletePage(CZK470Doc& doc);

  int switch_on = 1;
  int choice = 1;

  bool OnSetActive() override;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  void OnSwitchClicked();
};

// Adds the templates of these dialogs and of the folder picker to a pack: German to the German
// pack, English to every other one.
void AddSmallValueDialogResources(platform::ResourcePack& pack);
