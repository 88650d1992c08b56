#include "platform/process_context.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/resources.h"
#include "platform/worker.h"

namespace platform {
namespace {

std::vector<std::string>& Calls() {
  static std::vector<std::string> calls;
  return calls;
}

// Registered out of layer order, as static initialisers of different files may run.
[[maybe_unused]] const bool kRegistered = [] {
  RegisterProcessReset(ProcessLayer::kWin, [] { Calls().push_back("win 1"); });
  RegisterProcessReset(ProcessLayer::kCore, [] { Calls().push_back("core"); });
  RegisterProcessReset(ProcessLayer::kPlatform, [] { Calls().push_back("platform"); });
  RegisterProcessReset(ProcessLayer::kWin, [] { Calls().push_back("win 2"); });
  RegisterProcessReset(ProcessLayer::kDocument, [] { Calls().push_back("document"); });
  return true;
}();

TEST(ProcessContext, ResetsTopLayerFirstAndALayerInRegistrationOrder) {
  Calls().clear();
  ResetProcessState();
  const std::vector<std::string> want = {"core", "document", "win 1", "win 2", "platform"};
  EXPECT_EQ(Calls(), want);
  Calls().clear();
  ResetProcessState();
  EXPECT_EQ(Calls(), want) << "a second reset does all of it again";
}

TEST(ProcessContext, PlatformStateIsBackToAFreshStart) {
  ResourcePack pack("Test");
  const StringEntry strings[] = {{7, "seven"}};
  Resources().ExePack().AddStrings(strings);
  Resources().SetLanguagePack(&pack);
  Resources().UseExeResources();
  int routed = 0;
  UiThreadQueue().SetRouter([&](const PostedMessage&) { ++routed; });
  UiThreadQueue().Post({});
  ResetProcessState();
  EXPECT_EQ(Resources().LanguagePack(), nullptr);
  EXPECT_EQ(Resources().LoadString(7), "");
  EXPECT_FALSE(Resources().ExeResourcesChosen());
  EXPECT_EQ(UiThreadQueue().PumpPosted(), 0u) << "posted messages are dropped, not delivered";
  EXPECT_EQ(routed, 0);
}

}  // namespace
}  // namespace platform
