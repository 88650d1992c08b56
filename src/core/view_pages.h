#pragma once

#include <array>
#include <string>

#include "document/profile_keys.h"
#include "win/property_sheet.h"

class CZK470Doc;

// The page of the user-id sheet: the user id text (at most 40 characters). The caller stores the
// text back after OK.
class TUserIDPage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 223;
  static constexpr int kTextId = 1185;
  static constexpr int kMaxChars = 40;

  explicit TUserIDPage(std::string user_id);
  std::string user_id;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// The page of the pacemaker names: the thirteen names of the pacemaker classes 0..12 (at most 20
// characters each), copied from the document. The caller copies them back after OK.
class TPMTextDlg : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 280;
  static constexpr int kTextCount = 13;
  static constexpr int kMaxChars = 20;
  static constexpr std::array<int, kTextCount> kTextIds = {1230, 1231, 1232, 1233, 1234, 1237, 1238,
                                                           1239, 1240, 1241, 1244, 1245, 1246};

  TPMTextDlg();
  explicit TPMTextDlg(const CZK470Doc& document);
  std::array<std::string, kTextCount> texts;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// The document's setting behind pacemaker name n (0..12).
SettingKey PacemakerNameSetting(int index);
