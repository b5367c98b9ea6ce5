// The desktop platform layer for real: starting a program by its exact path,
// the ordinary-file check and the message box.
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

#include "platform/desktop/desktop_services.h"
#include "tests/gui/modal_guard.h"

namespace {

// Writes an executable shell script that touches a proof file when it runs.
void WriteProgram(const QString& path, const QString& proof) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(proof).toUtf8());
  file.close();
  QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

}  // namespace

class DesktopServicesTest : public QObject {
  Q_OBJECT

 private slots:
  void startsTheExactPathEvenWithBlanks() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A program named like the path's first word must never run.
    WriteProgram(dir.filePath(QStringLiteral("Program")), dir.filePath(QStringLiteral("decoy-ran")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Program Files/Common Files")));
    const QString tool = dir.filePath(QStringLiteral("Program Files/Common Files/sys info"));
    WriteProgram(tool, dir.filePath(QStringLiteral("tool-ran")));

    zarn::platform::DesktopServices platform;
    platform.Get().programs.Start(tool.toStdString());
    QTRY_VERIFY(QFile::exists(dir.filePath(QStringLiteral("tool-ran"))));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("decoy-ran"))));

    QVERIFY_THROWS_EXCEPTION(std::runtime_error, platform.Get().programs.Start(""));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             platform.Get().programs.Start(dir.filePath(QStringLiteral("missing")).toStdString()));
  }

  void findsOrdinaryFilesOnly() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile(dir.filePath(QStringLiteral("MSINFO32.EXE"))).open(QIODevice::WriteOnly);
    QFile(dir.filePath(QStringLiteral(".hidden"))).open(QIODevice::WriteOnly);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    zarn::platform::DesktopServices platform;
    auto& files = platform.Get().files;
    QVERIFY(files.OrdinaryFileExists(dir.filePath(QStringLiteral("MSINFO32.EXE")).toStdString()));
    QVERIFY(!files.OrdinaryFileExists(dir.filePath(QStringLiteral("folder")).toStdString()));
    QVERIFY(!files.OrdinaryFileExists(dir.filePath(QStringLiteral(".hidden")).toStdString()));
    QVERIFY(!files.OrdinaryFileExists(dir.filePath(QStringLiteral("absent")).toStdString()));
  }

  void messageBoxHasOnlyOkNoIconAndTheCaption() {
    zarn::testing::ModalGuard guard;
    QString title, text;
    int buttons = 0;
    QMessageBox::Icon icon = QMessageBox::Warning;
    guard.Expect([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (box == nullptr) return;
      title = box->windowTitle();
      text = box->text();
      buttons = static_cast<int>(box->buttons().size());
      icon = box->icon();
      box->button(QMessageBox::Ok)->click();
    });
    zarn::platform::DesktopServices platform;
    platform.Get().messages.Show("System Information Is Unavailable At This Time", "Zarn");
    QVERIFY(guard.ExpectationMet());
    QCOMPARE(title, QStringLiteral("Zarn"));
    QCOMPARE(text, QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(buttons, 1);
    QCOMPARE(icon, QMessageBox::NoIcon);
  }
};

QTEST_MAIN(DesktopServicesTest)
#include "desktop_services_test.moc"
