// Build tool: writes the application icon as a PNG for the desktop's icon theme.
#include <QGuiApplication>
#include <QImage>

int main(int argc, char* argv[]) {
  if (argc != 3) return 2;
  const QImage image(QString::fromLocal8Bit(argv[1]));
  if (image.isNull()) return 1;
  return image.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
