#pragma once

#include <QWidget>

#include "charts/image_canvas.h"

namespace marrowick {

// The drawing surface of the window: a bitmap of its own that keeps whatever
// the section view or a chart drew on it until the next drawing, and shows
// it again whenever the window is uncovered.
class TImage : public QWidget {
  Q_OBJECT

 public:
  TImage(int width, int height, QWidget* parent);

  ImageCanvas& Surface() { return canvas_; }
  const ImageCanvas& Surface() const { return canvas_; }

  // What the window shows: the bitmap, or a marked copy of it set over it
  // (key points drawn on the current chart) until the overlay is cleared.
  const QImage& Shown() const { return overlay_.isNull() ? canvas_.Image() : overlay_; }
  void SetOverlay(QImage overlay);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ImageCanvas canvas_;
  QImage overlay_;
};

}  // namespace marrowick
