#pragma once

#include "reports/printer_base.h"

// Millimetre paper behind a printed strip, over a rectangle of page coordinates (0.01 mm, y up):
// a frame and lines every 10 mm, dotted lines at the 5 mm positions and, unless switched off, a dot
// at every other millimetre. During a PDF export only a marker names the rectangle; the converter
// draws the paper itself.
class TPrintECGGrid : public TPrinter {
 public:
  TPrintECGGrid(int left, int top, int right, int bottom, int no_small_grid);

  virtual void Draw(gfx::Canvas& dc, win::CPrintInfo& info);

 private:
  int left_;
  int top_;
  int right_;
  int bottom_;
  int no_small_grid_;
};

// A lattice of 0.1 mm ticks every 0.5 mm strictly inside a rectangle of page coordinates, behind
// small strips and highlighted stretches; a marker only during a PDF export.
class TPrintDotGrid : public TPrinter {
 public:
  TPrintDotGrid(int left, int top, int right, int bottom);

  virtual void Draw(gfx::Canvas& dc, win::CPrintInfo& info);

 private:
  int left_;
  int top_;
  int right_;
  int bottom_;
};
