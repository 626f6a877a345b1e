#include "ui/form1.h"

#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/resource.h>

#include <csignal>
#include <cmath>
#include <fstream>
#include <sstream>

#include "gas/prandtl_meyer.h"
#include "nozzle/design.h"
#include "nozzle/design_record.h"
#include "report/drawing_plan.h"
#include "report/result_file.h"
#include "report/results_list.h"
#include "support/message_boxes.h"
#include "support/unprivileged.h"
#include "ui/form_about.h"
#include "ui/picture_box.h"

namespace {

std::string ReadFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

QStringList ListLines(QListWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->count(); ++i) lines.append(list->item(i)->text());
  return lines;
}

QStringList CoreLines(const nozzle::DesignResult& result) {
  QStringList lines;
  for (const auto& line : report::ResultsListLines(result)) lines.append(QString::fromStdString(line));
  return lines;
}

// The covariance of the x and y of the pixels of one colour in rows [top, bottom):
// positive where lines fall from left to right on the screen, negative where they rise.
double Covariance(const QImage& image, QRgb colour, int top, int bottom, int* count) {
  double n = 0, sx = 0, sy = 0, sxy = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != colour) continue;
      n += 1;
      sx += x;
      sy += y;
      sxy += static_cast<double>(x) * y;
    }
  }
  *count = static_cast<int>(n);
  return n > 0 ? sxy / n - (sx / n) * (sy / n) : 0.0;
}

void WriteFile(const QString& path, const std::string& bytes) {
  std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

struct ElsewhereOutcome {
  bool ran = false;
  QString failure;
  QString skipped;
};

// As root, permission bits stop nothing: this runs the test function again in a copy
// of this program as the user "nobody", and tells how it went.
ElsewhereOutcome RunAsUnprivileged(const char* function) {
  if (!testing_support::RunningAsRoot()) return {};
  std::string reason;
  const auto user = testing_support::FindUnprivilegedUser(reason);
  if (!user) return {true, {}, QString::fromStdString("cannot test permissions as root: " + reason)};
  QTemporaryDir programFolder;
  const auto copy = testing_support::CopyForEveryone(QCoreApplication::applicationFilePath().toStdString(),
                                                     programFolder.path().toStdString());
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.setWorkingDirectory("/");
  process.start("setpriv", {QString("--reuid=%1").arg(user->uid), QString("--regid=%1").arg(user->gid),
                            "--clear-groups", QString::fromStdString(copy.string()), function});
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
    return {true, "as nobody: " + QString::fromUtf8(process.readAll()), {}};
  }
  return {true, {}, {}};
}

#define RUN_AS_UNPRIVILEGED_WHEN_ROOT()                                        \
  do {                                                                         \
    const ElsewhereOutcome elsewhere = RunAsUnprivileged(QTest::currentTestFunction()); \
    if (elsewhere.ran) {                                                       \
      if (!elsewhere.skipped.isEmpty()) QSKIP(qPrintable(elsewhere.skipped));  \
      QVERIFY2(elsewhere.failure.isEmpty(), qPrintable(elsewhere.failure));    \
      return;                                                                  \
    }                                                                          \
  } while (false)

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir folder_;
  QString previousFolder_;
  std::unique_ptr<ui::Form1> form_;

  template <class T>
  T* Child(const char* name) {
    auto* child = form_->findChild<T*>(name);
    if (child == nullptr) qFatal("no child %s", name);
    return child;
  }

  void Click() { QTest::mouseClick(Child<QPushButton>("Command2"), Qt::LeftButton); }

  void SetTexts(const char* me, const char* teta0, const char* n) {
    Child<QLineEdit>("Text_Me")->setText(me);
    Child<QLineEdit>("Text_Teta0")->setText(teta0);
    Child<QLineEdit>("Text_N")->setText(n);
  }

 private slots:
  void init() {
    previousFolder_ = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder_.path()));
    QFile::remove("sonuc.txt");
    QDir("sonuc.txt").removeRecursively();
    form_ = std::make_unique<ui::Form1>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  }

  void cleanup() {
    form_.reset();
    QDir::setCurrent(previousFolder_);
  }

  void startsWithDefaultTextsEmptyOutputsAndTheConstantsSet() {
    QCOMPARE(form_->windowTitle(), QString("Supersonic Nozzle Design Program"));
    QCOMPARE(Child<QLineEdit>("Text_Me")->text(), QString("2.4"));
    QCOMPARE(Child<QLineEdit>("Text_N")->text(), QString("7"));
    QCOMPARE(Child<QLineEdit>("Text_Teta0")->text(), QString("0.373"));
    QCOMPARE(Child<QGroupBox>("Frame1")->title(), QString("Veriler"));
    QCOMPARE(Child<QLabel>("Label1")->text(), QString("Me ="));
    QCOMPARE(Child<QLabel>("Label4")->text(), QString("N="));
    QCOMPARE(Child<QLabel>("Label5")->text(), QString::fromUtf8("θο ="));
    QCOMPARE(Child<QListWidget>("List1")->count(), 0);
    QVERIFY(Child<ui::PictureBox>("Picture1")->strokes().empty());
    QCOMPARE(form_->Pi, std::atan(1.0) * 4.0);
    QCOMPARE(form_->Pi_180, form_->Pi / 180.0);
    QCOMPARE(form_->Sqr6, std::sqrt(6.0));
  }

  void placesEveryControlAtItsTwipsPosition_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("Picture1") << "Picture1" << QRect(240, 2640, 6735, 3975);
    QTest::newRow("Command2") << "Command2" << QRect(240, 1920, 1575, 495);
    QTest::newRow("Frame1") << "Frame1" << QRect(240, 240, 1575, 1575);
    QTest::newRow("Text_Teta0") << "Text_Teta0" << QRect(720, 1080, 615, 285);
    QTest::newRow("Text_Me") << "Text_Me" << QRect(720, 360, 615, 285);
    QTest::newRow("Text_N") << "Text_N" << QRect(720, 720, 615, 285);
    QTest::newRow("Label5") << "Label5" << QRect(240, 1080, 375, 255);
    QTest::newRow("Label1") << "Label1" << QRect(240, 360, 615, 255);
    QTest::newRow("Label4") << "Label4" << QRect(240, 720, 375, 255);
    QTest::newRow("List1") << "List1" << QRect(2040, 360, 4935, 2010);
  }

  void placesEveryControlAtItsTwipsPosition() {
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    auto* widget = form_->findChild<QWidget*>(name);
    QVERIFY(widget != nullptr);
    QCOMPARE(widget->geometry(), QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
  }

  void hasAFixedClientAreaOf7275By6975Twips() {
    QCOMPARE(form_->centralWidget()->size(), QSize(485, 465));
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
  }

  void startsWithTheFocusInTheListAndTabsThroughTheWavesFirst() {
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QCOMPARE(QApplication::focusWidget(), Child<QWidget>("List1"));
    const char* order[] = {"Text_N", "Text_Me", "Text_Teta0", "Command2", "Picture1", "List1"};
    for (const char* name : order) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), QString(name));
    }
  }

  void hasOneAboutItemInTheMenuBarAndNoDefaultButton() {
    const auto actions = form_->menuBar()->actions();
    QCOMPARE(actions.size(), 1);
    QCOMPARE(actions[0]->text(), QString("About"));
    QCOMPARE(actions[0]->objectName(), QString("Mn_About"));
    QVERIFY(actions[0]->menu() == nullptr);
    QVERIFY(actions[0]->shortcut().isEmpty());
    auto* button = Child<QPushButton>("Command2");
    QCOMPARE(button->text(), QString("Calculate"));
    QVERIFY(!button->isDefault());
    QVERIFY(!button->autoDefault());
  }

  void enterInAFieldStartsNoRun() {
    testing_support::MessageBoxAnswerer answerer;
    QTest::keyClick(Child<QLineEdit>("Text_Me"), Qt::Key_Return);
    QTest::keyClick(Child<QLineEdit>("Text_N"), Qt::Key_Enter);
    QCOMPARE(Child<QListWidget>("List1")->count(), 0);
    QVERIFY(!QFile::exists("sonuc.txt"));
    QVERIFY(answerer.shown.empty());
  }

  void calculateWithTheDefaultsPresentsTheCoreResults() {
    testing_support::MessageBoxAnswerer answerer;
    Click();
    QVERIFY(answerer.shown.empty());
    const nozzle::DesignResult core = nozzle::Design({2.4, 0.373, 7.0});
    QCOMPARE(ListLines(Child<QListWidget>("List1")), CoreLines(core));
    QVERIFY(ReadFile("sonuc.txt") == report::ResultFileText(core));

    const report::DrawingPlan plan = report::MakeDrawingPlan(nozzle::RecordOf(core));
    auto* picture = Child<ui::PictureBox>("Picture1");
    QCOMPARE(picture->strokes().size(), std::size_t{126});
    QCOMPARE(picture->userScale().left, plan.scale.left);
    QCOMPARE(picture->userScale().bottom, plan.scale.bottom);
    int black = 0, red = 0, blue = 0;
    for (std::size_t i = 0; i < plan.segments.size(); ++i) {
      const auto& stroke = picture->strokes()[i];
      const auto& segment = plan.segments[i];
      QCOMPARE(stroke.x1, segment.x1);
      QCOMPARE(stroke.y2, segment.y2);
      black += stroke.colour == Qt::black;
      red += stroke.colour == QColor(255, 0, 0);
      blue += stroke.colour == QColor(0, 0, 255);
    }
    QCOMPARE(black, 14);
    QCOMPARE(red, 56);
    QCOMPARE(blue, 56);
  }

  void paintsRedLinesFallingBlueLinesRisingAndTheWallBlack() {
    testing_support::MessageBoxAnswerer answerer;
    Click();
    auto* picture = Child<ui::PictureBox>("Picture1");
    const QImage image = picture->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect area = picture->contentsRect();
    QCOMPARE(image.pixel(area.left() + 2, area.top() + 2), qRgb(255, 255, 192));
    const int middle = area.top() + area.height() / 2;
    struct Expectation {
      QRgb colour;
      int top, bottom;
      bool falls;
    } expectations[] = {
        {qRgb(255, 0, 0), area.top(), middle, true},  {qRgb(0, 0, 255), area.top(), middle, false},
        {qRgb(0, 0, 0), area.top(), middle, false},   {qRgb(255, 0, 0), middle, area.bottom(), true},
        {qRgb(0, 0, 255), middle, area.bottom(), false}, {qRgb(0, 0, 0), middle, area.bottom(), true},
    };
    for (const Expectation& e : expectations) {
      int count = 0;
      const double covariance = Covariance(image, e.colour, e.top, e.bottom, &count);
      QVERIFY2(count > 100, qPrintable(QString("too few pixels of %1").arg(e.colour, 0, 16)));
      QVERIFY2(e.falls ? covariance > 0 : covariance < 0, qPrintable(QString("colour %1 rows %2-%3 covariance %4")
                                                                          .arg(e.colour, 0, 16)
                                                                          .arg(e.top)
                                                                          .arg(e.bottom)
                                                                          .arg(covariance)));
    }
  }

  void aSecondRunWithFewerWavesReplacesListDrawingAndFile() {
    testing_support::MessageBoxAnswerer answerer;
    Click();
    SetTexts("2.4", "0.373", "2");
    Click();
    QVERIFY(answerer.shown.empty());
    const nozzle::DesignResult core = nozzle::Design({2.4, 0.373, 2.0});
    QCOMPARE(ListLines(Child<QListWidget>("List1")), CoreLines(core));
    QCOMPARE(Child<ui::PictureBox>("Picture1")->strokes().size(), std::size_t{16});
    QVERIFY(ReadFile("sonuc.txt") == report::ResultFileText(core));
  }

  void twoRunsWithUnchangedFieldsGiveIdenticalResults() {
    testing_support::MessageBoxAnswerer answerer;
    Click();
    const QStringList first = ListLines(Child<QListWidget>("List1"));
    const QImage picture = Child<ui::PictureBox>("Picture1")->grab().toImage();
    Click();
    QCOMPARE(ListLines(Child<QListWidget>("List1")), first);
    QCOMPARE(Child<ui::PictureBox>("Picture1")->grab().toImage(), picture);
  }

  void aRejectedInputShowsOneMessageAndKeepsThePreviousResults() {
    testing_support::MessageBoxAnswerer answerer;
    Click();
    const QStringList lines = ListLines(Child<QListWidget>("List1"));
    const std::string file = ReadFile("sonuc.txt");
    SetTexts("2,4", "0.373", "50");
    Click();
    QCOMPARE(answerer.shown.size(), std::size_t{1});
    QCOMPARE(answerer.shown[0].title, QString("Supersonic Nozzle Design Program"));
    QVERIFY(answerer.shown[0].text.contains("Me = \"2,4\": not a number (use a point as the decimal separator)"));
    QVERIFY(answerer.shown[0].text.contains("N = \"50\": out of range"));
    QCOMPARE(ListLines(Child<QListWidget>("List1")), lines);
    QCOMPARE(Child<ui::PictureBox>("Picture1")->strokes().size(), std::size_t{126});
    QVERIFY(ReadFile("sonuc.txt") == file);
    QCOMPARE(Child<QLineEdit>("Text_Me")->text(), QString("2,4"));  // the user's texts stay
  }

  void aFileThatCannotBeWrittenIsNamedWhileListAndDrawingShowTheRun() {
    testing_support::MessageBoxAnswerer answerer;
    QVERIFY(QDir().mkdir("sonuc.txt"));
    Click();
    QCOMPARE(answerer.shown.size(), std::size_t{1});
    QVERIFY(answerer.shown[0].text.startsWith("cannot write \"sonuc.txt\": Is a directory"));
    QCOMPARE(Child<QListWidget>("List1")->count(), 51);
    QCOMPARE(Child<ui::PictureBox>("Picture1")->strokes().size(), std::size_t{126});
    QVERIFY(QFileInfo("sonuc.txt").isDir());
    // The program goes on: once the folder is gone the next run writes the file.
    QDir("sonuc.txt").removeRecursively();
    Click();
    QVERIFY(QFileInfo("sonuc.txt").isFile());
  }

  void keepsThePreviousFileWhenTheDiskFillsWhileWriting() {
    testing_support::MessageBoxAnswerer answerer;
    WriteFile("sonuc.txt", "previous run\r\n");
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 512;
    ::setrlimit(RLIMIT_FSIZE, &small);
    Click();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    QCOMPARE(answerer.shown.size(), std::size_t{1});
    QVERIFY(answerer.shown[0].text.startsWith("cannot write \"sonuc.txt\": File too large"));
    QVERIFY(ReadFile("sonuc.txt") == "previous run\r\n");
    QCOMPARE(QDir(".").entryList(QDir::Files | QDir::Hidden), QStringList{"sonuc.txt"});
    QCOMPARE(Child<QListWidget>("List1")->count(), 51);
  }

  void replacesASymbolicLinkWithoutWritingThroughIt() {
    testing_support::MessageBoxAnswerer answerer;
    WriteFile("precious.txt", "precious");
    QVERIFY(QFile::link("precious.txt", "sonuc.txt"));
    Click();
    QVERIFY(answerer.shown.empty());
    QVERIFY(!QFileInfo("sonuc.txt").isSymLink());
    QVERIFY(ReadFile("sonuc.txt") == report::ResultFileText(nozzle::Design({2.4, 0.373, 7.0})));
    QVERIFY(ReadFile("precious.txt") == "precious");
  }

  void keepsAReadOnlyResultFileAndSaysSo() {
    RUN_AS_UNPRIVILEGED_WHEN_ROOT();
    testing_support::MessageBoxAnswerer answerer;
    WriteFile("sonuc.txt", "protected\r\n");
    QVERIFY(QFile::setPermissions("sonuc.txt", QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    Click();
    QCOMPARE(answerer.shown.size(), std::size_t{1});
    QVERIFY2(answerer.shown[0].text.startsWith("cannot write \"sonuc.txt\": the file is read-only"),
             qPrintable(answerer.shown[0].text));
    QVERIFY(ReadFile("sonuc.txt") == "protected\r\n");
    QCOMPARE(Child<QListWidget>("List1")->count(), 51);
    // The window keeps working: another run reports the same and changes nothing.
    Click();
    QCOMPARE(answerer.shown.size(), std::size_t{2});
    QVERIFY(ReadFile("sonuc.txt") == "protected\r\n");
  }

  void keepsThePreviousFileWhenTheFolderIsNotWritable() {
    RUN_AS_UNPRIVILEGED_WHEN_ROOT();
    testing_support::MessageBoxAnswerer answerer;
    WriteFile("sonuc.txt", "previous run\r\n");
    const auto writable = QFile::permissions(".");
    QVERIFY(QFile::setPermissions(".", QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    Click();
    QFile::setPermissions(".", writable);
    QCOMPARE(answerer.shown.size(), std::size_t{1});
    QVERIFY2(answerer.shown[0].text.startsWith("cannot write \"sonuc.txt\": Permission denied"),
             qPrintable(answerer.shown[0].text));
    QVERIFY(ReadFile("sonuc.txt") == "previous run\r\n");
    QCOMPARE(Child<QListWidget>("List1")->count(), 51);
  }

  void warnsAboutAWallThatTurnsBackAfterPresentingTheResults() {
    testing_support::MessageBoxAnswerer answerer;
    SetTexts("10", "0.373", "2");
    Click();
    QCOMPARE(answerer.shown.size(), std::size_t{1});
    QVERIFY(answerer.shown[0].text.contains("wall point 2"));
    QCOMPARE(answerer.shown[0].icon, QMessageBox::Warning);
    QCOMPARE(Child<QListWidget>("List1")->count(), 11);
    QVERIFY(QFile::exists("sonuc.txt"));
  }

  void aboutTwiceGivesOneWindow() {
    QAction* about = form_->menuBar()->actions().at(0);
    about->trigger();
    about->trigger();
    const auto windows = QApplication::topLevelWidgets();
    int abouts = 0;
    for (QWidget* window : windows) abouts += qobject_cast<ui::Form_About*>(window) != nullptr && window->isVisible();
    QCOMPARE(abouts, 1);
  }

  // Runs the application's own event loop, as the program does, and lets it end by
  // itself when its last window closes.
  void closingTheMainWindowWithAboutOpenKeepsTheProgramRunning() {
    form_->menuBar()->actions().at(0)->trigger();
    ui::Form_About* about = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* candidate = qobject_cast<ui::Form_About*>(window)) about = candidate;
    }
    QVERIFY(about != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(about));

    bool runningAfterMainWindowClosed = false;
    bool timedOut = false;
    qApp->setQuitOnLastWindowClosed(true);
    QTimer::singleShot(20, form_.get(), [this] { form_->close(); });
    QTimer::singleShot(100, about, [&] {
      runningAfterMainWindowClosed = about->isVisible();
      about->close();
    });
    QTimer::singleShot(5000, qApp, [&] {
      timedOut = true;
      QCoreApplication::quit();
    });
    QApplication::exec();
    qApp->setQuitOnLastWindowClosed(false);
    QVERIFY(runningAfterMainWindowClosed);
    QVERIFY2(!timedOut, "closing the last window did not end the program");
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);  // the test decides when it ends, not the windows
  Form1Test test;
  return QTest::qExec(&test, argc, argv);
}

#include "form1_test.moc"
