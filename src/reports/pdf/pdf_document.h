#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/clock.h"

// The system's own PDF writer: procedural functions with the prefix tvk_ over one process-wide
// document (not re-entrant; one thread at a time, normally the PDF export's worker thread).
// Calling order: tvk_prepare → settings → tvk_open → per page tvk_beginPage, drawing
// (content_operators.h, pdf_fonts.h, pdf_images.h), a bookmark (pdf_outlines.h), tvk_endPage →
// tvk_finishDocument → tvk_saveToFile → tvk_release.
//
// Failures never end the process: every one is reported through the replaceable error handler
// and returned to the caller. The whole file is assembled in memory and reaches the disk only
// through an atomic replace, so a failed export leaves no half-written file behind.
// Text arguments are UTF-8; the file holds WinAnsi (cp1252) page text and PDFDocEncoding strings.

// Severities of reports.
constexpr int tvk_kSeverityMemory = -2;
constexpr int tvk_kSeverityFatal = -1;
constexpr int tvk_kSeverityWarning = 1;
constexpr int tvk_kSeverityError = 2;
constexpr int tvk_kSeverityDamaged = 3;

using tvk_ErrorHandler =
    std::function<void(int severity, const std::string& module, const std::string& message)>;
// Opens a file in the desktop's viewer; returns 0 when it was handed over.
using tvk_ViewerLauncher = std::function<int(const std::string& path)>;

// Limits are unlimited by default (storage grows); a value above 0 sets a cap that is then
// enforced with the "Too many ..." reports. The object limit is accepted and not needed.
void tvk_setDocumentLimits(int pages, int fonts, int images, int annotations, int objects);
// Resets every setting to its default and makes the writer ready for tvk_open.
void tvk_prepare(int mode);
void tvk_setPdfVersion(int major, int minor);
// On only with a "FlateDecode" filter (zlib deflate); also raises the version to 1.2.
void tvk_enableCompression(int on);
void tvk_setFilter(std::string_view program, std::string_view filter_name);
// Writes the finished file to this name (atomically) instead of keeping it for tvk_saveToFile;
// "-" means standard output.
void tvk_setOutputName(std::string_view name);
// Off: page content waits in temporary files until the document is finished.
void tvk_setContentInMemory(int on);
void tvk_setToStandardOutput(int on);
// PDF points per drawing unit (72 = inches, 28.3464566 = centimetres), for pages begun later.
void tvk_setUnitSize(double points_per_unit);
// Info entries; kept up to 62 (Keywords 126) characters.
void tvk_setCreator(std::string_view text);
void tvk_setTitle(std::string_view text);
void tvk_setSubject(std::string_view text);
void tvk_setKeywords(std::string_view text);
void tvk_setViewerPreferences(int page_mode, int hide_toolbar, int hide_menubar, int hide_window_ui,
                              int fit_window, int center_window, int page_layout,
                              int non_fullscreen_page_mode);
void tvk_setPageBoxes(int x0, int y0, int x1, int y1);
void tvk_setPageDuration(double seconds);
// kind 1 Split, 2 Blinds, 3 Box, 4 Wipe, 5 Dissolve, 6 Glitter, other Replace.
void tvk_setPageTransition(int kind, double duration, double direction, int horizontal, int inward);
// Returns the previous handler. The handler survives tvk_prepare and tvk_release.
tvk_ErrorHandler tvk_setErrorHandler(tvk_ErrorHandler handler);
const char* tvk_version();
const char* tvk_platform();
const char* tvk_writerName();

// 0 ready; 1 the output name's folder cannot take the file (reported); -1 tvk_prepare not called.
int tvk_open();
// Page from 1; rotate nonzero = 270 degrees; boxes "x0 y0 x1 y1". Returns 0; -1 page rejected
// (number below 1, above the page cap, or a box that is not four numbers); -2 temporary content
// file not created. After a rejection there is no current page and drawing is dropped until a
// page is begun or selected.
int tvk_beginPage(int page, int rotate, std::string_view media_box, std::string_view crop_box);
// 0; -1 not begun; -2 already finished.
int tvk_selectPage(int page);
// Finishes the page (compresses its content); nothing for a free or finished page.
void tvk_endPage(int page);
// The current page, 0 when there is none.
int tvk_currentPage();
// Numbers and writes every object, the cross-reference table and the trailer; the clock gives
// the CreationDate. 0 on success; -1 on failure (reported), when nothing is kept or written.
// Ends every unfinished page; afterwards the writer is closed whatever the result.
int tvk_finishDocument(const platform::Clock& clock);
// Writes the finished file: 0 written, -1 no finished document or the file not written
// (reported; an existing file stays as it was). "-" writes to standard output.
int tvk_saveToFile(std::string_view file_name);
// The finished file's bytes, empty before tvk_finishDocument.
std::span<const uint8_t> tvk_memoryBuffer();
// Frees everything; a new document starts again with tvk_prepare.
void tvk_release();
// Empty name: the output name. 0 handed over; -1 refused (standard output, no name) or failed.
int tvk_launchViewer(std::string_view file_name);
int tvk_launchOutput();
// Replaces how files are shown (tests pass a recorder); returns the previous launcher.
tvk_ViewerLauncher tvk_setViewerLauncher(tvk_ViewerLauncher launcher);
std::string tvk_outputName();

// Formats a report and hands it to the handler.
void tvk_reportError(int severity, std::string_view module, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// The default handler: "module: message." on standard error.
void tvk_printError(int severity, const std::string& module, const std::string& message);
// Appends text unchanged to the current page's content.
void tvk_writeRaw(std::string_view text);
