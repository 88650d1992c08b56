#include "reports/pdf/pdf_document.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cassert>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/archive.h"
#include "platform/io_error.h"
#include "platform/process_context.h"
#include "reports/pdf/pdf_format.h"
#include "reports/pdf/pdf_state.h"

extern char** environ;

namespace {

constexpr const char* kWriterName = "Tavrik";
constexpr const char* kWriterVersion = "1.0";
constexpr const char* kPlatform = "Windows 9x/NT";
// The binary comment after the header line tells transfer programs that the file is binary:
// 23 bytes, 8 of them above 127.
constexpr const char* kHeaderMarker = "%\xE2\xE3\xCF\xD3\xB5\xB6\xB7\xB8 Tavrik writer";
constexpr size_t kInfoChars = 62;
constexpr size_t kKeywordChars = 126;
constexpr size_t kNameChars = 1022;

tvk_ErrorHandler& Handler() {
  static tvk_ErrorHandler handler = tvk_printError;
  return handler;
}

int LaunchWithDesktop(const std::string& path) {
  // A shell puts the viewer in the background and exits at once, so nothing is left to reap.
  const char* argv[] = {"sh", "-c", "xdg-open \"$1\" >/dev/null 2>&1 &", "sh", path.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) < 0) return -1;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : -1;
}

tvk_ViewerLauncher& Launcher() {
  static tvk_ViewerLauncher launcher = LaunchWithDesktop;
  return launcher;
}

std::filesystem::path TempPath(const std::string& leaf) {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
  if (ec) dir = "/tmp";
  return dir / leaf;
}

// Four numbers apart by blanks, read with a point whatever the process locale.
bool ParseBox(std::string_view text, double out[4]) {
  const char* p = text.data();
  const char* const end = text.data() + text.size();
  const auto skip_blanks = [&] {
    while (p != end && (*p == ' ' || *p == '\t')) ++p;
  };
  for (int i = 0; i < 4; ++i) {
    skip_blanks();
    if (p != end && *p == '+') ++p;
    const auto [next, error] = std::from_chars(p, end, out[i]);
    if (error != std::errc()) return false;
    p = next;
  }
  skip_blanks();
  return p == end;
}

// Level 4, not zlib's default 6: on ECG path text (long runs of "x.xxx y.yyy l") level 6 takes
// five times as long for files about 1 % smaller, which a full-disclosure report cannot afford.
constexpr int kDeflateLevel = 4;

// Compresses with zlib's one-call deflate.
bool Deflate(const uint8_t* bytes, size_t count, std::vector<uint8_t>& out) {
  uLongf size = compressBound(static_cast<uLong>(count));
  out.resize(size);
  const int rc = compress2(out.data(), &size, bytes, static_cast<uLong>(count), kDeflateLevel);
  if (rc != Z_OK) {
    tvk_reportError(tvk_kSeverityFatal, "ZLIB compress", "code=%d", rc);
    out.clear();
    return false;
  }
  out.resize(size);
  return true;
}

void CompressPage(tvk_Document& doc, tvk_Page& page) {
  if (!doc.compress || !page.content) return;
  if (!Deflate(page.content->Data(), page.content->Count(), page.compressed_bytes)) {
    doc.failed = true;
    return;
  }
  page.compressed = true;
  page.content.reset();
}

std::vector<uint8_t> ReadTempContent(const tvk_Page& page) {
  std::vector<uint8_t> bytes;
  if (!page.temp || page.temp->name.empty()) return bytes;
  try {
    bytes = platform::ReadFileBytes(page.temp->name);
  } catch (const platform::IoError& e) {
    tvk_reportError(tvk_kSeverityError, tvk_writerName(), "Cannot read temporary content %s (%s)",
                    page.temp->name.c_str(), e.fault().c_str());
    tvk_doc().failed = true;
  }
  return bytes;
}

void WriteCatalog(const tvk_Document& doc) {
  static constexpr const char* kModes[] = {"UseNone", "UseOutlines", "UseThumbs", "FullScreen"};
  static constexpr const char* kLayouts[] = {"SinglePage", "OneColumn", "TwoColumnLeft",
                                             "TwoColumnRight"};
  const auto& p = doc.viewer_prefs;
  tvk_beginObject(1);
  tvk_writeOutput("<<\n/Type /Catalog\n");
  tvk_writeOutput(tvk_format("/Pages %d 0 R\n", 3));
  tvk_writeOutput(tvk_format("/Outlines %d 0 R\n", 2));
  if (p[0] != 0) tvk_writeOutput(tvk_format("/PageMode /%s\n", kModes[p[0] & 3]));
  // The page layout is a Catalog entry; inside the viewer preferences a viewer would ignore it.
  if (p[6] != 0) tvk_writeOutput(tvk_format("/PageLayout /%s\n", kLayouts[p[6] & 3]));
  const bool any_flag = p[1] || p[2] || p[3] || p[4] || p[5];
  if ((p[0] & 3) == 3 || any_flag) {
    tvk_writeOutput("/ViewerPreferences <<\n");
    if (p[1]) tvk_writeOutput("/HideToolbar true\n");
    if (p[2]) tvk_writeOutput("/HideMenubar true\n");
    if (p[3]) tvk_writeOutput("/HideWindowUI true\n");
    if (p[4]) tvk_writeOutput("/FitWindow true\n");
    if (p[5]) tvk_writeOutput("/CenterWindow true\n");
    if ((p[0] & 3) == 3) {
      const int mode = p[7] >= 0 && p[7] <= 2 ? p[7] : 0;
      tvk_writeOutput(tvk_format("/NonFullScreenPageMode /%s\n", kModes[mode]));
    }
    tvk_writeOutput(">>\n");
  }
  tvk_writeOutput(">>\n");
  tvk_endObject();
}

void WriteOutlinesRoot(const tvk_Document& doc) {
  tvk_beginObject(2);
  tvk_writeOutput("<<\n/Type /Outlines\n");
  tvk_writeOutput(tvk_format("/Count %d\n", doc.outline_count));
  if (doc.outline_first != nullptr) {
    tvk_writeOutput(tvk_format("/First %d 0 R\n", doc.outline_first->object));
    tvk_writeOutput(tvk_format("/Last %d 0 R\n", doc.outline_last->object));
  }
  tvk_writeOutput(">>\n");
  tvk_endObject();
}

void WritePagesAndProcSet(const tvk_Document& doc) {
  tvk_beginObject(3);
  tvk_writeOutput("<<\n/Type /Pages\n");
  tvk_writeOutput(tvk_format("/Count %d\n", static_cast<int>(doc.kids.size())));
  std::string kids = "/Kids [ ";
  for (const int kid : doc.kids) tvk_appendFormat(kids, "%d 0 R ", kid);
  kids += "]\n>>\n";
  tvk_writeOutput(kids);
  tvk_endObject();

  tvk_beginObject(4);
  if (doc.image_kinds == 0 && doc.inline_images == 0) {
    tvk_writeOutput("[/PDF /Text]\n");
  } else {
    std::string procset = "[/PDF /Text ";
    if (doc.image_kinds & 1) procset += "/ImageB ";
    if (doc.image_kinds & 2) procset += "/ImageC ";
    if (doc.image_kinds & 4) procset += "/ImageI ";
    procset += "]\n";
    tvk_writeOutput(procset);
  }
  tvk_endObject();
}

void WritePage(tvk_Document& doc, tvk_Page& page) {
  tvk_beginObject(page.object);
  std::string s = "<<\n/Type /Page\n";
  tvk_appendFormat(s, "/Parent %d 0 R\n", 3);
  s += "/Resources <<\n/Font <<\n";
  for (const int f : page.fonts)
    tvk_appendFormat(s, "/%s %d 0 R\n", doc.fonts[f].resource.c_str(), doc.fonts[f].object);
  s += ">>\n";
  if (!page.images.empty()) {
    s += "/XObject <<\n";
    for (const int i : page.images)
      tvk_appendFormat(s, "/%s %d 0 R\n", doc.images[i].resource.c_str(), doc.images[i].object);
    s += ">>\n";
  }
  tvk_appendFormat(s, "/ProcSet %d 0 R >>\n", 4);
  tvk_appendFormat(s, "/MediaBox [%s]\n", page.media_box.c_str());
  tvk_appendFormat(s, "/CropBox [%s]\n", page.crop_box.c_str());
  tvk_appendFormat(s, "/Rotate %d\n", page.rotation);
  tvk_appendFormat(s, "/Contents %d 0 R\n", page.contents);
  if (!page.annotations.empty()) {
    s += "/Annots [ ";
    for (const int a : page.annotations) tvk_appendFormat(s, "%d 0 R ", doc.annotations[a].object);
    s += "]\n";
  }
  if (page.duration > 0) tvk_appendFormat(s, "/Dur %.3f\n", page.duration);
  if (!page.transition.empty()) tvk_appendFormat(s, "/Trans << %s >>\n", page.transition.c_str());
  s += ">>\n";
  tvk_writeOutput(s);
  tvk_endObject();

  tvk_beginObject(page.contents);
  std::vector<uint8_t> from_file;
  const uint8_t* bytes = nullptr;
  size_t count = 0;
  bool compressed = page.compressed;
  if (page.compressed) {
    bytes = page.compressed_bytes.data();
    count = page.compressed_bytes.size();
  } else if (page.content) {
    bytes = page.content->Data();
    count = page.content->Count();
  } else if (page.temp) {
    from_file = ReadTempContent(page);
    if (doc.compress) {
      std::vector<uint8_t> packed;
      if (Deflate(from_file.data(), from_file.size(), packed)) {
        from_file = std::move(packed);
        compressed = true;
      } else {
        doc.failed = true;
      }
    }
    bytes = from_file.data();
    count = from_file.size();
  }
  if (compressed) {
    tvk_writeOutput(tvk_format("<<\n/Length %ld\n/Filter [%s]\n>>\nstream\n", static_cast<long>(count),
                               doc.filter_name.c_str()));
  } else {
    tvk_writeOutput(tvk_format("<</Length %d>>\nstream\n", static_cast<int>(count)));
  }
  if (count > 0) doc.whole->Append(bytes, count);
  tvk_writeOutput("\nendstream\n");
  tvk_endObject();
  // The content is in the file now; free it early.
  page.compressed_bytes = {};
  page.content.reset();
  page.temp.reset();
}

void WriteInfo(const tvk_Document& doc, int number, const platform::Clock& clock) {
  auto esc = [](const std::string& s) { return tvk_escapeBytes(s, true); };
  tvk_beginObject(number);
  std::string s = "<<\n";
  tvk_appendFormat(s, "/Creator (%s)\n", esc(doc.creator).c_str());
  tvk_appendFormat(s, "/CreationDate (D:%s)\n", tvk_timeStamp(0, clock).c_str());
  tvk_appendFormat(s, "/Producer ([%s %s] %s)\n", kWriterName, kWriterVersion, kPlatform);
  tvk_appendFormat(s, "/Author (User: %s)\n", esc(doc.author).c_str());
  tvk_appendFormat(s, "/Title (%s)\n", esc(doc.title).c_str());
  tvk_appendFormat(s, "/Subject (%s)\n", esc(doc.subject).c_str());
  tvk_appendFormat(s, "/Keywords (%s)\n", esc(doc.keywords).c_str());
  s += ">>\n";
  tvk_writeOutput(s);
  tvk_endObject();
}

void WriteXrefAndTrailer(tvk_Document& doc, int size, int info) {
  doc.xref_offset = static_cast<int64_t>(doc.whole->Count());
  std::string s = "xref\n";
  tvk_appendFormat(s, "0 %d\n", size);
  s += "0000000000 65535 f \n";
  for (int n = 1; n < size; ++n) tvk_appendFormat(s, "%010ld 00000 n \n", static_cast<long>(doc.offsets[n]));
  s += "trailer\n<<\n";
  tvk_appendFormat(s, "/Size %d\n", size);
  tvk_appendFormat(s, "/Root %d 0 R\n", 1);
  tvk_appendFormat(s, "/Info %d 0 R\n", info);
  s += ">>\nstartxref\n";
  tvk_appendFormat(s, "%ld\n", static_cast<long>(doc.xref_offset));
  s += "%%EOF\n";
  tvk_writeOutput(s);
}

// What tvk_finishDocument leaves behind whatever the outcome.
void CloseDocument(tvk_Document& doc) {
  doc.pages.clear();
  doc.kids.clear();
  doc.fonts.clear();
  doc.descriptors.clear();
  doc.external_fonts.clear();
  doc.images.clear();
  doc.annotations.clear();
  doc.outline_entries.clear();
  doc.outline_first = doc.outline_last = nullptr;
  doc.outline_count = 0;
  doc.image_kinds = 0;
  doc.inline_images = 0;
  doc.text.font = -1;
  doc.active_domain = nullptr;
  doc.current_page = 0;
  doc.drawing = nullptr;
  doc.offsets.clear();
  doc.life = 0;
}

// After a refused page or switch nothing takes drawing until a page is begun or selected; the
// next drop is reported again.
void NoCurrentPage(tvk_Document& doc) {
  doc.current_page = 0;
  doc.drawing = nullptr;
  doc.drop_reported = false;
}

int CheckOutputFolder(const std::string& name) {
  std::filesystem::path folder = std::filesystem::path(name).parent_path();
  if (folder.empty()) folder = ".";
  return ::access(folder.c_str(), W_OK) == 0 ? 0 : -1;
}

}  // namespace

tvk_TempContent::~tvk_TempContent() {
  Close();
  if (!name.empty()) std::remove(name.c_str());
}

bool tvk_TempContent::Close() {
  bool ok = true;
  if (file != nullptr) {
    ok = std::fclose(file) == 0;
    file = nullptr;
  }
  return ok;
}

tvk_Document& tvk_doc() {
  static tvk_Document doc;
  return doc;
}

const char* tvk_version() { return kWriterVersion; }
const char* tvk_platform() { return kPlatform; }
const char* tvk_writerName() { return kWriterName; }

tvk_ErrorHandler tvk_setErrorHandler(tvk_ErrorHandler handler) {
  tvk_ErrorHandler previous = std::move(Handler());
  Handler() = std::move(handler);
  return previous;
}

tvk_ViewerLauncher tvk_setViewerLauncher(tvk_ViewerLauncher launcher) {
  tvk_ViewerLauncher previous = std::move(Launcher());
  Launcher() = std::move(launcher);
  return previous;
}

void tvk_printError(int severity, const std::string& module, const std::string& message) {
  std::fprintf(stderr, "%s: %s.\n", module.c_str(), message.c_str());
}

void tvk_reportError(int severity, std::string_view module, const char* format, ...) {
  if (!Handler()) return;
  // Reports are rare: format with the C library into a growing buffer (texts and integers only
  // reach here through %s and %d, which the locale does not change).
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string message(size > 0 ? static_cast<size_t>(size) : 0, '\0');
  if (size > 0) std::vsnprintf(message.data(), message.size() + 1, format, args);
  va_end(args);
  Handler()(severity, std::string(module), message);
}

void tvk_setDocumentLimits(int pages, int fonts, int images, int annotations, int objects) {
  tvk_Limits& l = tvk_doc().limits;
  if (pages > 0) l.pages = pages;
  if (fonts > 0) l.fonts = fonts;
  if (images > 0) l.images = images;
  if (annotations > 0) l.annotations = annotations;
  if (objects > 0) l.objects = objects;
}

void tvk_prepare(int /*mode*/) {
  tvk_Document& doc = tvk_doc();
  const tvk_Limits limits = doc.limits;
  doc = tvk_Document{};
  doc.limits = limits;
  doc.creator = "Tavrik PDF writer";
  doc.title = "No Title";
  doc.subject = "None";
  doc.keywords = kWriterName;
  doc.month_names = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  doc.scratch = tvk_newStream();
  doc.life = 1;
}

void tvk_setPdfVersion(int major, int minor) {
  tvk_doc().major = major;
  tvk_doc().minor = minor;
}

void tvk_enableCompression(int on) {
  tvk_Document& doc = tvk_doc();
  // zlib's deflate is the only compression the writer has: content declared with any other
  // filter would be unreadable, so that stays uncompressed.
  if (on && doc.filter_name.find("FlateDecode") != std::string::npos) {
    doc.compress = true;
    doc.major = 1;
    doc.minor = 2;
  } else {
    doc.compress = false;
  }
}

void tvk_setFilter(std::string_view program, std::string_view filter_name) {
  tvk_doc().filter_program = program;
  tvk_doc().filter_name = filter_name;
}

void tvk_setOutputName(std::string_view name) {
  tvk_Document& doc = tvk_doc();
  doc.output_name = name.substr(0, kNameChars);
  doc.name_set = true;
  doc.whole_in_memory = false;
}

void tvk_setContentInMemory(int on) { tvk_doc().content_in_memory = on != 0; }
void tvk_setToStandardOutput(int on) { tvk_doc().to_stdout = on != 0; }
void tvk_setUnitSize(double points_per_unit) { tvk_doc().unit = points_per_unit; }

void tvk_setCreator(std::string_view text) { tvk_doc().creator = tvk_toPdfDoc(text, kInfoChars); }
void tvk_setTitle(std::string_view text) { tvk_doc().title = tvk_toPdfDoc(text, kInfoChars); }
void tvk_setSubject(std::string_view text) { tvk_doc().subject = tvk_toPdfDoc(text, kInfoChars); }
void tvk_setKeywords(std::string_view text) { tvk_doc().keywords = tvk_toPdfDoc(text, kKeywordChars); }

void tvk_setViewerPreferences(int page_mode, int hide_toolbar, int hide_menubar, int hide_window_ui,
                              int fit_window, int center_window, int page_layout,
                              int non_fullscreen_page_mode) {
  tvk_doc().viewer_prefs = {page_mode,  hide_toolbar,  hide_menubar, hide_window_ui,
                            fit_window, center_window, page_layout,  non_fullscreen_page_mode};
}

void tvk_setPageBoxes(int x0, int y0, int x1, int y1) {
  tvk_Document& doc = tvk_doc();
  doc.media_box_text = tvk_format("%d %d %d %d", x0, y0, x1, y1);
  doc.crop_box_text = doc.media_box_text;
}

void tvk_setPageDuration(double seconds) {
  tvk_Document& doc = tvk_doc();
  const auto it = doc.pages.find(doc.current_page);
  if (it != doc.pages.end()) it->second.duration = seconds;
}

void tvk_setPageTransition(int kind, double duration, double direction, int horizontal, int inward) {
  tvk_Document& doc = tvk_doc();
  const auto it = doc.pages.find(doc.current_page);
  if (it == doc.pages.end()) return;
  const char* dm = horizontal ? "/H" : "/V";
  const char* m = inward ? "/I" : "/O";
  std::string text;
  switch (kind) {
    case 1: text = tvk_format("/S /Split /D %.3f /Dm %s /M %s", duration, dm, m); break;
    case 2: text = tvk_format("/S /Blinds /D %.3f /Dm %s", duration, dm); break;
    case 3: text = tvk_format("/S /Box /D %.3f /M %s", duration, m); break;
    case 4: text = tvk_format("/S /Wipe /D %.3f /Di %.2f", duration, direction); break;
    case 5: text = tvk_format("/S /Dissolve /D %.3f", duration); break;
    case 6: text = tvk_format("/S /Glitter /D %.3f /Di %.2f", duration, direction); break;
    default: text = "/S /R"; break;
  }
  it->second.transition = text;
}

int tvk_open() {
  tvk_Document& doc = tvk_doc();
  doc.author = "Windows NT/95/98 User";
  if (doc.life != 1) {
    tvk_reportError(tvk_kSeverityFatal, kWriterName, "tvk_open() has not been called.");
    return -1;
  }
  doc.life = 2;
  doc.pages.clear();
  doc.current_page = 0;
  doc.drawing = nullptr;
  doc.failed = false;
  if (doc.whole_in_memory) return 0;
  if (!doc.name_set) {
    doc.output_name =
        TempPath(tvk_format("_tvk%d-%d.pdf", static_cast<int>(::getpid()), doc.open_count)).string();
    doc.name_set = true;
  }
  if (doc.output_name == "-") doc.to_stdout = true;
  if (!doc.to_stdout && CheckOutputFolder(doc.output_name) != 0) {
    tvk_reportError(tvk_kSeverityError, kWriterName, "Cannot open %s for PDF output",
                    doc.output_name.c_str());
    return 1;
  }
  ++doc.open_count;
  return 0;
}

int tvk_beginPage(int page, int rotate, std::string_view media_box, std::string_view crop_box) {
  tvk_Document& doc = tvk_doc();
  if (doc.life != 2) {
    tvk_reportError(tvk_kSeverityError, kWriterName, "tvk_open() has not been called.");
    NoCurrentPage(doc);
    return -1;
  }
  if (page < 1) {
    tvk_reportError(tvk_kSeverityWarning, kWriterName, "Page number must be 1 or greater");
    NoCurrentPage(doc);
    return -1;
  }
  if (page >= doc.limits.pages) {
    tvk_reportError(tvk_kSeverityWarning, kWriterName,
                    "Too many pages: %d. Increase limit by tvk_setDocumentLimits()", page);
    NoCurrentPage(doc);
    return -1;
  }
  if (doc.pages.count(page) != 0) {
    tvk_reportError(tvk_kSeverityWarning, kWriterName, "Page %d is already initialized", page);
    return tvk_selectPage(page);
  }
  double box[4];
  double media[4];
  if (!ParseBox(crop_box, box) || !ParseBox(media_box, media)) {
    tvk_reportError(tvk_kSeverityWarning, kWriterName, "Page %d: a page box is not four numbers",
                    page);
    NoCurrentPage(doc);
    return -1;
  }

  tvk_Page& p = doc.pages[page];
  p.number = page;
  doc.current_page = page;
  doc.drawing = &p;
  doc.drop_reported = false;
  if (doc.highest_page < page) doc.highest_page = page;
  doc.rotation = rotate ? 270 : 0;
  p.rotation = doc.rotation;
  doc.media_box_text = media_box;
  doc.crop_box_text = crop_box;
  p.media_box = media_box;
  p.crop_box = crop_box;

  const double u = doc.unit;
  p.domain = tvk_newPlotDomain(box[0], box[1], box[2] - box[0], box[3] - box[1], box[0] / u,
                               (box[2] - box[0]) / u, box[1] / u, (box[3] - box[1]) / u,
                               tvk_kLinear, tvk_kLinear, 0);
  tvk_setMesh(*p.domain, 0, 0, 1.0, 0, 0.5);
  tvk_setMesh(*p.domain, 1, 0, 1.0, 0, 0.5);
  tvk_setPlotDomain(p.domain.get());
  doc.text.text_matrix = tvk_Matrix{};

  if (doc.content_in_memory) {
    p.content = tvk_newStream();
    return 0;
  }
  p.temp = std::make_unique<tvk_TempContent>();
  const std::string name =
      TempPath(tvk_format("_tvk%d-%d-%d", static_cast<int>(::getpid()), doc.open_count, page)).string();
  // The name is predictable and the folder shared: a stale file of an earlier process with this
  // id is removed, and the exclusive mode refuses a link planted there instead of writing through it.
  std::remove(name.c_str());
  p.temp->file = std::fopen(name.c_str(), "wbx");
  if (p.temp->file == nullptr) {
    tvk_reportError(tvk_kSeverityError, kWriterName, "Cannot open %s for temporary content",
                    name.c_str());
    p.temp.reset();
    NoCurrentPage(doc);
    return -2;
  }
  p.temp->name = name;
  return 0;
}

int tvk_selectPage(int page) {
  tvk_Document& doc = tvk_doc();
  const auto it = doc.pages.find(page);
  if (it != doc.pages.end() && page == doc.current_page && !it->second.finished) return 0;
  if (it == doc.pages.end()) {
    tvk_reportError(tvk_kSeverityError, kWriterName,
                    "Cannot switch to page %d because it has not been initialized", page);
    NoCurrentPage(doc);
    return -1;
  }
  if (it->second.finished) {
    tvk_reportError(tvk_kSeverityError, kWriterName,
                    "Cannot switch to page %d because it has already been finalized", page);
    NoCurrentPage(doc);
    return -2;
  }
  doc.current_page = page;
  doc.drawing = &it->second;
  doc.drop_reported = false;
  tvk_setPlotDomain(it->second.domain.get());
  doc.media_box_text = it->second.media_box;
  doc.crop_box_text = it->second.crop_box;
  return 0;
}

void tvk_endPage(int page) {
  tvk_Document& doc = tvk_doc();
  const auto it = doc.pages.find(page);
  if (it == doc.pages.end() || it->second.finished) return;
  tvk_Page& p = it->second;
  if (p.content) CompressPage(doc, p);
  if (p.temp && !p.temp->Close()) {
    tvk_reportError(tvk_kSeverityError, kWriterName, "Cannot write temporary content %s",
                    p.temp->name.c_str());
    doc.failed = true;
  }
  p.finished = true;
  if (doc.current_page == page) NoCurrentPage(doc);
}

int tvk_currentPage() { return tvk_doc().current_page; }

tvk_Page* tvk_drawingPage() {
  tvk_Document& doc = tvk_doc();
  if (doc.drawing != nullptr) return doc.drawing;
  if (!doc.drop_reported) {
    doc.drop_reported = true;
    tvk_reportError(tvk_kSeverityWarning, kWriterName, "No page is begun: drawing is dropped");
  }
  return nullptr;
}

void tvk_emit(std::string_view text) {
  tvk_Page* page = tvk_drawingPage();
  if (page == nullptr) return;
  if (page->content) {
    page->content->Append(text);
  } else if (page->temp && page->temp->file != nullptr) {
    if (std::fwrite(text.data(), 1, text.size(), page->temp->file) != text.size() && !tvk_doc().failed) {
      tvk_reportError(tvk_kSeverityError, kWriterName, "Cannot write temporary content %s",
                      page->temp->name.c_str());
      tvk_doc().failed = true;
    }
  }
}

void tvk_writeRaw(std::string_view text) { tvk_emit(text); }

void tvk_writeOutput(std::string_view text) { tvk_doc().whole->Append(text); }

void tvk_beginObject(int number) {
  tvk_Document& doc = tvk_doc();
  // Objects are written in number order; the offset is where "N 0 obj" begins.
  assert(number >= 1 && static_cast<size_t>(number) < doc.offsets.size());
  doc.offsets[number] = static_cast<int64_t>(doc.whole->Count());
  tvk_writeOutput(tvk_format("%d 0 obj\n", number));
}

void tvk_endObject() { tvk_writeOutput("endobj\n"); }

std::string tvk_escapeBytes(std::string_view bytes, bool escape_line_ends) {
  std::string out;
  out.reserve(bytes.size() + 8);
  for (const char c : bytes) {
    if (c == '(' || c == ')' || c == '\\') {
      out += '\\';
      out += c;
    } else if (escape_line_ends && c == '\r') {
      out += "\\r";
    } else if (escape_line_ends && c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

int tvk_pageObject(int page) {
  const auto it = tvk_doc().pages.find(page);
  return it == tvk_doc().pages.end() ? 0 : it->second.object;
}

int tvk_finishDocument(const platform::Clock& clock) {
  tvk_Document& doc = tvk_doc();
  if (doc.life != 2) {
    tvk_reportError(tvk_kSeverityError, kWriterName, "tvk_open() has not been called.");
    return -1;
  }
  doc.whole = tvk_newStream();

  // Numbering.
  int next = 5;
  for (auto& [number, page] : doc.pages) {
    page.object = next;
    page.contents = next + 1;
    doc.kids.push_back(next);
    next += 2;
    tvk_endPage(number);
  }
  tvk_numberFonts(next);
  for (tvk_Image& image : doc.images) image.object = next++;
  for (tvk_Annotation& annotation : doc.annotations) annotation.object = next++;
  tvk_numberOutlines(next);
  const int info = next++;
  doc.offsets.assign(static_cast<size_t>(next), 0);

  // Writing, in number order.
  tvk_writeOutput(tvk_format("%%PDF-%d.%d\n%s\n", doc.major, doc.minor, kHeaderMarker));
  WriteCatalog(doc);
  WriteOutlinesRoot(doc);
  WritePagesAndProcSet(doc);
  for (auto& [number, page] : doc.pages) WritePage(doc, page);
  tvk_writeFonts();
  tvk_writeImages();
  tvk_writeAnnotations();
  tvk_writeOutlines();
  WriteInfo(doc, info, clock);
  WriteXrefAndTrailer(doc, next, info);

  const bool failed = doc.failed;
  CloseDocument(doc);
  if (failed) {
    doc.whole.reset();
    return -1;
  }
  if (doc.whole_in_memory) return 0;
  if (doc.to_stdout || doc.output_name == "-") return tvk_saveStreamToFile(*doc.whole, "-") == 0 ? 0 : -1;
  try {
    platform::WriteFileAtomic(doc.output_name, doc.whole->Bytes());
  } catch (const platform::IoError& e) {
    tvk_reportError(tvk_kSeverityError, kWriterName, "Cannot open %s for PDF output (%s)",
                    doc.output_name.c_str(), e.fault().c_str());
    return -1;
  }
  return 0;
}

int tvk_saveToFile(std::string_view file_name) {
  tvk_Document& doc = tvk_doc();
  doc.output_name = file_name.substr(0, kNameChars);
  doc.name_set = true;
  if (!doc.whole || doc.life != 0) {
    tvk_reportError(tvk_kSeverityError, kWriterName, "No finished document to save as %s",
                    doc.output_name.c_str());
    return -1;
  }
  return tvk_saveStreamToFile(*doc.whole, doc.output_name);
}

std::span<const uint8_t> tvk_memoryBuffer() {
  const tvk_Document& doc = tvk_doc();
  if (!doc.whole || doc.life != 0) return {};
  return doc.whole->Bytes();
}

void tvk_release() { tvk_doc() = tvk_Document{}; }

int tvk_launchViewer(std::string_view file_name) {
  const tvk_Document& doc = tvk_doc();
  std::string name(file_name);
  if (name.empty()) {
    if (doc.to_stdout || !doc.launch_permitted || doc.output_name.empty() || doc.output_name == "-")
      return -1;
    name = doc.output_name;
  }
  if (!Launcher()) return -1;
  return Launcher()(name) == 0 ? 0 : -1;
}

int tvk_launchOutput() { return tvk_launchViewer({}); }

std::string tvk_outputName() { return tvk_doc().output_name; }

namespace {

// A fresh process has no PDF document, prints errors and opens files with the desktop viewer.
[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kReportsPdf, [] {
      tvk_release();
      Handler() = tvk_printError;
      Launcher() = LaunchWithDesktop;
    });

}  // namespace
