#include "day_recording.h"

#include "layouts/default_layouts.h"
#include "support/test_files.h"
#include "support/test_recordings.h"

namespace trendtest {

const std::filesystem::path& DayRecordingPath() {
  static const testsupport::TempFolder folder("day_recording");
  static const std::filesystem::path qrs =
      coretest::MakeAnalysedRecording(folder.Path() / "00001", 24 * 60, 2);
  return qrs;
}

int PixelsOfColour(const QImage& image, const QRect& rect, gfx::Color colour) {
  const QColor want(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                    static_cast<int>((colour >> 16) & 0xFF));
  int n = 0;
  const QRect inside = rect.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y)
    for (int x = inside.left(); x <= inside.right(); ++x) n += image.pixelColor(x, y) == want ? 1 : 0;
  return n;
}

void DayScreenTest::SetUp() {
  win::Windows().Reset();
  host_ = std::make_unique<qthost::testing_support::ScreenHost>();
  win::Windows().SetClock(&clock_);
  platform::Resources().ExePack().AddStrings(document::DocumentStrings());
  AddViewResources(platform::Resources().ExePack());
  AddTrendResources(platform::Resources().ExePack());
  platform::Resources().ExePack().AddStrings(kSharedScaleStrings);
  SetTimeAxisLocale(&locale_);
  RegisterScreenFactories();
  RegisterTrendFactories();
  doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
  ASSERT_TRUE(doc_->OnOpenDocument(DayRecordingPath().string()));
  doc_->SetSpanLength(doc_->GetRecordingMinutes());
  doc_->SetSpanStartMs(0);
  doc_->SetSpanEndMs(doc_->GetRecordingMinutes() * 60000);
  doc_->SetCurrentPosition(10 * 3600 * 1000);
}

void DayScreenTest::TearDown() {
  Close();
  doc_.reset();
  SetTimeAxisLocale(nullptr);
  win::Windows().SetClock(nullptr);
  host_.reset();
  platform::Resources().Reset();
}

QImage DayScreenTest::Show(int layout, int width, int height) {
  Close();
  if (!CreateDefaultLayouts()) return {};
  view_ = std::make_unique<LayoutView>(doc_.get(), layout);
  if (!view_->Create(nullptr, {0, 0, width, height}, win::kWsVisible)) return {};
  win::Windows().RunPending();
  return host_->Render(*view_);
}

void DayScreenTest::Save(const std::string& name) { host_->SaveScreen(*view_, name); }

void DayScreenTest::Close() {
  if (view_) view_->DestroyWindow();
  view_.reset();
  DeleteDefaultLayouts();
}

}  // namespace trendtest
