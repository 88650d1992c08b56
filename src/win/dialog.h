#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "win/controls.h"
#include "win/dialog_template.h"
#include "win/prompt.h"
#include "win/window.h"

namespace win {

class DataExchange;

// A dialog built from a template of the resource packs: a top-level window (or, for property
// pages, a child) whose controls are the template's, with data exchange, the dialog keys (Tab,
// Enter for the default button, Esc for Cancel) and modal or modeless use. The host shows it as
// real widgets. Controls are created by the dialog; a member control object attached before the
// window exists (AttachControl, or DdxControl in DoDataExchange) is used for its id instead, so a
// dialog can keep typed members and subclass a control's behaviour. User-interface thread only.
class Dialog : public Window {
 public:
  // template_id 0: a dialog that builds its window itself (CreateDialogWindow).
  explicit Dialog(int template_id = 0, Window* parent = nullptr);
  ~Dialog() override;

  // Creates the window (owned by the parent given, else by the main window), which is disabled
  // while the dialog runs; runs OnInitDialog and the modal loop until EndDialog; destroys the
  // window and gives the focus back. Returns the EndDialog result, or -1 when the template is
  // missing, the window could not be created or the loop ended without EndDialog (a quit).
  virtual int DoModal();
  // A modeless dialog: creates the window, runs OnInitDialog and shows it unless show is false.
  // False when the template is missing.
  bool CreateModeless(Window* parent = nullptr, bool show = true);
  // Ends a modal dialog with result; hides a modeless one.
  void EndDialog(int result);
  bool IsModalRunning() const { return running_modal_; }
  bool Ended() const { return ended_; }
  int Result() const { return result_; }

  // Runs DoDataExchange: false loads the controls from the members, true reads and checks the
  // controls into the members. False when a check failed: the user has seen the standard message
  // and the focus is on the offending control.
  bool UpdateData(bool save_and_validate = true);

  int TemplateId() const { return template_id_; }
  void SetTemplateId(int id) { template_id_ = id; }
  void SetParentWindow(Window* parent) { parent_window_ = parent; }
  Window* ParentWindow() const { return parent_window_; }

  // The default push button's id (Enter clicks it); kIdOk unless the template or SetDefID says.
  int GetDefID() const { return def_id_; }
  void SetDefID(int id);
  // Moves the focus to the next (previous) tab stop, wrapping, skipping hidden and disabled
  // controls; an edit gets its text selected.
  void NextDlgCtrl(bool previous = false);
  void GotoDlgCtrl(Window* control);

  // Uses control for the template control id when the window is built. Not owned.
  void AttachControl(int id, Control& control);
  // The control of id as the type asked for; nullptr when there is none of that type.
  template <typename T>
  T* Item(int id) const {
    return dynamic_cast<T*>(GetDlgItem(id));
  }

  bool RenderedAsWidgets() const override { return true; }
  std::string_view ClassName() const override { return "#32770"; }
  bool PreTranslateMessage(uint32_t message, WParam wparam, LParam lparam) override;

 protected:
  // After the controls exist. The base loads the controls (UpdateData(false)) and returns true,
  // which puts the focus on the first tab stop; false leaves the focus where OnInitDialog put it.
  virtual bool OnInitDialog();
  // Command 1 (Enter, OK): the base saves and checks the data and ends with kIdOk when they pass.
  virtual void OnOK();
  // Command 2 (Esc, Cancel, closing the window): the base ends with kIdCancel.
  virtual void OnCancel();
  virtual void DoDataExchange(DataExchange& dx) {}
  // Builds the window; the base makes it from the template. child: a page inside parent.
  virtual bool CreateDialogWindow(Window* parent, bool child);
  // Creates the template's controls inside this window.
  bool CreateTemplateControls(const DialogTemplate& dialog_template);
  // Sends kWmInitDialog and sets the focus as OnInitDialog asks.
  void InitDialogWindow();
  // The pass of DoDataExchange before the window exists, which attaches member controls.
  void BindControls();

  LResult WindowProc(uint32_t message, WParam wparam, LParam lparam) override;
  void OnClose() override;

 private:
  friend class DataExchange;

  int template_id_ = 0;
  Window* parent_window_ = nullptr;
  std::vector<std::unique_ptr<Control>> owned_controls_;
  std::map<int, Control*> attached_;
  int def_id_ = kIdOk;
  bool running_modal_ = false;
  bool ended_ = false;
  int result_ = -1;
};

// The window rectangle in pixels of a template of cx x cy dialog units.
gfx::Size DialogPixelSize(const DialogTemplate& dialog_template);

}  // namespace win
