#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/context_guard.h"
#include "document/zk470_doc.h"
#include "gfx/drawing_types.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "win/printing.h"

namespace gfx {
class Canvas;
class RecordingCanvas;
}  // namespace gfx

namespace reporttest {

// Texts the report parts share with the screens, as their owners word them.
inline constexpr platform::StringEntry kSharedStrings[] = {
    {14376, "HR"},
    {14377, "Trend"},
    {14378, "Min"},
    {14379, "Avg"},
    {14380, "Max"},
    {14382, "Time of day"},
    {14389, "1/min"},
    {4140, "SV bigem./trigem."},
    {57344, "KESTROVA ZK-470 Holter-ECG"},
    {30000, "2.04"},
};

// A 600-dpi A4 page as the printer reports it.
gfx::DeviceInfo PrinterDevice();

// A document without user interface and without recording, the program's texts in the own pack,
// a fixed 24-hour locale for printed dates and a clock at 4 March 2026, 14:05:09. Pages are
// prepared as the composer does: 0.01 mm mapping, transparent background.
class ReportPartTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The patient and recording of the header pictures.
  void FillPatient();
  // Opens a synthetic analysed recording of that many minutes (made once per length and
  // process) in place of the empty document.
  void OpenRecording(int minutes);
  void PreparePage(gfx::Canvas& dc);

  ContextGuard context_;
  platform::ManualClock clock_{{2026, 3, 4, 14, 5, 9, 0}};
  platform::FixedLocale locale_{platform::FixedLocale::Kind::k24Hour};
  platform::MemoryProfileStore profile_;
  std::unique_ptr<CZK470Doc> doc_;
  win::CPrintInfo info_;
};

}  // namespace reporttest
