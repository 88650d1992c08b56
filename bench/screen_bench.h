#pragma once

#include <string_view>

class CBaseView;
class CZK470Doc;

namespace screenbench {

// What the screen benchmarks run on: a synthetic analysed recording of this length and channel
// count, opened in a document without user interface, and a view of the built-in screens (with
// the program's areas) at this size on the offscreen Qt host, showing start_layout first.
struct Setup {
  std::string_view name;
  int minutes = 24 * 60;
  int channels = 2;
  int width = 1920;
  int height = 1080;
  int start_layout = 5;
};

// Builds all of it, runs the registered benchmarks and takes it down again; the process exit code.
int Run(int argc, char** argv, const Setup& setup);

// While Run runs the benchmarks.
CBaseView& View();
CZK470Doc& Document();
// The whole view invalidated and painted.
void Paint();

}  // namespace screenbench
