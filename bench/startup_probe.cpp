// Opens the main window as nozzle-designer does, prints "shown" once the window is
// exposed, and ends.
#include <QApplication>
#include <QTest>
#include <cstdio>

#include "ui/form1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ui::Form1 form;
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  std::puts("shown");
  std::fflush(stdout);
  return 0;
}
