#include "reports/pdf/pdf_images.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/archive.h"
#include "platform/io_error.h"
#include "reports/pdf/content_operators.h"
#include "reports/pdf/pdf_format.h"
#include "reports/pdf/pdf_state.h"

namespace {

constexpr const char* kScanner = "Tavrik jpegsize";

bool IsFrameMarker(int m) {
  return (m >= 192 && m <= 195) || (m >= 197 && m <= 199) || (m >= 201 && m <= 203) ||
         (m >= 205 && m <= 207);
}

// Markers that carry no length: TEM, RST0..RST7 and SOI.
bool IsStandalone(int m) { return m == 0x01 || (m >= 0xD0 && m <= 0xD8); }

bool Present(double v) { return std::fabs(v) > 0.00001; }

int tvk_readTiff(std::string_view) {
  tvk_reportError(tvk_kSeverityWarning, tvk_writerName(), "LIBTIFF library support is not compiled in.");
  return -1;
}

int tvk_readPdfImage(std::string_view) {
  tvk_reportError(tvk_kSeverityWarning, tvk_writerName(), "PDFIMG support is not compiled in.");
  return -1;
}

const char* ColorSpace(int components) {
  if (components == 3) return "DeviceRGB";
  if (components == 4) return "DeviceCMYK";
  return "DeviceGray";
}

}  // namespace

int read_JPEG_header(std::span<const uint8_t> bytes, std::string_view name, tvk_JpegInfo* info) {
  const std::string file(name);
  size_t pos = 0;
  auto premature = [&]() {
    tvk_reportError(tvk_kSeverityWarning, kScanner, "Premature EOF in JPEG file");
    return -2;
  };
  auto read16 = [&](int* value) {
    if (bytes.size() - pos < 2) return false;
    *value = bytes[pos] << 8 | bytes[pos + 1];
    pos += 2;
    return true;
  };
  if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8) {
    tvk_reportError(tvk_kSeverityWarning, kScanner, "Not a JPEG file");
    return -2;
  }
  pos = 2;
  bool garbage_reported = false;
  for (;;) {
    while (pos < bytes.size() && bytes[pos] != 0xFF) {
      if (!garbage_reported) {
        tvk_reportError(tvk_kSeverityWarning, kScanner, "Warning: garbage data found in JPEG file");
        garbage_reported = true;
      }
      ++pos;
    }
    while (pos < bytes.size() && bytes[pos] == 0xFF) ++pos;
    if (pos >= bytes.size()) return premature();
    const int marker = bytes[pos++];
    if (marker == 217 || marker == 218) return marker;
    if (IsStandalone(marker)) continue;
    int length = 0;
    if (!read16(&length)) return premature();
    if (length < 2) {
      tvk_reportError(tvk_kSeverityWarning, kScanner, "Erroneous JPEG marker length");
      return -2;
    }
    const size_t body = static_cast<size_t>(length) - 2;
    if (bytes.size() - pos < body) return premature();
    if (IsFrameMarker(marker)) {
      if (body < 6) return premature();
      const uint8_t* p = bytes.data() + pos;
      info->marker = marker;
      info->bits = p[0];
      info->height = p[1] << 8 | p[2];
      info->width = p[3] << 8 | p[4];
      info->components = p[5];
      if (length != info->components * 3 + 8) {
        tvk_reportError(tvk_kSeverityWarning, kScanner, "Bogus SOF marker length");
        return -2;
      }
    }
    pos += body;
  }
}

int tvk_selectImage(int number) {
  tvk_Document& doc = tvk_doc();
  const int previous = doc.selection;
  if (number >= 0) doc.selection = number;
  return previous;
}

int tvk_findImage(std::string_view path, int selection) {
  const tvk_Document& doc = tvk_doc();
  for (size_t i = 0; i < doc.images.size(); ++i)
    if (doc.images[i].path == path && doc.images[i].selection == selection) return static_cast<int>(i);
  return static_cast<int>(doc.images.size());
}

int tvk_placeImage(std::string_view path, int kind, double x, double y, double angle_degrees,
                   double* width, double* height, double* x_scale, double* y_scale, int save_state) {
  tvk_Document& doc = tvk_doc();
  if (kind != 3) doc.selection = 0;
  const std::string file(path);
  int index = tvk_findImage(path, doc.selection);
  if (index == static_cast<int>(doc.images.size())) {
    if (index >= doc.limits.images) {
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(),
                      "Too many images: %d. Increase limits by tvk_setDocumentLimits()", doc.limits.images);
      return 1;
    }
    if (kind == tvk_kImageTiff) return tvk_readTiff(path);
    if (kind == tvk_kImagePdf) return tvk_readPdfImage(path);
    if (kind == 4) {
      // Kind 4 names a format without a reader: there would be nothing to write.
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(), "Image kind 4 is not supported: %s",
                      file.c_str());
      return -1;
    }
    if (kind != tvk_kImageJpeg) {
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(), "Unknown image kind %d: %s", kind,
                      file.c_str());
      return -4;
    }
    tvk_Image image;
    try {
      image.data = platform::ReadFileBytes(file);
    } catch (const platform::IoError&) {
      tvk_reportError(tvk_kSeverityWarning, "Tavrik read_JPEG_header", "Can't open image file: %s",
                      file.c_str());
      return -1;
    }
    tvk_JpegInfo info;
    const int scan = read_JPEG_header(image.data, file, &info);
    if (scan < 0 || (info.marker == 192 &&
                     (info.width == 0 || info.height == 0 || info.bits != 8 ||
                      (info.components != 1 && info.components != 3 && info.components != 4)))) {
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(), "Not a JPEG file?: %s", file.c_str());
      return -2;
    }
    if (info.marker != 192) {
      tvk_reportError(tvk_kSeverityWarning, tvk_writerName(), "JPEG file is not baseline type: %s",
                      file.c_str());
      return -3;
    }
    image.kind = kind;
    image.marker = info.marker;
    image.selection = doc.selection;
    image.width = info.width;
    image.height = info.height;
    image.components = info.components;
    image.bits = info.bits;
    image.path = file;
    image.resource = tvk_format("IMtvk%d", index);
    doc.image_kinds |= info.components == 1 ? 1 : 2;
    doc.images.push_back(std::move(image));
  }
  const tvk_Image& image = doc.images[index];
  if (tvk_Page* page = tvk_drawingPage()) {
    if (std::find(page->images.begin(), page->images.end(), index) == page->images.end())
      page->images.push_back(index);
  }

  const double pw = image.width;
  const double ph = image.height;
  double w = width ? *width : 0, h = height ? *height : 0;
  double sx = x_scale ? *x_scale : 0, sy = y_scale ? *y_scale : 0;
  const double w_in = w, h_in = h, sx_in = sx, sy_in = sy;
  if (Present(w_in)) sx = w / pw;
  else if (Present(sx_in)) w = sx * pw;
  else if (Present(h_in)) { sx = sy = h_in / ph; w = sx * pw; }
  else if (Present(sy_in)) { sx = sy_in; w = sx * pw; }
  else { w = pw; sx = 1; }
  if (Present(h_in)) sy = h / ph;
  else if (Present(sy_in)) h = sy * ph;
  else if (Present(w_in)) { sx = sy = w_in / pw; h = sy * ph; }
  else if (Present(sx_in)) { sy = sx_in; h = sy * ph; }
  else { h = ph; sy = 1; }
  if (width) *width = w;
  if (height) *height = h;
  if (x_scale) *x_scale = sx;
  if (y_scale) *y_scale = sy;

  if (save_state) tvk_saveState();
  tvk_translate(x, y);
  if (std::fabs(angle_degrees) > 0.001) tvk_rotate(angle_degrees);
  tvk_concat(w, 0, 0, h, 0, 0);
  tvk_emit(tvk_format("/%s Do\n", image.resource.c_str()));
  if (save_state) tvk_restoreState();
  return 0;
}

int tvk_plotPlaceImage(std::string_view path, int kind, double x, double y, double angle_degrees,
                       double* width, double* height, double* x_scale, double* y_scale,
                       int save_state) {
  return tvk_placeImage(path, kind, tvk_mapX(x), tvk_mapY(y), angle_degrees, width, height, x_scale,
                        y_scale, save_state);
}

int tvk_inlineImage(std::span<const uint8_t> samples, double x, double y, double angle_degrees,
                    double width, double height, int columns, int rows, int bits_per_component,
                    int color_mode, int save_state) {
  tvk_Document& doc = tvk_doc();
  const int mode = color_mode & 3;
  const int64_t components = mode == tvk_kImageRgb ? 3 : mode == tvk_kImageCmyk ? 4 : 1;
  const int64_t row_bytes = (int64_t{columns} * bits_per_component * components + 7) / 8;
  const int64_t needed = row_bytes * rows;
  if (columns <= 0 || rows <= 0 || bits_per_component <= 0 ||
      static_cast<int64_t>(samples.size()) < needed) {
    tvk_reportError(tvk_kSeverityError, tvk_writerName(),
                    "Inline image of %d x %d pixels needs %ld bytes, %ld given", columns, rows,
                    static_cast<long>(needed), static_cast<long>(samples.size()));
    return -1;
  }
  if (save_state) tvk_saveState();
  tvk_translate(x, y);
  if (std::fabs(angle_degrees) > 0.001) tvk_rotate(angle_degrees);
  tvk_concat(width, 0, 0, height, 0, 0);
  ++doc.inline_images;
  tvk_MemoryStream& s = *doc.scratch;
  s.Reset();
  s.Append("BI\n");
  s.Append(tvk_format("/W %d\n/H %d\n/BPC %d\n", columns, rows, bits_per_component));
  static constexpr const char* kModes[] = {"/ImageMask true\n", "/ColorSpace /DeviceGray\n",
                                           "/ColorSpace /DeviceRGB\n", "/ColorSpace /DeviceCMYK\n"};
  static constexpr int kKindBits[] = {4, 1, 2, 2};
  s.Append(kModes[mode]);
  doc.image_kinds |= kKindBits[mode];
  s.Append("ID ");
  s.Append(samples.data(), static_cast<size_t>(needed));
  s.Append("\nEI\n");
  tvk_emit(s.Text());
  if (save_state) tvk_restoreState();
  return 0;
}

int tvk_plotInlineImage(std::span<const uint8_t> samples, double x, double y, double angle_degrees,
                        double width, double height, int columns, int rows, int bits_per_component,
                        int color_mode, int save_state) {
  return tvk_inlineImage(samples, tvk_mapX(x), tvk_mapY(y), angle_degrees, width, height, columns,
                         rows, bits_per_component, color_mode, save_state);
}

void tvk_writeImages() {
  tvk_Document& doc = tvk_doc();
  for (const tvk_Image& image : doc.images) {
    tvk_beginObject(image.object);
    std::string s = "<<\n/Type /XObject\n/Subtype /Image\n";
    tvk_appendFormat(s, "/Name /%s\n", image.resource.c_str());
    tvk_appendFormat(s, "/Width %d\n", image.width);
    tvk_appendFormat(s, "/Height %d\n", image.height);
    s += "/Filter /DCTDecode\n";
    tvk_appendFormat(s, "/BitsPerComponent %d\n", image.bits);
    tvk_appendFormat(s, "/ColorSpace /%s\n", ColorSpace(image.components));
    tvk_appendFormat(s, "/Length %ld\n", static_cast<long>(image.data.size()));
    s += ">>\nstream\n";
    tvk_writeOutput(s);
    doc.whole->Append(image.data.data(), image.data.size());
    tvk_writeOutput("\nendstream\n");
    tvk_endObject();
  }
}
