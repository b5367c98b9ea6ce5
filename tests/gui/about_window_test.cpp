// The About window through its real widgets, with recording fakes behind the
// platform services.
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <memory>

#include "forms/qt/about_window.h"
#include "forms/qt/main_window.h"
#include "tests/gui/modal_guard.h"
#include "tests/support/platform_fakes.h"

using zarn::forms::AboutWindow;
using zarn::forms::MousePointer;

namespace {

struct Designed {
  const char* name;
  QRect box;
  qreal points;
  bool bold;
  bool underline;
};

// Twips / 15, as designed; lblDescription is sized to its host name.
const Designed kControls[] = {
    {"lblTitle", {82, 12, 259, 32}, 13.5, true, false}, {"lblVersion", {82, 48, 259, 15}, 9.75, true, false},
    {"Label1", {24, 136, 181, 17}, 8.25, false, false}, {"lblBrask", {24, 164, 273, 17}, 8.25, true, false},
    {"Label2", {24, 184, 273, 17}, 8.25, false, false}, {"lblPhone", {24, 204, 273, 17}, 8.25, false, false},
    {"lblEmail", {24, 220, 273, 17}, 8.25, true, true}, {"cmdSysInfo", {24, 256, 83, 23}, 8.25, false, false},
    {"cmdOK", {280, 256, 84, 23}, 8.25, false, false},
};

}  // namespace

class AboutWindowTest : public QObject {
  Q_OBJECT

 private:
  zarn::testing::MemoryRegistry registry_;
  zarn::testing::RecordingPrograms programs_;
  zarn::testing::RecordingFiles files_;
  zarn::testing::RecordingMessages messages_;
  zarn::testing::RecordingShell shell_;
  std::unique_ptr<zarn::testing::ModalGuard> guard_;
  std::unique_ptr<AboutWindow> about_;

  zarn::platform::Services Services() { return {registry_, programs_, files_, messages_, shell_}; }
  template <typename T = QWidget>
  T* Find(const char* name) const {
    T* widget = about_->findChild<T*>(QLatin1String(name));
    if (widget == nullptr) qFatal("no control named %s", name);
    return widget;
  }
  QString Caption(const char* name) const { return Find<QLabel>(name)->text(); }

  // Shown without a modal loop, as exec() would show it.
  void Show() {
    guard_->Allow(about_.get());
    about_->Load();
    about_->show();
    QVERIFY(QTest::qWaitForWindowExposed(about_.get()));
  }
  void MoveTo(const char* name) {
    QWidget* widget = Find(name);
    QTest::mouseMove(widget, widget->rect().center());
  }

 private slots:
  void init() {
    registry_ = {};
    programs_ = {};
    messages_ = {};
    shell_ = {};
    guard_ = std::make_unique<zarn::testing::ModalGuard>();
    about_ = std::make_unique<AboutWindow>(zarn::forms::AppProperties{"Zarn", 1, 0, 0}, Services());
  }
  void cleanup() {
    QVERIFY2(guard_->Unexpected().isEmpty(), qPrintable(guard_->Unexpected().join(", ")));
    about_.reset();
    guard_.reset();
  }

  void designTimeTextsAreReplacedAtEveryLoad() {
    QCOMPARE(about_->windowTitle(), QStringLiteral("About MyApp"));
    for (int showing = 0; showing < 2; ++showing) {
      QString caption, title, version;
      bool visible = false;
      guard_->Expect([&](QWidget* modal) {
        visible = modal == about_.get() && about_->isVisible();
        caption = about_->windowTitle();
        title = Caption("lblTitle");
        version = Caption("lblVersion");
        QTest::mouseClick(Find("cmdOK"), Qt::LeftButton);
      });
      about_->exec();
      QVERIFY(guard_->ExpectationMet());
      QVERIFY(visible);
      QCOMPARE(caption, QStringLiteral("About Zarn"));
      QCOMPARE(title, QStringLiteral("Zarn"));
      QCOMPARE(version, QStringLiteral("Version 1.0.0"));
      QVERIFY(!about_->isVisible());
    }
  }

  void theCalculatorKeepsOneAboutObject() {
    int created = 0;
    AboutWindow* first = nullptr;
    zarn::forms::MainWindow main(zarn::engine::NumberLocale{"."}, [&] {
      ++created;
      auto window = std::make_unique<AboutWindow>(zarn::forms::AppProperties{"Zarn", 1, 0, 0}, Services());
      first = window.get();
      return window;
    });
    main.Form_Load();
    main.move(600, 500);  // the calculator somewhere off-centre
    main.show();
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    for (int press = 0; press < 2; ++press) {
      QString version;
      QPoint centre;
      guard_->Expect([&](QWidget* modal) {
        centre = modal->frameGeometry().center();
        version = modal->findChild<QLabel*>(QStringLiteral("lblVersion"))->text();
        QTest::keyClick(modal, Qt::Key_Escape);
      });
      QTest::mouseClick(main.findChild<QPushButton*>(QStringLiteral("cmdAboutZarn")), Qt::LeftButton);
      QVERIFY(guard_->ExpectationMet());
      QCOMPARE(version, QStringLiteral("Version 1.0.0"));
      QVERIFY2((centre - screenCentre).manhattanLength() <= 2, qPrintable(QStringLiteral("centre %1,%2 screen %3,%4")
                                                                              .arg(centre.x())
                                                                              .arg(centre.y())
                                                                              .arg(screenCentre.x())
                                                                              .arg(screenCentre.y())));
    }
    QCOMPARE(created, 1);
    QCOMPARE(main.AboutWindow(), static_cast<QDialog*>(first));
    // No taskbar entry: the window system sees the calculator as its owner.
    QCOMPARE(first->windowHandle()->transientParent(), main.windowHandle());
    QCOMPARE(first->parent(), nullptr);
  }

  void okEnterEscapeAndTheCloseBoxUnload_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("OK") << 0;
    QTest::newRow("Enter") << 1;
    QTest::newRow("Escape") << 2;
    QTest::newRow("close box") << 3;
    QTest::newRow("Enter on the picture") << 4;
  }
  void okEnterEscapeAndTheCloseBoxUnload() {
    QFETCH(int, how);
    guard_->Expect([&](QWidget* modal) {
      switch (how) {
        case 0:
          QTest::mouseClick(Find("cmdOK"), Qt::LeftButton);
          break;
        case 1:
          QTest::keyClick(modal, Qt::Key_Return);
          break;
        case 2:
          QTest::keyClick(modal, Qt::Key_Escape);
          break;
        case 3:
          modal->close();
          break;
        default:
          Find("picIcon")->setFocus();
          QTest::keyClick(Find("picIcon"), Qt::Key_Return);
      }
    });
    about_->exec();
    QVERIFY(guard_->ExpectationMet());
    QVERIFY(!about_->isVisible());
    QVERIFY(messages_.shown.empty());
  }

  void altSAndEnterOnSysInfoRunTheLauncher() {
    Show();
    about_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(about_.get()));
    QCOMPARE(about_->focusWidget(), Find("cmdOK"));
    QTest::keyClick(about_.get(), Qt::Key_S, Qt::AltModifier);
    // An access key presses its button the way a click does, animated: the
    // press lands from the event loop.
    QTRY_COMPARE(messages_.shown.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(messages_.shown[0].text),
             QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(QString::fromStdString(messages_.shown[0].caption), QStringLiteral("Zarn"));
    QVERIFY(about_->isVisible());

    registry_.AddKey(zarn::forms::SysInfoLauncher::kMsInfoKey).values["PATH"] =
        zarn::testing::MemoryRegistry::Text("C:\\Program Files\\msinfo32.exe");
    Find("cmdSysInfo")->setFocus();
    QTest::keyClick(Find("cmdSysInfo"), Qt::Key_Return);
    QCOMPARE(programs_.started, std::vector<std::string>{"C:\\Program Files\\msinfo32.exe"});
    QVERIFY(about_->isVisible());
  }

  void tabCyclesOkPictureSysInfo() {
    Show();
    about_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(about_.get()));
    const char* order[] = {"cmdOK", "picIcon", "cmdSysInfo"};
    Find("cmdOK")->setFocus();
    for (int step = 1; step <= 3; ++step) {
      QTest::keyClick(about_->focusWidget(), Qt::Key_Tab);
      QCOMPARE(about_->focusWidget(), Find(order[step % 3]));
    }
  }

  void pointerFollowsLinksAndTheBackground() {
    Show();
    QCOMPARE(about_->Pointer(), MousePointer::Default);
    MoveTo("lblEmail");
    QCOMPARE(about_->Pointer(), MousePointer::Custom);
    QCOMPARE(about_->cursor().shape(), Qt::BitmapCursor);
    MoveTo("cmdOK");  // straight onto a button: unchanged
    QCOMPARE(about_->Pointer(), MousePointer::Custom);
    MoveTo("Label2");  // a plain label is not the background
    QCOMPARE(about_->Pointer(), MousePointer::Custom);
    QTest::mouseMove(about_.get(), QPoint(370, 100));  // bare background
    QCOMPARE(about_->Pointer(), MousePointer::Default);
    QCOMPARE(about_->cursor().shape(), Qt::ArrowCursor);
    MoveTo("lblDescription");
    QCOMPARE(about_->Pointer(), MousePointer::Custom);
    // The next load starts from the default pointer.
    about_->Load();
    QCOMPARE(about_->Pointer(), MousePointer::Default);
  }

  void linksOpenThroughTheShell() {
    Show();
    QTest::mouseClick(Find("lblEmail"), Qt::LeftButton);
    QTest::mouseClick(Find("lblDescription"), Qt::LeftButton);
    QTest::mouseClick(Find("lblPhone"), Qt::LeftButton);  // not a link
    QCOMPARE(shell_.executed,
             (std::vector<std::string>{"Open mailto:support@brask.example", "Open https://www.brask.example/"}));
    QCOMPARE(Caption("lblEmail"), QStringLiteral("support@brask.example"));
    QCOMPARE(Caption("lblDescription"), QStringLiteral("www.brask.example"));
    QVERIFY(about_->isVisible());
  }

  void layoutMatchesTheDesignAndEveryCaptionFits() {
    Show();
    QCOMPARE(about_->size(), QSize(382, 287));
    QCOMPARE(about_->minimumSize(), about_->maximumSize());
    QVERIFY(!(about_->windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(about_->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(Find("picIcon")->geometry(), QRect(4, 8, 71, 62));
    for (const Designed& control : kControls) {
      QWidget* widget = Find(control.name);
      QCOMPARE(widget->geometry(), control.box);
      QCOMPARE(widget->font().pointSizeF(), control.points);
      QCOMPARE(widget->font().bold(), control.bold);
      QCOMPARE(widget->font().underline(), control.underline);
      const QString text = qobject_cast<QLabel*>(widget) ? static_cast<QLabel*>(widget)->text()
                                                         : static_cast<QPushButton*>(widget)->text().remove('&');
      const QFontMetrics metrics(widget->font());
      QVERIFY2(metrics.horizontalAdvance(text) <= widget->width(), control.name);
      QVERIFY2(metrics.height() <= widget->height(), control.name);
    }
    const QWidget* link = Find("lblDescription");
    QCOMPARE(QFontMetrics(link->font()).horizontalAdvance(Caption("lblDescription")), link->width());
    QCOMPARE(link->y(), 76);
    QCOMPARE(link->geometry().center().x(), 199);  // centred where the designed box was
    QCOMPARE(Find("lblEmail")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(Find("lblTitle")->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QVERIFY(Find<QPushButton>("cmdOK")->isDefault());
    QCOMPARE(Find("picIcon")->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
  }
};

QTEST_MAIN(AboutWindowTest)
#include "about_window_test.moc"
