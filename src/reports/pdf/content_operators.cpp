#include "reports/pdf/content_operators.h"

#include <charconv>
#include <cmath>

#include "gfx/standard_fonts.h"
#include "reports/pdf/pdf_fonts.h"
#include "reports/pdf/pdf_format.h"
#include "reports/pdf/pdf_state.h"

namespace {

constexpr double kDegToRad = 0.017453292522222223;

// Writes "x y op\n" with three decimals: the bulk of an ECG page, so no format parsing.
// The buffer holds two numbers of the largest magnitude (309 digits in fixed notation): a
// degenerate plot scale can map a point that far, and a failed to_chars would leave p at the end.
void EmitPoint(double x, double y, char op) {
  char buf[2 * 320 + 4];
  char* p = buf;
  char* const end = buf + sizeof buf;
  auto number = [&](double v) {
    if (!std::isfinite(v)) v = 0;
    p = std::to_chars(p, end, v, std::chars_format::fixed, 3).ptr;
  };
  number(x);
  *p++ = ' ';
  number(y);
  *p++ = ' ';
  *p++ = op;
  *p++ = '\n';
  tvk_emit({buf, static_cast<size_t>(p - buf)});
}

tvk_TextState& Text() { return tvk_doc().text; }

void WriteTextMatrix() {
  const tvk_Matrix& m = Text().text_matrix;
  tvk_emit(tvk_format("%.4f %.4f %.4f %.4f %.4f %.4f Tm\n", m.a, m.b, m.c, m.d, m.e, m.f));
}

const std::array<int16_t, 256>& CurrentWidths() {
  const tvk_Document& doc = tvk_doc();
  if (doc.text.font >= 0) return doc.fonts[doc.text.font].widths;
  return gfx::FindStandardFont("Helvetica")->winansi_widths;
}

void Show(std::string_view text, const char* format) {
  if (tvk_drawingPage() == nullptr) return;
  tvk_ensurePageFont();
  tvk_emit(tvk_format(format, tvk_escapeText(tvk_fontBytes(text)).c_str()));
}

}  // namespace

void tvk_setGrayFill(double g) { tvk_emit(tvk_format("%.4f g\n", g)); }
void tvk_setGrayStroke(double g) { tvk_emit(tvk_format("%.4f G\n", g)); }
void tvk_setGray(double g) {
  tvk_setGrayFill(g);
  tvk_setGrayStroke(g);
}
void tvk_setRgbFill(double r, double g, double b) { tvk_emit(tvk_format("%.4f %.4f %.4f rg\n", r, g, b)); }
void tvk_setRgbStroke(double r, double g, double b) {
  tvk_emit(tvk_format("%.4f %.4f %.4f RG\n", r, g, b));
}
void tvk_setRgb(double r, double g, double b) {
  tvk_setRgbFill(r, g, b);
  tvk_setRgbStroke(r, g, b);
}
void tvk_setCmykFill(double c, double m, double y, double k) {
  tvk_emit(tvk_format("%.4f %.4f %.4f %.4f k\n", c, m, y, k));
}
void tvk_setCmykStroke(double c, double m, double y, double k) {
  tvk_emit(tvk_format("%.4f %.4f %.4f %.4f K\n", c, m, y, k));
}
void tvk_setCmyk(double c, double m, double y, double k) {
  tvk_setCmykFill(c, m, y, k);
  tvk_setCmykStroke(c, m, y, k);
}

// The leading line feed keeps operators apart even after raw text written without one.
void tvk_saveState() { tvk_emit("\nq\n"); }
void tvk_restoreState() { tvk_emit("Q\n"); }
void tvk_setDash(std::string_view dash) { tvk_emit(tvk_format("%s d\n", std::string(dash).c_str())); }
void tvk_setNoDash() { tvk_setDash("[] 0"); }

void tvk_concat(double a, double b, double c, double d, double e, double f) {
  tvk_emit(tvk_format("%.4f %.4f %.4f %.4f %.4f %.4f cm\n", a, b, c, d, e, f));
}
void tvk_plotConcat(double a, double b, double c, double d, double e, double f) {
  tvk_concat(a, b, c, d, tvk_mapX(e), tvk_mapY(f));
}
void tvk_rotate(double degrees) {
  const double r = degrees * kDegToRad;
  tvk_concat(std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0);
}
void tvk_translate(double x, double y) { tvk_concat(1, 0, 0, 1, x, y); }
void tvk_plotTranslate(double x, double y) { tvk_translate(tvk_mapX(x), tvk_mapY(y)); }
void tvk_scale(double sx, double sy) { tvk_concat(sx, 0, 0, sy, 0, 0); }
void tvk_setFlatness(int flatness) { tvk_emit(tvk_format("%d i\n", flatness)); }
void tvk_setLineJoin(int join) { tvk_emit(tvk_format("%d j\n", join)); }
void tvk_setLineCap(int cap) { tvk_emit(tvk_format("%d J\n", cap)); }
void tvk_setMiterLimit(double limit) { tvk_emit(tvk_format("%.4f M\n", limit)); }
void tvk_setLineWidth(double width) { tvk_emit(tvk_format("%.4f w\n", width)); }

void tvk_moveTo(double x, double y) {
  Text().x = x;
  Text().y = y;
  EmitPoint(x, y, 'm');
}
void tvk_plotMoveTo(double x, double y) { tvk_moveTo(tvk_mapX(x), tvk_mapY(y)); }
void tvk_moveBy(double dx, double dy) { tvk_moveTo(Text().x + dx, Text().y + dy); }
void tvk_plotMoveBy(double dx, double dy) { tvk_moveBy(tvk_mapX(dx), tvk_mapY(dy)); }
void tvk_lineTo(double x, double y) {
  Text().x = x;
  Text().y = y;
  EmitPoint(x, y, 'l');
}
void tvk_plotLineTo(double x, double y) { tvk_lineTo(tvk_mapX(x), tvk_mapY(y)); }
void tvk_lineBy(double dx, double dy) { tvk_lineTo(Text().x + dx, Text().y + dy); }
void tvk_plotLineBy(double dx, double dy) { tvk_lineBy(tvk_mapX(dx), tvk_mapY(dy)); }

void tvk_curveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
  Text().x = x3;
  Text().y = y3;
  tvk_emit(tvk_format("%.3f %.3f %.3f %.3f %.3f %.3f c\n", x1, y1, x2, y2, x3, y3));
}
void tvk_plotCurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
  tvk_curveTo(tvk_mapX(x1), tvk_mapY(y1), tvk_mapX(x2), tvk_mapY(y2), tvk_mapX(x3), tvk_mapY(y3));
}

void tvk_rectangle(double x, double y, double width, double height) {
  Text().x = x;
  Text().y = y;
  tvk_emit(tvk_format("%.3f %.3f %.3f %.3f re\n", x, y, width, height));
}
void tvk_plotRectangle(double x, double y, double width, double height) {
  const double px = tvk_mapX(x);
  const double py = tvk_mapY(y);
  tvk_rectangle(px, py, tvk_mapX(x + width) - px, tvk_mapY(y + height) - py);
}

void tvk_circle(double x, double y, double r) {
  const double k = 1.3333333 * r;
  tvk_moveTo(x - r, y);
  tvk_curveTo(x - r, y + k, x + r, y + k, x + r, y);
  tvk_curveTo(x + r, y - k, x - r, y - k, x - r, y);
  tvk_closePath();
  Text().x = x;
  Text().y = y;
}
void tvk_plotCircle(double x, double y, double r) {
  const double px = tvk_mapX(x);
  tvk_circle(px, tvk_mapY(y), tvk_mapX(x + r) - px);
}

void tvk_closePath() { tvk_emit("h\n"); }
void tvk_stroke() { tvk_emit("S\n"); }
void tvk_fill() { tvk_emit("f\n"); }
void tvk_fillEvenOdd() { tvk_emit("f*\n"); }
void tvk_fillStroke() { tvk_emit("B\n"); }
void tvk_fillStrokeEvenOdd() { tvk_emit("B*\n"); }
void tvk_clip() { tvk_emit("W\n"); }
void tvk_clipEvenOdd() { tvk_emit("W*\n"); }
void tvk_newPath() { tvk_emit("n\n"); }

void tvk_beginText(int /*mode*/) {
  tvk_emit("\nBT\n");
  Text().in_text = 1;
  Text().text_matrix = tvk_Matrix{};
}
void tvk_endText() {
  tvk_emit("ET\n");
  Text().in_text = 0;
}
void tvk_setWordSpacing(double spacing) {
  Text().word_spacing = spacing;
  tvk_emit(tvk_format("%.3f Tw\n", spacing));
}
void tvk_setCharSpacing(double spacing) {
  Text().char_spacing = spacing;
  tvk_emit(tvk_format("%.3f Tc\n", spacing));
}
void tvk_setHorizontalScaling(double percent) {
  Text().horizontal_scaling = percent;
  tvk_emit(tvk_format("%.2f Tz\n", percent));
}
void tvk_setLeading(double leading) {
  Text().leading = leading;
  tvk_emit(tvk_format("%.2f TL\n", leading));
}
void tvk_setTextRise(double rise) {
  Text().rise = rise;
  tvk_emit(tvk_format("%.3f Ts\n", rise));
}
void tvk_setTextRender(int mode) { tvk_emit(tvk_format("%d Tr\n", mode)); }

void tvk_setTextMatrix(double a, double b, double c, double d, double e, double f) {
  Text().text_matrix = {a, b, c, d, e, f};
  WriteTextMatrix();
}
void tvk_concatTextMatrix(double a, double b, double c, double d, double e, double f) {
  tvk_concatMatrix(Text().text_matrix, {a, b, c, d, e, f});
  WriteTextMatrix();
}
void tvk_rotateText(double degrees) {
  const double r = degrees * kDegToRad;
  tvk_concatTextMatrix(std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0);
}
void tvk_skewText(double alpha_degrees, double beta_degrees) {
  tvk_concatTextMatrix(1, std::tan(alpha_degrees * kDegToRad), std::tan(beta_degrees * kDegToRad), 1,
                       0, 0);
}
void tvk_setTextPosition(double x, double y) {
  Text().text_matrix.e = x;
  Text().text_matrix.f = y;
  WriteTextMatrix();
}
void tvk_plotTextPosition(double x, double y) { tvk_setTextPosition(tvk_mapX(x), tvk_mapY(y)); }
void tvk_moveText(double tx, double ty) { tvk_emit(tvk_format("%.3f %.3f Td\n", tx, ty)); }
void tvk_plotMoveText(double tx, double ty) { tvk_moveText(tvk_mapX(tx), tvk_mapY(ty)); }
void tvk_nextLine() { tvk_emit("T*\n"); }
void tvk_showText(std::string_view text) { Show(text, "(%s) Tj\n"); }
void tvk_showTextNextLine(std::string_view text) { Show(text, "(%s) '\n"); }

void tvk_text(double x, double y, double angle_degrees, std::string_view text) {
  const double r = angle_degrees * kDegToRad;
  tvk_setTextMatrix(std::cos(r), std::sin(r), -std::sin(r), std::cos(r), x, y);
  tvk_showText(text);
}
void tvk_plotText(double x, double y, double angle_degrees, std::string_view text) {
  tvk_text(tvk_mapX(x), tvk_mapY(y), angle_degrees, text);
}

void tvk_textAligned(double x, double y, double angle_degrees, int alignment, std::string_view text) {
  const double w = tvk_stringWidth(text);
  const double h = tvk_capHeight() * Text().font_size;
  const int column = alignment % 3;
  const int row = alignment / 3;
  const double u = column == 2 ? w : column == 1 ? w / 2 : 0;
  const double v = row == 2 ? h : row == 1 ? h / 2 : 0;
  const double r = angle_degrees * kDegToRad;
  const double c = std::cos(r);
  const double s = std::sin(r);
  tvk_setTextMatrix(c, s, -s, c, x - (u * c - v * s), y - (u * s + v * c));
  tvk_showText(text);
}
void tvk_plotTextAligned(double x, double y, double angle_degrees, int alignment,
                         std::string_view text) {
  tvk_textAligned(tvk_mapX(x), tvk_mapY(y), angle_degrees, alignment, text);
}

void tvk_resetTextMatrix() { Text().text_matrix = tvk_Matrix{}; }

std::string tvk_escapeText(std::string_view bytes) { return tvk_escapeBytes(bytes, false); }

double tvk_stringWidth(std::string_view text) {
  const std::string bytes = tvk_fontBytes(text);
  if (bytes.empty()) return 0;
  const tvk_TextState& t = Text();
  const std::array<int16_t, 256>& widths = CurrentWidths();
  double w = 0;
  for (const char ch : bytes) {
    const auto c = static_cast<uint8_t>(ch);
    w += widths[c] * t.font_size * 0.001 + t.char_spacing;
    if (c == 32) w += t.word_spacing;
  }
  w -= t.char_spacing;
  return w * t.horizontal_scaling * 0.01;
}

double tvk_capHeight() {
  const tvk_Document& doc = tvk_doc();
  if (doc.text.font >= 0) return doc.fonts[doc.text.font].cap_height * 0.001;
  return 0.718;
}
