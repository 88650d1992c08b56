#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "layouts/template_review_fixture.h"
#include "support/screen_golden.h"

namespace templatetest {
namespace {

// The 16- and 24-class screens over the synthetic recording with normal, VES and SVES classes,
// the second class the cursor row.
TEST_F(TemplateReviewTest, TemplateScreensEqualTheirGoldenDisplayLists) {
  SetAnalysedClasses();
  struct Case {
    int layout;
    const char* golden;
  };
  for (const Case c : {Case{8, "template_classes_16"}, Case{10, "template_classes_24"}}) {
    SCOPED_TRACE(c.golden);
    Doc().GetSettings().SetInt(SettingKey::kTemplatesView, c.layout == 10 ? 1 : 0);
    Doc().SetTemplateCursorRow(1);
    Show(c.layout);
    Classes().RedrawWindow();
    win::Windows().RunPending();
    const std::vector<std::string> lines = testsupport::RecordedScreen(Classes());
    EXPECT_GT(
        std::count_if(lines.begin(), lines.end(),
                      [](const std::string& line) { return line.find("PolylineTo") != std::string::npos; }),
        4);
    testsupport::ExpectScreenGolden("layouts", c.golden, lines);
  }
}

}  // namespace
}  // namespace templatetest
