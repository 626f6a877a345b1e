#include "ui/picture_box.h"

#include <QtTest>

namespace {

QImage Painted(ui::PictureBox& picture) { return picture.grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace

class PictureBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void startsEmptyOnLightYellow() {
    ui::PictureBox picture;
    picture.resize(100, 60);
    const QImage image = Painted(picture);
    const QRect area = picture.contentsRect();
    QCOMPARE(image.pixel(area.center()), qRgb(255, 255, 192));
    QVERIFY(picture.strokes().empty());
  }

  void paintsLinesInUserUnitsFromItsData() {
    ui::PictureBox picture;
    picture.resize(102, 62);
    const QRect area = picture.contentsRect();
    picture.Scale(-1.0, -1.0, 1.0, 1.0);
    picture.Line(-1.0f, 0.0f, 1.0f, 0.0f, Qt::red);  // across the middle
    const QImage image = Painted(picture);
    QCOMPARE(image.pixel(area.left() + area.width() / 4, area.top() + area.height() / 2), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(area.left() + area.width() / 4, area.top() + area.height() / 4), qRgb(255, 255, 192));
    QCOMPARE(Painted(picture), image);  // painted again, from the same data, the same picture
  }

  void laterLinesAreDrawnOverEarlierOnes() {
    ui::PictureBox picture;
    picture.resize(102, 62);
    const QRect area = picture.contentsRect();
    picture.Scale(0.0, 0.0, 1.0, 1.0);
    picture.Line(0.0f, 0.5f, 1.0f, 0.5f, Qt::red);
    picture.Line(0.0f, 0.5f, 1.0f, 0.5f, Qt::blue);
    QCOMPARE(Painted(picture).pixel(area.center().x(), area.top() + area.height() / 2), qRgb(0, 0, 255));
  }

  void clsDiscardsEverythingDrawnBefore() {
    ui::PictureBox picture;
    picture.resize(102, 62);
    const QImage empty = Painted(picture);
    picture.Scale(0.0, 0.0, 1.0, 1.0);
    picture.Line(0.0f, 0.0f, 1.0f, 1.0f, Qt::black);
    QVERIFY(Painted(picture) != empty);
    picture.Cls();
    QVERIFY(picture.strokes().empty());
    QCOMPARE(Painted(picture), empty);
  }
};

QTEST_MAIN(PictureBoxTest)
#include "picture_box_test.moc"
