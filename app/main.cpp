#include <QApplication>
#include <QCommandLineParser>

#include "app/app_info.h"
#include "app/command_line.h"
#include "app/startup.h"
#include "app/window_icon.h"
#include "forms/qt/about_window.h"
#include "forms/qt/main_window.h"
#include "forms/qt/system_locale.h"
#include "forms/qt/window_style.h"
#include "platform/font_warm_up.h"
#include "platform/native_services.h"

int main(int argc, char* argv[]) {
  QApplication::setApplicationName(QString::fromLatin1(zarn::app::kTitle));
  QApplication::setApplicationVersion(QString::fromLatin1(zarn::app::kVersionText));
  // --help, --version and a mistake are answered here, before anything needs
  // a display.
  QCommandLineParser commandLine;
  zarn::app::AddOptions(commandLine);
  if (const std::optional<int> status = zarn::app::ReadCommandLine(argc, argv, commandLine)) return *status;

  std::thread fonts = zarn::platform::StartFontWarmUp();
  QApplication application(argc, argv);
  QApplication::setDesktopFileName(QStringLiteral("example.brask.Zarn"));
  QApplication::setWindowIcon(zarn::app::WindowIcon());
  fonts.join();
  // One face for the whole program, message boxes included.
  QApplication::setFont(zarn::forms::UiFont());

  zarn::platform::NativeServices platform;
  const zarn::forms::AppProperties properties{zarn::app::kTitle, zarn::app::kVersionMajor, zarn::app::kVersionMinor,
                                              zarn::app::kVersionRevision};
  zarn::forms::MainWindow frmMain(
      zarn::forms::SystemNumberLocale(),
      [&] { return std::make_unique<zarn::forms::AboutWindow>(properties, platform.Get()); },
      zarn::app::TimingsWindowFactory());
  frmMain.Form_Load();
  zarn::app::ShowWindows(frmMain, commandLine);
  return QApplication::exec();
}
