// Both windows against pictures of them committed under tests/gui/reference:
// pixel for pixel, with valid texts and after a field's mark has come and gone.
#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>

#include <memory>

#include "forms/qt/about_window.h"
#include "forms/qt/main_window.h"
#include "tests/support/platform_fakes.h"

using zarn::forms::MainWindow;

namespace {

// The pictures were taken by the screenshot program with Liberation Sans,
// Qt 6.4 and its Fusion style on the offscreen platform; another face or
// toolkit draws other pixels without anything being wrong.
bool SameDrawingAsTheReferences(const QWidget& window, QString& why) {
  const QString family = QFontInfo(window.font()).family();
  if (family != QStringLiteral("Liberation Sans")) {
    why = QStringLiteral("the references were drawn with Liberation Sans, not %1").arg(family);
    return false;
  }
  if (!QString::fromLatin1(qVersion()).startsWith(QStringLiteral("6.4."))) {
    why = QStringLiteral("the references were drawn by Qt 6.4, not %1").arg(QString::fromLatin1(qVersion()));
    return false;
  }
  return true;
}

QImage Reference(const char* name) {
  return QImage(QDir(QStringLiteral(ZARN_REFERENCE_DIR)).filePath(QLatin1String(name)))
      .convertToFormat(QImage::Format_RGB32);
}

// The number of pixels in which two pictures of one size differ; -1 for
// pictures of different sizes.
qsizetype DifferingPixels(const QImage& actual, const QImage& expected) {
  if (actual.size() != expected.size()) return -1;
  qsizetype count = 0;
  for (int y = 0; y < actual.height(); ++y) {
    for (int x = 0; x < actual.width(); ++x) {
      if (actual.pixel(x, y) != expected.pixel(x, y)) ++count;
    }
  }
  return count;
}

}  // namespace

class ScreenshotTest : public QObject {
  Q_OBJECT

 private:
  zarn::testing::FakePlatform platform_;

  static QImage Grab(QWidget& window) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) qWarning("window not active");
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
  }

  // Compares, and on a difference keeps the picture for a look.
  static void CompareWithReference(const QImage& actual, const char* name) {
    const qsizetype differing = DifferingPixels(actual, Reference(name));
    if (differing != 0) {
      const QString kept = QDir::temp().filePath(QStringLiteral("zarn-actual-%1").arg(QLatin1String(name)));
      actual.save(kept);
      QFAIL(qPrintable(QStringLiteral("%1: %2 pixels differ (-1: another size); the picture is in %3")
                           .arg(QLatin1String(name))
                           .arg(differing)
                           .arg(kept)));
    }
  }

 private slots:
  void initTestCase() {
    // A steady text cursor, drawn as in the first half of its blink.
    QGuiApplication::styleHints()->setCursorFlashTime(0);
  }

  void theCalculatorLooksAsItDid() {
    MainWindow window(zarn::engine::NumberLocale{"."});
    window.Form_Load();
    QString why;
    if (!SameDrawingAsTheReferences(window, why)) QSKIP(qPrintable(why));
    CompareWithReference(Grab(window), "frmMain.png");
  }

  void theAboutWindowLooksAsItDid() {
    zarn::forms::AboutWindow window({"Zarn", 1, 0, 0}, platform_.Services());
    window.Load();
    QString why;
    if (!SameDrawingAsTheReferences(window, why)) QSKIP(qPrintable(why));
    CompareWithReference(Grab(window), "frmAbout.png");
  }

  void aMarkShowsAndLeavesNoTrace() {
    MainWindow window(zarn::engine::NumberLocale{"."});
    window.Form_Load();
    QString why;
    if (!SameDrawingAsTheReferences(window, why)) QSKIP(qPrintable(why));
    Grab(window);
    auto* rate = window.findChild<QLineEdit*>(QStringLiteral("txtRefreshRate"));
    rate->setFocus();
    rate->selectAll();
    QTest::keyClicks(rate, QStringLiteral("75,0"));  // not a number with a full stop
    window.findChild<QLineEdit*>(QStringLiteral("txtHorActive"))->setFocus();
    const QImage marked = Grab(window);
    QVERIFY(DifferingPixels(marked, Reference("frmMain.png")) > 0);

    rate->setFocus();
    QTest::keyClick(rate, Qt::Key_End);
    QTest::keyClick(rate, Qt::Key_Backspace);
    QTest::keyClick(rate, Qt::Key_Backspace);
    QCOMPARE(rate->text(), QStringLiteral("75"));
    window.findChild<QLineEdit*>(QStringLiteral("txtHorActive"))->setFocus();
    CompareWithReference(Grab(window), "frmMain.png");
  }
};

QTEST_MAIN(ScreenshotTest)
#include "screenshot_test.moc"
