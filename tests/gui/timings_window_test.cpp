// The Timings window through its real widgets, opened from the real
// calculator in each of its four ways.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCommandLineParser>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <utility>

#include "app/startup.h"
#include "cli/zarn_timing.h"
#include "edid_decode_reference.h"
#include "forms/qt/frame.h"
#include "forms/qt/main_window.h"
#include "forms/qt/timings_window.h"
#include "modes/dmt.h"
#include "modes/modeline.h"
#include "tests/gui/modal_guard.h"

using zarn::forms::MainWindow;
using zarn::forms::TimingsWindow;

class TimingsWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<MainWindow> calculator_;
  std::unique_ptr<zarn::testing::ModalGuard> guard_;

  TimingsWindow* Timings() const { return static_cast<TimingsWindow*>(calculator_->Timings()); }

  template <typename T = QWidget>
  static T* Find(const QWidget* root, const char* name) {
    T* widget = root->findChild<T*>(QLatin1String(name));
    if (widget == nullptr) qFatal("no control named %s", name);
    return widget;
  }
  template <typename T = QWidget>
  T* Control(const char* name) const {
    return Find<T>(Timings(), name);
  }
  QString Figure(const char* name) const { return Control<QLabel>(name)->text(); }
  QString CalculatorText(const char* name) const { return Find<QLineEdit>(calculator_.get(), name)->text(); }

  void Retype(const char* name, const QString& text) {
    auto* edit = Control<QLineEdit>(name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  void OpenTimings() {
    calculator_->ShowTimings();
    QVERIFY(QTest::qWaitForWindowExposed(Timings()));
  }
  void ChooseSource(int index) { Control<QComboBox>("cmbSource")->setCurrentIndex(index); }

  // The Timings windows in existence.
  static int TimingsWindows() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) count += dynamic_cast<TimingsWindow*>(widget) != nullptr;
    return count;
  }

  // Right-clicks a point of the calculator; the menu that opens, if any.
  QMenu* RightClick(QPoint point) {
    QWidget* target = calculator_->childAt(point);
    if (target == nullptr) target = calculator_.get();
    QContextMenuEvent event(QContextMenuEvent::Mouse, target->mapFrom(calculator_.get(), point),
                            calculator_->mapToGlobal(point));
    QApplication::sendEvent(target, &event);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
  }

  // A non-modal window that leaves the calculator working.
  void CheckOpenBeside() {
    QVERIFY(Timings() != nullptr);
    QVERIFY(Timings()->isVisible());
    QCOMPARE(Timings()->windowTitle(), QStringLiteral("Zarn Timings"));
    QVERIFY(!Timings()->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(TimingsWindows(), 1);
    QVERIFY(calculator_->isEnabled());
  }

 private slots:
  void init() {
    guard_ = std::make_unique<zarn::testing::ModalGuard>();
    calculator_ = std::make_unique<MainWindow>(zarn::engine::NumberLocale{"."}, MainWindow::AboutFactory{},
                                               zarn::app::TimingsWindowFactory());
    calculator_->Form_Load();
    calculator_->show();
    QVERIFY(QTest::qWaitForWindowExposed(calculator_.get()));
  }

  void cleanup() {
    QVERIFY2(guard_->Unexpected().isEmpty(), qPrintable(guard_->Unexpected().join(", ")));
    calculator_.reset();
    guard_.reset();
    QCOMPARE(TimingsWindows(), 0);  // it goes with the calculator
  }

  void opensWithCtrlTAndStaysOne() {
    calculator_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(calculator_.get()));
    QVERIFY(Timings() == nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::ControlModifier);
    CheckOpenBeside();
    TimingsWindow* first = Timings();
    Timings()->close();
    calculator_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(calculator_.get()));
    QTest::keyClick(Find(calculator_.get(), "cmbMode"), Qt::Key_T, Qt::ControlModifier);
    CheckOpenBeside();
    QCOMPARE(Timings(), first);

    // The calculator goes on working, and its source follows it.
    ChooseSource(0);
    auto* width = Find<QLineEdit>(calculator_.get(), "txtHorActive");
    width->setFocus();
    width->selectAll();
    QTest::keyClicks(width, QStringLiteral("1920"));
    QCOMPARE(CalculatorText("txtRefreshRate"), QStringLiteral("54.4"));
    QCOMPARE(Figure("lblHActive"), QStringLiteral("1920"));
    QCOMPARE(Figure("lblHTotal"), QStringLiteral("2328"));
  }

  void opensFromTheBackgroundMenuOnly() {
    // Over a label: no menu, the label is a control.
    QWidget* label = Find(calculator_.get(), "Label4");
    QCOMPARE(RightClick(label->mapTo(calculator_.get(), label->rect().center())), nullptr);
    QVERIFY(Timings() == nullptr);
    // The window's own background and a frame's empty inside.
    for (const QPoint point :
         {QPoint(3, 3), Find(calculator_.get(), "FraPanelInformation")->geometry().topLeft() + QPoint(5, 220)}) {
      QMenu* menu = RightClick(point);
      QVERIFY(menu != nullptr);
      QCOMPARE(menu->actions().size(), 1);
      QAction* action = menu->actions().front();
      QCOMPARE(action->text(), QStringLiteral("Standard Timings\u2026"));
      QCOMPARE(action->shortcut(), QKeySequence(QStringLiteral("Ctrl+T")));
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
      QVERIFY(QApplication::activePopupWidget() == nullptr);
      CheckOpenBeside();
      Timings()->close();
    }
  }

  void opensFromTheCommandLine() {
    QCommandLineParser plain;
    zarn::app::AddOptions(plain);
    QVERIFY(plain.parse({QStringLiteral("zarn")}));
    zarn::app::ShowWindows(*calculator_, plain);
    QVERIFY(Timings() == nullptr);

    QCommandLineParser parser;
    zarn::app::AddOptions(parser);
    QVERIFY(parser.parse({QStringLiteral("zarn"), QStringLiteral("--timings")}));
    zarn::app::ShowWindows(*calculator_, parser);
    QVERIFY(calculator_->isVisible());
    CheckOpenBeside();
  }

  void desktopActionRunsZarnWithTimings() {
    QFile file(QStringLiteral(ZARN_DESKTOP_FILE));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    // Actions= in the main group names the action; its group has a name and
    // runs zarn with the option that opens the window.
    QString section;
    QStringList actions;
    QMap<QString, QMap<QString, QString>> groups;
    for (const QString& line : lines) {
      if (line.startsWith(QLatin1Char('['))) {
        section = line.mid(1, line.size() - 2);
      } else if (const qsizetype equals = line.indexOf(QLatin1Char('=')); equals > 0) {
        groups[section][line.left(equals)] = line.mid(equals + 1);
      }
    }
    actions =
        groups[QStringLiteral("Desktop Entry")][QStringLiteral("Actions")].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QCOMPARE(actions.size(), 1);
    const auto& action = groups[QStringLiteral("Desktop Action ") + actions.front()];
    QCOMPARE(action.value(QStringLiteral("Name")), QStringLiteral("Standard Timings"));
    const QStringList command = action.value(QStringLiteral("Exec")).split(QLatin1Char(' '));
    QCOMPARE(command.front(), groups[QStringLiteral("Desktop Entry")][QStringLiteral("Exec")]);
    QCommandLineParser parser;
    zarn::app::AddOptions(parser);
    QVERIFY(parser.parse(command));
    zarn::app::ShowWindows(*calculator_, parser);
    CheckOpenBeside();
  }

  void typingInTheFilterPicksDmt0x24AndCopiesItsModeline() {
    OpenTimings();
    QCOMPARE(Control<QComboBox>("cmbSource")->currentText(), QStringLiteral("DMT"));
    QCOMPARE(Timings()->focusWidget(), Control("txtFilter"));
    QTest::keyClicks(Control("txtFilter"), QStringLiteral("0x24"));
    QVERIFY(Control<QLineEdit>("txtFilter")->isClearButtonEnabled());
    auto* list = Control<QListWidget>("lstModes");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(Figure("lblSourceName"), QStringLiteral("DMT 0x24"));
    QCOMPARE(Figure("lblPixelClock"), QStringLiteral("135 MHz"));
    QCOMPARE(Figure("lblRefreshRate"), QStringLiteral("75.025 Hz"));
    QCOMPARE(Control<QComboBox>("cmbFormat")->currentIndex(), 0);
    QApplication::clipboard()->clear();
    QTest::mouseClick(Control("cmdCopy"), Qt::LeftButton);
    const QString line = QString::fromStdString(zarn::modes::Modeline(*zarn::modes::DmtTiming(0x24)));
    QCOMPARE(QApplication::clipboard()->text(), line);
    const zarn::cli::Outcome printed = zarn::cli::Run({"dmt", "0x24", "--format", "modeline"});
    QCOMPARE(QApplication::clipboard()->text() + QLatin1Char('\n'), QString::fromStdString(printed.out));
  }

  void savesAnEdidThatEdidDecodeReadsBack() {
    if (!zarn::modes::testing::EdidDecodeAvailable()) QSKIP("edid-decode is not installed");
    OpenTimings();
    QTest::keyClicks(Control("txtFilter"), QStringLiteral("0x24"));
    Retype("txtDisplayName", QStringLiteral("Bench 24"));
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mode.bin"));
    QString suggested;
    Timings()->SetSavePathAsker([&](QWidget*, const QString& name) {
      suggested = name;
      return path;
    });
    QTest::mouseClick(Control("cmdSaveEdid"), Qt::LeftButton);
    QCOMPARE(suggested, QStringLiteral("1280x1024_75.02.bin"));
    QCOMPARE(QFileInfo(path).size(), 128);
    const QString decoded =
        QString::fromStdString(zarn::modes::testing::RunCommand("edid-decode -c '" + path.toStdString() + "' 2>&1"));
    for (const char* expected :
         {"DTD 1:  1280x1024   75.024675 Hz", "Hfront   16 Hsync 144 Hback  248 Hpol P",
          "Vfront    1 Vsync   3 Vback   38 Vpol P", "Display Product Name: 'Bench 24'", "EDID conformity: PASS"}) {
      QVERIFY2(decoded.contains(QLatin1String(expected)), expected);
    }
    QCOMPARE(Control<QLabel>("lblExportMessage")->text(),
             QStringLiteral("Saved the EDID (128 bytes) to %1.").arg(path));
  }

  // An EDID opened, a CVT timing added from the Add menu, and the EDID saved:
  // edid-decode reads the timing back from the file, and the EDID still
  // passes its conformity check.
  void editsAnEdidThatEdidDecodeReadsBack() {
    if (!zarn::modes::testing::EdidDecodeAvailable()) QSKIP("edid-decode is not installed");
    OpenTimings();
    ChooseSource(3);
    Retype("txtCvtWidth", QStringLiteral("2560"));
    Retype("txtCvtHeight", QStringLiteral("1440"));
    Retype("txtCvtRate", QStringLiteral("144"));
    Control<QComboBox>("cmbCvtBlanking")->setCurrentIndex(2);
    ChooseSource(7);
    Timings()->SetOpenPathAsker(
        [](QWidget*) { return QStringLiteral(ZARN_TEST_DATA_DIR "/edid/Digital_Dell_DELA11D_912DB5C2B1E8.bin"); });
    QTest::mouseClick(Control("cmdOpenEdid"), Qt::LeftButton);
    auto* timings = Control<QListWidget>("lstEdidTimings");
    const int listed = timings->count();
    QVERIFY(listed > 0);
    QVERIFY(!Control("cmdEdidRevert")->isEnabled());
    QStringList offered;
    Timings()->SetChoiceAsker([&](QWidget* button, const QStringList& items) -> std::optional<int> {
      offered = items;
      if (button != Control("cmdEdidAdd")) return std::nullopt;
      for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i].startsWith(QStringLiteral("CVT: 2560x1440 at 144.000 Hz"))) return static_cast<int>(i);
      }
      return std::nullopt;
    });
    QTest::mouseClick(Control("cmdEdidAdd"), Qt::LeftButton);
    // The new timing, picked; a new DisplayID block also repeats DTD 1.
    QVERIFY2(timings->count() > listed, qPrintable(offered.join(QLatin1Char('|'))));
    QVERIFY(timings->currentItem()->text().contains(QStringLiteral("2560x1440 at 144.000 Hz")));
    QVERIFY(!Control<QPlainTextEdit>("lblEdidChanges")->toPlainText().isEmpty());
    QVERIFY(Control("cmdEdidRevert")->isEnabled());
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("edited.bin"));
    QString suggested;
    Timings()->SetSavePathAsker([&](QWidget*, const QString& name) {
      suggested = name;
      return path;
    });
    QTest::mouseClick(Control("cmdSaveEdid"), Qt::LeftButton);
    QVERIFY2(suggested.endsWith(QStringLiteral("-edited.bin")), qPrintable(suggested));
    const QString decoded =
        QString::fromStdString(zarn::modes::testing::RunCommand("edid-decode -c '" + path.toStdString() + "' 2>&1"));
    QVERIFY2(decoded.contains(QStringLiteral("2560x1440  143.999784 Hz")), qPrintable(decoded));
    QVERIFY2(decoded.contains(QStringLiteral("586.586000 MHz")), qPrintable(decoded));
    QVERIFY2(decoded.contains(QStringLiteral("EDID conformity: PASS")), qPrintable(decoded));
  }

  void usesACvtModeInTheCalculator() {
    OpenTimings();
    ChooseSource(3);
    Retype("txtCvtWidth", QStringLiteral("2560"));
    Retype("txtCvtHeight", QStringLiteral("1440"));
    Retype("txtCvtRate", QStringLiteral("144"));
    Control<QComboBox>("cmbCvtBlanking")->setCurrentIndex(2);
    QCOMPARE(Figure("lblSourceName"), QStringLiteral("CVT-RB2 2560x1440@144"));
    QTest::mouseClick(Control("cmdUseInCalculator"), Qt::LeftButton);
    const char* names[] = {"txtFrequency", "txtHorActive",     "txtHorFrontPorch", "txtHorSync",    "txtHorBlanking",
                           "txtVerActive", "txtVerFrontPorch", "txtVerSync",       "txtVerBlanking"};
    const char* texts[] = {"586.586", "2560", "8", "32", "80", "1440", "89", "8", "103"};
    for (std::size_t i = 0; i < std::size(names); ++i) QCOMPARE(CalculatorText(names[i]), QLatin1String(texts[i]));
    QCOMPARE(CalculatorText("txtRefreshRate"), QStringLiteral("144"));
    QCOMPARE(Find<QLabel>(calculator_.get(), "lblHorizontalFrequency")->text(),
             QStringLiteral("Horizontal Frequency = 222.19 KHz"));
    QCOMPARE(Find<QComboBox>(calculator_.get(), "cmbMode")->currentText(), QStringLiteral("-"));
  }

  void asksBeforeGivingTheCalculatorAnInterlacedMode() {
    OpenTimings();
    ChooseSource(2);
    QTest::keyClicks(Control("txtFilter"), QStringLiteral("VIC 5"));
    bool asked = false;
    guard_->Expect([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      asked = box != nullptr && box->text().contains(QLatin1String("no interlaced timings"));
      if (box != nullptr) box->button(QMessageBox::No)->click();
    });
    QTest::mouseClick(Control("cmdUseInCalculator"), Qt::LeftButton);
    QVERIFY(guard_->ExpectationMet());
    QVERIFY(asked);
    QCOMPARE(CalculatorText("txtHorActive"), QStringLiteral("1280"));  // declined: unchanged
  }

  void keyboardReachesEveryControlAndEscapeCloses() {
    OpenTimings();
    Timings()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Timings()));
    auto* source = Control<QComboBox>("cmbSource");
    for (int index = 0; index < source->count(); ++index) {
      source->setCurrentIndex(index);
      QSet<QWidget*> expected;
      for (QWidget* widget : Timings()->findChildren<QWidget*>()) {
        if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus) &&
            widget->focusProxy() == nullptr && qobject_cast<QLineEdit*>(widget->parentWidget()) == nullptr &&
            qobject_cast<QComboBox*>(widget->parentWidget()) == nullptr) {
          expected.insert(widget);
        }
      }
      source->setFocus();
      QSet<QWidget*> reached;
      for (int step = 0; step < 100 && !reached.contains(QApplication::focusWidget()); ++step) {
        reached.insert(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      }
      QCOMPARE(QApplication::focusWidget(), source);  // round the window and back
      QCOMPARE(reached, expected);
      // Every control has a name for a screen reader, and each access key
      // shown leads to one control.
      QSet<QChar> keys;
      for (QWidget* widget : std::as_const(expected)) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY2(accessible != nullptr && !accessible->text(QAccessible::Name).isEmpty(),
                 qPrintable(widget->objectName()));
      }
      for (QWidget* widget : Timings()->findChildren<QWidget*>()) {
        QString caption;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) caption = button->text();
        if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && label->buddy() != nullptr) {
          caption = label->text();
        }
        if (!widget->isVisible() || caption.isEmpty()) continue;
        if (qobject_cast<QPushButton*>(widget) != nullptr)
          QVERIFY2(caption.contains(QLatin1Char('&')), qPrintable(caption));
        const qsizetype at = caption.indexOf(QLatin1Char('&'));
        if (at < 0) continue;
        const QChar key = caption.at(at + 1).toLower();
        QVERIFY2(!keys.contains(key), qPrintable(caption));
        keys.insert(key);
      }
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!Timings()->isVisible());
    QVERIFY(calculator_->isVisible());
  }

  void resizesWithItsLayout() {
    OpenTimings();
    Control<QTabWidget>("tabOutput")->setCurrentIndex(1);
    QCoreApplication::processEvents();
    auto* links = Control("tblLinks");
    const int before = links->height();
    Timings()->resize(Timings()->width() + 300, Timings()->height() + 200);
    QCoreApplication::processEvents();
    QVERIFY(links->height() > before);
    Timings()->resize(50, 50);
    QCoreApplication::processEvents();
    QCOMPARE(Timings()->size(), Timings()->minimumSize());
    QVERIFY(links->height() >= links->minimumHeight());
  }
};

QTEST_MAIN(TimingsWindowTest)
#include "timings_window_test.moc"
