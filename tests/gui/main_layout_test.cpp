// The calculator window's layout against its design: kind, container,
// position and size of every control, fonts, colours, caption fit and the
// fixed layout on resize.
#include <QComboBox>
#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "forms/qt/frame.h"
#include "forms/qt/main_window.h"

using zarn::forms::Frame;
using zarn::forms::MainWindow;

namespace {

enum class Kind { Frame, Label, TextBox, Button, Combo };

struct Control {
  const char* name;
  Kind kind;
  const char* container;
  QRect box;  // pixels, from the container's outer top-left corner
  bool bold;
  bool blue;
};

// Twips / 15, as designed.
const Control kControls[] = {
    {"FraPanelInformation", Kind::Frame, "frmMain", {8, 8, 361, 229}, true, true},
    {"FraRefreshRate", Kind::Frame, "frmMain", {8, 248, 361, 133}, true, true},
    {"cmdAboutZarn", Kind::Button, "frmMain", {124, 388, 117, 25}, true, false},
    {"lblHorizontal", Kind::Label, "FraPanelInformation", {12, 24, 129, 21}, true, true},
    {"Label8", Kind::Label, "FraPanelInformation", {216, 24, 129, 21}, true, true},
    {"lblCurrentPixel", Kind::Label, "FraPanelInformation", {8, 36, 129, 21}, false, true},
    {"Label3", Kind::Label, "FraPanelInformation", {216, 36, 129, 21}, false, true},
    {"txtHorActive", Kind::TextBox, "FraPanelInformation", {32, 64, 81, 25}, false, false},
    {"Label4", Kind::Label, "FraPanelInformation", {112, 68, 129, 21}, true, true},
    {"txtVerActive", Kind::TextBox, "FraPanelInformation", {240, 64, 81, 25}, false, false},
    {"txtHorFrontPorch", Kind::TextBox, "FraPanelInformation", {32, 96, 81, 25}, false, false},
    {"Label5", Kind::Label, "FraPanelInformation", {112, 100, 129, 21}, true, true},
    {"txtVerFrontPorch", Kind::TextBox, "FraPanelInformation", {240, 96, 81, 25}, false, false},
    {"txtHorSync", Kind::TextBox, "FraPanelInformation", {32, 128, 81, 25}, false, false},
    {"Label6", Kind::Label, "FraPanelInformation", {112, 132, 129, 21}, true, true},
    {"txtVerSync", Kind::TextBox, "FraPanelInformation", {240, 128, 81, 25}, false, false},
    {"txtHorBlanking", Kind::TextBox, "FraPanelInformation", {32, 160, 81, 25}, false, false},
    {"Label7", Kind::Label, "FraPanelInformation", {112, 164, 129, 21}, true, true},
    {"txtVerBlanking", Kind::TextBox, "FraPanelInformation", {240, 160, 81, 25}, false, false},
    {"lblPredefinedMode", Kind::Label, "FraPanelInformation", {20, 200, 97, 13}, true, true},
    {"cmbMode", Kind::Combo, "FraPanelInformation", {124, 196, 173, 21}, false, false},
    {"Label10", Kind::Label, "FraRefreshRate", {28, 40, 77, 13}, true, true},
    {"lblCurrentPixelFrequency", Kind::Label, "FraRefreshRate", {232, 40, 97, 13}, true, true},
    {"cmdRefreshToPixel", Kind::Button, "FraRefreshRate", {140, 60, 61, 13}, true, false},
    {"txtRefreshRate", Kind::TextBox, "FraRefreshRate", {30, 64, 45, 21}, false, false},
    {"Label11", Kind::Label, "FraRefreshRate", {86, 68, 49, 17}, true, false},
    {"txtFrequency", Kind::TextBox, "FraRefreshRate", {238, 64, 45, 21}, false, false},
    {"Label9", Kind::Label, "FraRefreshRate", {290, 68, 49, 17}, true, false},
    {"cmdPixelToRate", Kind::Button, "FraRefreshRate", {140, 76, 61, 13}, true, false},
    {"lblHorizontalFrequency", Kind::Label, "FraRefreshRate", {24, 100, 265, 17}, true, true},
};

bool IsKind(const QWidget* widget, Kind kind) {
  switch (kind) {
    case Kind::Frame:
      return dynamic_cast<const Frame*>(widget) != nullptr;
    case Kind::Label:
      return qobject_cast<const QLabel*>(widget) != nullptr;
    case Kind::TextBox:
      return qobject_cast<const QLineEdit*>(widget) != nullptr;
    case Kind::Button:
      return qobject_cast<const QPushButton*>(widget) != nullptr;
    case Kind::Combo:
      return qobject_cast<const QComboBox*>(widget) != nullptr;
  }
  return false;
}

QString CaptionOf(const QWidget* widget) {
  if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (const auto* button = qobject_cast<const QPushButton*>(widget)) return button->text();
  if (const auto* frame = dynamic_cast<const Frame*>(widget)) return frame->Caption();
  return {};
}

}  // namespace

class MainLayoutTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<MainWindow> window_;

  QWidget* Find(const char* name) const { return window_->findChild<QWidget*>(QLatin1String(name)); }

 private slots:
  void init() {
    window_ = std::make_unique<MainWindow>(zarn::engine::NumberLocale{"."});
    window_->Form_Load();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() { window_.reset(); }

  void windowHasItsClientAreaAndTitle() {
    QCOMPARE(window_->objectName(), QStringLiteral("frmMain"));
    QCOMPARE(window_->size(), QSize(378, 420));
    QVERIFY(window_->windowFlags() & Qt::WindowMaximizeButtonHint);
    QVERIFY(window_->windowFlags() & Qt::WindowMinimizeButtonHint);
  }

  void everyControlIsWhereItWasDesigned() {
    for (const Control& control : kControls) {
      QWidget* widget = Find(control.name);
      QVERIFY2(widget != nullptr, control.name);
      QVERIFY2(IsKind(widget, control.kind), control.name);
      QCOMPARE(widget->parentWidget()->objectName(), QLatin1String(control.container));
      QCOMPARE(widget->geometry(), control.box);
    }
  }

  void everyControlHasItsFontAndColour() {
    for (const Control& control : kControls) {
      const QWidget* widget = Find(control.name);
      const QFontInfo info(widget->font());
      QVERIFY2(QStringList({"MS Sans Serif", "Liberation Sans", "Arial"}).contains(info.family()),
               qPrintable(info.family()));
      QCOMPARE(widget->font().pointSizeF(), 8.25);
      QCOMPARE(info.bold(), control.bold);
      QVERIFY(!info.italic());
      const QColor text = widget->palette().color(QPalette::WindowText);
      QCOMPARE(text == QColor(0, 0, 255), control.blue);
    }
  }

  void textBoxesCentreTheirText() {
    for (QLineEdit* edit : window_->findChildren<QLineEdit*>()) {
      if (edit->parentWidget()->objectName() == QStringLiteral("cmbMode")) continue;
      QCOMPARE(edit->alignment(), Qt::AlignCenter);
      QVERIFY(!edit->accessibleName().isEmpty());
    }
    QCOMPARE(Find("cmbMode")->accessibleName(), QStringLiteral("Predefined mode"));
  }

  void everyCaptionFitsItsBox() {
    for (const Control& control : kControls) {
      const QWidget* widget = Find(control.name);
      const QString caption = CaptionOf(widget);
      if (caption.isEmpty()) continue;
      const QFontMetrics metrics(widget->font());
      const int width = metrics.horizontalAdvance(caption);
      if (control.kind == Kind::Frame) {
        QVERIFY2(width + 16 <= widget->width(), control.name);
        continue;
      }
      QVERIFY2(width <= widget->width() - (control.kind == Kind::Button ? 4 : 0), control.name);
      QVERIFY2(metrics.height() <= widget->height(), control.name);
    }
    // The widest caption the label can be given by a value of the program.
    const QFontMetrics metrics(Find("lblHorizontalFrequency")->font());
    QVERIFY(metrics.horizontalAdvance(QStringLiteral("Horizontal Frequency = -3.402823E+38 KHz")) <= 265);
  }

  void rowNamesStayClearOfTheTextBoxes() {
    for (const char* name : {"Label4", "Label5", "Label6", "Label7"}) {
      const auto* label = static_cast<QLabel*>(Find(name));
      const int width = QFontMetrics(label->font()).horizontalAdvance(label->text());
      const int left = label->x() + (label->width() - width) / 2;
      QVERIFY2(left >= 113 && left + width <= 240, name);  // between the two columns of boxes
    }
  }

  void captionsKeepTheirBlanks() {
    QCOMPARE(static_cast<QLabel*>(Find("lblCurrentPixelFrequency"))->text(), QStringLiteral("Pixel  Frequency"));
    QCOMPARE(dynamic_cast<Frame*>(Find("FraPanelInformation"))->Caption(), QStringLiteral(" Panel Timing"));
  }

  void resizingMovesNothing() {
    window_->resize(600, 700);
    QCoreApplication::processEvents();
    for (const Control& control : kControls) QCOMPARE(Find(control.name)->geometry(), control.box);
    window_->resize(200, 150);
    for (const Control& control : kControls) QCOMPARE(Find(control.name)->geometry(), control.box);
  }

  void onlyTheFourteenControlsTakeTheFocus() {
    int focusable = 0;
    for (const Control& control : kControls) {
      if (Find(control.name)->focusPolicy() & Qt::TabFocus) ++focusable;
    }
    QCOMPARE(focusable, 14);
  }
};

QTEST_MAIN(MainLayoutTest)
#include "main_layout_test.moc"
