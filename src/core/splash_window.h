#pragma once

#include <cstdint>
#include <optional>

#include "gfx/geometry.h"
#include "win/window.h"

// The product picture over the main frame at start-up: a borderless window of exactly the
// picture's size, centred over the frame, that closes after 1.25 seconds or at the first key or
// mouse-button press anywhere in the program. At most one exists; it is shown once per run.
// User-interface thread only.
class CSplashWindow : public win::Window {
 public:
  static constexpr uintptr_t kTimerId = 1;
  static constexpr int kShowMs = 1250;

  // Arms (or disarms) the splash; start-up arms it unless an automation command runs.
  static void EnableSplash(bool enable);
  static bool IsEnabled();
  // When armed and none is shown: creates the window over frame and paints it at once.
  static void ShowSplash(win::Window* frame);
  // Called with every input message before it is routed: a key press, a system key press or a
  // mouse-button press closes the splash and repaints the main window. The message goes on.
  static void PreTranslateAppMessage(uint32_t message);
  // The splash shown now; nullptr when none.
  static CSplashWindow* Current();
  // Back to the state at program start (disarmed, none shown).
  static void Reset();

  // Creates the window from picture picture_id of the program's own resources over parent;
  // false when the picture is missing or the window cannot be made.
  bool Create(win::Window* parent, int picture_id);

  std::string_view ClassName() const override { return "SplashWindow"; }

 protected:
  int OnCreate() override;
  void OnPaint(gfx::Canvas& canvas, const gfx::Rect& update) override;
  void OnTimer(uintptr_t id) override;
  void PostNcDestroy() override;

 private:
  int picture_id_ = 0;
};

// The program's own pictures: their size, or nullopt for an unknown id; drawing paints one at
// the canvas origin.
std::optional<gfx::Size> PictureSize(int picture_id);
void DrawPicture(gfx::Canvas& canvas, int picture_id);
