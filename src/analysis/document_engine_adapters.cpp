#include "analysis/document_engine_adapters.h"

#include <algorithm>

#include "document/document_context.h"
#include "document/ecg_block.h"
#include "document/raw_ecg_data.h"
#include "document/zk470_doc.h"

namespace analysis {

void DocumentSampleSource::Reopen() { store_.Reopen(); }

int32_t DocumentSampleSource::GetWholeMinutes() const { return store_.GetWholeMinutes(); }

int DocumentSampleSource::GetAnalysedChannelCount() const {
  return std::clamp(document::Context().g_AnalysisChannels.count, 1, 2);
}

void DocumentSampleSource::GetAnalysisMinute(std::span<int16_t, beat_engine::kSamplesPerMinute> samples, int lead,
                                             int32_t minute, bool report_markers) {
  TECGBlock block;
  store_.GetAnalysisMinute(block, lead, minute, report_markers);
  std::copy(block.samples.begin(), block.samples.end(), samples.begin());
}

void DocumentEngineOutput::SetBeats(std::span<const EngineBeat> beats) {
  TQRSList& list = doc_.GetEngineQRSList();
  list.RemoveAll();
  for (const EngineBeat& beat : beats) list.Append(TQRSComplex(beat.position, beat.beat_class, kPriorNeverEdited));
}

void DocumentEngineOutput::SetTemplateList(TemplateFamily family, int template_class,
                                           std::span<const int32_t> beat_indices) {
  const int f = static_cast<int>(family);
  if (f < 0 || f >= CZK470Doc::kEngineFamilies || template_class < 0 || template_class >= CZK470Doc::kEngineClasses)
    return;
  TTemplateList& list = doc_.GetEngineTemplates(f)[static_cast<size_t>(template_class)];
  list.RemoveAll();
  for (const int32_t beat : beat_indices) list.Append(beat);
}

void DocumentEngineOutput::SetSpecialNormalClass(int32_t template_class) { doc_.SetSpecialNormalClass(template_class); }

}  // namespace analysis
