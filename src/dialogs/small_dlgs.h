#pragma once

#include <optional>
#include <string>

#include "platform/clock.h"
#include "platform/ids.h"
#include "win/dialog.h"

class CZK470Doc;

// A date and time as the date window holds it; none when not valid.
using DateTimeValue = std::optional<platform::LocalDateTime>;

// The hidden date window that the document keeps and hands to the report parts: one date and
// time shown in field 1383 in the platform's text form. Message 0x414 brings a new value (wparam
// points to a DateTimeValue, valid for the call); the field follows when the window exists.
class TDateInputDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 206;
  static constexpr int kFieldId = 1383;
  static constexpr uint32_t kSetValueMessage = msg::kDateInputSetValue;

  // The value starts at calendar time 0: 1 January 1970, 00:00 local time.
  explicit TDateInputDlg(win::Window* parent = nullptr);
  const DateTimeValue& Value() const { return value_; }
  // What message 0x414 does: takes the value over and, when the window exists, shows it. A
  // value that comes before the window is only kept.
  void SetValue(const DateTimeValue& value);

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  DateTimeValue value_;
};

// The main view's three-text dialog (command 32825): three texts in fields 1113, 1111 and 1112.
class TThreeTextDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 173;
  static constexpr int kFirstId = 1113;
  static constexpr int kSecondId = 1111;
  static constexpr int kThirdId = 1112;

  TThreeTextDlg(win::Window* parent, CZK470Doc* document) : win::Dialog(kTemplateId, parent), document_(document) {}
  std::string first;
  std::string second;
  std::string third;
  CZK470Doc* Document() const { return document_; }

 protected:
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  CZK470Doc* document_;
};

// The two delete dialogs: button 1245 ends them with 1245, Enter does nothing, Esc cancels.
class DeleteDialog : public win::Dialog {
 public:
  static constexpr int kDeleteId = 1245;
  DeleteDialog(int template_id, win::Window* parent);

 protected:
  // The focus starts on the dialog, not on a button, so that Enter is command 1.
  bool OnInitDialog() override;
  void OnOK() override {}
};

// Asked by the document-browser and PDF display windows before the shown recording is deleted.
class TDeleteChoiceDlg : public DeleteDialog {
 public:
  static constexpr int kTemplateId = 30740;
  // The yes/no question the caller asks after 1245.
  static constexpr int kConfirmQuestion = 14402;
  explicit TDeleteChoiceDlg(win::Window* parent = nullptr) : DeleteDialog(kTemplateId, parent) {}
};

// Asked by the automation dispatcher before it deletes a recording.
class TDeleteConfirmDlg : public DeleteDialog {
 public:
  static constexpr int kTemplateId = 30742;
  explicit TDeleteConfirmDlg(win::Window* parent = nullptr) : DeleteDialog(kTemplateId, parent) {}
};

// The confirmation before the recorder interface is tested; only kIdOk goes on.
class TInterfaceTestDlg : public win::Dialog {
 public:
  static constexpr int kTemplateId = 30746;
  explicit TInterfaceTestDlg(win::Window* parent = nullptr) : win::Dialog(kTemplateId, parent) {}
};
