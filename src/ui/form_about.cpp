#include "ui/form_about.h"

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPalette>

#include "report/drawing_plan.h"
#include "ui/twips.h"

namespace ui {
namespace {

struct AboutLine {
  const char* name;
  const char* text;
  QRect geometry;
  QColor colour;  // invalid: the standard text colour
  double points;
};

}  // namespace

Form_About::Form_About(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("Form_About");
  setWindowTitle("About");
  setFixedSize(Twips(0, 0, 3600, 2040).size());
  const report::Rgb yellow = report::kPictureBackground;
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(yellow.red, yellow.green, yellow.blue));
  setPalette(palette);
  setAutoFillBackground(true);

  const QColor green(0, 128, 0);
  const QColor blue(0, 0, 255);
  const AboutLine lines[] = {
      {"Label2", "Program for", Twips(1200, 120, 1215, 255), green, 9.75},
      {"Label3", "supersonic nozzle design", Twips(480, 480, 2535, 255), green, 9.75},
      {"Label7", "by the Nozzle Designer team", Twips(600, 960, 2775, 255), QColor(), 8.25},
      {"Label8", "April 2006", Twips(1200, 1200, 1095, 255), QColor(), 8.25},
      {"Label4", "For comments and questions e-mail to", Twips(120, 1440, 3375, 255), QColor(), 8.25},
      {"Label5", "nozzle@example.org", Twips(840, 1680, 1935, 255), blue, 8.25},
  };
  for (const AboutLine& line : lines) {
    auto* label = new QLabel(line.text, this);
    label->setObjectName(line.name);
    label->setGeometry(line.geometry);
    QFont font("Verdana");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(line.points);
    label->setFont(font);
    if (line.colour.isValid()) {
      QPalette labelPalette = label->palette();
      labelPalette.setColor(QPalette::WindowText, line.colour);
      label->setPalette(labelPalette);
    }
  }
}

}  // namespace ui
