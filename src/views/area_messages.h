#pragma once

#include <cstdint>

// The numbers that travel down a layout tree as area messages (CViewAreaConfig::Dispatch and the
// broadcasts), shared by the windows that send them and the areas that answer. "Send" stops at
// the first area that returns nonzero, "tell" reaches every area. A query writes its answer
// through the pointer in lparam; when nobody answers, the value stays as the sender set it.
// Commands that hosted windows pass down to their areas travel under their own command number
// (namespace cmd) and are not repeated here. Numbers not listed are private to one window and its
// areas.
namespace areamsg {

// Send from the root; lparam: CViewArea**, which the pixel-grid area sets to itself.
inline constexpr uint32_t kFindPixelGrid = 1;

// Mouse input of a hosted window: wparam the key flags, lparam a gfx::Point* in the hosted
// window's client coordinates (not packed into lparam). Clicks are told, moves usually sent.
inline constexpr uint32_t kMouseMove = 512;
inline constexpr uint32_t kLeftButtonDown = 513;
inline constexpr uint32_t kLeftButtonUp = 514;
inline constexpr uint32_t kRightButtonDown = 516;
inline constexpr uint32_t kRightButtonUp = 517;

// Tell: the ECG page's row geometry changed, recompute the row times.
inline constexpr uint32_t kRowGeometryChanged = 1001;
// Tell from the root: repaint the ECG page without rebuilding it.
inline constexpr uint32_t kRepaintPage = 1003;
// Send from the root; lparam: double*, the main strip's length in ms.
inline constexpr uint32_t kStripLengthMs = 1004;
// Send; lparam: int* (nonzero on entry), whether the page may go one row back / forward.
inline constexpr uint32_t kCanRowBack = 1007;
inline constexpr uint32_t kCanRowForward = 1008;
// Send; wparam: key flags, or the event-label command when event labels count too; lparam: the
// hit record (point, kind, position, index). Outside the strip the position is -1.
inline constexpr uint32_t kBeatAtPoint = 1009;
// The current position moved by paging (tell from the root; the navigation window sends).
inline constexpr uint32_t kPositionPaged = 1013;
// Send from the root: the current position was taken from the strip cursor; the first taker only.
inline constexpr uint32_t kPositionFromCursor = 1014;
// Tell from the root; lparam: int[2] (bottom, top), or int[4] from the heart-rate navigator.
inline constexpr uint32_t kHeartRateRange = 1015;
// The row times changed (also a document hint of the same number).
inline constexpr uint32_t kRowTimesChanged = 1017;
// Send: is the current position still on the page; outside, the page sets its re-centre flag and
// answers 1.
inline constexpr uint32_t kPositionOffPage = 1018;
// Send; lparam: the hit record as for kBeatAtPoint: which event label lies at the point (the second
// number: pacemaker events only).
inline constexpr uint32_t kEventAtPoint = 1020;
inline constexpr uint32_t kPacemakerEventAtPoint = 1030;
// Send: centre the page on the current position; answered 0 although handled.
inline constexpr uint32_t kCentrePage = 1022;
// Tell from the root; lparam: int[2] {min, max} of the ST values.
inline constexpr uint32_t kSTRange = 1023;
// Tell from the root: the ECG strip was recomputed.
inline constexpr uint32_t kStripRecomputed = 1024;
// Send: the channel mode changed, rebuild the page.
inline constexpr uint32_t kChannelModeChanged = 1029;

// The beat page and the template browsers: paging, rows, columns, rectangle, cursor beat and
// selection, 1100 to 1117.
inline constexpr uint32_t kBeatPageFirst = 1100;
inline constexpr uint32_t kBeatPageRefresh = 1100;      // strips rebuilt, cursor to the first cell
inline constexpr uint32_t kBeatPageOpenAt = 1102;       // wparam first row, lparam offset of the cell or null
inline constexpr uint32_t kTemplateSlotRect = 1103;     // wparam the browser slot
inline constexpr uint32_t kBeatPageRows = 1104;         // lparam int*
inline constexpr uint32_t kBeatPageColumns = 1105;      // lparam int*
inline constexpr uint32_t kBeatPageHasNext = 1106;      // lparam int*
inline constexpr uint32_t kTemplateDropSlot = 1107;     // lparam the point of the drop
inline constexpr uint32_t kBeatPageCursorClass = 1108;  // lparam int*, -1 for an empty cell
inline constexpr uint32_t kBeatPageRenewBeat = 1109;    // wparam the beat index
inline constexpr uint32_t kTemplateTitleBar = 1112;     // wparam the row
inline constexpr uint32_t kBeatPageRect = 1114;         // lparam gfx::Rect*
inline constexpr uint32_t kBeatPageRenewEntry = 1115;   // lparam {beat index, selection entry}
inline constexpr uint32_t kBeatPageSelectionCount = 1116;  // lparam int*
inline constexpr uint32_t kBeatPageSelectEntry = 1117;
inline constexpr uint32_t kBeatPageLast = 1117;

// The two buttons of the online panel; the panel area turns them into the hints of the same
// numbers.
inline constexpr uint32_t kOnlineButton1 = 1143;
inline constexpr uint32_t kOnlineButton2 = 1144;

// Send from the root, once per channel; wparam the channel, lparam CViewArea**, which the sweep
// area of that channel sets to itself.
inline constexpr uint32_t kFindSweepArea = 2000;

// Tell from the root; wparam the event legend's kind code at its first layout.
inline constexpr uint32_t kLegendKind = 20001;
// Send from the root; lparam int*, the kind code chosen in the event legend's list.
inline constexpr uint32_t kSelectedSampleKind = 20002;

// Tell from the root: delete the beat at the strip cursor.
inline constexpr uint32_t kDeleteBeatAtCursor = 32950;
// Tell; wparam 1 caliper on, 0 off.
inline constexpr uint32_t kCaliper = 32957;

// Send; lparam int*, the x of the strip's position cursor.
inline constexpr uint32_t kStripCursorX = 41100;
// Tell from the root: the "RR-Mode" / "RR-Mode Min" check box was clicked.
inline constexpr uint32_t kRRMode = 41101;
inline constexpr uint32_t kRRModeMin = 41102;
// Send; lparam int*, the time in ms at the strip cursor.
inline constexpr uint32_t kStripCursorTimeMs = 41103;

}  // namespace areamsg
