#pragma once

#include <QFont>
#include <QImage>

#include "charts/canvas.h"

namespace marrowick {

// A canvas over a persistent bitmap. Shapes and lines are set pixel by pixel
// (no antialiasing), so every pixel the charts place is where the rules put
// it; only text goes through the toolkit's font rendering.
class ImageCanvas : public Canvas {
 public:
  ImageCanvas(int width, int height);

  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }

  void SetBrushSolid(bool solid) override { brush_solid_ = solid; }
  void SetBrushColor(TColor color) override { brush_color_ = color; }
  void SetPenColor(TColor color) override { pen_color_ = color; }
  void SetPenWidth(int width) override { pen_width_ = width < 1 ? 1 : width; }
  void SetFontColor(TColor color) override { font_color_ = color; }
  int PenWidth() const override { return pen_width_; }

  void Rectangle(int x1, int y1, int x2, int y2) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, const std::string& text) override;

  const QImage& Image() const { return image_; }
  TColor Pixel(int x, int y) const;
  void SetFont(const QFont& font) { font_ = font; }

 private:
  void Plot(int x, int y, TColor color);
  // Sets the pen's square of pixels around (x, y).
  void PlotPen(int x, int y);
  // Pixels from (x1, y1) to (x2, y2), the end point included when asked.
  void PlotLine(int x1, int y1, int x2, int y2, bool include_end);

  QImage image_;
  QFont font_;
  bool brush_solid_ = true;
  TColor brush_color_ = kWhite;
  TColor pen_color_ = kBlack;
  TColor font_color_ = kBlack;
  int pen_width_ = 1;
  int pen_x_ = 0;
  int pen_y_ = 0;
};

}  // namespace marrowick
