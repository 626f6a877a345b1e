#include "ui/picture_box.h"

#include <QPainter>
#include <QPen>

namespace ui {

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(false);
}

void PictureBox::Cls() {
  strokes_.clear();
  update();
}

void PictureBox::Scale(double left, double top, double right, double bottom) {
  scale_ = {left, top, right, bottom};
  update();
}

void PictureBox::Line(float x1, float y1, float x2, float y2, const QColor& colour) {
  strokes_.push_back({x1, y1, x2, y2, colour});
  update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  const QRect area = contentsRect();
  const report::Rgb background = report::kPictureBackground;
  painter.fillRect(area, QColor(background.red, background.green, background.blue));
  painter.setClipRect(area);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const auto toPixels = [&](float u, float v) {
    const report::PixelPoint p = report::ToPixels(scale_, u, v, area.width(), area.height());
    return QPointF(area.left() + p.x, area.top() + p.y);
  };
  for (const Stroke& stroke : strokes_) {
    painter.setPen(QPen(stroke.colour, 1, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(toPixels(stroke.x1, stroke.y1), toPixels(stroke.x2, stroke.y2));
  }
}

void Draw(PictureBox& picture, const report::DrawingPlan& plan) {
  picture.Cls();
  picture.Scale(plan.scale.left, plan.scale.top, plan.scale.right, plan.scale.bottom);
  for (const report::Segment& s : plan.segments) {
    picture.Line(s.x1, s.y1, s.x2, s.y2, QColor(s.colour.red, s.colour.green, s.colour.blue));
  }
}

}  // namespace ui
