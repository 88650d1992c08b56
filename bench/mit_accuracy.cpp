// Runs the built-in engine on the MIT-BIH records 100 and 800 and scores its beats against the
// reference labels the usual way (support/mit_scoring.h): 150 ms match window, the first 5 minutes
// not scored, ventricular calls on fusion and unclassifiable beats counted apart. Prints the
// figures per record. Usage: mit_accuracy [folder of the records]
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/engine/beat_engine.h"
#include "analysis/engine/engine_test_signal.h"
#include "support/mit_scoring.h"
#include "support/wfdb_converter.h"
#include "support/wfdb_record.h"

int main(int argc, char** argv) {
  const std::filesystem::path dir = argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::path(ZK_SHARED_DIR "/data/mitdb");
  int status = 0;
  for (const char* name : {"100", "800"}) {
    try {
      const testsupport::WfdbRecord record = testsupport::ReadWfdbRecord(dir / name);
      const auto annotations = testsupport::ReadWfdbAnnotations(dir / (std::string(name) + ".atr"));
      const testsupport::WfdbConversion conversion = testsupport::ConvertWfdbRecord(record, annotations);
      engine_test::Recording rec;
      rec.lead[0] = conversion.cmp_samples.at(0);
      rec.lead[1] = conversion.cmp_samples.size() > 1 ? conversion.cmp_samples[1] : conversion.cmp_samples[0];
      engine_test::MemorySource source(rec);
      engine_test::CollectingOutput output;
      BeatEngine engine;
      engine.BeatEngineInit(&source, &output);
      engine.BeatEngineRun();

      // Only the minutes the recording shows are analysed: references beyond them are not scored.
      const int32_t shown = static_cast<int32_t>(rec.lead[0].size());
      std::vector<testsupport::MitReference> references;
      for (const testsupport::MitReference& r : testsupport::MitReferencesFromAno(conversion.references))
        if (r.position < shown) references.push_back(r);
      std::vector<testsupport::MitDetection> detections;
      detections.reserve(output.beats.size());
      for (const EngineBeat& b : output.beats) detections.push_back({b.position, b.beat_class});
      const testsupport::MitScore score = testsupport::ScoreMitBeats(references, detections);
      std::printf("%s\n", testsupport::FormatMitScore(name, score).c_str());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "record %s: %s\n", name, e.what());
      status = 1;
    }
  }
  return status;
}
