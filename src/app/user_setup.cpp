#include "app/user_setup.h"

#include <ostream>
#include <string>

#include "document/settings_store.h"
#include "platform/installation.h"
#include "platform/io_error.h"
#include "platform/profile_store.h"

void PrepareUserFiles(platform::ProfileStore& profile, std::ostream& err) {
  const std::filesystem::path executable = platform::ExecutablePath();
  const std::optional<platform::ProgramShare> share =
      platform::FindProgramShare(executable, ZK_BUILD_SHARE_DIR);
  if (!share) {
    err << "zk470: the program's letter templates and logos are not beside it ("
        << (executable.parent_path() / ".." / "share" / "zk470").lexically_normal().string()
        << "); the start screen and the narrative letters may lack them.\n";
    return;
  }
  SettingsStore settings({}, ProfileAccess::kReadOnly);
  settings.LoadSettings(profile);
  const std::string main_folder = settings.Text(SettingKey::kDirMain);
  try {
    (void)platform::CopyMissingFiles(share->Files(), main_folder);
  } catch (const platform::IoError& error) {
    err << "zk470: the letter templates and logos cannot go into the main folder: " << error.what() << "\n";
  }
  const platform::DesktopRegistration registration =
      platform::RegisterForUser(*share, executable, platform::UserDesktop::FromEnvironment());
  if (!registration.problem.empty()) {
    err << "zk470: the recording file type is not fully registered with the desktop: " << registration.problem
        << "\n";
  }
}
