#include "qt/qt_test_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QtGlobal>
#include <cassert>

namespace qthost::testing_support {
namespace {

QApplication* g_app = nullptr;

class QtEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "qt_test";
    static char* argv[] = {name, nullptr};
    g_app = new QApplication(argc, argv);
  }
  void TearDown() override {
    delete g_app;
    g_app = nullptr;
  }
};

[[maybe_unused]] testing::Environment* const kEnvironment =
    testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

QApplication& TestApp() {
  assert(g_app != nullptr);
  return *g_app;
}

}  // namespace qthost::testing_support
