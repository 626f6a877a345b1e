#include "ui/form_about.h"

#include <QLabel>
#include <QtTest>

class FormAboutTest : public QObject {
  Q_OBJECT

 private slots:
  void hasTheCaptionSizeAndBackground() {
    ui::Form_About about;
    QCOMPARE(about.windowTitle(), QString("About"));
    QCOMPARE(about.size(), QSize(240, 136));
    QCOMPARE(about.minimumSize(), about.maximumSize());
    QCOMPARE(about.palette().color(QPalette::Window), QColor(255, 255, 192));
    QVERIFY(about.parentWidget() == nullptr);
    QCOMPARE(about.windowType(), Qt::Window);
    QCOMPARE(about.findChildren<QLabel*>().size(), 6);
  }

  void showsSixLabelsWithTheirTextsPlacesColoursAndSizes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<double>("points");
    const QColor standard = QApplication::palette().color(QPalette::WindowText);
    QTest::newRow("Label2") << "Label2" << "Program for" << QRect(1200, 120, 1215, 255) << QColor(0, 128, 0) << 9.75;
    QTest::newRow("Label3") << "Label3" << "supersonic nozzle design" << QRect(480, 480, 2535, 255)
                            << QColor(0, 128, 0) << 9.75;
    QTest::newRow("Label7") << "Label7" << "by the Nozzle Designer team" << QRect(600, 960, 2775, 255) << standard
                            << 8.25;
    QTest::newRow("Label8") << "Label8" << "April 2006" << QRect(1200, 1200, 1095, 255) << standard << 8.25;
    QTest::newRow("Label4") << "Label4" << "For comments and questions e-mail to" << QRect(120, 1440, 3375, 255)
                            << standard << 8.25;
    QTest::newRow("Label5") << "Label5" << "nozzle@example.org" << QRect(840, 1680, 1935, 255) << QColor(0, 0, 255)
                            << 8.25;
  }

  void showsSixLabelsWithTheirTextsPlacesColoursAndSizes() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, twips);
    QFETCH(QColor, colour);
    QFETCH(double, points);
    ui::Form_About about;
    auto* label = about.findChild<QLabel*>(name);
    QVERIFY(label != nullptr);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->geometry(), QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    QCOMPARE(label->font().pointSizeF(), points);
    QVERIFY2(label->fontMetrics().horizontalAdvance(text) <= label->width(), "the text does not fit its line");
  }
};

QTEST_MAIN(FormAboutTest)
#include "form_about_test.moc"
