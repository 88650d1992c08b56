// The main of every test program: a modal loop that gives up fails the running test, so that a
// test that left a dialog undriven cannot pass on the loop's time-out.
#include <gtest/gtest.h>

#include "win/window.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  win::Windows().SetStallHandler([](int stall_ms) {
    ADD_FAILURE() << "modal loop: nothing happened for " << stall_ms << " ms; giving up";
  });
  return RUN_ALL_TESTS();
}
