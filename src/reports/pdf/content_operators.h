#pragma once

#include <string>
#include <string_view>

// Content-stream operators of the current page. Raw forms take PDF points; plot forms map their
// coordinates through the active plot domain first. Each raw form writes one line in the
// writer's fixed formats ("%.3f %.3f m", "%.4f w" ...). Drawing without a begun page is dropped
// (reported once). Texts are UTF-8 and are written in the current font's encoding.

void tvk_setGrayFill(double g);
void tvk_setGrayStroke(double g);
void tvk_setGray(double g);
void tvk_setRgbFill(double r, double g, double b);
void tvk_setRgbStroke(double r, double g, double b);
void tvk_setRgb(double r, double g, double b);
void tvk_setCmykFill(double c, double m, double y, double k);
void tvk_setCmykStroke(double c, double m, double y, double k);
void tvk_setCmyk(double c, double m, double y, double k);

void tvk_saveState();
void tvk_restoreState();
void tvk_setDash(std::string_view dash);  // "[2.25 1.5 0 1.5]0"
void tvk_setNoDash();
void tvk_concat(double a, double b, double c, double d, double e, double f);
void tvk_plotConcat(double a, double b, double c, double d, double e, double f);
void tvk_rotate(double degrees);
void tvk_translate(double x, double y);
void tvk_plotTranslate(double x, double y);
void tvk_scale(double sx, double sy);
void tvk_setFlatness(int flatness);
void tvk_setLineJoin(int join);
void tvk_setLineCap(int cap);
void tvk_setMiterLimit(double limit);
void tvk_setLineWidth(double width);

void tvk_moveTo(double x, double y);
void tvk_plotMoveTo(double x, double y);
void tvk_moveBy(double dx, double dy);
void tvk_plotMoveBy(double dx, double dy);
void tvk_lineTo(double x, double y);
void tvk_plotLineTo(double x, double y);
void tvk_lineBy(double dx, double dy);
void tvk_plotLineBy(double dx, double dy);
void tvk_curveTo(double x1, double y1, double x2, double y2, double x3, double y3);
void tvk_plotCurveTo(double x1, double y1, double x2, double y2, double x3, double y3);
void tvk_rectangle(double x, double y, double width, double height);
void tvk_plotRectangle(double x, double y, double width, double height);
void tvk_circle(double x, double y, double radius);
void tvk_plotCircle(double x, double y, double radius);
void tvk_closePath();
void tvk_stroke();
void tvk_fill();
void tvk_fillEvenOdd();
void tvk_fillStroke();
void tvk_fillStrokeEvenOdd();
void tvk_clip();
void tvk_clipEvenOdd();
void tvk_newPath();

void tvk_beginText(int mode);
void tvk_endText();
void tvk_setWordSpacing(double spacing);
void tvk_setCharSpacing(double spacing);
void tvk_setHorizontalScaling(double percent);
void tvk_setLeading(double leading);
void tvk_setTextRise(double rise);
void tvk_setTextRender(int mode);
void tvk_setTextMatrix(double a, double b, double c, double d, double e, double f);
void tvk_concatTextMatrix(double a, double b, double c, double d, double e, double f);
void tvk_rotateText(double degrees);
void tvk_skewText(double alpha_degrees, double beta_degrees);
void tvk_setTextPosition(double x, double y);
void tvk_plotTextPosition(double x, double y);
void tvk_moveText(double tx, double ty);
void tvk_plotMoveText(double tx, double ty);
void tvk_nextLine();
void tvk_showText(std::string_view text);
void tvk_showTextNextLine(std::string_view text);
// Sets the text matrix to a rotation by angle about (x, y) and shows the text.
void tvk_text(double x, double y, double angle_degrees, std::string_view text);
void tvk_plotText(double x, double y, double angle_degrees, std::string_view text);
// Alignment 0..8: column (left, centre, right) + 3 × row (baseline, middle, cap height) of the
// text's cap-height box; 4 centres it on (x, y).
void tvk_textAligned(double x, double y, double angle_degrees, int alignment, std::string_view text);
void tvk_plotTextAligned(double x, double y, double angle_degrees, int alignment,
                         std::string_view text);
void tvk_resetTextMatrix();
// Backslash before "(", ")" and backslash; other bytes unchanged.
std::string tvk_escapeText(std::string_view bytes);
// Width in points of the text in the current font, size and spacing.
double tvk_stringWidth(std::string_view text);
// Cap height of the current font as a fraction of the font size.
double tvk_capHeight();
