// What the ten text boxes take through the real widgets: pastes of any length,
// and the mark of a text the calculator cannot read as a number.
#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <memory>

#include "forms/qt/main_window.h"

using zarn::engine::TimingField;
using zarn::forms::MainWindow;

class FieldInputTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<MainWindow> window_;

  void Open(const char* separator) {
    window_ = std::make_unique<MainWindow>(zarn::engine::NumberLocale{separator});
    window_->Form_Load();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  QLineEdit* Edit(const QString& name) const { return window_->findChild<QLineEdit*>(name); }
  QString Caption() const { return window_->findChild<QLabel*>(QStringLiteral("lblHorizontalFrequency"))->text(); }

 private slots:
  void cleanup() { window_.reset(); }

  void aLongPasteIsKeptWhole_data() {
    QTest::addColumn<TimingField>("field");
    for (const TimingField field : zarn::engine::kAllTimingFields) {
      QTest::newRow(zarn::engine::FieldInfo(field).name.data()) << field;
    }
  }
  void aLongPasteIsKeptWhole() {
    QFETCH(TimingField, field);
    Open(".");
    QString text = QStringLiteral("1,5 \u0661\u066B\u0662 x");
    while (text.size() < 200'000) text += text;
    text.truncate(200'000);
    QGuiApplication::clipboard()->setText(text);
    QLineEdit* edit = Edit(QString::fromUtf8(zarn::engine::FieldInfo(field).name));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text().size(), text.size());
    QVERIFY(edit->text() == text);
    QTest::keyClick(edit, Qt::Key_7);  // and more typed after it
    QCOMPARE(edit->text().size(), text.size() + 1);
    QCOMPARE(window_->FieldText(field), (text + QLatin1Char('7')).toStdString());
  }

  void aMarkShowsWhileTheTextDoesNotRead() {
    Open(",");
    QLineEdit* rate = Edit(QStringLiteral("txtRefreshRate"));
    const QPalette normal = rate->palette();
    const QString hint = QStringLiteral("Not a number: use , as the decimal separator");
    rate->setFocus();
    rate->selectAll();
    QTest::keyClicks(rate, QStringLiteral("60.5"));
    QCOMPARE(rate->palette().color(QPalette::Active, QPalette::Text), QColor(192, 0, 0));
    QCOMPARE(rate->palette().color(QPalette::Inactive, QPalette::Text), QColor(192, 0, 0));
    QCOMPARE(rate->toolTip(), hint);
    QCOMPARE(QAccessible::queryAccessibleInterface(rate)->text(QAccessible::Description), hint);
    // Nothing else changes.
    QCOMPARE(Edit(QStringLiteral("txtFrequency"))->text(), QStringLiteral("135"));
    QCOMPARE(Caption(), QStringLiteral("Horizontal Frequency = 79,98 KHz"));
    QVERIFY(Edit(QStringLiteral("txtFrequency"))->toolTip().isEmpty());

    // "60" reads again: the mark goes at that keystroke, and ",5" keeps it away.
    QTest::keyClick(rate, Qt::Key_Backspace);
    QVERIFY(rate->palette() != normal);
    QTest::keyClick(rate, Qt::Key_Backspace);
    QVERIFY(rate->palette() == normal);
    QVERIFY(rate->toolTip().isEmpty());
    QTest::keyClicks(rate, QStringLiteral(",5"));
    QCOMPARE(rate->text(), QStringLiteral("60,5"));
    QVERIFY(rate->palette() == normal);
    QVERIFY(rate->toolTip().isEmpty());
  }
};

QTEST_MAIN(FieldInputTest)
#include "field_input_test.moc"
