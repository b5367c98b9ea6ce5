// The calculator window driven through its real widgets, as a user would.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "engine/timing.h"
#include "forms/qt/main_window.h"
#include "tests/gui/modal_guard.h"

using zarn::engine::TimingField;
using zarn::forms::MainWindow;

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<zarn::testing::ModalGuard> guard_;
  int aboutCreated_ = 0;

  template <typename T = QWidget>
  T* Find(const char* name) const {
    T* widget = window_->findChild<T*>(QLatin1String(name));
    if (widget == nullptr) qFatal("no control named %s", name);
    return widget;
  }
  QString Text(const char* name) const { return Find<QLineEdit>(name)->text(); }
  QString Caption() const { return Find<QLabel>("lblHorizontalFrequency")->text(); }
  QComboBox* Mode() const { return Find<QComboBox>("cmbMode"); }

  // Replaces a field's text keystroke by keystroke, as a user does after
  // selecting it all.
  void Retype(const char* name, const QString& text) {
    QLineEdit* edit = Find<QLineEdit>(name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }

  // Opens the list and clicks an item.
  void PickByMouse(int index) {
    Mode()->showPopup();
    QAbstractItemView* list = Mode()->view();
    QVERIFY(QTest::qWaitForWindowExposed(list->window()));
    const QPoint centre = list->visualRect(list->model()->index(index, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
  }

  // The refresh-rate text the engine gives for the fields as they are.
  QString ExpectedRate() const {
    zarn::engine::TimingFields fields;
    for (const TimingField field : zarn::engine::kAllTimingFields) fields[field] = window_->FieldText(field);
    return QString::number(static_cast<double>(zarn::engine::ComputeRefreshRate(fields, {"."})));
  }

 private slots:
  void init() {
    guard_ = std::make_unique<zarn::testing::ModalGuard>();
    aboutCreated_ = 0;
    window_ = std::make_unique<MainWindow>(zarn::engine::NumberLocale{"."}, [this] {
      ++aboutCreated_;
      auto dialog = std::make_unique<QDialog>();
      dialog->setObjectName(QStringLiteral("frmAbout"));
      return dialog;
    });
    window_->Form_Load();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }

  void cleanup() {
    QVERIFY2(guard_->Unexpected().isEmpty(), qPrintable(guard_->Unexpected().join(", ")));
    window_.reset();
    guard_.reset();
  }

  void designTimeTextsRaiseNothing() {
    MainWindow fresh(zarn::engine::NumberLocale{"."});
    QCOMPARE(fresh.findChild<QLineEdit*>("txtFrequency")->text(), QStringLiteral("100"));
    QCOMPARE(fresh.findChild<QLineEdit*>("txtRefreshRate")->text(), QStringLiteral("100"));
    QCOMPARE(fresh.findChild<QLineEdit*>("txtHorBlanking")->text(), QStringLiteral("408"));
    QCOMPARE(fresh.findChild<QLabel*>("lblHorizontalFrequency")->text(), QStringLiteral("Horizontal frequency"));
    auto* combo = fresh.findChild<QComboBox*>("cmbMode");
    QCOMPARE(combo->count(), 0);
    QCOMPARE(combo->currentIndex(), -1);
    QCOMPARE(combo->currentText(), QStringLiteral("Mode"));
  }

  void fillingTheListSelectsNothing() {
    window_->SetFieldText(TimingField::txtRefreshRate, "typed");
    window_->ClearModes();
    for (const char* item : {"-", "a", "b"}) window_->AddMode(item);
    QCOMPARE(Mode()->count(), 3);
    QCOMPARE(Mode()->currentIndex(), -1);
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("typed"));  // no click ran
  }

  void startUpState() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("Zarn Video Timing Calculator"));
    const char* names[] = {"txtFrequency", "txtHorActive",     "txtHorFrontPorch", "txtHorSync",    "txtHorBlanking",
                           "txtVerActive", "txtVerFrontPorch", "txtVerSync",       "txtVerBlanking"};
    const char* texts[] = {"135", "1280", "16", "144", "408", "1024", "1", "3", "42"};
    for (std::size_t i = 0; i < std::size(names); ++i) QCOMPARE(Text(names[i]), QString::fromLatin1(texts[i]));
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("75"));
    QCOMPARE(Caption(), QStringLiteral("Horizontal Frequency = 79.98 KHz"));
    QCOMPARE(Mode()->currentIndex(), 4);
    QCOMPARE(Mode()->currentText(), QStringLiteral("VESA 1280x1024 75Hz"));
    QCOMPARE(Mode()->count(), 6);
    QCOMPARE(Mode()->itemText(0), QStringLiteral("-"));
    QCOMPARE(window_->focusWidget(), Find("txtHorActive"));
  }

  void typingGeometryRecomputesAtEveryKeystroke_data() {
    QTest::addColumn<QString>("field");
    for (const char* name : {"txtHorActive", "txtHorBlanking", "txtVerActive", "txtVerBlanking"}) {
      QTest::newRow(name) << QString::fromLatin1(name);
    }
  }
  void typingGeometryRecomputesAtEveryKeystroke() {
    QFETCH(QString, field);
    QLineEdit* edit = Find<QLineEdit>(qPrintable(field));
    edit->setFocus();
    edit->selectAll();
    for (const QChar digit : QStringLiteral("1999")) {
      QTest::keyClick(edit, digit.toLatin1());
      QCOMPARE(Mode()->currentIndex(), 0);
      QCOMPARE(Mode()->currentText(), QStringLiteral("-"));
      QCOMPARE(Text("txtRefreshRate"), ExpectedRate());
      QCOMPARE(Text("txtFrequency"), QStringLiteral("135"));
    }
    QVERIFY(Text("txtRefreshRate") != QStringLiteral("75"));
  }

  void typingActiveWidthGivesTheWorkedFigures() {
    Retype("txtHorActive", QStringLiteral("1920"));
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("54.4"));
    QCOMPARE(Caption(), QStringLiteral("Horizontal Frequency = 57.99 KHz"));
  }

  void typingFrontPorchOrSyncOnlyResetsTheList_data() {
    QTest::addColumn<QString>("field");
    for (const char* name : {"txtHorFrontPorch", "txtHorSync", "txtVerFrontPorch", "txtVerSync"}) {
      QTest::newRow(name) << QString::fromLatin1(name);
    }
  }
  void typingFrontPorchOrSyncOnlyResetsTheList() {
    QFETCH(QString, field);
    Retype("txtRefreshRate", QStringLiteral("60"));
    Retype(qPrintable(field), QStringLiteral("7"));
    QCOMPARE(Mode()->currentIndex(), 0);
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("75"));  // recomputed by the list's click
    QCOMPARE(Text("txtFrequency"), QStringLiteral("135"));
  }

  void typingPixelFrequencyKeepsTheList() {
    Retype("txtFrequency", QStringLiteral("1"));
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("0.6"));
    QTest::keyClick(Find("txtFrequency"), '0');
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("5.6"));
    QTest::keyClick(Find("txtFrequency"), '0');
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("55.6"));
    QCOMPARE(Caption(), QStringLiteral("Horizontal Frequency = 59.24 KHz"));
    QCOMPARE(Mode()->currentIndex(), 4);
  }

  void typingRefreshRateChangesNothingElse() {
    Retype("txtRefreshRate", QStringLiteral("60"));
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("60"));
    QCOMPARE(Text("txtFrequency"), QStringLiteral("135"));
    QCOMPARE(Caption(), QStringLiteral("Horizontal Frequency = 79.98 KHz"));
    QCOMPARE(Mode()->currentIndex(), 4);
  }

  void dashRestoresTheComputedRate() {
    Retype("txtRefreshRate", QStringLiteral("60"));
    PickByMouse(0);
    QCOMPARE(Mode()->currentIndex(), 0);
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("75"));
    QCOMPARE(Text("txtHorActive"), QStringLiteral("1280"));
  }

  void conversionButtonsGiveTheWorkedValues() {
    Retype("txtRefreshRate", QStringLiteral("60"));
    QTest::mouseClick(Find("cmdRefreshToPixel"), Qt::LeftButton);
    QCOMPARE(Text("txtFrequency"), QStringLiteral("108"));
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("60"));
    QCOMPARE(Caption(), QStringLiteral("Horizontal Frequency = 63.98 KHz"));
    QCOMPARE(Mode()->currentIndex(), 4);

    Mode()->setCurrentIndex(1);
    Retype("txtRefreshRate", QStringLiteral("72"));
    QTest::mouseClick(Find("cmdRefreshToPixel"), Qt::LeftButton);
    QCOMPARE(Text("txtFrequency"), QStringLiteral("30.2"));
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("71.9"));
    QCOMPARE(Caption(), QStringLiteral("Horizontal Frequency = 37.75 KHz"));
    QCOMPARE(Mode()->currentIndex(), 1);

    Retype("txtRefreshRate", QStringLiteral("60"));
    QTest::mouseClick(Find("cmdPixelToRate"), Qt::LeftButton);
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("71.9"));
  }

  void deletingTheActiveWidthShowsInfinity() {
    QLineEdit* edit = Find<QLineEdit>("txtHorActive");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QString());
    QCOMPARE(Mode()->currentIndex(), 0);
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("Infinity"));
    QCOMPARE(Caption(), QStringLiteral("Horizontal Frequency = Infinity KHz"));
    QTest::keyClicks(edit, QStringLiteral("1280"));
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("75"));
  }

  void pickingEveryPresetByKeyboard() {
    const char* rates[] = {"", "75", "85", "75", "75", "85"};
    const char* captions[] = {"", "39.38", "53.62", "60.02", "79.98", "106.25"};
    Mode()->setFocus();
    for (int i = 0; i < 4; ++i) QTest::keyClick(Mode(), Qt::Key_Up);
    for (int index = 1; index <= 5; ++index) {
      QTest::keyClick(Mode(), Qt::Key_Down);
      QCOMPARE(Mode()->currentIndex(), index);
      QCOMPARE(Text("txtRefreshRate"), QString::fromLatin1(rates[index]));
      QCOMPARE(Caption(), QStringLiteral("Horizontal Frequency = %1 KHz").arg(QLatin1String(captions[index])));
    }
    QCOMPARE(Text("txtHorActive"), QStringLiteral("1600"));
    QCOMPARE(Text("txtFrequency"), QStringLiteral("229.5"));
  }

  void pickingEveryPresetByMouse() {
    const char* actives[] = {"", "640", "800", "1024", "1280", "1600"};
    for (int index : {1, 2, 3, 5, 4, 0}) {
      PickByMouse(index);
      QCOMPARE(Mode()->currentIndex(), index);
      if (index > 0) QCOMPARE(Text("txtHorActive"), QString::fromLatin1(actives[index]));
    }
    QCOMPARE(Text("txtHorActive"), QStringLiteral("1280"));  // "-" left the geometry alone
  }

  void typingIntoTheListChangesNothing() {
    QLineEdit* edit = Mode()->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("VESA 640x480 75Hz"));
    QTest::keyClick(edit, Qt::Key_Return);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("-"));
    QTest::keyClick(edit, Qt::Key_Enter);
    QCOMPARE(Mode()->count(), 6);
    QCOMPARE(Mode()->currentIndex(), 4);
    QCOMPARE(edit->text(), QStringLiteral("-"));
    QCOMPARE(Text("txtHorActive"), QStringLiteral("1280"));
    QCOMPARE(Text("txtRefreshRate"), QStringLiteral("75"));
  }

  void tabCyclesThroughTheFourteenControls() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    const char* order[] = {"txtHorActive", "txtHorFrontPorch", "txtHorSync",        "txtHorBlanking",
                           "txtVerActive", "txtVerFrontPorch", "txtVerSync",        "txtVerBlanking",
                           "txtFrequency", "txtRefreshRate",   "cmdRefreshToPixel", "cmdPixelToRate",
                           "cmbMode",      "cmdAboutZarn"};
    Find("txtHorActive")->setFocus();
    for (int step = 1; step <= 14; ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(window_->focusWidget(), Find(order[step % 14]));
    }
    for (int step = 13; step >= 0; --step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
      QCOMPARE(window_->focusWidget(), Find(order[step]));
    }
  }

  void aboutButtonShowsOneObject() {
    QDialog* first = nullptr;
    for (int press = 0; press < 2; ++press) {
      bool shown = false;
      guard_->Expect([&](QWidget* modal) {
        shown = modal->objectName() == QStringLiteral("frmAbout") && modal->isModal();
        static_cast<QDialog*>(modal)->accept();
      });
      QTest::mouseClick(Find("cmdAboutZarn"), Qt::LeftButton);
      QVERIFY(guard_->ExpectationMet());
      QVERIFY(shown);
      if (first == nullptr) first = window_->AboutWindow();
      QCOMPARE(window_->AboutWindow(), first);
    }
    QCOMPARE(aboutCreated_, 1);
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
