#pragma once

#include <QCommandLineParser>

#include "forms/qt/main_window.h"

namespace zarn::app {

// zarn's command line: --timings opens the Timings window beside the
// calculator; --help and --version as usual.
void AddOptions(QCommandLineParser& parser);

// Makes the Timings window for the calculator, loaded: the calculator's
// factory of it.
forms::MainWindow::TimingsFactory TimingsWindowFactory();

// Shows the calculator and, when the command line asks for it, the Timings
// window beside it.
void ShowWindows(forms::MainWindow& calculator, const QCommandLineParser& parser);

}  // namespace zarn::app
