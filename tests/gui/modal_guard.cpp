#include "tests/gui/modal_guard.h"

#include <QApplication>
#include <QDialog>

namespace zarn::testing {

ModalGuard::ModalGuard() {
  timer_.setInterval(20);
  connect(&timer_, &QTimer::timeout, this, &ModalGuard::Check);
  timer_.start();
}

void ModalGuard::Check() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || !modal->isVisible() || modal == allowed_) return;
  if (expected_) {
    const Handler handler = std::move(expected_);
    expected_ = nullptr;
    handler(modal);
    return;
  }
  unexpected_ << QStringLiteral("%1 \"%2\"").arg(modal->metaObject()->className(), modal->windowTitle());
  if (auto* dialog = qobject_cast<QDialog*>(modal)) {
    dialog->reject();
  } else {
    modal->close();
  }
}

}  // namespace zarn::testing
