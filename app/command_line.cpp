#include "app/command_line.h"

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace zarn::app {
namespace {

// The options that Qt's GUI application, its X11 platform and its widgets take
// out of the command line, each also spelt with two dashes: those followed by
// a value, then those without one. -style and -stylesheet also come as
// -style=NAME.
constexpr const char* kToolkitOptionsWithValue[] = {"platform",        "platformpluginpath",
                                                    "platformtheme",   "plugin",
                                                    "qwindowgeometry", "qwindowicon",
                                                    "qwindowtitle",    "geometry",
                                                    "title",           "icon",
                                                    "display",         "name",
                                                    "visual",          "session",
                                                    "style",           "stylesheet"};
constexpr const char* kToolkitFlags[] = {"reverse", "testability", "widgetcount", "nograb",
                                         "dograb",  "qdevel",      "qdebug"};

bool IsOneOf(const QString& name, const auto& names) {
  return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return name == QLatin1String(n); });
}

QStringList WithoutToolkitOptions(const QStringList& arguments) {
  if (arguments.isEmpty()) return arguments;
  QStringList kept{arguments.front()};
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1).section(QLatin1Char('='), 0, 0);
    if (!argument.startsWith(QLatin1Char('-'))) {
      kept << argument;
    } else if (IsOneOf(name, kToolkitOptionsWithValue)) {
      if (!argument.contains(QLatin1Char('='))) ++i;  // skips the value
    } else if (!IsOneOf(name, kToolkitFlags)) {
      kept << argument;
    }
  }
  return kept;
}

void Print(std::FILE* stream, const QString& text) { std::fputs(qPrintable(text), stream); }

}  // namespace

std::optional<int> ReadCommandLine(int& argc, char** argv, QCommandLineParser& parser) {
  {
    // An application object without windows: it gives the program's name and
    // arguments as the GUI application would, and connects to nothing.
    const QCoreApplication reader(argc, argv);
    if (!parser.parse(WithoutToolkitOptions(QCoreApplication::arguments()))) {
      Print(stderr, QCoreApplication::applicationName() + QLatin1String(": ") + parser.errorText() + QLatin1Char('\n'));
      return 2;
    }
    if (parser.isSet(QStringLiteral("version"))) {
      Print(stdout, QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion() +
                        QLatin1Char('\n'));
      return 0;
    }
    if (parser.isSet(QStringLiteral("help"))) {
      Print(stdout, parser.helpText());
      return 0;
    }
    if (!parser.isSet(QStringLiteral("help-all"))) {
      if (parser.positionalArguments().isEmpty()) return std::nullopt;
      std::fprintf(stderr, "zarn: unexpected argument '%s'; see zarn --help.\n",
                   qPrintable(parser.positionalArguments().front()));
      return 2;
    }
  }
  // The help with the toolkit's own options: only the GUI application lists
  // them, and it does so on the offscreen platform as well as on a display.
  // process() prints the help and ends the program.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int programOnly = 1;
  const QApplication toolkit(programOnly, argv);
  parser.process(QStringList{QCoreApplication::arguments().front(), QStringLiteral("--help-all")});
  return 0;
}

}  // namespace zarn::app
