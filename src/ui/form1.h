// The main window: the three design inputs, "Calculate", the results list, the
// drawing of the nozzle and the "About" menu item.
//
// A thin shell over the core: Command2_Click reads the three texts, checks them,
// runs the design and only then presents the result — the list, the drawing and
// "sonuc.txt" in the current working directory, in that order. A rejected input or
// a failed run is reported in a message box and leaves the list, the drawing and
// the file exactly as the last successful run left them; the program goes on.
#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace ui {

class Form_About;
class PictureBox;

class Form1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

  // The constants of the window, set once by Form_Load before it is first shown.
  double Pi = 0.0;
  double Pi_180 = 0.0;
  double Sqr6 = 0.0;

 private slots:
  void Command2_Click();
  void Mn_About_Click();

 private:
  void Form_Load();
  void ShowMessage(QMessageBox::Icon icon, const QString& text);

  QWidget* client_ = nullptr;
  PictureBox* Picture1 = nullptr;
  QPushButton* Command2 = nullptr;
  QGroupBox* Frame1 = nullptr;
  QLineEdit* Text_Teta0 = nullptr;
  QLineEdit* Text_Me = nullptr;
  QLineEdit* Text_N = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label4 = nullptr;
  QListWidget* List1 = nullptr;
  QAction* Mn_About = nullptr;
  std::unique_ptr<Form_About> aboutWindow_;
};

}  // namespace ui
