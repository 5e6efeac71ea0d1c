#include "app/image_control.h"

#include <QPaintEvent>
#include <QPainter>
#include <utility>

namespace marrowick {

TImage::TImage(int width, int height, QWidget* parent) : QWidget(parent), canvas_(width, height) {
  resize(width, height);
  // The bitmap covers every pixel, so nothing behind it needs painting first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImage::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), Shown(), event->rect());
}

void TImage::SetOverlay(QImage overlay) {
  overlay_ = std::move(overlay);
  update();
}

}  // namespace marrowick
