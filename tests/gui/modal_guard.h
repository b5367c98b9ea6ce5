#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace zarn::testing {

// Watches for modal windows while a test runs. A modal window that the test
// announced with Expect() is handed to its handler; any other one is closed
// and recorded, so the test fails instead of hanging in the modal's loop.
class ModalGuard final : public QObject {
 public:
  using Handler = std::function<void(QWidget* modal)>;

  ModalGuard();

  void Expect(Handler handler) { expected_ = std::move(handler); }
  // A modal window the test shows itself, without a modal loop of its own.
  void Allow(const QWidget* modal) { allowed_ = modal; }
  bool ExpectationMet() const { return !expected_; }
  const QStringList& Unexpected() const { return unexpected_; }

 private:
  void Check();

  QTimer timer_;
  Handler expected_;
  QStringList unexpected_;
  QPointer<const QWidget> allowed_;
};

}  // namespace zarn::testing
