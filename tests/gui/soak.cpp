// A seeded soak of the real calculator and About windows: soak [ACTIONS] [SEED].
// Random user actions through the widgets: typing of any Unicode, Backspace
// and Delete, Home and End, select-all, pastes of up to a megabyte of UTF-8,
// list picks by mouse and keyboard, the buttons, and the About window opened,
// used and closed. Each action runs with the repaint it causes. Fails (exit
// status 1) when an action takes longer than two seconds, a paste is not kept
// whole or a modal window other than About opens; a crash or a sanitizer
// report ends the process by itself. Prints the slowest action and the
// resident memory at the start, the middle and the end. Linux only: it reads
// the memory from /proc and the time from the thread's processor clock.
//
// An action's time is the processor time of the GUI thread, which is what
// the program spends; on a shared machine the wall-clock time of the same
// action swings with the other processes. A watchdog thread ends the soak
// as soon as the running action passes the limit, and also after a minute of
// wall-clock time in one action, which catches a wait that never ends.
#include <pthread.h>
#include <time.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "forms/qt/about_window.h"
#include "forms/qt/main_window.h"
#include "tests/gui/modal_guard.h"
#include "tests/support/platform_fakes.h"

namespace {

constexpr qint64 kLimitNs = 2'000'000'000;
constexpr qint64 kHangNs = 60'000'000'000;
constexpr qsizetype kMaxPasteBytes = 1 << 20;  // UTF-8

// The resident set of this process in kilobytes; 0 where /proc is missing.
long ResidentKilobytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
  }
  return 0;
}

QString Megabytes(long kilobytes) {
  return kilobytes == 0 ? QStringLiteral("n/a")
                        : QStringLiteral("%1 MB").arg(static_cast<double>(kilobytes) / 1024.0, 0, 'f', 1);
}

qint64 Nanoseconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<qint64>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

double Seconds(qint64 ns) { return static_cast<double>(ns) / 1e9; }

// Times the actions of the thread that made it, and ends the process from a
// thread of its own when one runs past the limits.
class Watchdog {
 public:
  explicit Watchdog(std::uint64_t seed) : seed_(seed) {
    pthread_getcpuclockid(pthread_self(), &cpu_);
    thread_ = std::thread([this] { Watch(); });
  }
  ~Watchdog() {
    stop_ = true;
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  void Start(long action) {
    cpuStart_ = Nanoseconds(cpu_);
    wallStart_ = Nanoseconds(CLOCK_MONOTONIC);
    running_ = action;
  }
  void Stop() {
    running_ = -1;
    cpuNs_ = Nanoseconds(cpu_) - cpuStart_;
    wallNs_ = Nanoseconds(CLOCK_MONOTONIC) - wallStart_;
  }
  qint64 CpuNs() const { return cpuNs_; }
  qint64 WallNs() const { return wallNs_; }

 private:
  void Watch() {
    while (!stop_) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      const long action = running_;
      if (action < 0) continue;
      const qint64 cpu = Nanoseconds(cpu_) - cpuStart_;
      const qint64 wall = Nanoseconds(CLOCK_MONOTONIC) - wallStart_;
      if ((cpu > kLimitNs || wall > kHangNs) && running_ == action) {
        std::fprintf(stderr, "soak: action %ld has run for %.2f s of processor time (%.2f s on the clock); seed %llu\n",
                     action, Seconds(cpu), Seconds(wall), static_cast<unsigned long long>(seed_));
        std::_Exit(1);
      }
    }
  }

  std::uint64_t seed_;
  clockid_t cpu_{};
  std::atomic<long> running_{-1};
  std::atomic<qint64> cpuStart_{0};
  std::atomic<qint64> wallStart_{0};
  qint64 cpuNs_ = 0;
  qint64 wallNs_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class Soak {
 public:
  Soak(std::uint64_t seed, zarn::forms::MainWindow& main) : random_(seed), main_(main), watchdog_(seed) {
    for (const auto field : zarn::engine::kAllTimingFields) {
      fields_.push_back(main.findChild<QLineEdit*>(QString::fromUtf8(zarn::engine::FieldInfo(field).name)));
    }
    mode_ = main.findChild<QComboBox*>(QStringLiteral("cmbMode"));
  }

  // Runs action number index; false when it broke a rule (see Failure()).
  // Its time runs from the user's first key or click to the end of the
  // repaint; what the soak prepares beforehand (a text to paste) is not in it.
  bool Act(long index, QString& what) {
    failure_.clear();
    index_ = index;
    watchdog_.Start(index_);
    const int pick = Below(100);
    if (pick < 26) {
      Type(what);
    } else if (pick < 38) {
      Erase(what);
    } else if (pick < 44) {
      MoveCursor(what);
    } else if (pick < 49) {
      SelectAll(what);
    } else if (pick < 57) {
      Paste(what);
    } else if (pick < 64) {
      PickByMouse(what);
    } else if (pick < 71) {
      PickByKeyboard(what);
    } else if (pick < 82) {
      PressConversion(what);
    } else if (pick < 87) {
      Tab(what);
    } else if (pick < 90) {
      ClickIntoField(what);
    } else {
      About(what);
    }
    QCoreApplication::processEvents();  // the repaint the action caused
    watchdog_.Stop();
    return failure_.isEmpty();
  }
  const QString& Failure() const { return failure_; }
  qint64 CpuNs() const { return watchdog_.CpuNs(); }
  qint64 WallNs() const { return watchdog_.WallNs(); }

 private:
  int Below(int bound) { return static_cast<int>(random_() % static_cast<std::uint64_t>(bound)); }
  bool OneIn(int n) { return Below(n) == 0; }

  // One code point from the ranges a hostile or far-travelled user reaches:
  // mostly what numbers are made of, in several scripts, then letters,
  // combining marks, bidirectional controls, emoji and any other BMP
  // character.
  char32_t CodePoint() {
    static constexpr char kNumberish[] = "0123456789.,+-eE ";
    struct Range {
      char32_t first, last;
    };
    static constexpr Range kRanges[] = {
        {0x20, 0x7E},       // ASCII
        {0x0660, 0x066C},   // Arabic-Indic digits, decimal and thousands separators
        {0x06F0, 0x06F9},   // Extended Arabic-Indic digits
        {0xFF10, 0xFF19},   // fullwidth digits
        {0xA0, 0x24F},      // Latin-1 and Latin Extended
        {0x300, 0x36F},     // combining marks
        {0x5D0, 0x5EA},     // Hebrew
        {0x627, 0x64A},     // Arabic
        {0x4E00, 0x9FFF},   // CJK
        {0x200B, 0x200F},   // zero-width characters and direction marks
        {0x202A, 0x202E},   // bidirectional embeddings and overrides
        {0x1F300, 0x1FAFF}  // emoji, beyond the BMP
    };
    const int kind = Below(100);
    if (kind < 45) return static_cast<unsigned char>(kNumberish[Below(static_cast<int>(sizeof kNumberish - 1))]);
    if (kind < 95) {
      const Range& range = kRanges[Below(static_cast<int>(std::size(kRanges)))];
      return range.first + static_cast<char32_t>(Below(static_cast<int>(range.last - range.first + 1)));
    }
    for (;;) {  // anything in the BMP that is a character, controls included
      const auto c = static_cast<char32_t>(Below(0x10000));
      if (c < 0xD800 || c > 0xDFFF) return c;
    }
  }

  static QString Text(char32_t c) { return QString::fromUcs4(&c, 1); }

  static QString Name(const QWidget* widget) {
    return widget->objectName().isEmpty() ? QStringLiteral("the mode list's edit field") : widget->objectName();
  }

  QLineEdit* AnyEdit() {
    // Now and then the mode list's own edit field, whose text is inert.
    if (OneIn(12)) return mode_->lineEdit();
    return fields_[static_cast<std::size_t>(Below(static_cast<int>(fields_.size())))];
  }

  QLineEdit* Focus(QLineEdit* edit) {
    edit->setFocus();
    return edit;
  }

  // One keystroke is one action: the time a user waits for.
  void Type(QString& what) {
    QLineEdit* edit = Focus(AnyEdit());
    const char32_t c = CodePoint();
    what = QStringLiteral("type U+%1 into %2").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).arg(Name(edit));
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, Text(c), Qt::NoModifier);
  }

  void Erase(QString& what) {
    QLineEdit* edit = Focus(AnyEdit());
    const bool backspace = OneIn(2);
    if (OneIn(3)) edit->setCursorPosition(Below(static_cast<int>(std::min<qsizetype>(edit->text().size(), 1000)) + 1));
    what = QStringLiteral("%1 in %2").arg(backspace ? "Backspace" : "Delete", Name(edit));
    QTest::keyClick(edit, backspace ? Qt::Key_Backspace : Qt::Key_Delete);
  }

  void MoveCursor(QString& what) {
    QLineEdit* edit = Focus(AnyEdit());
    const Qt::Key key = OneIn(2) ? Qt::Key_Home : Qt::Key_End;
    const Qt::KeyboardModifiers modifiers = OneIn(3) ? Qt::ShiftModifier : Qt::NoModifier;
    what = QStringLiteral("%1%2 in %3")
               .arg(modifiers == Qt::ShiftModifier ? "Shift+" : "", key == Qt::Key_Home ? "Home" : "End", Name(edit));
    QTest::keyClick(edit, key, modifiers);
  }

  void SelectAll(QString& what) {
    QLineEdit* edit = Focus(AnyEdit());
    what = QStringLiteral("select all in %1").arg(Name(edit));
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  }

  // Sizes in UTF-8 spread evenly over the powers of two up to a megabyte:
  // mostly short, now and then the whole megabyte. A field already holding
  // a megabyte's worth of characters is replaced, so none grows without
  // bound.
  void Paste(QString& what) {
    QLineEdit* edit = Focus(AnyEdit());
    const qsizetype budget = std::min(kMaxPasteBytes, qsizetype{1} << Below(21));
    const bool number = OneIn(2);  // a long run of digits, or anything
    QString text;
    for (qsizetype bytes = 0;;) {
      const char32_t c = number ? U'0' + static_cast<char32_t>(Below(10)) : CodePoint();
      bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
      if (bytes > budget) break;
      text += Text(c);
    }
    if (edit->text().size() > kMaxPasteBytes) edit->selectAll();
    QGuiApplication::clipboard()->setText(text);
    const qsizetype expected = edit->text().size() - edit->selectedText().size() + text.size();
    what = QStringLiteral("paste %1 characters into %2").arg(text.size()).arg(Name(edit));
    watchdog_.Start(index_);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    if (edit->text().size() != expected) {
      failure_ =
          QStringLiteral("the paste was cut: %1 characters instead of %2").arg(edit->text().size()).arg(expected);
    }
  }

  void PickByMouse(QString& what) {
    const int index = Below(mode_->count());
    what = QStringLiteral("pick mode %1 by mouse").arg(index);
    mode_->showPopup();
    QAbstractItemView* list = mode_->view();
    if (!QTest::qWaitForWindowExposed(list->window())) {
      failure_ = QStringLiteral("the list did not open");
      return;
    }
    const QPoint centre = list->visualRect(list->model()->index(index, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    if (mode_->currentIndex() != index) failure_ = QStringLiteral("the click picked %1").arg(mode_->currentIndex());
  }

  void PickByKeyboard(QString& what) {
    struct Key {
      Qt::Key key;
      const char* name;
    };
    static constexpr Key kKeys[] = {
        {Qt::Key_Up, "Up"}, {Qt::Key_Down, "Down"}, {Qt::Key_PageUp, "Page Up"}, {Qt::Key_PageDown, "Page Down"}};
    const Key& key = kKeys[Below(static_cast<int>(std::size(kKeys)))];
    what = QStringLiteral("%1 on the mode list").arg(QLatin1String(key.name));
    mode_->setFocus();
    QTest::keyClick(mode_, key.key);
  }

  void PressConversion(QString& what) {
    auto* button = main_.findChild<QPushButton*>(OneIn(2) ? QStringLiteral("cmdRefreshToPixel")
                                                          : QStringLiteral("cmdPixelToRate"));
    if (OneIn(2)) {
      what = QStringLiteral("click %1").arg(button->objectName());
      QTest::mouseClick(button, Qt::LeftButton);
    } else {
      what = QStringLiteral("Space on %1").arg(button->objectName());
      button->setFocus();
      QTest::keyClick(button, Qt::Key_Space);
    }
  }

  void Tab(QString& what) {
    QWidget* focus = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : fields_.front();
    const bool back = OneIn(2);
    what = QStringLiteral("%1 from %2").arg(back ? "Shift+Tab" : "Tab", focus->objectName());
    QTest::keyClick(focus, back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
  }

  void ClickIntoField(QString& what) {
    QLineEdit* edit = AnyEdit();
    const QPoint where(Below(edit->width()), Below(edit->height()));
    const bool twice = OneIn(3);
    what = QStringLiteral("%1 into %2").arg(twice ? "double click" : "click", Name(edit));
    if (twice) {
      QTest::mouseDClick(edit, Qt::LeftButton, {}, where);
    } else {
      QTest::mouseClick(edit, Qt::LeftButton, {}, where);
    }
  }

  // Opens About with the mouse or the keyboard and, inside its modal loop,
  // moves over and clicks its links and buttons before closing it one of the
  // four ways.
  void About(QString& what) {
    const int steps = Below(6);
    const int close = Below(4);
    what = QStringLiteral("About with %1 steps, closed by %2").arg(steps).arg(close);
    bool closed = false;
    guard_.Expect([&, steps, close](QWidget* modal) {
      static constexpr const char* kTargets[] = {"lblEmail", "lblDescription", "cmdSysInfo", "picIcon", "Label2"};
      for (int i = 0; i < steps; ++i) {
        auto* target =
            modal->findChild<QWidget*>(QLatin1String(kTargets[Below(static_cast<int>(std::size(kTargets)))]));
        QTest::mouseMove(target, target->rect().center());
        if (OneIn(2)) QTest::mouseClick(target, Qt::LeftButton);
        if (OneIn(3)) QTest::mouseMove(modal, QPoint(370, 100));  // the bare background
        if (OneIn(3)) QTest::keyClick(modal->focusWidget(), Qt::Key_Tab);
      }
      switch (close) {
        case 0:
          QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
          break;
        case 1:
          modal->findChild<QPushButton*>(QStringLiteral("cmdOK"))->setFocus();
          QTest::keyClick(modal->focusWidget(), Qt::Key_Return);
          break;
        case 2:
          QTest::keyClick(modal, Qt::Key_Escape);
          break;
        default:
          modal->close();
      }
      closed = !modal->isVisible();
      if (!closed) static_cast<QDialog*>(modal)->reject();  // never hang
    });
    auto* about = main_.findChild<QPushButton*>(QStringLiteral("cmdAboutZarn"));
    if (OneIn(2)) {
      QTest::mouseClick(about, Qt::LeftButton);
    } else {
      about->setFocus();
      QTest::keyClick(about, Qt::Key_Space);
    }
    if (!guard_.ExpectationMet()) {
      failure_ = QStringLiteral("About did not open");
      guard_.Expect(nullptr);
    } else if (!closed) {
      failure_ = QStringLiteral("About did not close");
    }
    if (!guard_.Unexpected().isEmpty()) failure_ = QStringLiteral("unexpected: ") + guard_.Unexpected().join(", ");
    // The fakes record every call; keep them from growing over a long run.
    shell.executed.clear();
    messages.shown.clear();
    registry.calls.clear();
    registry.accessMasks.clear();
    registry.bufferSizes.clear();
  }

 public:
  zarn::testing::MemoryRegistry registry;
  zarn::testing::RecordingPrograms programs;
  zarn::testing::RecordingFiles files;
  zarn::testing::RecordingMessages messages;
  zarn::testing::RecordingShell shell;

 private:
  std::mt19937_64 random_;
  zarn::forms::MainWindow& main_;
  Watchdog watchdog_;
  long index_ = 0;
  std::vector<QLineEdit*> fields_;
  QComboBox* mode_ = nullptr;
  zarn::testing::ModalGuard guard_;
  QString failure_;
};

// The offscreen platform says at every opening of the mode list that it has
// no raise() and no keyboard grab, and the font engine notes each script that
// an installed face does not cover; neither is news here.
QtMessageHandler standardMessages = nullptr;
void QuietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith(QStringLiteral("This plugin does not support")) ||
      message.contains(QStringLiteral("OpenType support missing"))) {
    return;
  }
  if (standardMessages != nullptr) {
    standardMessages(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(message));
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  standardMessages = qInstallMessageHandler(QuietPlatformNotes);
  QApplication application(argc, argv);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const long actions = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1000;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
  if (actions <= 0) {
    std::fprintf(stderr, "usage: soak [ACTIONS] [SEED]\n");
    return 2;
  }

  std::unique_ptr<Soak> soak;
  zarn::forms::MainWindow main(zarn::engine::NumberLocale{"."}, [&] {
    return std::make_unique<zarn::forms::AboutWindow>(
        zarn::forms::AppProperties{"Zarn", 1, 0, 0},
        zarn::platform::Services{soak->registry, soak->programs, soak->files, soak->messages, soak->shell});
  });
  soak = std::make_unique<Soak>(seed, main);
  main.Form_Load();
  main.show();
  main.activateWindow();
  if (!QTest::qWaitForWindowActive(&main)) std::fprintf(stderr, "soak: the window is not active\n");

  std::printf("soak: %ld actions, seed %llu\n", actions, static_cast<unsigned long long>(seed));
  const long start = ResidentKilobytes();
  long middle = start;
  qint64 worstNs = -1;
  qint64 worstWallNs = 0;
  long worstIndex = 0;
  QString worst;
  QElapsedTimer total;
  total.start();
  for (long i = 0; i < actions; ++i) {
    QString what;
    const bool kept = soak->Act(i, what);
    const qint64 ns = soak->CpuNs();
    if (ns > worstNs) {
      worstNs = ns;
      worstWallNs = soak->WallNs();
      worstIndex = i;
      worst = what;
    }
    if (!kept || ns > kLimitNs) {
      const QString why =
          kept ? QStringLiteral("took %1 s of processor time, over the limit of 2 s").arg(Seconds(ns), 0, 'f', 2)
               : soak->Failure();
      std::fprintf(stderr, "soak: action %ld (%s) %s; seed %llu\n", i, qPrintable(what), qPrintable(why),
                   static_cast<unsigned long long>(seed));
      return 1;
    }
    if (i == actions / 2) middle = ResidentKilobytes();
  }
  const long end = ResidentKilobytes();
  std::printf(
      "soak: %ld actions in %.1f s; slowest: action %ld (%s), %.1f ms of processor time, %.1f ms on the clock\n",
      actions, static_cast<double>(total.elapsed()) / 1000.0, worstIndex, qPrintable(worst),
      static_cast<double>(worstNs) / 1e6, static_cast<double>(worstWallNs) / 1e6);
  std::printf("soak: resident memory at start %s, middle %s, end %s\n", qPrintable(Megabytes(start)),
              qPrintable(Megabytes(middle)), qPrintable(Megabytes(end)));
  return 0;
}
