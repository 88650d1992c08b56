#pragma once

#include <filesystem>
#include <memory>

#include "document/context_guard.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/profile_store.h"
#include "support/test_files.h"

namespace viewstest {

// A synthetic recording of a few minutes, opened in a document without user
// interface, with the generator's true beats and events as the working lists (so that strips
// show beat colours and pacemaker marks). Its files live in a folder of the test's own.
class StripRecording {
 public:
  explicit StripRecording(int minutes = 2, int channels = 2);
  ~StripRecording();
  CZK470Doc& Doc() { return *doc_; }

 private:
  ContextGuard context_;
  testsupport::TempFolder folder_;
  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_{{2024, 1, 15, 9, 0, 0, 0}};
  std::unique_ptr<CZK470Doc> doc_;
};

}  // namespace viewstest
