#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/display_list.h"
#include "gfx/drawing_types.h"

namespace gfx {
class Canvas;
class RecordingCanvas;
}  // namespace gfx
namespace platform {
class Clock;
}
struct tvk_OutlineEntry;

// Turns recorded report pages into one PDF document through the system's own PDF writer (the
// process-wide tvk_ document). A page is drawn into the recording canvas (GetEmfDC) between
// OpenEmfDC and CloseEmfDC; ConvertPage then plays its display list back into one A4 page: the
// 197.73 x 286.89 mm frame of the page, centred, in centimetres from the bottom-left corner.
// Grids and bookmark titles come from the page's markers (emf_markers.h).
// One thread: the PDF export's worker. It shows nothing itself: what the user should be told is
// collected in Messages() for the caller to show on its own thread.
class CEmf2Pdf {
 public:
  // The recorded frame in 0.01 mm.
  static constexpr int32_t kFrameWidth = 19773;
  static constexpr int32_t kFrameHeight = 28689;

  // The clock gives the document's creation date.
  explicit CEmf2Pdf(const platform::Clock& clock);
  ~CEmf2Pdf();
  CEmf2Pdf(const CEmf2Pdf&) = delete;
  CEmf2Pdf& operator=(const CEmf2Pdf&) = delete;

  // Starts recording a page on a canvas standing for the reference DC (its device; a 96 dpi screen
  // without one). A page still held is dropped. 1, or 0 when a page is already being recorded.
  int OpenEmfDC(const gfx::Canvas* reference_dc);
  // The recording canvas while a page is recorded, else null.
  gfx::Canvas* GetEmfDC();
  // Ends the recording and holds the page. 0 when none was being recorded.
  int CloseEmfDC();
  // Drops the held page: 1, or 0 when none is held.
  int DeleteEmf();

  // Starts the document (in memory unless a file name is given); drawing units are centimetres.
  // 1, or 0 when the writer cannot take the output file.
  int OpenPdf(std::string_view file_name, std::string_view creator, std::string_view title,
              std::string_view subject, std::string_view keywords);
  // Converts the held page into PDF page `page` (from 1) with one bookmark: the page's own title,
  // else default_title. 0 without a held page or open document, when the writer refuses the page,
  // or when stop_requested said so before every record was played (the page is ended as it is).
  int ConvertPage(int page, std::string_view default_title, const std::function<bool()>& stop_requested = {});
  // Finishes and saves the document, then frees the writer; with show, opens the file in the
  // desktop's viewer. 0 when it could not be saved.
  int ClosePdf(std::string_view file_name, bool show);

  const std::vector<std::string>& Messages() const { return messages_; }

 private:
  class Player;

  const platform::Clock& clock_;
  std::unique_ptr<gfx::RecordingCanvas> dc_;
  int recording_ = 0;
  std::optional<gfx::DisplayList> emf_;
  gfx::DeviceInfo emf_device_;
  int pdf_open_ = 0;
  tvk_OutlineEntry* last_bookmark_ = nullptr;
  std::vector<std::string> messages_;
};
