#include "views/online_panel.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <span>

#include "document/zk470_doc.h"
#include "gfx/canvas.h"
#include "platform/process_context.h"
#include "platform/resources.h"
#include "views/area_messages.h"
#include "views/layout_tree.h"

namespace {

OnlineRecorder& Recorder() {
  static OnlineRecorder recorder;
  return recorder;
}

win::Window*& HostWindow() {
  static win::Window* host = nullptr;
  return host;
}

[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kViews, [] {
      Recorder() = {};
      HostWindow() = nullptr;
    });

constexpr int kRecorderCardType = 4;
// The picture numbers of the language resources.
constexpr int kTwoChannelRecorder = 30998;
constexpr int kTwoChannelPlacement = 30999;
constexpr int kCardPlacement = 31004;
constexpr int kCardRecorder = 31005;
constexpr int kCardPlacementSet1 = 31006;
constexpr int kCardRecorderSet1 = 31007;

// The pictures are as wide as the panel leaves room for two of them beside the buttons on a
// 1000-pixel screen, and as high as the panel once the cut rows are gone.
constexpr int kPictureWidth = 240;
constexpr int kPictureHeight = 210;

constexpr gfx::Color kPaper = gfx::Rgb(255, 255, 255);
constexpr gfx::Color kOutline = gfx::Rgb(40, 40, 40);
constexpr gfx::Color kCaseGrey = gfx::Rgb(200, 204, 210);
constexpr gfx::Color kCaseBlue = gfx::Rgb(70, 110, 170);
constexpr gfx::Color kDisplayGreen = gfx::Rgb(150, 190, 140);
constexpr gfx::Color kSkin = gfx::Rgb(245, 222, 200);
// Electrode colours of a cable set, in the order of its leads.
constexpr std::array<gfx::Color, 7> kLeadColours = {
    gfx::Rgb(220, 40, 40), gfx::Rgb(240, 210, 30), gfx::Rgb(40, 160, 60),  gfx::Rgb(120, 70, 30),
    gfx::Rgb(30, 30, 30),  gfx::Rgb(90, 60, 180),  gfx::Rgb(250, 250, 250)};

// A few raster strokes on a bitmap; everything outside the picture is dropped.
class PicturePainter {
 public:
  explicit PicturePainter(gfx::Bitmap& bitmap) : bitmap_(bitmap) {}

  void Fill(int left, int top, int right, int bottom, gfx::Color color) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) bitmap_.SetPixel(x, y, color);
  }
  void Frame(int left, int top, int right, int bottom, gfx::Color color) {
    Fill(left, top, right, top + 1, color);
    Fill(left, bottom - 1, right, bottom, color);
    Fill(left, top, left + 1, bottom, color);
    Fill(right - 1, top, right, bottom, color);
  }
  void Box(int left, int top, int right, int bottom, gfx::Color fill) {
    Fill(left, top, right, bottom, fill);
    Frame(left, top, right, bottom, kOutline);
  }
  void Line(int x0, int y0, int x1, int y1, gfx::Color color, int thickness = 1) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    while (true) {
      Fill(x0, y0, x0 + thickness, y0 + thickness, color);
      if (x0 == x1 && y0 == y1) break;
      const int twice = 2 * error;
      if (twice >= dy) {
        error += dy;
        x0 += sx;
      }
      if (twice <= dx) {
        error += dx;
        y0 += sy;
      }
    }
  }
  void Disc(int cx, int cy, int radius, gfx::Color fill) {
    for (int y = -radius; y <= radius; ++y)
      for (int x = -radius; x <= radius; ++x) {
        const int d = x * x + y * y;
        if (d <= radius * radius)
          bitmap_.SetPixel(cx + x, cy + y, d >= (radius - 1) * (radius - 1) ? kOutline : fill);
      }
  }
  void Ring(int cx, int cy, int rx, int ry, gfx::Color color) {
    for (int y = -ry; y <= ry; ++y)
      for (int x = -rx; x <= rx; ++x) {
        const double d = static_cast<double>(x * x) / (rx * rx) + static_cast<double>(y * y) / (ry * ry);
        if (d <= 1.0 && d >= 0.85) bitmap_.SetPixel(cx + x, cy + y, color);
      }
  }

 private:
  gfx::Bitmap& bitmap_;
};

struct Point {
  int x;
  int y;
};

// A recorder body with its display and keys, and the lead cable hanging from its top edge to
// the electrode clips.
gfx::Bitmap DrawRecorder(gfx::Color body, bool card_slot, std::span<const gfx::Color> leads) {
  gfx::Bitmap bitmap(kPictureWidth, kPictureHeight, kPaper);
  PicturePainter p(bitmap);
  const int left = card_slot ? 40 : 55;
  const int right = card_slot ? 150 : 135;
  p.Box(left, 70, right, 190, body);
  p.Box(left + 12, 84, right - 12, 120, kDisplayGreen);
  // A trace on the display.
  const Point trace[] = {{left + 16, 106}, {left + 30, 106}, {left + 34, 92},
                         {left + 38, 114}, {left + 42, 106}, {right - 16, 106}};
  for (size_t i = 1; i < std::size(trace); ++i)
    p.Line(trace[i - 1].x, trace[i - 1].y, trace[i].x, trace[i].y, kOutline);
  const int keys_y = 140;
  for (int k = 0; k < 3; ++k) {
    const int x = left + 18 + k * (right - left - 36) / 2;
    p.Disc(x, keys_y, 7, kCaseGrey);
  }
  if (card_slot) p.Box(left + 20, 170, right - 20, 176, kOutline);
  // The cable from the connector up to a fan of electrode clips.
  const int connector = (left + right) / 2;
  p.Box(connector - 8, 60, connector + 8, 71, kOutline);
  const int count = static_cast<int>(leads.size());
  for (int i = 0; i < count; ++i) {
    const int x = 30 + i * (kPictureWidth - 60) / std::max(1, count - 1);
    p.Line(connector, 60, x, 28, kOutline);
    p.Disc(x, 22, 8, leads[static_cast<size_t>(i)]);
  }
  return bitmap;
}

// A chest outline with the electrodes where the cable set puts them.
gfx::Bitmap DrawPlacement(std::span<const Point> spots) {
  gfx::Bitmap bitmap(kPictureWidth, kPictureHeight, kPaper);
  PicturePainter p(bitmap);
  const int cx = kPictureWidth / 2;
  // Head, neck, shoulders and the chest down to the waist.
  p.Ring(cx, 30, 17, 20, kOutline);
  p.Line(cx - 8, 49, cx - 8, 60, kOutline);
  p.Line(cx + 8, 49, cx + 8, 60, kOutline);
  p.Line(cx - 8, 60, cx - 70, 72, kOutline, 2);
  p.Line(cx + 8, 60, cx + 70, 72, kOutline, 2);
  p.Line(cx - 70, 72, cx - 60, 195, kOutline, 2);
  p.Line(cx + 70, 72, cx + 60, 195, kOutline, 2);
  p.Line(cx - 60, 195, cx + 60, 195, kOutline, 2);
  for (int y = 74; y < 194; ++y) {
    const int half = 68 - (y - 74) * 8 / 120;
    p.Fill(cx - half + 2, y, cx + half - 1, y + 1, kSkin);
  }
  // The sternum.
  p.Line(cx, 70, cx, 150, gfx::Rgb(210, 180, 160));
  for (size_t i = 0; i < spots.size(); ++i)
    p.Disc(cx + spots[i].x, spots[i].y, 7, kLeadColours[i % kLeadColours.size()]);
  return bitmap;
}

std::shared_ptr<const gfx::Bitmap> MakePicture(int id) {
  static constexpr std::array<gfx::Color, 5> kFiveLeads = {kLeadColours[0], kLeadColours[1], kLeadColours[2],
                                                           kLeadColours[3], kLeadColours[4]};
  static constexpr Point kSevenSpots[] = {{-45, 85}, {45, 85},   {-10, 120}, {25, 130},
                                          {55, 140}, {-50, 175}, {50, 175}};
  static constexpr Point kFiveSpots[] = {{-40, 90}, {40, 90}, {0, 125}, {45, 145}, {-45, 175}};
  static constexpr Point kCardSpots[] = {{-50, 80}, {50, 80},   {-20, 110}, {20, 110},
                                         {0, 140},  {-45, 170}, {45, 170}};
  switch (id) {
    case kTwoChannelRecorder:
      return std::make_shared<const gfx::Bitmap>(DrawRecorder(kCaseGrey, false, kFiveLeads));
    case kTwoChannelPlacement:
      return std::make_shared<const gfx::Bitmap>(DrawPlacement(kSevenSpots));
    case kCardPlacement:
      return std::make_shared<const gfx::Bitmap>(DrawPlacement(kCardSpots));
    case kCardRecorder:
      return std::make_shared<const gfx::Bitmap>(DrawRecorder(kCaseBlue, true, kLeadColours));
    case kCardPlacementSet1:
      return std::make_shared<const gfx::Bitmap>(DrawPlacement(kFiveSpots));
    case kCardRecorderSet1:
      return std::make_shared<const gfx::Bitmap>(DrawRecorder(kCaseBlue, true, kFiveLeads));
    default:
      return nullptr;
  }
}

}  // namespace

void SetOnlineRecorder(OnlineRecorder recorder) { Recorder() = recorder; }

OnlineRecorder GetOnlineRecorder() { return Recorder(); }

RecorderPictureIds ChooseRecorderPictures(int channel_count, int recorder_type, int cable_set) {
  if (channel_count != 3) return {kTwoChannelRecorder, -1};
  if (recorder_type != kRecorderCardType) return {kTwoChannelRecorder, kTwoChannelPlacement};
  if (cable_set == 1) return {kCardRecorderSet1, kCardPlacementSet1};
  return {kCardRecorder, kCardPlacement};
}

std::shared_ptr<const gfx::Bitmap> LoadRecorderPicture(int id) {
  // Drawn once per run; the pictures never change.
  static std::map<int, std::shared_ptr<const gfx::Bitmap>> cache;
  if (auto found = cache.find(id); found != cache.end()) return found->second;
  std::shared_ptr<const gfx::Bitmap> picture = MakePicture(id);
  if (picture != nullptr) cache.emplace(id, picture);
  return picture;
}

std::unique_ptr<CAreaWnd> COnlinePanelWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<COnlinePanelWnd>(this, document);
}

COnlinePanelWnd::COnlinePanelWnd(CWindowAreaConfig* config, CZK470Doc* document)
    : CAreaWnd(config, document) {
  for (const uint32_t id : {areamsg::kOnlineButton1, areamsg::kOnlineButton2}) {
    AddCommand(static_cast<int>(id), [this, id] {
      if (GetConfig() != nullptr) GetConfig()->BroadcastAll(id, 0, 0);
    });
  }
}

std::unique_ptr<CViewArea> COnlinePanelAreaConfig::CreateArea(CZK470Doc* doc) {
  return std::make_unique<COnlinePanelArea>(this, doc);
}

COnlinePanelArea::COnlinePanelArea(CViewAreaConfig* config, CZK470Doc* document)
    : CViewArea(config, document) {
  const OnlineRecorder recorder = GetOnlineRecorder();
  const int cable_set = document != nullptr ? document->GetSettings().Int(SettingKey::kCableSet) : 0;
  const RecorderPictureIds ids =
      ChooseRecorderPictures(recorder.channel_count, recorder.recorder_type, cable_set);
  first_picture_ = LoadRecorderPicture(ids.first);
  if (ids.second >= 0) second_picture_ = LoadRecorderPicture(ids.second);
}

COnlinePanelArea::~COnlinePanelArea() {
  for (auto* button : {&first_button_, &second_button_}) {
    if (*button != nullptr && (*button)->IsWindow()) (*button)->DestroyWindow();
  }
  if (config_ != nullptr && HostWindow() == config_->GetParentWindow()) HostWindow() = nullptr;
}

win::Window* COnlinePanelArea::GetHostWindow() { return HostWindow(); }

void COnlinePanelArea::Attach(CBaseView* view) {
  CViewArea::Attach(view);
  win::Window* host = config_ != nullptr ? config_->GetParentWindow() : nullptr;
  HostWindow() = host;
  if (host == nullptr) return;
  const int picture_width = FirstPictureWidth();
  const int w = rect_.Width();
  const int h = rect_.Height();
  const int centre = (w - picture_width) / 2 + picture_width;
  const uint32_t style = win::kWsChild | win::kWsVisible | win::kWsBorder;
  first_button_ = std::make_unique<win::Button>();
  first_button_->CreateControl(host, {centre - 160, h / 2 - 20, centre - 20, h / 2 + 20},
                               static_cast<int>(areamsg::kOnlineButton1),
                               platform::LoadString(kFirstButtonText), style);
  second_button_ = std::make_unique<win::Button>();
  second_button_->CreateControl(host, {centre + 20, h / 2 - 20, centre + 160, h / 2 + 20},
                                static_cast<int>(areamsg::kOnlineButton2),
                                platform::LoadString(kSecondButtonText), style);
}

void COnlinePanelArea::OnLayout(int left, int top, int right, int bottom) {
  const int twice_picture = 2 * FirstPictureWidth();
  const int c = (right - twice_picture - left - kButtonWidth) / 2;
  const int d = (bottom - top - 2 * kButtonHeight) / 3;
  const int x = twice_picture + c;
  if (first_button_ != nullptr && first_button_->IsWindow())
    first_button_->MoveWindow({x, d, x + kButtonWidth, d + kButtonHeight});
  if (second_button_ != nullptr && second_button_->IsWindow())
    second_button_->MoveWindow({x, 2 * d + kButtonHeight, x + kButtonWidth, 2 * d + 2 * kButtonHeight});
}

void COnlinePanelArea::DrawPicture(gfx::Canvas& dc, const gfx::Bitmap& picture, int x) const {
  const int shown = picture.Height() - kPictureTopCut - kPictureBottomCut;
  if (shown <= 0) return;
  dc.DrawBitmap({x, 1, x + picture.Width(), 1 + shown}, picture,
                {0, kPictureTopCut, picture.Width(), kPictureTopCut + shown});
}

void COnlinePanelArea::Draw(gfx::Canvas& dc, const gfx::Rect& update) {
  CViewArea::Draw(dc, update);
  const gfx::Pen old_pen = dc.SelectPen(gfx::Pen{gfx::PenStyle::kSolid, 0, gfx::Rgb(0, 0, 0)});
  const int picture_width = FirstPictureWidth();
  if (first_picture_ != nullptr) DrawPicture(dc, *first_picture_, 0);
  if (second_picture_ != nullptr) DrawPicture(dc, *second_picture_, picture_width + 1);
  dc.MoveTo(rect_.left + picture_width, rect_.top - 1);
  dc.LineTo(rect_.left + picture_width, rect_.bottom + 1);
  dc.SelectPen(old_pen);
}

int COnlinePanelArea::OnMessage(uint32_t msg, win::WParam, win::LParam) {
  if (msg != areamsg::kOnlineButton1 && msg != areamsg::kOnlineButton2) return 0;
  if (document_ != nullptr) document_->UpdateAllViews(nullptr, static_cast<int>(msg));
  return 1;
}
