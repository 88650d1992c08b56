#pragma once

#include <memory>

#include "document/update_hints.h"
#include "views/view_area.h"
#include "win/frame_window.h"
#include "win/printing.h"

class CViewConfigurations;
class CZK470Doc;

// Set while a view's window is being closed, so that window areas leave their hosted windows to
// the closing window tree instead of destroying them themselves. Process-wide; reset with the
// process state.
void SetViewClosing(bool closing);
bool IsViewClosing();

// A view that shows one layout of a list at a time: owns the selector, paints and lays out the
// current layout and passes every document update to all of its areas. Print (57607) and print
// preview (57609) run the print loop over the view's hooks. User-interface thread only.
class CBaseView : public win::View, public document::DocumentView, public win::PrintHooks {
 public:
  explicit CBaseView(CZK470Doc* document);
  ~CBaseView() override;

  CZK470Doc* GetDocument() const { return document_; }
  CViewConfigSelector* GetSelector() const { return selector_.get(); }

  virtual bool SelectInitialConfiguration();
  virtual CViewConfigurations* GetConfigurations() { return nullptr; }

  void OnUpdate(document::DocumentView* sender, int hint, THintObject* object) override;
  bool OnCmdMsg(win::CommandMessage& message) override;

  bool OnPreparePrinting(win::CPrintInfo& info) override { return win::DoPreparePrinting(info); }
  void OnPrint(gfx::Canvas& dc, win::CPrintInfo& info) override {}
  void OnFilePrint();
  void OnFilePrintPreview();

  std::string_view ClassName() const override { return "BaseView"; }

 protected:
  int OnCreate() override;
  void OnSize(int type, int cx, int cy) override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;

 private:
  CZK470Doc* document_ = nullptr;
  std::unique_ptr<CViewConfigSelector> selector_;
};
