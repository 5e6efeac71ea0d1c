#include "charts/image_canvas.h"

#include <QPainter>
#include <QString>
#include <algorithm>
#include <cstdlib>

namespace marrowick {

ImageCanvas::ImageCanvas(int width, int height)
    : image_(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32) {
  image_.fill(Qt::white);
  font_.setFamily(QStringLiteral("Arial"));
  font_.setPixelSize(11);
  font_.setStyleStrategy(QFont::NoAntialias);
}

TColor ImageCanvas::Pixel(int x, int y) const {
  const QRgb rgb = image_.pixel(x, y);
  return TColor{static_cast<uint8_t>(qRed(rgb)), static_cast<uint8_t>(qGreen(rgb)),
                static_cast<uint8_t>(qBlue(rgb))};
}

void ImageCanvas::Plot(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) return;
  reinterpret_cast<QRgb*>(image_.scanLine(y))[x] = qRgb(color.R, color.G, color.B);
}

void ImageCanvas::PlotPen(int x, int y) {
  // A wide pen is a square centred on the path, the extra pixel up and left.
  const int first = -(pen_width_ / 2);
  for (int dy = first; dy < first + pen_width_; ++dy)
    for (int dx = first; dx < first + pen_width_; ++dx) Plot(x + dx, y + dy, pen_color_);
}

void ImageCanvas::PlotLine(int x1, int y1, int x2, int y2, bool include_end) {
  // Bresenham: one pixel per step along the major axis.
  const int dx = std::abs(x2 - x1);
  const int dy = -std::abs(y2 - y1);
  const int sx = x1 < x2 ? 1 : -1;
  const int sy = y1 < y2 ? 1 : -1;
  int error = dx + dy;
  int x = x1;
  int y = y1;
  for (;;) {
    const bool at_end = x == x2 && y == y2;
    if (at_end && !include_end) return;
    PlotPen(x, y);
    if (at_end) return;
    const int doubled = 2 * error;
    if (doubled >= dy) {
      error += dy;
      x += sx;
    }
    if (doubled <= dx) {
      error += dx;
      y += sy;
    }
  }
}

void ImageCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  if (x2 == x1 || y2 == y1) return;
  // Row by row: every chart starts by filling the whole surface, and a batch
  // draws hundreds of them.
  if (brush_solid_) {
    const QRgb fill = qRgb(brush_color_.R, brush_color_.G, brush_color_.B);
    const int left = std::max(x1, 0);
    const int right = std::min(x2, image_.width());
    for (int y = std::max(y1, 0); y < std::min(y2, image_.height()) && left < right; ++y) {
      auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
      std::fill(row + left, row + right, fill);
    }
  }
  const int right = x2 - 1;
  const int bottom = y2 - 1;
  PlotLine(x1, y1, right, y1, true);
  PlotLine(right, y1, right, bottom, true);
  PlotLine(right, bottom, x1, bottom, true);
  PlotLine(x1, bottom, x1, y1, true);
}

void ImageCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  if (x2 == x1 || y2 == y1) return;
  const double cx = (x1 + x2) / 2.0;
  const double cy = (y1 + y2) / 2.0;
  const double a = (x2 - x1) / 2.0;
  const double b = (y2 - y1) / 2.0;
  auto inside = [&](int x, int y) {
    if (x < x1 || x >= x2 || y < y1 || y >= y2) return false;
    const double u = (x + 0.5 - cx) / a;
    const double v = (y + 0.5 - cy) / b;
    return u * u + v * v <= 1.0;
  };
  // The outline is every inside pixel within the pen's width of the outside.
  const int reach = pen_width_;
  for (int y = y1; y < y2; ++y) {
    for (int x = x1; x < x2; ++x) {
      if (!inside(x, y)) continue;
      bool on_outline = false;
      for (int dy = -reach; dy <= reach && !on_outline; ++dy)
        for (int dx = -reach; dx <= reach && !on_outline; ++dx)
          if (std::abs(dx) + std::abs(dy) <= reach && (dx || dy) && !inside(x + dx, y + dy))
            on_outline = true;
      if (on_outline)
        Plot(x, y, pen_color_);
      else if (brush_solid_)
        Plot(x, y, brush_color_);
    }
  }
}

void ImageCanvas::MoveTo(int x, int y) {
  pen_x_ = x;
  pen_y_ = y;
}

void ImageCanvas::LineTo(int x, int y) {
  PlotLine(pen_x_, pen_y_, x, y, false);
  MoveTo(x, y);
}

void ImageCanvas::TextOut(int x, int y, const std::string& text) {
  QPainter painter(&image_);
  painter.setFont(font_);
  painter.setPen(QColor(font_color_.R, font_color_.G, font_color_.B));
  const QString qtext = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QRect bounds(x, y, 1 << 14, 1 << 14);
  if (brush_solid_) {
    const QRect used = painter.boundingRect(bounds, Qt::AlignLeft | Qt::AlignTop, qtext);
    painter.fillRect(used, QColor(brush_color_.R, brush_color_.G, brush_color_.B));
  }
  painter.drawText(bounds, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, qtext);
}

}  // namespace marrowick
