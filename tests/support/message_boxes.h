// Answers the modal message boxes a window shows while a test drives it, and keeps
// what they said: every few milliseconds the active modal QMessageBox is read and
// closed with its OK button.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QPushButton>
#include <QTimer>
#include <vector>

namespace testing_support {

struct ShownMessage {
  QString title;
  QString text;
  QMessageBox::Icon icon;
  QMessageBox::StandardButtons buttons;
};

class MessageBoxAnswerer : public QObject {
 public:
  MessageBoxAnswerer() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) return;
      shown.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
      box->button(QMessageBox::Ok)->click();
    });
    timer_.start();
  }

  std::vector<ShownMessage> shown;

 private:
  QTimer timer_;
};

}  // namespace testing_support
