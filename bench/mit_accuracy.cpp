// Runs the built-in engine on the MIT-BIH records 100 and 800 and compares its beats with the
// reference annotations beat by beat, the standard way: 150 ms match window, the first 5 minutes
// not scored, only beat annotations counted ('|' artefacts are not beats). Prints the figures per
// record. Usage: mit_accuracy [folder of the records]
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "analysis/engine/beat_engine.h"
#include "analysis/engine/engine_test_signal.h"
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
      for (const testsupport::TruthBeat& b : conversion.truth.beats)
        if (b.beat_class != testsupport::kClassArtefact)
          rec.truth.push_back({b.position, b.beat_class == testsupport::kClassVes});
      engine_test::MemorySource source(rec);
      engine_test::CollectingOutput output;
      BeatEngine engine;
      engine.BeatEngineInit(&source, &output);
      engine.BeatEngineRun();
      const engine_test::Score s = engine_test::Compare(rec.truth, output.beats, beat_engine::MsToSamples(150),
                                                        5 * engine_test::kMinute);
      std::printf("record %s: reference beats %d, detected beats %d, QRS Se %.2f %%, +P %.2f %%; "
                  "ventricular beats %d, Se %.2f %%, +P %.2f %% (%d classed ventricular)\n",
                  name, s.reference, s.detected, s.Sensitivity(), s.PositivePredictivity(), s.ventricular_reference,
                  s.VentricularSensitivity(), s.VentricularPredictivity(), s.ventricular_positive);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "record %s: %s\n", name, e.what());
      status = 1;
    }
  }
  return status;
}
