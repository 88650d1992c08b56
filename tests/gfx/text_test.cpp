#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/font_metrics.h"
#include "gfx/recording_canvas.h"

namespace gfx {
namespace {

Font Arial(int32_t height, int32_t weight = kFwNormal) {
  Font f;
  f.height = height;
  f.weight = weight;
  return f;
}

// The text runs a canvas recorded, in order.
std::vector<rec::Text> Runs(const RecordingCanvas& canvas) {
  std::vector<rec::Text> out;
  for (const DisplayItem& item : canvas.Items())
    if (const auto* t = std::get_if<rec::Text>(&item)) out.push_back(*t);
  return out;
}

TEST(TextMetrics, FollowTheArialCellOfTheHeight) {
  struct Case {
    const char* name;
    Font font;
    TextMetrics want;
  };
  const Case kCases[] = {
      // em 20: ascent 0.905 em, descent 0.212 em; internal leading is what the cell adds to the em.
      {"character height 20", Arial(-20), {22, 18, 4, 2, 1, 9, 20, 400}},
      // A cell of 15 holds an em of 13.4.
      {"cell height 15", Arial(15), {15, 12, 3, 2, 0, 6, 14, 400}},
      {"bold keeps the cell", Arial(-20, kFwBold), {22, 18, 4, 2, 1, 10, 20, 700}},
      {"height 0 is an em of 12", Arial(0), {14, 11, 3, 2, 0, 5, 12, 400}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    RecordingCanvas canvas;
    canvas.SelectFont(c.font);
    EXPECT_EQ(canvas.GetTextMetrics(), c.want);
  }
}

TEST(TextMetrics, ExtentsUseArialWidthsAndFamiliesByFace) {
  struct Case {
    const char* name;
    Font font;
    const char* text;
    Size want;
  };
  Font courier = Arial(-20);
  courier.face = "Courier New";
  Font times = Arial(-20);
  times.face = "Times New Roman";
  Font sans_serif = Arial(-20);
  sans_serif.face = "MS Sans Serif";
  Font condensed = Arial(-20);
  condensed.width = 4;  // about half the natural average width of 8.8
  const Case kCases[] = {
      // H 722, e 556, l 222, l 222, o 556 = 2278/1000 em.
      {"Arial", Arial(-20), "Hello", {46, 22}},
      {"Arial bold", Arial(-20, kFwBold), "Hello", {49, 22}},
      {"sans serif faces measure as Arial", sans_serif, "Hello", {46, 22}},
      {"fixed pitch", courier, "Hello", {60, 23}},
      {"serif", times, "Hello", {44, 22}},
      {"umlaut measures as its cp1252 glyph", Arial(-20), "\xC3\x84", {13, 22}},
      {"empty text has the line height", Arial(-20), "", {0, 22}},
      {"a narrower font width condenses", condensed, "Hello", {21, 22}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    RecordingCanvas canvas;
    canvas.SelectFont(c.font);
    EXPECT_EQ(canvas.GetTextExtent(c.text), c.want);
  }
}

TEST(TextOut, AlignsTheCellAroundTheReferencePoint) {
  struct Case {
    const char* name;
    uint32_t align;
    Rect bounds;
  };
  // "Hello" at -20: 46 wide, 22 high, ascent 18; reference point (100, 50).
  const Case kCases[] = {
      {"top left", kTaTop | kTaLeft, {100, 50, 146, 72}}, {"right", kTaRight, {54, 50, 100, 72}},
      {"centre", kTaCenter, {77, 50, 123, 72}},           {"bottom", kTaBottom, {100, 28, 146, 50}},
      {"baseline", kTaBaseline, {100, 32, 146, 54}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    RecordingCanvas canvas;
    canvas.SelectFont(Arial(-20));
    canvas.SetTextAlign(c.align);
    canvas.TextOut(100, 50, "Hello");
    ASSERT_EQ(Runs(canvas).size(), 1u);
    EXPECT_EQ(Runs(canvas)[0].bounds, c.bounds);
  }
}

TEST(TextOut, UpdatingTheCurrentPositionWritesOnFromIt) {
  RecordingCanvas canvas;
  canvas.SelectFont(Arial(-20));
  canvas.SetTextAlign(kTaUpdateCp);
  canvas.MoveTo(10, 5);
  canvas.TextOut(0, 0, "Hello");
  canvas.TextOut(0, 0, "Hello");
  const std::vector<rec::Text> runs = Runs(canvas);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].at, (Point{10, 5}));
  EXPECT_EQ(runs[1].at, (Point{56, 5}));
  EXPECT_EQ(canvas.GetCurrentPosition(), (Point{102, 5}));
}

TEST(DrawText, PlacesSingleLinesByTheFormat) {
  struct Case {
    const char* name;
    uint32_t format;
    Point at;
    int32_t result;
  };
  // "Ch.1" at -20 is 42.24 wide and 22 high, in the box (0, 0, 100, 30).
  const Case kCases[] = {
      {"36: left, centred vertically", 0x24, {0, 4}, 26},
      {"37: centred", 0x25, {29, 4}, 26},
      {"38: right", 0x26, {58, 4}, 26},
      {"bottom", kDtSingleLine | kDtBottom, {0, 8}, 30},
      {"top", kDtSingleLine, {0, 0}, 22},
      {"vertical centring needs a single line", kDtVCenter, {0, 0}, 22},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    RecordingCanvas canvas;
    canvas.SelectFont(Arial(-20));
    Rect box{0, 0, 100, 30};
    EXPECT_EQ(canvas.DrawText("Ch.1", box, c.format), c.result);
    EXPECT_EQ(box, (Rect{0, 0, 100, 30}));
    const std::vector<rec::Text> runs = Runs(canvas);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].at, c.at);
    EXPECT_EQ(runs[0].bounds, (Rect{c.at.x, c.at.y, c.at.x + 42, c.at.y + 22}));
    EXPECT_FALSE(runs[0].clip.has_value());
  }
}

TEST(DrawText, BreaksWordsMeasuresAndShortens) {
  struct Case {
    const char* name;
    const char* text;
    uint32_t format;
    Rect box;
    std::vector<std::string> lines;
    Rect calc;  // the box after kDtCalcRect
  };
  const Case kCases[] = {
      {"word break", "one two three", kDtWordBreak, {0, 0, 60, 100}, {"one", "two", "three"}, {0, 0, 46, 66}},
      {"word break keeps what fits",
       "one two three",
       kDtWordBreak,
       {0, 0, 75, 100},
       {"one two", "three"},
       {0, 0, 70, 44}},
      {"a word wider than the box stands alone",
       "extraordinarily",
       kDtWordBreak,
       {0, 0, 20, 100},
       {"extraordinarily"},
       {0, 0, 126, 22}},
      {"line breaks", "a\r\nb\nc", 0, {0, 0, 100, 100}, {"a", "b", "c"}, {0, 0, 11, 66}},
      {"end ellipsis",
       "Hello World",
       kDtSingleLine | kDtEndEllipsis,
       {0, 0, 40, 30},
       {"H..."},
       {0, 0, 31, 22}},
      {"prefix characters",
       "&File && more",
       kDtSingleLine,
       {0, 0, 200, 30},
       {"File & more"},
       {0, 0, 102, 22}},
      {"no prefix processing",
       "&File",
       kDtSingleLine | kDtNoPrefix,
       {0, 0, 200, 30},
       {"&File"},
       {0, 0, 46, 22}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    RecordingCanvas canvas;
    canvas.SelectFont(Arial(-20));
    Rect box = c.box;
    canvas.DrawText(c.text, box, c.format);
    std::vector<std::string> lines;
    int32_t y = 0;
    for (const rec::Text& run : Runs(canvas)) {
      lines.push_back(run.text);
      EXPECT_EQ(run.at.y, y);
      y += 22;
    }
    EXPECT_EQ(lines, c.lines);
    Rect calc = c.box;
    EXPECT_EQ(canvas.DrawText(c.text, calc, c.format | kDtCalcRect), c.calc.bottom);
    EXPECT_EQ(calc, c.calc);
    EXPECT_EQ(Runs(canvas).size(), c.lines.size());  // measuring drew nothing
  }
}

TEST(DrawText, TabsExpandToStopsOfEightAverageCharacters) {
  RecordingCanvas canvas;
  canvas.SelectFont(Arial(-20));  // average character 9: stops every 72
  Rect box{10, 0, 300, 30};
  canvas.DrawText("a\tb\tc", box, kDtSingleLine | kDtExpandTabs);
  const std::vector<rec::Text> runs = Runs(canvas);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].at.x, 10);
  EXPECT_EQ(runs[1].at.x, 82);
  EXPECT_EQ(runs[2].at.x, 154);
}

TEST(DrawText, ClipsToTheBoxUnlessTold) {
  RecordingCanvas canvas;
  canvas.SelectFont(Arial(-20));
  Rect box{0, 0, 30, 30};
  canvas.DrawText("Hello", box, kDtSingleLine);
  canvas.DrawText("Hello", box, kDtSingleLine | kDtNoClip);
  const std::vector<rec::Text> runs = Runs(canvas);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].clip, box);
  EXPECT_FALSE(runs[1].clip.has_value());
}

// Report parts write their texts in twips (y up) into bands given with YToTwips: the band's top is
// numerically greater than its bottom, and a vertically centred line sits in its middle.
TEST(DrawText, CentresInATwipsBandWithYUp) {
  DeviceInfo printer;
  printer.dpi_x = printer.dpi_y = 300;
  RecordingCanvas canvas(printer);
  canvas.SetMapMode(MapMode::kTwips);
  canvas.SelectFont(Arial(-240));  // 1/6 inch: cell 268 twips
  Rect band{0, -1500, 18000, -2100};
  canvas.DrawText("Summary", band, 0x24);
  const std::vector<rec::Text> runs = Runs(canvas);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].at, (Point{0, -1666}));
  EXPECT_EQ(runs[0].bounds.top, -1666);
  EXPECT_EQ(runs[0].bounds.bottom, -1934);
  EXPECT_EQ(runs[0].bounds.top + runs[0].bounds.bottom, band.top + band.bottom);
  const Rect device = canvas.LPtoDP(runs[0].bounds);
  const Rect device_band = canvas.LPtoDP(band);
  EXPECT_NEAR(device.top + device.bottom, device_band.top + device_band.bottom, 1);
  // Measuring in a y-up mode grows the box downward, too.
  Rect calc{0, -1500, 0, 0};
  canvas.DrawText("Summary", calc, 0x24 | kDtCalcRect);
  EXPECT_EQ(calc.bottom, -1500 - 268);
}

TEST(FontFaces, ResolveToStandardFacesAndScreenFamilies) {
  struct Case {
    const char* face;
    int32_t weight;
    bool italic;
    const char* postscript;
    const char* screen;
  };
  const Case kCases[] = {
      {"Arial", 400, false, "Helvetica", "Liberation Sans"},
      {"Arial", 700, true, "Helvetica-BoldOblique", "Liberation Sans"},
      {"MS Sans Serif", 600, false, "Helvetica-Bold", "Liberation Sans"},
      {"Courier New", 400, false, "Courier", "Liberation Mono"},
      {"Times New Roman", 400, true, "Times-Italic", "Liberation Serif"},
      {"Unknown Face", 400, false, "Helvetica", "Liberation Sans"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.face);
    Font f;
    f.face = c.face;
    f.weight = c.weight;
    f.italic = c.italic;
    const FontFace face = ResolveFontFace(f);
    EXPECT_EQ(face.widths->name, c.postscript);
    EXPECT_EQ(face.screen_family, c.screen);
  }
}

}  // namespace
}  // namespace gfx
