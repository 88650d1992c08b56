#include "views/strip_recording.h"

#include <sstream>
#include <stdexcept>
#include <string>

#include "document/event_list.h"
#include "document/qrs_list.h"
#include "support/recording_setup.h"
#include "support/test_recordings.h"
#include "support/testdata_cli.h"
#include "support/truth_list.h"

namespace viewstest {

StripRecording::StripRecording(int minutes, int channels) : folder_("strip") {
  const std::filesystem::path base = folder_.Path() / "00001";
  std::ostringstream out;
  std::ostringstream err;
  const int code =
      testsupport::RunTestdataCli({"synth", "--minutes", std::to_string(minutes), "--channels",
                                   std::to_string(channels), "--seed", "7", "--ves", "0.08", base.string()},
                                  out, err);
  if (code != 0) throw std::runtime_error("synth failed: " + err.str());
  const std::filesystem::path qrs = coretest::WriteRecordingFile(base);
  doc_ = std::make_unique<CZK470Doc>(CZK470Doc::NoUserInterface{}, profile_, clock_);
  if (!doc_->OnOpenDocument(qrs.string())) throw std::runtime_error("the recording did not open");

  const testsupport::RecordingSetup setup = testsupport::ReadRecordingSetup(testsupport::SetupPathFor(base));
  const testsupport::TruthList truth = testsupport::ReadTruthList(folder_.Path() / setup.truth_file);
  for (const testsupport::TruthBeat& beat : truth.beats)
    doc_->GetQRSList().Append(TQRSComplex(beat.position, beat.beat_class, '!'));
  for (const testsupport::TruthEvent& event : truth.events)
    doc_->GetEventList().Append(TEvent(event.start, event.end, event.kind));
}

StripRecording::~StripRecording() = default;

}  // namespace viewstest
