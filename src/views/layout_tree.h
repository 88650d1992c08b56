#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "gfx/geometry.h"
#include "win/messages.h"

class CBaseView;
class CViewArea;
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

// One anchor of a node: reference -1 places it against the parent's rectangle, 0 or more against
// the sibling with that child index; edge 0 is the near (left/top) edge, 1 the far one; the offset
// is signed pixels.
struct CXPosition {
  int reference = -1;
  int edge = 0;
  int offset = 0;
  friend bool operator==(const CXPosition&, const CXPosition&) = default;
};

struct CYPosition {
  int reference = -1;
  int edge = 0;
  int offset = 0;
  friend bool operator==(const CYPosition&, const CYPosition&) = default;
};

struct CPosition {
  CXPosition x;
  CYPosition y;
  friend bool operator==(const CPosition&, const CPosition&) = default;
};

// A node of a screen layout: where its area lies (anchors), how large it is (a fixed minimum, or a
// share in thousandths of what the siblings leave), whether its drawing is clipped. It owns its
// children and, while its layout is selected, the run-time area it made with CreateArea. The tree
// is built once and then only read; areas come and go with the selection. Every configuration
// class of the screens derives from it. User-interface thread only.
class CViewAreaConfig {
 public:
  CViewAreaConfig() = default;
  CViewAreaConfig(const CPosition& position, gfx::Size min_size, gfx::Size per_mille, bool clip);
  // Copies position, sizes and clip; the copy has no parent, area or children.
  CViewAreaConfig(const CViewAreaConfig& other);
  CViewAreaConfig& operator=(const CViewAreaConfig&) = delete;
  // Deletes the area and the children (a root deletes its whole tree).
  virtual ~CViewAreaConfig();

  // The class name as the layout tables spell it ("CViewAreaConfig", "CECGStripWindowConfig").
  virtual std::string_view GetClassName() const { return "CViewAreaConfig"; }

  virtual bool CreateAreas(CZK470Doc* doc);
  virtual void DestroyAreas();
  virtual int BroadcastAll(uint32_t msg, win::WParam wparam, win::LParam lparam);
  virtual bool BroadcastUntilHandled(uint32_t msg, win::WParam wparam, win::LParam lparam);
  virtual void NotifyAll(document::DocumentView* sender, int hint, THintObject* object);
  // Takes ownership; returns the child index, -1 (and nothing added) for nullptr.
  virtual int AddChild(std::unique_ptr<CViewAreaConfig> child);
  virtual CViewAreaConfig* GetChild(int index) const;
  virtual CViewAreaConfig* GetParent() const { return parent_; }
  virtual CViewAreaConfig* GetSibling(int index) const;
  virtual CViewAreaConfig* GetRoot();
  virtual CViewAreaConfig* NextSibling() const;
  virtual CViewAreaConfig* PrevSibling() const;
  virtual CViewAreaConfig* NextFocusable() const;
  virtual CViewAreaConfig* PrevFocusable() const;
  virtual win::Window* GetParentWindow() const;
  virtual int GetMinWidth() const;
  virtual int GetMinHeight() const;
  virtual bool Layout(const gfx::Rect& parent_rect);
  virtual void Paint(gfx::Canvas& dc, const gfx::Rect& update);
  virtual void AttachData(CBaseView* view);
  virtual void DestroyChildAreas();
  virtual void DeleteChildren();
  virtual bool CreateChildAreas(CZK470Doc* doc);
  virtual bool LayoutChildren(const gfx::Rect& rect);
  virtual void PaintChildren(gfx::Canvas& dc, const gfx::Rect& update);
  virtual void AttachChildData(CBaseView* view);
  virtual int Dispatch(bool until_handled, uint32_t msg, win::WParam wparam, win::LParam lparam);
  // The factory of the node's area; nullptr fails CreateAreas. Base: a plain CViewArea.
  virtual std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc);
  virtual void DeleteArea();

  // -2 without a parent.
  int IndexInParent() const;
  int AvailableWidth(const gfx::Rect& parent_rect) const;
  int AvailableHeight(const gfx::Rect& parent_rect) const;
  // Left and right (top and bottom) of the node in parent_rect.
  std::pair<int, int> PlaceHorizontally(const gfx::Rect& parent_rect, int available_width) const;
  std::pair<int, int> PlaceVertically(const gfx::Rect& parent_rect, int available_height) const;

  const CPosition& GetPosition() const { return position_; }
  gfx::Size GetMinSize() const { return min_size_; }
  gfx::Size GetPerMille() const { return per_mille_; }
  bool GetClip() const { return clip_; }
  bool IsAttached() const { return attached_; }
  CViewArea* GetArea() const { return area_.get(); }
  int GetChildCount() const { return static_cast<int>(children_.size()); }

 protected:
  void SetClip(bool clip) { clip_ = clip; }
  void SetAttached(bool attached) { attached_ = attached; }
  void SetArea(std::unique_ptr<CViewArea> area);

 private:
  CPosition position_;
  gfx::Size min_size_;
  gfx::Size per_mille_;
  bool clip_ = false;
  bool attached_ = false;
  CViewAreaConfig* parent_ = nullptr;
  std::unique_ptr<CViewArea> area_;
  std::vector<std::unique_ptr<CViewAreaConfig>> children_;
};

// The root of one layout. Kind and sub-kind are read only by the selector's same-kind stepping.
class CViewConfiguration : public CViewAreaConfig {
 public:
  CViewConfiguration() : CViewConfiguration(0, 0, 0) {}
  CViewConfiguration(int kind, int sub_kind, uint16_t flag);
  // Destroys the areas before the tree goes.
  ~CViewConfiguration() override;

  std::string_view GetClassName() const override { return "CViewConfiguration"; }
  win::Window* GetParentWindow() const override;
  int GetMinWidth() const override;
  int GetMinHeight() const override;
  void AttachData(CBaseView* view) override;
  void DeleteArea() override;
  virtual void SetView(CBaseView* view) { view_ = view; }

  int GetKind() const { return kind_; }
  int GetSubKind() const { return sub_kind_; }
  uint16_t GetFlag() const { return flag_; }
  CBaseView* GetView() const { return view_; }

 private:
  int kind_ = 0;
  int sub_kind_ = 0;
  uint16_t flag_ = 0;
  CBaseView* view_ = nullptr;
};

// The list of layouts; owns them.
class CViewConfigurations {
 public:
  CViewConfigurations() = default;
  CViewConfigurations(const CViewConfigurations&) = delete;
  CViewConfigurations& operator=(const CViewConfigurations&) = delete;
  virtual ~CViewConfigurations();

  // The new index; -1 for nullptr (nothing added).
  int Add(std::unique_ptr<CViewConfiguration> layout);
  // nullptr outside 0..count-1.
  CViewConfiguration* GetAt(int index) const;
  int GetCount() const { return static_cast<int>(layouts_.size()); }

 private:
  std::vector<std::unique_ptr<CViewConfiguration>> layouts_;
};
