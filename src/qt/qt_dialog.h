#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "qt/qt_host.h"
#include "win/window.h"

class QWidget;

namespace qthost {

class EventPump;

// Shows the top-level windows that are rendered as real widgets (dialogs, property sheets, the
// progress window): one Qt window each, one Qt widget per control, kept in step with the control
// models as they change, and the user's actions handed back as the controls' ...FromUser
// operations, clicks and key presses. Enter, Esc and Tab go to the window tree, which decides what
// they do (default button, cancel, tab order); a child window that is no control (a page, a drawn
// preview) gets a widget of its own. Changes are gathered and synced once per control when the
// event loop next runs (or sooner, when something shows or reads the widgets); lists take only
// the rows that changed. User-interface thread only.
class DialogHost : public QtHost {
 public:
  DialogHost(win::WindowSystem& windows, EventPump& pump);
  ~DialogHost() override;
  DialogHost(const DialogHost&) = delete;
  DialogHost& operator=(const DialogHost&) = delete;

  void TopLevelCreated(win::Window& top_level) override;
  void TopLevelDestroyed(win::Window& top_level) override;
  void WindowChanged(win::Window& window, unsigned what) override;
  std::unique_ptr<gfx::Canvas> CreateCanvas(win::Window& window, const gfx::Rect& clip) override;
  // A window that draws itself draws its own scroll bars into the same picture.
  std::unique_ptr<gfx::Canvas> CreateWindowCanvas(win::Window& window, const gfx::Rect& clip) override;
  bool RunModalLoop(const std::function<bool()>& done) override;
  void Flush(win::Window& top_level) override;
  // Pop-up menus of windows shown as widgets (an edit field's own menu) as real Qt menus.
  std::optional<int> TrackPopupMenu(const win::PopupRequest& request) override;

  // The Qt widget that shows a window (a top-level window or any window inside one), brought up
  // to date first; nullptr when it has none.
  QWidget* WidgetOf(const win::Window& window) const override;
  // Syncs every widget whose window changed since the last sync.
  void SyncPending();
  // How many times a widget was synced with its window's changes, all windows together.
  uint64_t SyncCount() const { return sync_count_; }

  struct Binding;
  struct Adaptor;

 private:
  // The picture of a window that draws itself, clipped (window coordinates); nullptr for others.
  std::unique_ptr<gfx::Canvas> PaintedCanvas(win::Window& window, const gfx::Rect& clip);
  friend class DialogEventFilter;

  // Makes the widget of window (and of its children) inside parent (nullptr: a top-level one).
  void Build(win::Window& window, QWidget* parent);
  // Brings the widget of window up to date with the parts of the window that changed.
  void Sync(win::Window& window, unsigned what);
  // Notes what changed; the sync follows from the event loop.
  void MarkDirty(Binding& binding, unsigned what);
  // Forgets window and everything below it; its widget goes when the event loop next runs.
  void Remove(win::Window& window);
  Binding* Find(win::WindowHandle handle) const;
  win::Window* Alive(win::WindowHandle handle) const;

  win::WindowSystem& windows_;
  std::unordered_map<win::WindowHandle, std::unique_ptr<Binding>> bindings_;
  std::unique_ptr<QObject> filter_;
  std::vector<win::WindowHandle> dirty_;
  bool sync_posted_ = false;
  bool flushing_ = false;
  int syncing_ = 0;
  uint64_t sync_count_ = 0;
};

}  // namespace qthost
