// A drawing surface that keeps what was drawn on it as data and paints everything
// from that data, so the picture survives being covered and uncovered.
//
// Cls() clears it, Scale() sets the user coordinate system by the values at its
// left, top, right and bottom edges, Line() adds a straight line in user units
// (single precision) and a colour. Lines are solid, one pixel wide, painted in the
// order drawn over a light-yellow background.
#pragma once

#include <QColor>
#include <QFrame>
#include <vector>

#include "report/drawing_plan.h"

namespace ui {

class PictureBox : public QFrame {
  Q_OBJECT

 public:
  struct Stroke {
    float x1, y1, x2, y2;
    QColor colour;
  };

  explicit PictureBox(QWidget* parent = nullptr);

  void Cls();
  void Scale(double left, double top, double right, double bottom);
  void Line(float x1, float y1, float x2, float y2, const QColor& colour);

  const std::vector<Stroke>& strokes() const { return strokes_; }
  const report::UserScale& userScale() const { return scale_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  report::UserScale scale_;
  std::vector<Stroke> strokes_;
};

// Clears `picture` and draws `plan` on it: Cls, Scale, then every segment in order.
void Draw(PictureBox& picture, const report::DrawingPlan& plan);

}  // namespace ui
