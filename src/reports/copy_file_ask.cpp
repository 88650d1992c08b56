#include "reports/copy_file_ask.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "win/prompt.h"
#include "win/window.h"

namespace {

namespace fs = std::filesystem;

std::string Formatted(const char* format, const std::string& name) {
  const int n = std::snprintf(nullptr, 0, format, name.c_str());
  std::string text(static_cast<size_t>(std::max(n, 0)), '\0');
  std::snprintf(text.data(), text.size() + 1, format, name.c_str());
  return text;
}

std::error_code CopyWithWaitCursor(const std::string& source, const std::string& target,
                                   fs::copy_options options) {
  win::Windows().BeginWaitCursor();
  std::error_code error;
  fs::copy_file(source, target, options, error);
  win::Windows().EndWaitCursor();
  return error;
}

}  // namespace

int CopyFileAsk(const std::string& source, const std::string& target) {
  const std::string caption = win::Windows().AppTitle();
  const auto write_error = [&] {
    win::CurrentPrompt().MessageBox(Formatted("Error while Writing File%s", target), caption,
                                    win::kMbOk | win::kMbIconExclamation);
    return 0;
  };
  std::error_code error = CopyWithWaitCursor(source, target, fs::copy_options::none);
  if (!error) return 1;
  // copy_file reports an existing target as file_exists only when the source itself is readable.
  if (error != std::errc::file_exists) return write_error();
  const int answer =
      win::CurrentPrompt().MessageBox(Formatted("File %s already exists !\n\nOverwrite ?", target), caption,
                                      win::kMbYesNoCancel | win::kMbIconQuestion);
  if (answer == win::kIdCancel) return 0;
  if (answer != win::kIdYes) return write_error();
  // An overwrite that fails is an error like any other, not a copied file; the copy goes beside the
  // target first so that a failure leaves the old file as it was.
  const std::string temp = target + ".part~";
  error = CopyWithWaitCursor(source, temp, fs::copy_options::overwrite_existing);
  if (!error) fs::rename(temp, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return write_error();
  }
  return 1;
}
