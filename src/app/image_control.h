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

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ImageCanvas canvas_;
};

}  // namespace marrowick
