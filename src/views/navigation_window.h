#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "views/window_area.h"

class CZK470Doc;

// Area message from the navigation window to the event-tick strip: go to the stored ST position of
// the ST channel index in wparam.
inline constexpr uint32_t kAreaGoToSTPosition = 32913;
// The event legend's kind list, a child of the navigation window.
inline constexpr int kEventKindComboId = 20000;

// The hosted window at the top of the navigation screens. It draws nothing and has no toolbar: it
// passes mouse input to its areas (legends, event ticks, caption, time axis, beat count), turns the
// navigation commands that reach it through the main view into area messages, decides their
// enabled and checked state from the document's stored positions, and relays the kind list's
// choice as document hints. The moves themselves are the event-tick strip's. User-interface thread
// only.
class CNavigationWnd : public CAreaWnd {
 public:
  CNavigationWnd(CWindowAreaConfig* config, CZK470Doc* document);

  void Attach(CBaseView* view) override;
  std::string_view ClassName() const override { return "NavigationWnd"; }

 protected:
  void OnLButtonDown(unsigned flags, gfx::Point point) override;
  void OnLButtonUp(unsigned flags, gfx::Point point) override;
  void OnMouseMove(unsigned flags, gfx::Point point) override;
  void OnRButtonUp(unsigned flags, gfx::Point point) override;
  void OnContextMenu(win::Window* window, gfx::Point screen_point) override;

 private:
  int Broadcast(uint32_t msg, win::WParam wparam = 0);
};

class CNavigationWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  std::string_view GetClassName() const override { return "CNavigationWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};
