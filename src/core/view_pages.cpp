#include "core/view_pages.h"

#include "document/zk470_doc.h"
#include "win/data_exchange.h"

namespace {

constexpr std::array<SettingKey, TPMTextDlg::kTextCount> kPacemakerNames = {
    SettingKey::kPM1A, SettingKey::kPM1B, SettingKey::kPM2A, SettingKey::kPM2B, SettingKey::kPM2C,
    SettingKey::kPM3A, SettingKey::kPM3B, SettingKey::kPM4A, SettingKey::kPM4B, SettingKey::kPM4C,
    SettingKey::kPM5A, SettingKey::kPM5B, SettingKey::kPM6};

}  // namespace

TUserIDPage::TUserIDPage(std::string user_id) : win::PropertyPage(kTemplateId), user_id(std::move(user_id)) {}

void TUserIDPage::DoDataExchange(win::DataExchange& dx) {
  win::DdxText(dx, kTextId, user_id);
  win::DdvMaxChars(dx, user_id, kMaxChars);
}

TPMTextDlg::TPMTextDlg() : win::PropertyPage(kTemplateId) {}

TPMTextDlg::TPMTextDlg(const CZK470Doc& document) : TPMTextDlg() {
  for (size_t i = 0; i < texts.size(); ++i) texts[i] = document.GetSettings().Text(kPacemakerNames[i]);
}

void TPMTextDlg::DoDataExchange(win::DataExchange& dx) {
  for (size_t i = 0; i < texts.size(); ++i) {
    win::DdxText(dx, kTextIds[i], texts[i]);
    win::DdvMaxChars(dx, texts[i], kMaxChars);
  }
}

SettingKey PacemakerNameSetting(int index) { return kPacemakerNames.at(static_cast<size_t>(index)); }
