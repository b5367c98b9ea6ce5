#pragma once

#include <QCommandLineParser>

#include <optional>

namespace zarn::app {

// Reads zarn's command line into the parser (its options set by AddOptions)
// before the GUI application exists, so that answering it needs no display.
// The options Qt's GUI application takes for itself (-platform NAME,
// -style NAME, -display NAME, ...) are left out of the reading, as the GUI
// application removes them before the program would see them.
// Answers --help, --help-all and --version on standard output and a mistake
// (an unknown option, a missing value, an unexpected argument) on standard
// error, and returns the exit status then: 0, or 2 for a mistake. Returns
// nothing when the windows are to open.
std::optional<int> ReadCommandLine(int& argc, char** argv, QCommandLineParser& parser);

}  // namespace zarn::app
