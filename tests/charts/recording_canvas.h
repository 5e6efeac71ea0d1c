#pragma once

#include <string>
#include <vector>

#include "charts/image_canvas.h"

namespace marrowick::testing {

// An image canvas that also keeps the drawing calls, so a test can check what
// was drawn where, in which pen, without depending on glyph shapes.
class RecordingCanvas : public ImageCanvas {
 public:
  enum class Kind { Rectangle, Ellipse, MoveTo, LineTo, Text };
  struct Call {
    Kind kind;
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    std::string text;
    TColor pen;
    int pen_width = 1;
  };

  RecordingCanvas(int width = 471, int height = 359) : ImageCanvas(width, height) {}

  void SetPenColor(TColor color) override {
    pen_ = color;
    ImageCanvas::SetPenColor(color);
  }
  void Rectangle(int x1, int y1, int x2, int y2) override {
    Record(Kind::Rectangle, x1, y1, x2, y2);
    ImageCanvas::Rectangle(x1, y1, x2, y2);
  }
  void Ellipse(int x1, int y1, int x2, int y2) override {
    Record(Kind::Ellipse, x1, y1, x2, y2);
    ImageCanvas::Ellipse(x1, y1, x2, y2);
  }
  void MoveTo(int x, int y) override {
    Record(Kind::MoveTo, x, y);
    ImageCanvas::MoveTo(x, y);
  }
  void LineTo(int x, int y) override {
    Record(Kind::LineTo, x, y);
    nested_ = true;
    ImageCanvas::LineTo(x, y);
    nested_ = false;
  }
  void TextOut(int x, int y, const std::string& text) override {
    Record(Kind::Text, x, y, 0, 0, text);
    ImageCanvas::TextOut(x, y, text);
  }

  std::vector<Call> Of(Kind kind) const {
    std::vector<Call> found;
    for (const auto& call : calls) {
      if (call.kind == kind) found.push_back(call);
    }
    return found;
  }

  std::vector<Call> calls;

 private:
  // The image canvas moves its own position after a line; only the chart's
  // calls are kept.
  void Record(Kind kind, int x1, int y1, int x2 = 0, int y2 = 0, const std::string& text = {}) {
    if (nested_) return;
    calls.push_back(Call{kind, x1, y1, x2, y2, text, pen_, PenWidth()});
  }
  bool nested_ = false;
  TColor pen_ = kBlack;
};

}  // namespace marrowick::testing
