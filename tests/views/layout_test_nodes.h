#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gfx/canvas.h"
#include "views/layout_tree.h"
#include "views/view_area.h"

namespace viewstest {

inline std::string RectText(const gfx::Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// What the test nodes and their areas did, one line per event ("draw A 0,0,10,10"), and the
// clip box each drawing saw.
struct EventLog {
  std::vector<std::string> lines;
  std::vector<gfx::Rect> clip_boxes;
  int nodes_deleted = 0;

  // The lines that start with prefix.
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& line : lines) {
      if (line.rfind(prefix, 0) == 0) out.push_back(line);
    }
    return out;
  }
};

class TestNode;

// An area that logs every call. It answers the messages in its node's answers table (and writes
// the paired value through an int* lparam when that is nonzero); it may pretend to host a window.
class TestArea : public CViewArea {
 public:
  TestArea(TestNode* node, CZK470Doc* document);
  ~TestArea() override;

  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;
  void OnNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  bool HasWindow() const override;
  win::Window* GetWindow() const override;
  void SetRect(const gfx::Rect& rect) override;
  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;

 private:
  TestNode* node_;
};

// A layout node with a name that logs into a shared log.
class TestNode : public CViewAreaConfig {
 public:
  TestNode(std::string name, EventLog* log, const CPosition& position = {}, gfx::Size min_size = {},
           gfx::Size per_mille = {}, bool clip = false)
      : CViewAreaConfig(position, min_size, per_mille, clip), name_(std::move(name)), log_(log) {}
  ~TestNode() override { ++log_->nodes_deleted; }

  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override {
    log_->lines.push_back("create " + name_);
    if (fail_create) return nullptr;
    return std::make_unique<TestArea>(this, doc);
  }

  // Adds a child node and returns it.
  TestNode* Add(std::string name, const CPosition& position = {}, gfx::Size min_size = {},
                gfx::Size per_mille = {}, bool clip = false) {
    auto child = std::make_unique<TestNode>(std::move(name), log_, position, min_size, per_mille, clip);
    TestNode* raw = child.get();
    AddChild(std::move(child));
    return raw;
  }

  const std::string& Name() const { return name_; }
  EventLog& Log() const { return *log_; }

  bool fail_create = false;
  bool hosts_window = false;
  // Run when the node's area attaches, after it logged.
  std::function<void(CBaseView*)> on_attach;
  win::Window* window = nullptr;
  // Message number -> (result, value written through an int* lparam when nonzero).
  std::map<uint32_t, std::pair<int, int>> answers;

 private:
  std::string name_;
  EventLog* log_;
};

inline TestArea::TestArea(TestNode* node, CZK470Doc* document) : CViewArea(node, document), node_(node) {}

inline TestArea::~TestArea() { node_->Log().lines.push_back("destroy " + node_->Name()); }

inline void TestArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  node_->Log().lines.push_back("draw " + node_->Name() + " " + RectText(update));
  node_->Log().clip_boxes.push_back(dc.GetClipBox());
}

inline int TestArea::OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) {
  node_->Log().lines.push_back("msg " + node_->Name() + " " + std::to_string(msg));
  const auto it = node_->answers.find(msg);
  if (it == node_->answers.end()) return 0;
  if (it->second.second != 0 && lparam != 0) *reinterpret_cast<int*>(lparam) = it->second.second;
  return it->second.first;
}

inline void TestArea::OnNotify(document::DocumentView* sender, int hint, THintObject* object) {
  node_->Log().lines.push_back("notify " + node_->Name() + " " + std::to_string(hint));
}

inline bool TestArea::HasWindow() const { return node_->hosts_window; }

inline win::Window* TestArea::GetWindow() const { return node_->window; }

inline void TestArea::SetRect(const gfx::Rect& rect) {
  CViewArea::SetRect(rect);
  node_->Log().lines.push_back("rect " + node_->Name() + " " + RectText(rect));
}

inline void TestArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  node_->Log().lines.push_back("attach " + node_->Name());
  if (node_->on_attach) node_->on_attach(view);
}

inline void TestArea::OnLayout(int left, int top, int right, int bottom) {
  node_->Log().lines.push_back("onlayout " + node_->Name() + " " + RectText({left, top, right, bottom}));
}

// A layout root whose deletion is counted with the nodes.
class TestLayout : public CViewConfiguration {
 public:
  TestLayout(EventLog* log, int kind = 1, int sub_kind = 1)
      : CViewConfiguration(kind, sub_kind, 1), log_(log) {}
  ~TestLayout() override { ++log_->nodes_deleted; }

  TestNode* Add(std::string name, const CPosition& position = {}, gfx::Size min_size = {},
                gfx::Size per_mille = {}, bool clip = false) {
    auto child = std::make_unique<TestNode>(std::move(name), log_, position, min_size, per_mille, clip);
    TestNode* raw = child.get();
    AddChild(std::move(child));
    return raw;
  }

 private:
  EventLog* log_;
};

// Anchors in the notation of the layout tables: P(e, n) against the parent, S(i, e, n) against
// sibling i.
inline CXPosition XP(int edge, int offset) { return {-1, edge, offset}; }
inline CXPosition XS(int sibling, int edge, int offset) { return {sibling, edge, offset}; }
inline CYPosition YP(int edge, int offset) { return {-1, edge, offset}; }
inline CYPosition YS(int sibling, int edge, int offset) { return {sibling, edge, offset}; }

}  // namespace viewstest
