#pragma once

#include <cstdint>

// Beat classes and event kinds share one code space 0..39; every beat and event list keeps one
// counter per code, and a code is stored as one unsigned byte.
inline constexpr int kClassCount = 40;

enum BeatClass : uint8_t {
  kClassPaceMaker = 0,      // event: pacemaker spike
  kClassNormal = 1,         // beat
  kClassATypical = 2,       // beat
  kClassMarker = 3,         // event: patient marker
  kClassLeadOff = 4,        // event: lead-off episode of one channel
  kClassArtefact = 5,       // beat
  kClassPause = 6,          // event
  kClassBradycardia = 7,    // event
  kClassTachycardia = 8,    // event
  kClassSVES = 9,           // beat
  kClassSVCouplet = 10,     // event
  kClassSVTriplet = 11,     // event
  kClassSVTachycardia = 12, // event
  kClassSVBigeminy = 13,    // event
  kClassSVTrigeminy = 14,   // event
  kClassVES = 15,           // beat
  kClassVCouplet = 16,      // event
  kClassVTriplet = 17,      // event
  kClassVTachycardia = 18,  // event
  kClassVBigeminy = 19,     // event
  kClassVTrigeminy = 20,    // event
  kClassUser = 21,          // event set by the user
  kClassUndefined = 22,     // beat
  kClassRonT = 23,          // event
  kClassArrhythmia = 24,    // event: absolute arrhythmia
  kClassSTEpisode1 = 25,    // event: ST episode of recorder channel 0 (kind 25 + channel)
  kClassSTEpisode2 = 26,
  kClassSTEpisode3 = 27,
  kClassZeroSet = 28,       // name and colour only
  kClassPacedBeat = 29,     // beat: paced
  kClassAtrialFibrillation = 30,  // event
  kClassAtrialFlutter = 31,       // event
  kClassRecorderMinute = 32,      // event: recorder segment of one minute per marker
  kClassBattOff = 34,             // event: recorder segment of 30 seconds per marker
  kClassExternalType5 = 35,       // beat: the external library's beat type 5
  kClassDebugS = 38,              // name and colour only
};

// The prior-class byte of a beat or event: '!' never edited by hand, ' ' inserted by hand, else the
// class (0..39) before the first change by hand.
inline constexpr uint8_t kPriorNeverEdited = '!';
inline constexpr uint8_t kPriorInserted = ' ';

// The code's name, which is also its key in the profile section "Colors"; nullptr for the codes
// without a name (32, 33, 35, 36, 37, 39).
const char* BeatClassName(int code);

inline bool IsValidClassCode(int code) { return code >= 0 && code < kClassCount; }
