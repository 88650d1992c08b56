#pragma once

#include <cstdint>
#include <span>

// One beat as the built-in engine writes it: sample position (125 per second from the start of
// the recording) and beat class code (1 normal, 2 atypical, 5 artefact, 15 ventricular,
// 22 undefined). The prior class of every engine beat is '!' (never edited by hand).
struct EngineBeat {
  int32_t position = 0;
  uint8_t beat_class = 0;

  bool operator==(const EngineBeat&) const = default;
};

// The template families the engine fills; the values are the family indices of the document's
// working template lists (normal, VES, SVES, artefact), the SVES family being left alone.
enum class TemplateFamily : int { kNormal = 0, kVentricular = 1, kArtefact = 3 };

// Where a finished run delivers its result: the engine beat list, the working template lists
// (beat indices into that beat list) and the special normal class index. The document implements
// it over its engine beat list, its working template lists and its special index.
//
// Called on the engine's worker thread, once per finished run, after the consolidation and before
// the end is posted; never for a cancelled or failed run. Between runs the document's lists are
// empty, so every call may simply fill.
class BeatEngineOutput {
 public:
  static constexpr int kClassesPerFamily = 1000;

  virtual ~BeatEngineOutput() = default;

  // The beats in ascending position.
  virtual void SetBeats(std::span<const EngineBeat> beats) = 0;
  // Called for every class 0..999 of each of the three families, empty ones included.
  virtual void SetTemplateList(TemplateFamily family, int template_class,
                               std::span<const int32_t> beat_indices) = 0;
  // -1 when no normal class collects noisy and surplus normal beats.
  virtual void SetSpecialNormalClass(int32_t template_class) = 0;
};
