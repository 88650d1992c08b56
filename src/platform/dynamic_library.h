#pragma once

#include <filesystem>
#include <string>

namespace platform {

// A shared library loaded with dlopen, closed when the object goes. Failures are values: Open
// returns false and Error() holds the loader's text; a missing symbol is nullptr. Not
// thread-safe; the loader's error text is per thread.
class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary();
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // A path, or a bare name that the loader searches for ("libVRA.so"). Closes a library that was
  // open before, also when the new one fails to load.
  [[nodiscard]] bool Open(const std::filesystem::path& file);
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }
  const std::filesystem::path& File() const { return file_; }

  // The address of an exported symbol, or nullptr (Error() says why).
  void* Symbol(const char* name);
  // The symbol as a function pointer of the caller's type, e.g. Function<int(int)>("VRAVersion").
  template <typename Signature>
  Signature* Function(const char* name) {
    return reinterpret_cast<Signature*>(Symbol(name));
  }

  const std::string& Error() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::filesystem::path file_;
  std::string error_;
};

}  // namespace platform
