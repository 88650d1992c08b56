#pragma once

#include <cstdint>
#include <span>

#include "analysis/engine/beat_engine_output.h"
#include "analysis/engine/beat_sample_source.h"

class CZK470Doc;
class TRawECGData;

namespace analysis {

// The built-in engine's sample source over the document's sample store: the analysed leads of
// g_AnalysisChannels, minute by minute. Used on the engine's worker thread while the
// user-interface thread waits in the progress dialog.
class DocumentSampleSource : public BeatSampleSource {
 public:
  explicit DocumentSampleSource(TRawECGData& store) : store_(store) {}

  void Reopen() override;
  int32_t GetWholeMinutes() const override;
  int GetAnalysedChannelCount() const override;
  void GetAnalysisMinute(std::span<int16_t, beat_engine::kSamplesPerMinute> samples, int lead, int32_t minute,
                         bool report_markers) override;

 private:
  TRawECGData& store_;
};

// Where a finished run of the built-in engine goes: the document's engine beat list, its working
// template lists and its special normal class index (all empty between runs).
class DocumentEngineOutput : public BeatEngineOutput {
 public:
  explicit DocumentEngineOutput(CZK470Doc& doc) : doc_(doc) {}

  void SetBeats(std::span<const EngineBeat> beats) override;
  void SetTemplateList(TemplateFamily family, int template_class, std::span<const int32_t> beat_indices) override;
  void SetSpecialNormalClass(int32_t template_class) override;

 private:
  CZK470Doc& doc_;
};

}  // namespace analysis
