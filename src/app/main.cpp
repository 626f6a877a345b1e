#include <QApplication>

#include "ui/form1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ui::Form1 form;
  form.show();
  return app.exec();
}
