#pragma once

#include <memory>
#include <string_view>

#include "gfx/bitmap.h"
#include "views/view_area.h"
#include "views/window_area.h"
#include "win/controls.h"

// The online recorder as the recorder search found it: its channel count and its type (2 and 3
// the two-channel family, 4 the card-based recorder). Process-wide; the process reset forgets it.
struct OnlineRecorder {
  int channel_count = 2;
  int recorder_type = 0;
};
void SetOnlineRecorder(OnlineRecorder recorder);
OnlineRecorder GetOnlineRecorder();

// The recorder pictures the online panel shows: the recorder and, on the three-channel screen,
// its electrode placement (-1 none).
struct RecorderPictureIds {
  int first = 0;
  int second = -1;
  friend bool operator==(const RecorderPictureIds&, const RecorderPictureIds&) = default;
};
RecorderPictureIds ChooseRecorderPictures(int channel_count, int recorder_type, int cable_set);
// The program's own recorder pictures, drawn once; nullptr for a number that names none.
std::shared_ptr<const gfx::Bitmap> LoadRecorderPicture(int id);

// The window of the online panel under the online sweep: its two buttons end the monitoring.
class COnlinePanelWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  std::string_view GetClassName() const override { return "COnlinePanelWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

// Turns its buttons' commands into the area messages of the same numbers, to every area of its node.
class COnlinePanelWnd : public CAreaWnd {
 public:
  COnlinePanelWnd(CWindowAreaConfig* config, CZK470Doc* document);
  std::string_view ClassName() const override { return "OnlinePanelWnd"; }
};

class COnlinePanelAreaConfig : public CViewAreaConfig {
 public:
  using CViewAreaConfig::CViewAreaConfig;
  std::string_view GetClassName() const override { return "COnlinePanelAreaConfig"; }
  std::unique_ptr<CViewArea> CreateArea(CZK470Doc* doc) override;
};

// The recorder picture (and on the three-channel screen its electrode placement) with a line
// right of the first, and the two large buttons that end the online monitoring: the panel only
// passes them on to the document as update hints 1143 and 1144. Owns its pictures and buttons;
// the buttons are children of the host window. User-interface thread only.
class COnlinePanelArea : public CViewArea {
 public:
  static constexpr int kFirstButtonText = 32779;
  static constexpr int kSecondButtonText = 32782;
  static constexpr int kButtonWidth = 200;
  static constexpr int kButtonHeight = 40;
  // Rows of a picture that are never shown: its top and bottom margins.
  static constexpr int kPictureTopCut = 10;
  static constexpr int kPictureBottomCut = 12;

  // Chooses the pictures from the online recorder and the document's cable set.
  COnlinePanelArea(CViewAreaConfig* config, CZK470Doc* document);
  ~COnlinePanelArea() override;

  // Creates the buttons side by side, centred on the first picture's right edge.
  void Attach(CBaseView* view) override;
  // Stacks the buttons in the space right of two picture widths.
  void OnLayout(int left, int top, int right, int bottom) override;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;
  int OnMessage(uint32_t msg, win::WParam wparam, win::LParam lparam) override;

  win::Button* GetFirstButton() const { return first_button_.get(); }
  win::Button* GetSecondButton() const { return second_button_.get(); }
  const gfx::Bitmap* GetFirstPicture() const { return first_picture_.get(); }
  const gfx::Bitmap* GetSecondPicture() const { return second_picture_.get(); }
  // The host window of the panel attached last; nullptr while none is.
  static win::Window* GetHostWindow();

 private:
  int FirstPictureWidth() const { return first_picture_ != nullptr ? first_picture_->Width() : 0; }
  void DrawPicture(gfx::Canvas& dc, const gfx::Bitmap& picture, int x) const;

  std::unique_ptr<win::Button> first_button_;
  std::unique_ptr<win::Button> second_button_;
  std::shared_ptr<const gfx::Bitmap> first_picture_;
  std::shared_ptr<const gfx::Bitmap> second_picture_;
};
