// Every test of this executable starts with the node registry as the process began and leaves
// it so: tests that register the program's classes must not turn the placeholders of the layout
// geometry tests into real windows with toolbars, whatever order the tests run in.
#include <gtest/gtest.h>

#include "layouts/layout_table.h"

namespace {

class RegistryIsolation : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo&) override { saved_ = layouts::GetNodeFactories(); }
  void OnTestEnd(const testing::TestInfo&) override { layouts::SetNodeFactories(std::move(saved_)); }

 private:
  layouts::NodeFactories saved_;
};

class Installer : public testing::Environment {
 public:
  void SetUp() override { testing::UnitTest::GetInstance()->listeners().Append(new RegistryIsolation); }
};

[[maybe_unused]] testing::Environment* const kInstaller = testing::AddGlobalTestEnvironment(new Installer);

}  // namespace
