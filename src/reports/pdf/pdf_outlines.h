#pragma once

#include <memory>
#include <string>
#include <string_view>

// Bookmarks (the PDF outline) and page annotations: text notes and links.

// One bookmark. Owned by the document; a pointer handed back stays valid until
// tvk_finishDocument.
struct tvk_OutlineEntry {
  int object = 0;
  int count = 0;      // visible descendants
  int page = -1;      // -1: the entry carries an action
  int open = 1;
  std::string target;  // destination text, or the action text
  std::string title;   // escaped PDFDocEncoding
  tvk_OutlineEntry* parent = nullptr;
  tvk_OutlineEntry* prev = nullptr;
  tvk_OutlineEntry* next = nullptr;
  tvk_OutlineEntry* first = nullptr;
  tvk_OutlineEntry* last = nullptr;
};

// Optional look of an annotation. Without it a note is yellow (1 1 0) without border texts, a
// link blue (0 0 1) with the border "[0 0 0]".
struct tvk_AnnotationAttributes {
  int flags = 0;
  double r = 0, g = 0, b = 0;
  std::string border_style;  // "/W 1 /S /D" ..., empty: none
  std::string border_array;  // "[0 0 1]" ..., empty: none
};

// A bookmark to a page. No anchor: a top-level entry after the last one. With an anchor and
// child 0: the anchor's next sibling; child 1: the anchor's last child. Destination kinds as
// tvk_destinationText. Null (reported) when the page has not been begun.
tvk_OutlineEntry* tvk_addOutline(tvk_OutlineEntry* anchor, int child, int open, int page,
                                 std::string_view title, int dest_kind, double p1, double p2,
                                 double p3, double p4);
// A bookmark that runs a PDF action ("/S /URI /URI (...)" ...).
tvk_OutlineEntry* tvk_addActionOutline(tvk_OutlineEntry* anchor, int child, int open,
                                       std::string_view action, std::string_view title);
// 1 "/XYZ left top zoom", 2 "/Fit", 3 "/FitH top", 4 "/FitV left", 5 "/FitR l b r t",
// 6 "/FitB", 7 "/FitBH top", 8 "/FitBV left", other "/XYZ null null null".
std::string tvk_destinationText(int kind, double p1, double p2, double p3, double p4);

// Rectangles in points on the current page. Return 0; -1 when the note file cannot be read or
// the annotation cap is reached (both reported).
int tvk_addTextNote(double x1, double y1, double x2, double y2, std::string_view title,
                    std::string_view text, const tvk_AnnotationAttributes* attributes);
int tvk_addTextNoteFromFile(double x1, double y1, double x2, double y2, std::string_view title,
                            std::string_view file_name, const tvk_AnnotationAttributes* attributes);
int tvk_addUriLink(double x1, double y1, double x2, double y2, std::string_view uri,
                   const tvk_AnnotationAttributes* attributes);
int tvk_addPageLink(double x1, double y1, double x2, double y2, int page, std::string_view dest,
                    const tvk_AnnotationAttributes* attributes);
int tvk_addActionLink(double x1, double y1, double x2, double y2, std::string_view action,
                      const tvk_AnnotationAttributes* attributes);
// The same with the rectangle in plot coordinates of the active domain.
int tvk_plotAddTextNote(double x1, double y1, double x2, double y2, std::string_view title,
                        std::string_view text, const tvk_AnnotationAttributes* attributes);
int tvk_plotAddTextNoteFromFile(double x1, double y1, double x2, double y2, std::string_view title,
                                std::string_view file_name,
                                const tvk_AnnotationAttributes* attributes);
int tvk_plotAddUriLink(double x1, double y1, double x2, double y2, std::string_view uri,
                       const tvk_AnnotationAttributes* attributes);
int tvk_plotAddPageLink(double x1, double y1, double x2, double y2, int page,
                        std::string_view dest, const tvk_AnnotationAttributes* attributes);
int tvk_plotAddActionLink(double x1, double y1, double x2, double y2, std::string_view action,
                          const tvk_AnnotationAttributes* attributes);
