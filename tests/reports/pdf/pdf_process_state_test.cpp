#include <gtest/gtest.h>

#include <string>

#include "platform/process_context.h"
#include "reports/pdf/pdf_document.h"

namespace {

// The writer's document, error handler and viewer are process-wide: a test that set them must
// not hand them to the next one.
TEST(PdfProcessState, ResetGivesAFreshDocumentAndTheProgramsOwnHandlers) {
  int reports = 0;
  int launches = 0;
  tvk_setErrorHandler([&](int, const std::string&, const std::string&) { ++reports; });
  tvk_setViewerLauncher([&](const std::string&) { return ++launches; });
  tvk_setOutputName("left over.pdf");

  platform::ResetProcessState();

  EXPECT_EQ(tvk_outputName(), "");
  using Handler = void (*)(int, const std::string&, const std::string&);
  const tvk_ErrorHandler handler = tvk_setErrorHandler(tvk_printError);
  ASSERT_NE(handler.target<Handler>(), nullptr);
  EXPECT_EQ(*handler.target<Handler>(), &tvk_printError);
  const tvk_ViewerLauncher launcher = tvk_setViewerLauncher([](const std::string&) { return 0; });
  EXPECT_NE(launcher.target<int (*)(const std::string&)>(), nullptr) << "the desktop viewer again";
  platform::ResetProcessState();
  EXPECT_EQ(reports, 0);
  EXPECT_EQ(launches, 0);
}

}  // namespace
