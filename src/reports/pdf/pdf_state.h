#pragma once

// Internal state of the PDF writer, shared by its source files; not part of its interface.

#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "reports/pdf/memory_stream.h"
#include "reports/pdf/pdf_document.h"
#include "reports/pdf/pdf_outlines.h"
#include "reports/pdf/pdf_utils.h"
#include "reports/pdf/plot_domain.h"

constexpr int tvk_kBuiltinFontCount = 41;

struct tvk_FontDescriptor {
  int object = 0;
  int ascent = 0;
  int cap_height = 0;
  int descent = 0;
  long flags = 0;
  std::array<int, 4> bbox{};
  std::string font_name;
  double italic_angle = 0;
  int stem_v = 0;
  int x_height = 0;
  int font_file = -1;  // index into tvk_Document::external_fonts
};

// An embedded Type 1 font read from a PFM and a PFB file.
struct tvk_ExternalFont {
  int object = 0;  // of the font file stream
  int descriptor = -1;
  std::string name;  // as requested
  std::string postscript_name;
  int first_char = 0;
  int last_char = 0;
  std::array<int16_t, 256> widths{};
  long length1 = 0, length2 = 0, length3 = 0;
  std::vector<uint8_t> data;  // the PFB segments, text segments with CR turned into LF
};

// One PDF font resource: a font with one encoding, shared by every page that uses it.
struct tvk_Font {
  int object = 0;
  std::string resource;   // "Ftvk<index>"
  std::string base_font;  // BaseFont
  std::string name;       // as requested (after substitution): with encoding the lookup key
  std::string encoding;   // empty: none
  int index = 0;          // 0..40 built in, 41 + n external
  int kind = 0;           // 0 standard, 1 built-in metrics with descriptor, 2 embedded
  int first_char = 32;
  int last_char = 255;
  std::array<int16_t, 256> widths{};
  int cap_height = 0;
  int descriptor = -1;  // index into tvk_Document::descriptors
  bool ascii_only = false;  // page text limited to ASCII (encodings other than WinAnsi)
};

struct tvk_Image {
  int object = 0;
  std::string resource;  // "IMtvk<index>"
  int kind = 0;          // 0 JPEG
  int marker = 0;        // JPEG frame marker, 192 baseline
  int selection = 0;
  int width = 0;
  int height = 0;
  int components = 0;
  int bits = 0;
  std::string path;
  std::vector<uint8_t> data;  // the file as read when the image was placed
};

struct tvk_Annotation {
  int object = 0;
  int kind = 0;  // 0 text note, 1 URI link, 2 page link, 3 action link
  int dest_page = 0;
  int flags = 0;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::array<double, 3> rgb{};
  std::string border_array;  // empty: none
  std::string border_style;  // empty: none
  std::string contents;      // escaped note, URI, destination or action text
  std::string title;         // text notes
};

// Removes the temporary content file of a page when the page goes.
struct tvk_TempContent {
  std::FILE* file = nullptr;
  std::string name;

  tvk_TempContent() = default;
  tvk_TempContent(const tvk_TempContent&) = delete;
  tvk_TempContent& operator=(const tvk_TempContent&) = delete;
  ~tvk_TempContent();
  // False when buffered content could not be written.
  bool Close();
};

struct tvk_Page {
  int number = 0;
  int object = 0;
  int contents = 0;
  bool finished = false;
  bool compressed = false;
  std::vector<uint8_t> compressed_bytes;
  std::unique_ptr<tvk_MemoryStream> content;  // memory mode
  std::unique_ptr<tvk_TempContent> temp;      // temporary-file mode
  std::unique_ptr<tvk_PlotDomain> domain;
  int rotation = 0;
  std::vector<int> fonts, images, annotations;
  std::string media_box, crop_box;
  double duration = -1.0;
  std::string transition;  // empty: none
  int font_in_effect = -1;  // the font record its content last selected
};

struct tvk_TextState {
  double x = 0, y = 0;  // current point
  tvk_Matrix text_matrix;
  double font_size = 12;
  double horizontal_scaling = 100;
  double word_spacing = 0;
  double char_spacing = 0;
  double rise = 0;
  double leading = 0;
  int in_text = 0;
  int font = -1;  // index into tvk_Document::fonts
};

struct tvk_Limits {
  int pages = INT_MAX;
  int fonts = INT_MAX;
  int images = INT_MAX;
  int annotations = INT_MAX;
  int objects = INT_MAX;
};

struct tvk_Document {
  int life = 0;  // 0 closed, 1 prepared, 2 open
  bool failed = false;  // a failure that spoils the file (compression, temporary files)
  int major = 1, minor = 1;
  double unit = 72.0;
  int rotation = 270;
  bool whole_in_memory = true;
  bool content_in_memory = true;
  bool compress = false;
  bool to_stdout = false;
  bool launch_permitted = true;
  std::string output_name;
  bool name_set = false;
  int open_count = 0;
  std::string filter_program = "/Bin/zlibcomp";
  std::string filter_name = "/FlateDecode";
  // Info texts in PDFDocEncoding, unescaped.
  std::string creator, title, subject, keywords, author;
  std::array<int, 8> viewer_prefs{};
  std::string media_box_text, crop_box_text;

  int current_page = 0;       // 0: none
  tvk_Page* drawing = nullptr;  // the current page while it takes drawing
  int highest_page = 1;
  std::map<int, tvk_Page> pages;
  std::vector<int> kids;
  bool drop_reported = false;

  std::vector<int64_t> offsets;  // by object number
  int next_object = 0;
  int64_t xref_offset = 0;
  std::unique_ptr<tvk_MemoryStream> whole;  // the finished file
  std::unique_ptr<tvk_MemoryStream> scratch;

  std::vector<tvk_Font> fonts;
  std::vector<tvk_FontDescriptor> descriptors;
  std::vector<tvk_ExternalFont> external_fonts;
  std::string font_map = "fontmap.lst";
  std::string pfm_dir = "/usr/local/font/pfm";
  std::string pfb_dir = "/usr/local/font/pfb";

  std::vector<tvk_Image> images;
  int image_kinds = 0;  // bit 1 ImageB, 2 ImageC, 4 ImageI
  int inline_images = 0;
  int selection = 0;

  std::vector<tvk_Annotation> annotations;
  std::vector<std::unique_ptr<tvk_OutlineEntry>> outline_entries;
  tvk_OutlineEntry* outline_first = nullptr;
  tvk_OutlineEntry* outline_last = nullptr;
  int outline_count = 0;
  std::vector<std::string> month_names;

  tvk_TextState text;
  tvk_PlotDomain* active_domain = nullptr;
  tvk_Limits limits;
};

tvk_Document& tvk_doc();
// The current page when it takes drawing; null otherwise (the first drop is reported).
tvk_Page* tvk_drawingPage();
// Appends to the current page's content (memory stream or temporary file).
void tvk_emit(std::string_view text);
// Object framing while the file is written.
void tvk_writeOutput(std::string_view text);
void tvk_beginObject(int number);
void tvk_endObject();
// Backslash before "(", ")" and backslash; with escape_line_ends CR and LF become \r and \n.
std::string tvk_escapeBytes(std::string_view bytes, bool escape_line_ends);

// Writers and housekeeping of the other parts, called by the document.
void tvk_numberFonts(int& next_object);
void tvk_writeFonts();
void tvk_writeImages();
void tvk_writeAnnotations();
void tvk_numberOutlines(int& next_object);
void tvk_writeOutlines();
int tvk_pageObject(int page);
