#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/document_context.h"
#include "document/profile_keys.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"
#include "platform/clock.h"
#include "platform/process_context.h"
#include "platform/profile_store.h"
#include "win/prompt.h"

namespace analysis_test {

// Beat classes by letter: N normal, V VES, S SVES, A artefact, P paced, U undefined.
inline uint8_t ClassOfLetter(char c) {
  switch (c) {
    case 'V': return kClassVES;
    case 'S': return kClassSVES;
    case 'A': return kClassArtefact;
    case 'P': return kClassPacedBeat;
    case 'U': return kClassUndefined;
    default: return kClassNormal;
  }
}

// One event as the tests compare it.
struct Ev {
  int kind;
  int32_t start;
  int32_t end;
  bool operator==(const Ev&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Ev& e) {
  return out << "{kind " << e.kind << ", " << e.start << ".." << e.end << "}";
}

// A headless document on a memory profile and a manual clock, with a scripted prompt and the
// process-wide channel sets of a fresh process (analysed channels 0 and 1).
class AnalysisDocTest : public ::testing::Test {
 protected:
  AnalysisDocTest() : clock_(platform::LocalDateTime{2024, 3, 5, 10, 0, 0, 0}), prompt_guard_(prompt_) {
    platform::ResetProcessState();
    win::SetPrompt(&prompt_);
    const int32_t channels[] = {0, 1};
    document::Context().g_AnalysisChannels.Assign(channels);
    document::Context().g_RecordingChannels.Assign(channels);
    doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
  }
  ~AnalysisDocTest() override {
    doc_.reset();
    platform::ResetProcessState();
  }

  CZK470Doc& Doc() { return *doc_; }
  TQRSList& Beats() { return doc_->GetQRSList(); }
  TEventList& Events() { return doc_->GetEventList(); }
  SettingsStore& Settings() { return doc_->GetSettings(); }

  // Beats by letters, each rr samples after the one before, the first at `first`.
  void SetBeats(std::string_view classes, int32_t rr, int32_t first = 1000) {
    std::vector<int32_t> rrs(classes.size(), rr);
    SetBeats(classes, rrs, first);
  }
  // Beats by letters; rr[i] is the interval into beat i (rr[0] is ignored).
  void SetBeats(std::string_view classes, const std::vector<int32_t>& rr, int32_t first = 1000) {
    Beats().RemoveAll();
    int32_t position = first;
    for (size_t i = 0; i < classes.size(); ++i) {
      if (i > 0) position += rr[i];
      Beats().Append(TQRSComplex(position, ClassOfLetter(classes[i])));
    }
  }
  std::string ClassLetters() const {
    std::string out;
    for (const TQRSComplex& b : doc_->GetQRSList().Elements()) {
      switch (b.GetClass()) {
        case kClassVES: out += 'V'; break;
        case kClassSVES: out += 'S'; break;
        case kClassArtefact: out += 'A'; break;
        case kClassPacedBeat: out += 'P'; break;
        case kClassNormal: out += 'N'; break;
        default: out += '?'; break;
      }
    }
    return out;
  }
  int32_t Pos(int beat) const { return doc_->GetQRSList().ElementAt(beat)->GetPosition(); }

  std::vector<Ev> EventsOf(std::initializer_list<int> kinds) const {
    std::vector<Ev> out;
    for (const TEvent& e : doc_->GetEventList().Elements())
      for (int k : kinds)
        if (e.GetClass() == k) out.push_back({k, e.GetPosition(), e.GetEnd()});
    return out;
  }
  bool EventsInStartOrder() const {
    const auto events = doc_->GetEventList().Elements();
    for (size_t i = 1; i < events.size(); ++i)
      if (events[i].GetPosition() < events[i - 1].GetPosition()) return false;
    return true;
  }
  void SetRecordingMinutes(int minutes) { doc_->GetRawECGData()->SetWholeMinutes(minutes); }

  platform::MemoryProfileStore profile_;
  platform::ManualClock clock_;
  win::ScriptedPrompt prompt_;
  win::ScopedPrompt prompt_guard_;
  std::unique_ptr<CZK470Doc> doc_;
};

}  // namespace analysis_test
