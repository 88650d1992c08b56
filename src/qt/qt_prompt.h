#pragma once

#include <QString>

#include <string_view>

#include "win/prompt.h"

namespace qthost {

// The prompt of the real screen: message boxes, file, folder and colour choosers as Qt dialogs,
// run modally over the active window. User-interface thread only.
class QtPrompt : public win::Prompt {
 public:
  int MessageBox(std::string_view text, std::string_view caption, unsigned style) override;
  std::optional<std::string> ChooseFile(const win::FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(std::string_view title, std::string_view initial) override;
  std::optional<uint32_t> ChooseColor(uint32_t initial) override;
  std::optional<std::vector<std::string>> ChooseFiles(const win::FileDialogRequest& request) override;
  bool OpenExternal(std::string_view target) override;
};

// A filter of the program's form ("Recordings (*.QRS)|*.QRS|All files (*.*)|*.*||") as Qt's name
// filters ("Recordings (*.QRS *.qrs);;All files (*)"): the patterns of each entry in both cases,
// since the recordings' names may be in either, and "*.*" as "*".
QString QtFileFilter(std::string_view filter);

}  // namespace qthost
