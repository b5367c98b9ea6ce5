// The baseline for start-up figures: an empty Qt window of the calculator's
// size, built with the same compiler, flags and Qt.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare Qt Window"));
  window.resize(378, 420);
  window.show();
  return QApplication::exec();
}
