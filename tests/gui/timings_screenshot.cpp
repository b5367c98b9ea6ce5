// Writes pictures of the Timings window with each source, at the scale the
// platform is given (QT_SCALE_FACTOR), and checks that nothing is clipped:
// timings_screenshot OUTPUT_DIR. The pictures are named after the source and
// the device pixel ratio: frmTimings-cvt@2x.png.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTextStream>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <vector>

#include "app/window_icon.h"
#include "forms/qt/main_window.h"
#include "forms/qt/timings_window.h"
#include "forms/qt/window_style.h"

namespace {

using zarn::forms::TimingsChoice;
using zarn::forms::TimingsText;
using zarn::forms::TimingsWindow;

// Why a visible control shows less than it needs, or lies outside the
// window; empty when all fit.
QString Clipped(const QWidget& window) {
  QStringList problems;
  for (const QWidget* widget : window.findChildren<QWidget*>()) {
    // Controls only, not the parts Qt builds inside them.
    if (!widget->isVisibleTo(&window) || qobject_cast<const QLineEdit*>(widget->parentWidget()) != nullptr) continue;
    const bool text = qobject_cast<const QLabel*>(widget) != nullptr ||
                      qobject_cast<const QAbstractButton*>(widget) != nullptr ||
                      qobject_cast<const QComboBox*>(widget) != nullptr;
    const QSize need = widget->minimumSizeHint();
    const QRect box(widget->mapTo(&window, QPoint(0, 0)), widget->size());
    const QString name =
        widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className()) : widget->objectName();
    if (text && (widget->width() < need.width() || widget->height() < need.height())) {
      problems << QStringLiteral("%1 is %2x%3, needs %4x%5")
                      .arg(name)
                      .arg(widget->width())
                      .arg(widget->height())
                      .arg(need.width())
                      .arg(need.height());
    }
    // A text box shows its whole text, or its placeholder, with room to spare.
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
      const QString shown = edit->text().isEmpty() ? edit->placeholderText() : edit->text();
      const int needed = edit->fontMetrics().horizontalAdvance(shown) + 12;
      if (edit->width() < needed) {
        problems << QStringLiteral("%1 is %2 wide, its text needs %3").arg(name).arg(edit->width()).arg(needed);
      }
    }
    // What a scroll area holds may reach past it: the area scrolls it.
    const QWidget* viewport = widget->parentWidget();
    const bool scrolled = viewport != nullptr && qobject_cast<const QAbstractScrollArea*>(viewport->parentWidget()) &&
                          qobject_cast<const QAbstractItemView*>(viewport->parentWidget()) == nullptr;
    if (!scrolled && !window.rect().contains(box)) problems << name + QStringLiteral(" lies outside the window");
  }
  return problems.join(QStringLiteral("; "));
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setWindowIcon(zarn::app::WindowIcon());
  QApplication::setFont(zarn::forms::UiFont());
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
  QDir().mkpath(out.path());

  const zarn::engine::NumberLocale locale{"."};
  zarn::forms::MainWindow calculator(locale);
  calculator.Form_Load();
  // A monitor of the corpus, as if attached.
  const auto monitors = [] {
    std::ifstream in(ZARN_TEST_DATA_DIR "/edid/Digital_Sony_SNY6007_E51BBBD69A83.bin", std::ios::binary);
    return std::vector<zarn::platform::MonitorEdid>{
        {"HDMI-A-1", "card0-HDMI-A-1",
         std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())}};
  };
  // An installer, so that "Install..." shows as it does to users.
  TimingsWindow timings(calculator.Controller(), locale, monitors,
                        std::make_shared<zarn::forms::CommandLineInstaller>("zarn-timing"));
  timings.Form_Load();
  timings.show();

  const auto type = [&](TimingsText input, const char* text) {
    timings.findChild<QLineEdit*>(QLatin1String(zarn::forms::DesignOf(zarn::forms::kTimingsTexts, input).name))
        ->setText(QString::fromLatin1(text));
  };
  const auto choose = [&](TimingsChoice list, int index) {
    timings.findChild<QComboBox*>(QLatin1String(zarn::forms::DesignOf(zarn::forms::kTimingsChoices, list).name))
        ->setCurrentIndex(index);
  };
  const auto press = [&](const char* button) { timings.findChild<QPushButton*>(QLatin1String(button))->click(); };
  // The Add menu answered with the CVT timing.
  timings.SetChoiceAsker([](QWidget*, const QStringList& items) -> std::optional<int> {
    for (qsizetype i = 0; i < items.size(); ++i) {
      if (items[i].startsWith(QStringLiteral("CVT:"))) return static_cast<int>(i);
    }
    return std::nullopt;
  });
  const auto tab = [&](int index) {
    timings.findChild<QTabWidget*>(QStringLiteral("tabOutput"))->setCurrentIndex(index);
  };
  struct Shot {
    const char* name;
    std::function<void()> steps;
  };
  const Shot shots[] = {
      {"calculator", [&] { choose(TimingsChoice::cmbSource, 0); }},
      {"dmt",
       [&] {
         choose(TimingsChoice::cmbSource, 1);
         type(TimingsText::txtFilter, "1280");
       }},
      {"cta",
       [&] {
         choose(TimingsChoice::cmbSource, 2);
         type(TimingsText::txtFilter, "VIC 5");
       }},
      {"cvt",
       [&] {
         choose(TimingsChoice::cmbSource, 3);
         type(TimingsText::txtCvtWidth, "2560");
         type(TimingsText::txtCvtHeight, "1440");
         type(TimingsText::txtCvtRate, "144");
         choose(TimingsChoice::cmbCvtBlanking, 2);
         choose(TimingsChoice::cmbFormat, 1);
       }},
      {"gtf",
       [&] {
         choose(TimingsChoice::cmbSource, 4);
         choose(TimingsChoice::cmbFormat, 5);
       }},
      {"custom",
       [&] {
         choose(TimingsChoice::cmbSource, 5);
         type(TimingsText::txtCustomHFrontPorch, "-88");
         choose(TimingsChoice::cmbFormat, 0);
       }},
      {"kernel",
       [&] {
         choose(TimingsChoice::cmbSource, 6);
         choose(TimingsChoice::cmbFormat, 3);
       }},
      {"edid",
       [&] {
         choose(TimingsChoice::cmbSource, 7);
         choose(TimingsChoice::cmbFormat, 0);
       }},
      {"edid-edited",
       [&] {
         press("cmdEdidAdd");
         type(TimingsText::txtEdidMinRate, "24");
         type(TimingsText::txtEdidMaxRate, "75");
         press("cmdEdidRange");
         type(TimingsText::txtEdidName, "Bench TV");
         press("cmdEdidName");
       }},
      {"ovt",
       [&] {
         choose(TimingsChoice::cmbSource, 8);
         choose(TimingsChoice::cmbFormat, 0);
       }},
      {"rid", [&] { choose(TimingsChoice::cmbSource, 9); }},
      {"links",
       [&] {
         choose(TimingsChoice::cmbSource, 1);
         type(TimingsText::txtFilter, "0x52");
         tab(1);
       }},
  };
  int failures = 0;
  for (const Shot& shot : shots) {
    shot.steps();
    QApplication::processEvents();
    const QPixmap picture = timings.grab();
    const QString path = out.filePath(
        QStringLiteral("frmTimings-%1@%2x.png").arg(QLatin1String(shot.name)).arg(picture.devicePixelRatio()));
    if (!picture.save(path)) return 1;
    QTextStream(stdout) << "wrote " << path << "\n";
    if (const QString problem = Clipped(timings); !problem.isEmpty()) {
      QTextStream(stderr) << shot.name << ": " << problem << "\n";
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
