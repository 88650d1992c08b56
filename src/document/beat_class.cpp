#include "document/beat_class.h"

namespace {

constexpr const char* kNames[kClassCount] = {
    "PaceMaker", "Normal", "ATypical", "Marker", "LeadOff", "Artefakt", "Pause", "Bradycardia",
    "Tachycardia", "SVES", "SVCouplet", "SVTriplet", "SVTachycardia", "SVBigeminy", "SVTrigeminy", "VES",
    "VCouplet", "VTriplet", "VTachycardia", "VBigeminy", "VTrigeminy", "User", "Undefined", "RonT",
    "Arrhythmia", "ST Episode 1", "ST Episode 2", "ST Episode 3", "ZeroSet", "PacedBeats",
    "Atrial Fibrillation", "Atrial Flutter", nullptr, nullptr, "BattOff", nullptr, nullptr, nullptr,
    "DebugS", nullptr,
};

}  // namespace

const char* BeatClassName(int code) { return IsValidClassCode(code) ? kNames[code] : nullptr; }
