#include "reports/pdf/pdf_outlines.h"

#include <string>

#include "platform/archive.h"
#include "platform/io_error.h"
#include "reports/pdf/pdf_format.h"
#include "reports/pdf/pdf_state.h"

namespace {

// Links a new entry into the tree and counts it in every ancestor that shows it.
tvk_OutlineEntry* Insert(std::unique_ptr<tvk_OutlineEntry> owned, tvk_OutlineEntry* anchor, int child) {
  tvk_Document& doc = tvk_doc();
  tvk_OutlineEntry* entry = owned.get();
  doc.outline_entries.push_back(std::move(owned));
  if (anchor == nullptr) {
    // Without an anchor the entry joins the top level at its end, so no earlier entry is lost.
    entry->prev = doc.outline_last;
    if (doc.outline_last != nullptr) doc.outline_last->next = entry;
    if (doc.outline_first == nullptr) doc.outline_first = entry;
    doc.outline_last = entry;
  } else if (child) {
    entry->parent = anchor;
    entry->prev = anchor->last;
    if (anchor->last != nullptr) anchor->last->next = entry;
    if (anchor->first == nullptr) anchor->first = entry;
    anchor->last = entry;
  } else {
    entry->parent = anchor->parent;
    entry->prev = anchor;
    entry->next = anchor->next;
    if (anchor->next != nullptr) anchor->next->prev = entry;
    anchor->next = entry;
    tvk_OutlineEntry*& last = anchor->parent ? anchor->parent->last : doc.outline_last;
    if (last == anchor) last = entry;
  }
  // The root counts the entry only when every ancestor is open; each ancestor up to the first
  // closed one counts it among its descendants.
  bool visible = true;
  for (tvk_OutlineEntry* a = entry->parent; a != nullptr; a = a->parent) {
    ++a->count;
    if (!a->open) {
      visible = false;
      break;
    }
  }
  if (visible) ++doc.outline_count;
  return entry;
}

std::unique_ptr<tvk_OutlineEntry> NewEntry(int open, int page, std::string_view title, std::string target) {
  auto entry = std::make_unique<tvk_OutlineEntry>();
  entry->open = open;
  entry->page = page;
  entry->title = tvk_escapeBytes(tvk_toPdfDoc(title), true);
  entry->target = std::move(target);
  return entry;
}

void NumberTree(tvk_OutlineEntry* entry, int& next_object) {
  for (; entry != nullptr; entry = entry->next) {
    entry->object = next_object++;
    NumberTree(entry->first, next_object);
  }
}

void WriteTree(const tvk_OutlineEntry* entry) {
  for (; entry != nullptr; entry = entry->next) {
    tvk_beginObject(entry->object);
    std::string s = "<<\n";
    tvk_appendFormat(s, "/Parent %d 0 R\n", entry->parent ? entry->parent->object : 2);
    if (entry->page < 0)
      tvk_appendFormat(s, "/A <<\n%s\n>>\n", entry->target.c_str());
    else
      tvk_appendFormat(s, "/Dest [%d 0 R %s]\n", tvk_pageObject(entry->page), entry->target.c_str());
    tvk_appendFormat(s, "/Title (%s)\n", entry->title.c_str());
    if (entry->next) tvk_appendFormat(s, "/Next %d 0 R\n", entry->next->object);
    if (entry->prev) tvk_appendFormat(s, "/Prev %d 0 R\n", entry->prev->object);
    if (entry->first) tvk_appendFormat(s, "/First %d 0 R\n", entry->first->object);
    if (entry->last) tvk_appendFormat(s, "/Last %d 0 R\n", entry->last->object);
    if (entry->count != 0) {
      if (entry->open)
        tvk_appendFormat(s, "/Count %d\n", entry->count);
      else
        tvk_appendFormat(s, "/Count -%d\n", entry->count);
    }
    s += ">>\n";
    tvk_writeOutput(s);
    tvk_endObject();
    WriteTree(entry->first);
  }
}

int AddAnnotation(tvk_Annotation annotation, const tvk_AnnotationAttributes* attributes) {
  tvk_Document& doc = tvk_doc();
  if (static_cast<int64_t>(doc.annotations.size()) >= doc.limits.annotations) {
    tvk_reportError(tvk_kSeverityWarning, tvk_writerName(),
                    "Too many annotations: %d. Increase limit by tvk_setDocumentLimits()",
                    doc.limits.annotations);
    return -1;
  }
  tvk_Page* page = tvk_drawingPage();
  if (page == nullptr) return -1;
  if (attributes != nullptr) {
    annotation.flags = attributes->flags;
    annotation.rgb = {attributes->r, attributes->g, attributes->b};
    annotation.border_style = attributes->border_style;
    annotation.border_array = attributes->border_array;
  } else if (annotation.kind == 0) {
    annotation.rgb = {1, 1, 0};
  } else {
    annotation.rgb = {0, 0, 1};
    annotation.border_array = "[0 0 0]";
  }
  page->annotations.push_back(static_cast<int>(doc.annotations.size()));
  doc.annotations.push_back(std::move(annotation));
  return 0;
}

// Note texts: every line end (CR, LF or the pair) becomes the escapes \r\n.
std::string EscapeNote(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\\r\\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      if (c == '(' || c == ')' || c == '\\') out += '\\';
      out += c;
    }
  }
  return out;
}

tvk_Annotation Rect(int kind, double x1, double y1, double x2, double y2) {
  tvk_Annotation a;
  a.kind = kind;
  a.x1 = x1;
  a.y1 = y1;
  a.x2 = x2;
  a.y2 = y2;
  return a;
}

}  // namespace

std::string tvk_destinationText(int kind, double p1, double p2, double p3, double p4) {
  switch (kind) {
    case 1: return tvk_format("/XYZ %.0f %.0f %.3f", p1, p2, p3);
    case 2: return "/Fit";
    case 3: return tvk_format("/FitH %.0f", p1);
    case 4: return tvk_format("/FitV %.0f", p1);
    case 5: return tvk_format("/FitR %.0f %.0f %.0f %.0f", p1, p2, p3, p4);
    case 6: return "/FitB";
    case 7: return tvk_format("/FitBH %.0f", p1);
    case 8: return tvk_format("/FitBV %.0f", p1);
    default: return "/XYZ null null null";
  }
}

tvk_OutlineEntry* tvk_addOutline(tvk_OutlineEntry* anchor, int child, int open, int page,
                                 std::string_view title, int dest_kind, double p1, double p2,
                                 double p3, double p4) {
  tvk_Document& doc = tvk_doc();
  if (doc.pages.count(page) == 0) {
    tvk_reportError(tvk_kSeverityWarning, tvk_writerName(),
                    "Page %d has not yet been created for outiline (book mark).", page);
    return nullptr;
  }
  return Insert(NewEntry(open, page, title, tvk_destinationText(dest_kind, p1, p2, p3, p4)), anchor,
                child);
}

tvk_OutlineEntry* tvk_addActionOutline(tvk_OutlineEntry* anchor, int child, int open,
                                       std::string_view action, std::string_view title) {
  return Insert(NewEntry(open, -1, title, std::string(action)), anchor, child);
}

void tvk_numberOutlines(int& next_object) { NumberTree(tvk_doc().outline_first, next_object); }

void tvk_writeOutlines() { WriteTree(tvk_doc().outline_first); }

int tvk_addTextNote(double x1, double y1, double x2, double y2, std::string_view title,
                    std::string_view text, const tvk_AnnotationAttributes* attributes) {
  tvk_Annotation a = Rect(0, x1, y1, x2, y2);
  a.title = tvk_escapeBytes(tvk_toPdfDoc(title), true);
  a.contents = EscapeNote(tvk_toPdfDoc(text));
  return AddAnnotation(std::move(a), attributes);
}

int tvk_addTextNoteFromFile(double x1, double y1, double x2, double y2, std::string_view title,
                            std::string_view file_name, const tvk_AnnotationAttributes* attributes) {
  const std::string name(file_name);
  std::vector<uint8_t> bytes;
  try {
    bytes = platform::ReadFileBytes(name);
  } catch (const platform::IoError&) {
    tvk_reportError(tvk_kSeverityWarning, tvk_writerName(), "cannot open annotation text file: %s",
                    name.c_str());
    return -1;
  }
  return tvk_addTextNote(x1, y1, x2, y2, title,
                         {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, attributes);
}

int tvk_addUriLink(double x1, double y1, double x2, double y2, std::string_view uri,
                   const tvk_AnnotationAttributes* attributes) {
  tvk_Annotation a = Rect(1, x1, y1, x2, y2);
  a.contents = tvk_escapeBytes(uri, true);
  return AddAnnotation(std::move(a), attributes);
}

int tvk_addPageLink(double x1, double y1, double x2, double y2, int page, std::string_view dest,
                    const tvk_AnnotationAttributes* attributes) {
  tvk_Annotation a = Rect(2, x1, y1, x2, y2);
  a.dest_page = page;
  a.contents = dest;
  return AddAnnotation(std::move(a), attributes);
}

int tvk_addActionLink(double x1, double y1, double x2, double y2, std::string_view action,
                      const tvk_AnnotationAttributes* attributes) {
  tvk_Annotation a = Rect(3, x1, y1, x2, y2);
  a.contents = action;
  return AddAnnotation(std::move(a), attributes);
}

int tvk_plotAddTextNote(double x1, double y1, double x2, double y2, std::string_view title,
                        std::string_view text, const tvk_AnnotationAttributes* attributes) {
  return tvk_addTextNote(tvk_mapX(x1), tvk_mapY(y1), tvk_mapX(x2), tvk_mapY(y2), title, text, attributes);
}

int tvk_plotAddTextNoteFromFile(double x1, double y1, double x2, double y2, std::string_view title,
                                std::string_view file_name,
                                const tvk_AnnotationAttributes* attributes) {
  return tvk_addTextNoteFromFile(tvk_mapX(x1), tvk_mapY(y1), tvk_mapX(x2), tvk_mapY(y2), title,
                                 file_name, attributes);
}

int tvk_plotAddUriLink(double x1, double y1, double x2, double y2, std::string_view uri,
                       const tvk_AnnotationAttributes* attributes) {
  return tvk_addUriLink(tvk_mapX(x1), tvk_mapY(y1), tvk_mapX(x2), tvk_mapY(y2), uri, attributes);
}

int tvk_plotAddPageLink(double x1, double y1, double x2, double y2, int page,
                        std::string_view dest, const tvk_AnnotationAttributes* attributes) {
  return tvk_addPageLink(tvk_mapX(x1), tvk_mapY(y1), tvk_mapX(x2), tvk_mapY(y2), page, dest,
                         attributes);
}

int tvk_plotAddActionLink(double x1, double y1, double x2, double y2, std::string_view action,
                          const tvk_AnnotationAttributes* attributes) {
  return tvk_addActionLink(tvk_mapX(x1), tvk_mapY(y1), tvk_mapX(x2), tvk_mapY(y2), action,
                           attributes);
}

void tvk_writeAnnotations() {
  tvk_Document& doc = tvk_doc();
  for (const tvk_Annotation& a : doc.annotations) {
    tvk_beginObject(a.object);
    std::string s = "<<\n/Type /Annot\n";
    std::string rect = tvk_format("/Rect [%.0f %.0f %.0f %.0f]\n", a.x1, a.y1, a.x2, a.y2);
    switch (a.kind) {
      case 0:
        s += "/Subtype /Text\n" + rect;
        tvk_appendFormat(s, "/T (%s)\n", a.title.c_str());
        tvk_appendFormat(s, "/Contents (%s)\n", a.contents.c_str());
        break;
      case 1:
        s += "/Subtype /Link\n" + rect;
        tvk_appendFormat(s, "/A << /S /URI\n/URI (%s)\n>>\n", a.contents.c_str());
        break;
      case 2: {
        // A link to a page that was never begun would point nowhere: it becomes a plain area.
        const int target = tvk_pageObject(a.dest_page);
        s += "/Subtype /Link\n" + rect;
        if (target != 0) tvk_appendFormat(s, "/Dest [%d 0 R %s]\n", target, a.contents.c_str());
        break;
      }
      default:
        s += "/Subtype /Link\n" + rect;
        tvk_appendFormat(s, "/A <<\n%s\n>>\n", a.contents.c_str());
        break;
    }
    if (!a.border_style.empty())
      tvk_appendFormat(s, "/BS <<\n%s\n>>\n", a.border_style.c_str());
    else if (!a.border_array.empty())
      tvk_appendFormat(s, "/Border %s\n", a.border_array.c_str());
    else
      s += "/Border [0 0 1]\n";
    tvk_appendFormat(s, "/C [%.4f %.4f %.4f]\n", a.rgb[0], a.rgb[1], a.rgb[2]);
    tvk_appendFormat(s, "/F %d\n", a.flags);
    s += ">>\n";
    tvk_writeOutput(s);
    tvk_endObject();
  }
}
