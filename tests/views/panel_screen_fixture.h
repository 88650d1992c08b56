#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"
#include "views/base_view.h"
#include "views/layout_tree.h"
#include "win/window.h"

namespace paneltest {

// A headless view showing one layout that the test builds: a root and the nodes it adds.
class OneLayoutView : public CBaseView {
 public:
  OneLayoutView(CZK470Doc* document, CViewConfigurations* list) : CBaseView(document), list_(list) {}
  CViewConfigurations* GetConfigurations() override { return list_; }

 private:
  CViewConfigurations* list_;
};

// An empty document without user interface and a view of width x height over one layout.
class ScreenFixture : public testing::Test {
 protected:
  void SetUp() override {
    platform::ResetProcessState();
    win::Windows().SetClock(&clock_);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
  }

  void TearDown() override {
    CloseView();
    doc_.reset();
    win::Windows().SetClock(nullptr);
    platform::ResetProcessState();
  }

  // build adds the layout's nodes to the root.
  void ShowLayout(const std::function<void(CViewConfiguration&)>& build, int width, int height) {
    CloseView();
    list_ = std::make_unique<CViewConfigurations>();
    auto root = std::make_unique<CViewConfiguration>(1, 1, 1);
    build(*root);
    list_->Add(std::move(root));
    view_ = std::make_unique<OneLayoutView>(doc_.get(), list_.get());
    ASSERT_TRUE(view_->Create(nullptr, {0, 0, width, height}, win::kWsVisible));
    win::Windows().RunPending();
  }

  void CloseView() {
    if (view_ != nullptr) view_->DestroyWindow();
    view_.reset();
    list_.reset();
  }

  // The hosted window of the root's first child.
  template <typename Window>
  Window* Hosted() const {
    CViewAreaConfig* node = list_->GetAt(0)->GetChild(0);
    if (node == nullptr || node->GetArea() == nullptr) return nullptr;
    return dynamic_cast<Window*>(node->GetArea()->GetWindow());
  }

  static CPosition TopLeft() { return {}; }

  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  std::unique_ptr<CZK470Doc> doc_;
  std::unique_ptr<CViewConfigurations> list_;
  std::unique_ptr<OneLayoutView> view_;
};

// A 24-bit BMP file of width x height, every pixel colour (0x00BBGGRR).
inline std::vector<uint8_t> SolidBmp(int width, int height, uint32_t colour) {
  const int row = (width * 3 + 3) / 4 * 4;
  const uint32_t pixels = static_cast<uint32_t>(row * height);
  std::vector<uint8_t> bytes;
  const auto put = [&bytes](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  bytes.push_back('B');
  bytes.push_back('M');
  put(54 + pixels, 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(static_cast<uint32_t>(width), 4);
  put(static_cast<uint32_t>(height), 4);
  put(1, 2);
  put(24, 2);
  put(0, 4);
  put(pixels, 4);
  for (int i = 0; i < 4; ++i) put(0, 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bytes.push_back(static_cast<uint8_t>(colour >> 16));
      bytes.push_back(static_cast<uint8_t>(colour >> 8));
      bytes.push_back(static_cast<uint8_t>(colour));
    }
    for (int pad = width * 3; pad < row; ++pad) bytes.push_back(0);
  }
  return bytes;
}

}  // namespace paneltest
