#pragma once

class QApplication;

namespace qthost::testing_support {

// The one QApplication of the Qt test program: made before the first test and deleted after the
// last, on the offscreen platform unless QT_QPA_PLATFORM names another. Every test of this
// program may use Qt widgets without making an application of its own.
QApplication& TestApp();

}  // namespace qthost::testing_support
