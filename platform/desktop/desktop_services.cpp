#include "platform/desktop/desktop_services.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <stdexcept>

namespace zarn::platform {
namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class QtProgramStarter final : public ProgramStarter {
 public:
  void Start(const std::string& path) override {
    // The exact path as the program, no arguments, no shell.
    if (path.empty() || !QProcess::startDetached(FromUtf8(path), {})) {
      throw std::runtime_error("cannot start " + path);
    }
  }
};

class QtFileFinder final : public FileFinder {
 public:
  bool OrdinaryFileExists(const std::string& path) override {
    const QFileInfo info(FromUtf8(path));
    return info.isFile() && !info.isHidden();
  }
};

class QtMessageDialog final : public MessageDialog {
 public:
  void Show(const std::string& text, const std::string& caption) override {
    QMessageBox box(QMessageBox::NoIcon, FromUtf8(caption), FromUtf8(text), QMessageBox::Ok);
    box.exec();
  }
};

class QtShell final : public Shell {
 public:
  void Execute(const std::string& /*verb*/, const std::string& target) override {
    // Whatever the desktop makes of it; the answer is not examined.
    QDesktopServices::openUrl(QUrl(FromUtf8(target)));
  }
};

}  // namespace

std::string FindSystemInformationProgram() {
  for (const char* name : kSystemInformationPrograms) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (!path.isEmpty()) return path.toStdString();
  }
  return {};
}

struct DesktopServices::Impl {
  RegistryStandIn registry{&FindSystemInformationProgram};
  QtProgramStarter programs;
  QtFileFinder files;
  QtMessageDialog messages;
  QtShell shell;
};

DesktopServices::DesktopServices() : impl_(std::make_unique<Impl>()) {}
DesktopServices::~DesktopServices() = default;

Services DesktopServices::Get() {
  return {impl_->registry, impl_->programs, impl_->files, impl_->messages, impl_->shell};
}

}  // namespace zarn::platform
