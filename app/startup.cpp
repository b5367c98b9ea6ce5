#include "app/startup.h"

#include <memory>

#include "forms/qt/timings_window.h"
#include "forms/timings/edid_installer.h"
#include "platform/programs.h"

namespace zarn::app {
namespace {

const QCommandLineOption& TimingsOption() {
  static const QCommandLineOption option(QStringLiteral("timings"),
                                         QStringLiteral("Open the Standard Timings window beside the calculator."));
  return option;
}

}  // namespace

forms::MainWindow::TimingsFactory TimingsWindowFactory() {
  return [](forms::CalculatorPort& calculator, const engine::NumberLocale& locale) -> std::unique_ptr<QWidget> {
    // EDIDs are installed by zarn-timing, which comes beside this program.
    auto window = std::make_unique<forms::TimingsWindow>(
        calculator, locale, forms::TimingsController::MonitorLister{},
        std::make_shared<forms::CommandLineInstaller>(platform::ProgramBesideThisOne("zarn-timing")));
    window->Form_Load();
    return window;
  };
}

void AddOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral("Calculator for video display timings."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addOption(TimingsOption());
}

void ShowWindows(forms::MainWindow& calculator, const QCommandLineParser& parser) {
  calculator.show();
  if (parser.isSet(TimingsOption())) calculator.ShowTimings();
}

}  // namespace zarn::app
