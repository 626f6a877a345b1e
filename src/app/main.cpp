#include <QApplication>
#include <QIcon>

#include "ui/form1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setWindowIcon(QIcon(":/icons/nozzle-designer.svg"));
  ui::Form1 form;
  form.show();
  return app.exec();
}
