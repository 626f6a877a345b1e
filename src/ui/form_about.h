// The About window: six labels on light yellow that say what the program is for,
// its date, a credit line and a contact address. No buttons, no handlers; it is
// closed through the window system's close command.
#pragma once

#include <QWidget>

namespace ui {

class Form_About : public QWidget {
  Q_OBJECT

 public:
  explicit Form_About(QWidget* parent = nullptr);
};

}  // namespace ui
