// Leaks one allocation on purpose and ends, for the leak checker of the sanitizer builds to judge:
// "library" leaks memory that the font configuration library allocates, "own" memory this program
// allocates itself. Exit code 77: the library is not installed.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

__attribute__((noinline)) bool LeakThroughLibrary() {
  void* library = ::dlopen("libfontconfig.so.1", RTLD_NOW);
  if (library == nullptr) return false;
  using CreatePattern = void* (*)();
  auto create = reinterpret_cast<CreatePattern>(::dlsym(library, "FcPatternCreate"));
  if (create == nullptr) return false;
  // Dropped at once: nothing of ours keeps the library's memory reachable.
  void* volatile pattern = create();
  return pattern != nullptr;
}

__attribute__((noinline)) void LeakOwn() {
  void* volatile block = std::malloc(64);
  std::memset(block, 1, 64);
  block = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (mode == "own") {
    LeakOwn();
    return 0;
  }
  if (mode == "library") return LeakThroughLibrary() ? 0 : 77;
  std::fputs("usage: zk470-leak-probe library|own\n", stderr);
  return 2;
}
