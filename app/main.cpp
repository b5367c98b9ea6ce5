#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>

#include "app/app_info.h"
#include "app/startup.h"
#include "forms/qt/about_window.h"
#include "forms/qt/main_window.h"
#include "forms/qt/system_locale.h"
#include "forms/qt/window_style.h"
#include "platform/font_warm_up.h"
#include "platform/native_services.h"

int main(int argc, char* argv[]) {
  std::thread fonts = zarn::platform::StartFontWarmUp();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(zarn::app::kTitle));
  QApplication::setApplicationVersion(QString::fromLatin1(zarn::app::kVersionText));
  QApplication::setDesktopFileName(QStringLiteral("example.brask.Zarn"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/zarn/icon.xpm")));

  fonts.join();
  // --help and --version print and end here, as does an unknown option (once
  // the font thread is done).
  QCommandLineParser commandLine;
  zarn::app::AddOptions(commandLine);
  commandLine.process(application);
  if (!commandLine.positionalArguments().isEmpty()) {
    std::fprintf(stderr, "zarn: unexpected argument '%s'; see zarn --help.\n",
                 qPrintable(commandLine.positionalArguments().front()));
    return 2;
  }
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
