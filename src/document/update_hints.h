#pragma once

#include <array>
#include <cstdint>

#include "document/beat_class.h"

// The hint numbers that travel with the document's view updates: one table for the whole system.
// A view decides from the number what to reload or redraw.
namespace hint {
inline constexpr int kDisplayModeChanged = 0;
inline constexpr int kDisplayMode13 = 13;
inline constexpr int kDisplaySettings = 1000;
inline constexpr int kPositionMoved = 1002;
inline constexpr int kDocumentChanged = 1005;
inline constexpr int kCountsChanged = 1010;  // with TCountsHint
inline constexpr int kHeartRateAveraging = 1011;
inline constexpr int kNavigationRebuild = 1016;
inline constexpr int kPatientData = 1017;
inline constexpr int kArea1019 = 1019;
inline constexpr int kPrintEventStrips = 1021;
inline constexpr int kExtremeShown = 1025;
inline constexpr int kMouse1026 = 1026;  // with TMouseHint
inline constexpr int kMouse1027 = 1027;
inline constexpr int kMouse1028 = 1028;
inline constexpr int kEditsChanged = 1031;
inline constexpr int kArea1100 = 1100;
inline constexpr int kArea1101 = 1101;
inline constexpr int kBeatsEdited = 1110;
inline constexpr int kArea1111 = 1111;
inline constexpr int kEditsUndone = 1113;
inline constexpr int kArea1143 = 1143;
inline constexpr int kArea1144 = 1144;
inline constexpr int kSpanMoved = 2057;
inline constexpr int kPatientDataEdited = 3467;
inline constexpr int kHrv3468 = 3468;
inline constexpr int kArea20000 = 20000;
inline constexpr int kArea20003 = 20003;
inline constexpr int kTrend22222 = 22222;
inline constexpr int kTrend22224 = 22224;
inline constexpr int kPrintPreparation = 32939;
inline constexpr int kCaliperOff = 32957;
}  // namespace hint

// The object that may travel with a hint; views test its kind with dynamic_cast. Built by the
// sender on the stack and gone after the update.
class THintObject {
 public:
  virtual ~THintObject() = default;
};

// Hint 1010: which beat-class / event-kind counts changed, with the working lists' counters at the
// moment of the update. Indexed by code 0..39.
class TCountsHint : public THintObject {
 public:
  using Table = std::array<int32_t, kClassCount>;

  // The marks start cleared; the sender sets those it needs.
  TCountsHint(const Table& event_counters, const Table& beat_counters)
      : event_counters(event_counters), beat_counters(beat_counters) {}

  Table marks{};
  Table event_counters{};
  Table beat_counters{};
};

// Hints 1026 to 1028: a mouse event in an interactive area, in that area's pixels.
class TMouseHint : public THintObject {
 public:
  TMouseHint(uint32_t key_flags, int x, int y) : key_flags(key_flags), x(x), y(y) {}

  uint32_t key_flags = 0;
  int x = 0;
  int y = 0;
};

namespace document {

// A view of the document: it learns of every change only through OnUpdate. Views register with
// CZK470Doc::AddView and must be removed before they are destroyed. User-interface thread only.
class DocumentView {
 public:
  virtual ~DocumentView() = default;
  // sender: the view that caused the update (it is skipped), nullptr for the document's own hints.
  virtual void OnUpdate(DocumentView* sender, int hint, THintObject* object) = 0;
};

}  // namespace document
