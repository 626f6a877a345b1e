#include "ui/form1.h"

#include <QAction>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStringList>
#include <variant>

#include "gas/prandtl_meyer.h"
#include "nozzle/design.h"
#include "nozzle/design_record.h"
#include "nozzle/inputs.h"
#include "report/drawing_plan.h"
#include "report/file_output.h"
#include "report/result_file.h"
#include "report/results_list.h"
#include "ui/form_about.h"
#include "ui/picture_box.h"
#include "ui/twips.h"

namespace ui {
namespace {

template <class Widget, class... Args>
Widget* Make(const char* name, QWidget* parent, QRect geometry, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)..., parent);
  widget->setObjectName(name);
  widget->setGeometry(geometry);
  return widget;
}

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

Form1::Form1(QWidget* parent) : QMainWindow(parent) {
  setObjectName("Form1");
  setWindowTitle("Supersonic Nozzle Design Program");
  QFont font = this->font();
  font.setFamily("Sans Serif");
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(8.0);
  setFont(font);

  client_ = new QWidget(this);
  client_->setFixedSize(Twips(0, 0, 7275, 6975).size());
  setCentralWidget(client_);

  Picture1 = Make<PictureBox>("Picture1", client_, Twips(240, 2640, 6735, 3975));
  Command2 = Make<QPushButton>("Command2", client_, Twips(240, 1920, 1575, 495), "Calculate");
  Command2->setAutoDefault(false);
  Command2->setDefault(false);
  Frame1 = Make<QGroupBox>("Frame1", client_, Twips(240, 240, 1575, 1575), "Veriler");
  Text_Teta0 = Make<QLineEdit>("Text_Teta0", Frame1, Twips(720, 1080, 615, 285), "0.373");
  Text_Me = Make<QLineEdit>("Text_Me", Frame1, Twips(720, 360, 615, 285), "2.4");
  Text_N = Make<QLineEdit>("Text_N", Frame1, Twips(720, 720, 615, 285), "7");
  Label5 = Make<QLabel>("Label5", Frame1, Twips(240, 1080, 375, 255), QString::fromUtf8("θο ="));
  Label1 = Make<QLabel>("Label1", Frame1, Twips(240, 360, 615, 255), "Me =");
  Label4 = Make<QLabel>("Label4", Frame1, Twips(240, 720, 375, 255), "N=");
  List1 = Make<QListWidget>("List1", client_, Twips(2040, 360, 4935, 2010));
  for (QLineEdit* text : {Text_Teta0, Text_Me, Text_N}) text->raise();  // over the label reaching under it

  QFont symbolFont = font;
  symbolFont.setPointSizeF(8.25);
  Label5->setFont(symbolFont);

  setTabOrder(List1, Text_N);
  setTabOrder(Text_N, Text_Me);
  setTabOrder(Text_Me, Text_Teta0);
  setTabOrder(Text_Teta0, Command2);
  setTabOrder(Command2, Picture1);

  Mn_About = menuBar()->addAction("About");
  Mn_About->setObjectName("Mn_About");

  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
  connect(Mn_About, &QAction::triggered, this, &Form1::Mn_About_Click);

  layout()->setSizeConstraint(QLayout::SetFixedSize);
  Form_Load();
  List1->setFocus();
}

Form1::~Form1() = default;

void Form1::Form_Load() {
  Pi = gas::Pi;
  Pi_180 = gas::Pi_180;
  Sqr6 = gas::Sqr6;
}

void Form1::ShowMessage(QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, windowTitle(), text, QMessageBox::Ok, this);
  box.exec();
}

void Form1::Command2_Click() {
  const nozzle::InputTexts texts{Text_Me->text().toStdString(), Text_Teta0->text().toStdString(),
                                 Text_N->text().toStdString()};
  const auto checked = nozzle::CheckInputs(texts);
  if (const auto* rejection = std::get_if<nozzle::InputRejection>(&checked)) {
    ShowMessage(QMessageBox::Warning, "The inputs were not accepted; nothing was calculated.\n\n" +
                                          FromUtf8(rejection->message));
    return;
  }

  nozzle::DesignResult result;
  try {
    result = nozzle::Design(std::get<nozzle::DesignInputs>(checked), [this](std::string_view notice) {
      ShowMessage(QMessageBox::NoIcon, FromUtf8(std::string(notice)));
    });
  } catch (const nozzle::RunError& error) {
    ShowMessage(QMessageBox::Critical, "The design run failed: " + FromUtf8(error.what()) +
                                           ".\n\nThe results of the previous run are kept.");
    return;
  }

  QStringList lines;
  for (const std::string& line : report::ResultsListLines(result)) lines.append(FromUtf8(line));
  const report::DrawingPlan plan = report::MakeDrawingPlan(nozzle::RecordOf(result));
  const std::string fileText = report::ResultFileText(result);

  List1->clear();
  List1->addItems(lines);
  Draw(*Picture1, plan);
  try {
    report::ReplaceFile(report::kResultFileName, fileText);
  } catch (const report::WriteError& error) {
    ShowMessage(QMessageBox::Critical, FromUtf8(error.what()) +
                                           ".\n\nThe list and the drawing show the new run; the previous file is "
                                           "unchanged.");
  }
  if (!result.wallWarning.empty()) ShowMessage(QMessageBox::Warning, FromUtf8(result.wallWarning));
}

void Form1::Mn_About_Click() {
  if (!aboutWindow_) aboutWindow_ = std::make_unique<Form_About>();
  aboutWindow_->show();
  aboutWindow_->raise();
  aboutWindow_->activateWindow();
}

}  // namespace ui
