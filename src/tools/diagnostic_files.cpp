#include "tools/diagnostic_files.h"

#include <span>

#include "document/file_version.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "platform/atomic_file_writer.h"
#include "platform/io_error.h"
#include "tools/run_family.h"
#include "win/prompt.h"
#include "win/window.h"

namespace tools {
namespace {

// These texts are the same in every user-interface language.
constexpr const char* kNoFileOpen = "Keine Datei geöffnet";
constexpr const char* kFinished = "Finished";

void Say(const std::string& text) {
  (void)win::CurrentPrompt().MessageBox(text, win::Windows().AppTitle(), win::kMbOk);
}

// Whether the file was written; a list file that cannot be written is skipped silently.
bool WriteListFile(const std::string& path, const std::string& text) {
  try {
    platform::AtomicFileWriter file(path);
    file.Write(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    file.Commit();
    return true;
  } catch (const platform::IoError&) {
    return false;
  }
}

void SetVersion(int version) {
  if (const auto& set = GetToolServices().set_file_format_version) set(version);
}

// Puts the current version back however the save ends.
class OldFormatScope {
 public:
  OldFormatScope() { SetVersion(document::kOldFormatFileVersion); }
  ~OldFormatScope() { SetVersion(document::kCurrentFileVersion); }
  OldFormatScope(const OldFormatScope&) = delete;
  OldFormatScope& operator=(const OldFormatScope&) = delete;
};

}  // namespace

std::string SampleStoreListText(const CZK470Doc& doc) {
  const TRawECGData& store = *doc.GetRawECGData();
  std::string text;
  text += "mDoc->mECGData->mStartTime:" + std::to_string(store.GetStartTime()) + "\n";
  text += "mDoc->mECGData->mEndTime:" + std::to_string(store.GetEndTime()) + "\n";
  text += "mDoc->mECGData->mSampleRate:" + std::to_string(static_cast<int>(store.GetSampleRate())) + "\n";
  text += "mDoc->mECGData->mWholeMinutes:" + std::to_string(store.GetWholeMinutes()) + "\n";
  return text;
}

void DumpDocument(CZK470Doc& doc) {
  const std::string& path = doc.GetDocumentPath();
  const std::string& sample_file = doc.GetRawECGData()->GetFileName();
  // A document without a sample file (none open, or a PDF) has nothing to list.
  if (path.empty() || sample_file.empty()) {
    Say(kNoFileOpen);
    return;
  }
  (void)WriteListFile(path + ".lst", {});
  if (WriteListFile(sample_file + ".lst", SampleStoreListText(doc))) Say(kFinished);
}

void SaveOldFormat(CZK470Doc& doc) {
  if (doc.GetDocumentPath().empty()) {
    Say(kNoFileOpen);
    return;
  }
  if (doc.GetChannelCount() != 2) {
    Say("Channel != 2");
    return;
  }
  bool saved = false;
  {
    const OldFormatScope old_format;
    saved = doc.DoFileSave();
  }
  // A failed save has shown the document's own message.
  if (saved) Say(kFinished);
}

}  // namespace tools
