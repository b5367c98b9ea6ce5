#include "app/startup.h"

namespace zarn::app {
namespace {

const QCommandLineOption& TimingsOption() {
  static const QCommandLineOption option(QStringLiteral("timings"),
                                         QStringLiteral("Open the Standard Timings window beside the calculator."));
  return option;
}

}  // namespace

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
