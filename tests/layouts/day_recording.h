#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <memory>
#include <string>

#include "document/context_guard.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "qt/screen_host.h"
#include "trend_screen_fixture.h"

namespace trendtest {

// A synthetic analysed recording of 24 hours and two channels with ventricular and
// supraventricular beats, made once per process in a folder of its own that goes at exit; the
// ".QRS" path.
const std::filesystem::path& DayRecordingPath();

// How many pixels of the image inside rect have the display colour (COLORREF 0x00BBGGRR).
int PixelsOfColour(const QImage& image, const QRect& rect, gfx::Color colour);

// Built-in screens on the real Qt host, offscreen, over the 24-hour recording, with the program's
// classes and the trend group and bar graphs registered.
class DayScreenTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Shows the layout in a top-level view of that size and renders it; the view stays until Close.
  QImage Show(int layout, int width, int height);
  void Save(const std::string& name);
  void Close();
  CViewAreaConfig* Root() { return view_->GetSelector()->GetCurrent(); }
  CZK470Doc& Doc() { return *doc_; }

  ContextGuard context_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  platform::MemoryProfileStore profile_;
  std::unique_ptr<qthost::testing_support::ScreenHost> host_;
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<LayoutView> view_;
};

}  // namespace trendtest
