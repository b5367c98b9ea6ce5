// What a screen reader learns of both windows through QAccessible: names,
// roles, link targets and the mode list's label.
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <memory>

#include "forms/qt/about_window.h"
#include "forms/qt/main_window.h"
#include "tests/support/platform_fakes.h"

class AccessibilityTest : public QObject {
  Q_OBJECT

 private:
  zarn::testing::FakePlatform platform_;
  std::unique_ptr<zarn::forms::MainWindow> main_;
  std::unique_ptr<zarn::forms::AboutWindow> about_;

  QWidget* Find(const char* name) const {
    QWidget* widget = main_->findChild<QWidget*>(QLatin1String(name));
    if (widget == nullptr) widget = about_->findChild<QWidget*>(QLatin1String(name));
    if (widget == nullptr) qFatal("no control named %s", name);
    return widget;
  }
  QAccessibleInterface* Accessible(const char* name) const { return QAccessible::queryAccessibleInterface(Find(name)); }

 private slots:
  void init() {
    main_ = std::make_unique<zarn::forms::MainWindow>(zarn::engine::NumberLocale{"."});
    main_->Form_Load();
    about_ =
        std::make_unique<zarn::forms::AboutWindow>(zarn::forms::AppProperties{"Zarn", 1, 0, 0}, platform_.Services());
    about_->Load();
    about_->show();
    QVERIFY(QTest::qWaitForWindowExposed(about_.get()));
  }
  void cleanup() {
    about_.reset();
    main_.reset();
  }

  void controlsSayWhatTheyAre_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::newRow("---->") << "cmdRefreshToPixel" << int(QAccessible::Button)
                           << "Convert refresh rate to pixel frequency"
                           << "";
    QTest::newRow("<----") << "cmdPixelToRate" << int(QAccessible::Button) << "Convert pixel frequency to refresh rate"
                           << "";
    QTest::newRow("picture") << "picIcon" << int(QAccessible::Graphic) << "Zarn logo"
                             << "";
    QTest::newRow("web") << "lblDescription" << int(QAccessible::Link) << "www.brask.example"
                         << "https://www.brask.example/";
    QTest::newRow("e-mail") << "lblEmail" << int(QAccessible::Link) << "support@brask.example"
                            << "mailto:support@brask.example";
  }
  void controlsSayWhatTheyAre() {
    QFETCH(QString, control);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QAccessibleInterface* accessible = Accessible(qPrintable(control));
    QVERIFY(accessible != nullptr);
    QCOMPARE(int(accessible->role()), role);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    QCOMPARE(accessible->text(QAccessible::Description), description);
    QCOMPARE(bool(accessible->state().linked), role == QAccessible::Link);
  }

  void theModeListIsLabelledByItsCaption() {
    auto* caption = static_cast<QLabel*>(Find("lblPredefinedMode"));
    QCOMPARE(caption->buddy(), Find("cmbMode"));
    QCOMPARE(caption->text(), QStringLiteral("Predefined Mode"));  // no access key added
    const auto labels = Accessible("cmbMode")->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first().first->object(), caption);
    const auto labelled = Accessible("lblPredefinedMode")->relations(QAccessible::Labelled);
    QCOMPARE(labelled.size(), 1);
    QCOMPARE(labelled.first().first->object(), Find("cmbMode"));
  }

  void pressingALinkOpensItsTarget() {
    for (const char* link : {"lblEmail", "lblDescription"}) {
      QAccessibleActionInterface* actions = Accessible(link)->actionInterface();
      QVERIFY(actions != nullptr);
      QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
      actions->doAction(QAccessibleActionInterface::pressAction());
    }
    QCOMPARE(platform_.shell.executed,
             (std::vector<std::string>{"Open mailto:support@brask.example", "Open https://www.brask.example/"}));
    QVERIFY(about_->isVisible());
  }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
