#include "core/view_services.h"

#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/process_context.h"

namespace {

ViewServices& Services() {
  static ViewServices services;
  return services;
}

std::optional<bool>& MailProgramFound() {
  static std::optional<bool> found;
  return found;
}

bool FindOnPath(std::string_view program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::string_view rest = path;
  while (true) {
    const size_t colon = rest.find(':');
    std::string folder(rest.substr(0, colon));
    // An empty entry is the working folder, as the shell reads it.
    if (folder.empty()) folder = ".";
    const std::string candidate = folder + "/" + std::string(program);
    if (::access(candidate.c_str(), X_OK) == 0) return true;
    if (colon == std::string_view::npos) return false;
    rest.remove_prefix(colon + 1);
  }
}

[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kCore, [] {
      Services() = {};
      MailProgramFound().reset();
    });

}  // namespace

void InstallViewServices(ViewServices services) { Services() = std::move(services); }

const ViewServices& GetViewServices() { return Services(); }

bool IsMailProgramAvailable() {
  std::optional<bool>& found = MailProgramFound();
  if (!found) found = FindOnPath("xdg-email");
  return *found;
}
