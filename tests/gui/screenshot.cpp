// Writes pictures of the windows for a reviewer: screenshot OUTPUT_DIR.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTextStream>

#include "app/window_icon.h"
#include "forms/qt/about_window.h"
#include "forms/qt/main_window.h"
#include "platform/desktop/desktop_services.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setWindowIcon(zarn::app::WindowIcon());
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
  QDir().mkpath(out.path());

  zarn::forms::MainWindow frmMain(zarn::engine::NumberLocale{"."});
  frmMain.Form_Load();
  frmMain.show();
  QApplication::processEvents();
  const QString path = out.filePath(QStringLiteral("frmMain.png"));
  if (!frmMain.grab().save(path)) return 1;
  QTextStream(stdout) << "wrote " << path << "\n";

  zarn::platform::DesktopServices platform;
  zarn::forms::AboutWindow frmAbout({"Zarn", 1, 0, 0}, platform.Get());
  frmAbout.Load();
  frmAbout.show();
  QApplication::processEvents();
  const QString aboutPath = out.filePath(QStringLiteral("frmAbout.png"));
  if (!frmAbout.grab().save(aboutPath)) return 1;
  QTextStream(stdout) << "wrote " << aboutPath << "\n";
  return 0;
}
