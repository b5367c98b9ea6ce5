#include "app/window_icon.h"

#include <QDir>
#include <QFileInfo>

// The pictures are compiled into this static library; make sure its resources
// are registered even though nothing else references them.
static void RegisterWindowIconResources() { Q_INIT_RESOURCE(window_icon); }

namespace zarn::app {

QIcon WindowIcon() {
  RegisterWindowIconResources();
  QIcon icon;
  for (const QFileInfo& picture : QDir(QStringLiteral(":/zarn/icon")).entryInfoList()) icon.addFile(picture.filePath());
  return icon;
}

}  // namespace zarn::app
