#pragma once

#include <vector>

#include "common/time_axis_mark.h"
#include "reports/printer_base.h"

// The clock-time scale under a printed chart or table: its width stands for the document's print
// span. Marks every 10 minutes (20 for a span longer than a day), labels on every second full
// hour from the first even one (every fourth, or eighth with AM/PM, for long spans). A drawing
// element: the owner places it with SetOffset, lets it draw and deletes it.
class TPrintTimeAxis : public TPrinter {
 public:
  // The rectangle in 0.01 mm from the owner's block origin.
  TPrintTimeAxis(CZK470Doc* doc, int x, int y, int width, int height);
  ~TPrintTimeAxis() override;

  virtual void Draw(gfx::Canvas& dc, win::CPrintInfo& info);

  // Positions in 0.01 mm from the axis start. An empty span has no marks.
  void BuildMarks();
  const std::vector<TTimeAxisMark>& Marks() const { return marks_; }

 private:
  void DrawMarks(gfx::Canvas& dc);

  int x_;
  int y_;
  int width_;
  int height_;
  std::vector<TTimeAxisMark> marks_;
};
