#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <utility>

namespace platform {
namespace {

std::string LoaderError(const std::string& fallback) {
  const char* text = ::dlerror();
  return text ? text : fallback;
}

}  // namespace

DynamicLibrary::~DynamicLibrary() { Close(); }

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      file_(std::move(other.file_)),
      error_(std::move(other.error_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, nullptr);
    file_ = std::move(other.file_);
    error_ = std::move(other.error_);
  }
  return *this;
}

bool DynamicLibrary::Open(const std::filesystem::path& file) {
  Close();
  error_.clear();
  file_ = file;
  if (file.empty()) {
    // dlopen of no name hands back the program itself, which is never what a caller means.
    error_ = "no library name given";
    return false;
  }
  ::dlerror();
  handle_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    error_ = LoaderError(file.string() + ": cannot be loaded");
    return false;
  }
  return true;
}

void DynamicLibrary::Close() {
  if (handle_) ::dlclose(handle_);
  handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const char* name) {
  if (!handle_) {
    error_ = std::string(name) + ": no library is open";
    return nullptr;
  }
  ::dlerror();
  void* address = ::dlsym(handle_, name);
  // A symbol may legitimately be null; only the loader's error text tells a missing one apart.
  if (const char* text = ::dlerror()) {
    error_ = text;
    return nullptr;
  }
  if (!address) error_ = file_.string() + ": " + name + " is null";
  return address;
}

}  // namespace platform
