#pragma once

#include <cstdint>

#include "gfx/geometry.h"
#include "win/messages.h"

class CBaseView;
class CViewAreaConfig;
class CViewConfiguration;
class CViewConfigurations;
class CZK470Doc;
class THintObject;

namespace gfx {
class Canvas;
}
namespace win {
class Window;
}
namespace document {
class DocumentView;
}

// The run-time object of one layout node while its layout is shown: it holds its rectangle (in
// the client coordinates of the window it draws in), draws, and takes document updates and area
// messages. Created only by its node's CreateArea and deleted by the node. Derived areas call the
// base Draw and Attach first. User-interface thread only.
class CViewArea {
 public:
  CViewArea() = default;
  // The rectangle starts as (0, 0, config's minimum width, minimum height).
  CViewArea(CViewAreaConfig* config, CZK470Doc* document);
  CViewArea(const CViewArea&) = delete;
  CViewArea& operator=(const CViewArea&) = delete;
  virtual ~CViewArea() = default;

  virtual void Draw(gfx::Canvas& dc, const gfx::Rect& update) {}
  // Nonzero when handled.
  virtual int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) { return 0; }
  virtual void OnNotify(document::DocumentView* sender, int hint, THintObject* object) {}
  virtual bool HasWindow() const { return false; }
  virtual win::Window* GetWindow() const { return nullptr; }
  virtual void SetRect(const gfx::Rect& rect) { rect_ = rect; }
  // By value: a window area answers its rectangle moved to the origin.
  virtual gfx::Rect GetRect() const { return rect_; }
  virtual void Attach(CBaseView* view) {}
  // After Attach only, with the rectangle just set.
  virtual void OnLayout(int left, int top, int right, int bottom) {}

  // The rectangle as the last SetRect stored it; sibling anchors read this.
  const gfx::Rect& StoredRect() const { return rect_; }
  CViewAreaConfig* GetConfig() const { return config_; }
  CZK470Doc* GetDocument() const { return document_; }

 protected:
  gfx::Rect rect_;
  CViewAreaConfig* config_ = nullptr;
  CZK470Doc* document_ = nullptr;
};

// Which layout of the list a view shows, and the switch between layouts: selecting destroys the
// old layout's areas and windows and creates, attaches and lays out those of the new one. Owns
// neither the list nor the view. User-interface thread only.
class CViewConfigSelector {
 public:
  CViewConfigSelector(CViewConfigurations* list, CBaseView* view) : list_(list), view_(view) {}
  virtual ~CViewConfigSelector() = default;

  virtual CViewConfiguration* GetConfiguration() const;
  // False while a screen is being built: a hint that an area sends while it attaches must not
  // tear down the screen it belongs to.
  bool Select(int index);
  bool Rebuild();
  bool IsBuilding() const { return building_; }
  CViewConfiguration* GetCurrent() const { return current_; }
  int GetCurrentIndex() const { return current_index_; }
  CViewConfiguration* NextOfSameKind();
  CViewConfiguration* PrevOfSameKind();

 private:
  CViewConfigurations* list_ = nullptr;
  CBaseView* view_ = nullptr;
  int current_index_ = 0;
  CViewConfiguration* current_ = nullptr;
  bool building_ = false;
};
