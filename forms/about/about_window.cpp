#include "forms/about/about_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <cmath>
#include <string>
#include <utility>

#include "forms/common/accessible_role.h"
#include "forms/common/window_style.h"

// The window's images are compiled into this static library; make sure its
// resources are registered even though nothing else references them.
static void RegisterAboutResources() { Q_INIT_RESOURCE(about); }

namespace zarn::forms {
namespace {

// A picture inside a sunken border of 2 pixels, sized to its picture. It
// takes the focus in its turn but draws no focus mark.
class PictureBox final : public QWidget {
 public:
  PictureBox(const QPixmap& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(picture.width() + 4, picture.height() + 4);
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    const QRect r = rect();
    const QPalette& p = palette();
    // Outer edge: shadow above and left, light below and right; inner edge darker.
    painter.setPen(p.color(QPalette::Mid));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(p.color(QPalette::Light));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    const QRect inner = r.adjusted(1, 1, -1, -1);
    painter.setPen(p.color(QPalette::Dark));
    painter.drawLine(inner.topLeft(), inner.topRight());
    painter.drawLine(inner.topLeft(), inner.bottomLeft());
    painter.setPen(p.color(QPalette::Midlight));
    painter.drawLine(inner.bottomLeft(), inner.bottomRight());
    painter.drawLine(inner.topRight(), inner.bottomRight());
    painter.drawPixmap(2, 2, picture_);
  }

 private:
  QPixmap picture_;
};

QLabel* AddLabel(QWidget* parent, const char* name, QRect box, const QString& caption, const QFont& font,
                 Qt::Alignment horizontal) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(box);
  label->setFont(font);
  label->setAlignment(horizontal | Qt::AlignTop);
  return label;
}

QPushButton* AddButton(QWidget* parent, const char* name, QRect box, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(box);
  button->setFont(UiFont());
  return button;
}

constexpr const char* kDesignCaption = "About MyApp";
constexpr const char* kDesignTitle = "Application Title";
constexpr const char* kDesignVersion = "Version";

}  // namespace

AboutWindow::AboutWindow(AppProperties properties, platform::Services services)
    : launcher_(services.registry, services.programs, services.files, services.messages, properties.title),
      controller_(*this, std::move(properties), services.shell, launcher_) {
  RegisterAboutResources();
  // The pointing hand's hot spot is its fingertip.
  hand_ = QCursor(QPixmap(QStringLiteral(":/zarn/about/hand.xpm")), 12, 1);
  setObjectName(QStringLiteral("frmAbout"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setModal(true);
  setFont(UiFont());
  setFixedSize(382, 287);
  setSizeGripEnabled(false);
  setMouseTracking(true);
  BuildControls();
  LoadDesignTimeState();
}

AboutWindow::~AboutWindow() = default;

void AboutWindow::BuildControls() {
  auto* picture = new PictureBox(QPixmap(QStringLiteral(":/zarn/about/picture.xpm")), this);
  picture->setObjectName(QStringLiteral("picIcon"));
  picture->move(Twips(60), Twips(120));
  picture->setAccessibleName(QStringLiteral("Zarn logo"));
  SetAccessibleRole(*picture, QAccessible::Graphic);

  lblTitle_ =
      AddLabel(this, "lblTitle", TwipsRect(1230, 180, 3885, 480), kDesignTitle, UiFont(13.5, true), Qt::AlignLeft);
  SetTextColour(*lblTitle_, kBlack);
  lblVersion_ =
      AddLabel(this, "lblVersion", TwipsRect(1230, 720, 3885, 225), kDesignVersion, UiFont(9.75, true), Qt::AlignLeft);

  // Sized to the host name, centred where the designed box was centred.
  const QFont linkFont = UiFont(9.75, true, true);
  const QString host = QString::fromLatin1(MakerContact::kWebHost);
  const QFontMetrics metrics(linkFont);
  const int width = metrics.horizontalAdvance(host);
  const double centre = Twips(2340) + Twips(1305) / 2.0;
  lblDescription_ = AddLabel(this, "lblDescription",
                             QRect(static_cast<int>(std::lround(centre - width / 2.0)), Twips(1140), width,
                                   std::max(metrics.height(), Twips(240))),
                             host, linkFont, Qt::AlignHCenter);
  SetTextColour(*lblDescription_, kBlue);

  AddLabel(this, "Label1", TwipsRect(360, 2040, 2715, 255), QString::fromUtf8(MakerContact::kRights), UiFont(),
           Qt::AlignLeft);
  AddLabel(this, "lblBrask", TwipsRect(360, 2460, 4095, 255), QString::fromLatin1(MakerContact::kCompany),
           UiFont(8.25, true), Qt::AlignLeft);
  AddLabel(this, "Label2", TwipsRect(360, 2760, 4095, 255), QString::fromLatin1(MakerContact::kAddress), UiFont(),
           Qt::AlignLeft);
  AddLabel(this, "lblPhone", TwipsRect(360, 3060, 4095, 255), QString::fromLatin1(MakerContact::kPhone), UiFont(),
           Qt::AlignLeft);
  lblEmail_ = AddLabel(this, "lblEmail", TwipsRect(360, 3300, 4095, 255), QString::fromLatin1(MakerContact::kEmail),
                       UiFont(8.25, true, true), Qt::AlignLeft);
  SetTextColour(*lblEmail_, kBlue);

  auto* sysInfo = AddButton(this, "cmdSysInfo", TwipsRect(360, 3840, 1245, 345), QStringLiteral("&System Info..."));
  cmdOK_ = AddButton(this, "cmdOK", TwipsRect(4200, 3840, 1260, 345), QStringLiteral("OK"));
  cmdOK_->setDefault(true);

  // Read aloud as links: their text as the name, their target as the
  // description.
  const std::pair<QLabel*, std::string> links[] = {{lblDescription_, AboutController::WebTarget()},
                                                   {lblEmail_, AboutController::EmailTarget()}};
  for (const auto& [link, target] : links) {
    link->setMouseTracking(true);
    link->installEventFilter(this);
    link->setAccessibleName(link->text());
    link->setAccessibleDescription(FromUtf8(target));
    SetAccessibleRole(*link, QAccessible::Link);
  }
  connect(cmdOK_, &QPushButton::clicked, this, [this] { controller_.cmdOK_Click(); });
  connect(sysInfo, &QPushButton::clicked, this, [this] { controller_.cmdSysInfo_Click(); });

  setTabOrder(cmdOK_, picture);
  setTabOrder(picture, sysInfo);
}

void AboutWindow::LoadDesignTimeState() {
  setWindowTitle(QLatin1String(kDesignCaption));
  lblTitle_->setText(QLatin1String(kDesignTitle));
  lblVersion_->setText(QLatin1String(kDesignVersion));
  SetMousePointer(MousePointer::Default);
  cmdOK_->setFocus();
}

int AboutWindow::exec() {
  Load();
  return QDialog::exec();
}

void AboutWindow::Load() {
  LoadDesignTimeState();
  controller_.Form_Load();
  // Centred on the screen each time, wherever the calculator is.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    // move() places the frame, so the frame is what gets centred.
    const QRect frame = frameGeometry();
    move(screen->availableGeometry().center() - QPoint(frame.width() / 2, frame.height() / 2));
  }
}

void AboutWindow::SetCaption(std::string_view caption) { setWindowTitle(FromUtf8(caption)); }

void AboutWindow::SetVersionCaption(std::string_view caption) { lblVersion_->setText(FromUtf8(caption)); }

void AboutWindow::SetTitleCaption(std::string_view caption) { lblTitle_->setText(FromUtf8(caption)); }

void AboutWindow::SetMousePointer(MousePointer pointer) {
  pointer_ = pointer;
  if (pointer == MousePointer::Custom) {
    setCursor(hand_);
  } else {
    unsetCursor();
  }
}

void AboutWindow::Unload() { done(QDialog::Accepted); }

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
  const bool email = watched == lblEmail_;
  if (email || watched == lblDescription_) {
    if (event->type() == QEvent::MouseMove) {
      email ? controller_.lblEmail_MouseMove() : controller_.lblDescription_MouseMove();
    } else if (event->type() == QEvent::MouseButtonRelease) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const auto* label = static_cast<QWidget*>(watched);
      if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
        email ? controller_.lblEmail_Click() : controller_.lblDescription_Click();
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void AboutWindow::keyPressEvent(QKeyEvent* event) {
  // Escape is OK's key as cancel button: it runs OK's handler.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    controller_.cmdOK_Click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void AboutWindow::mouseMoveEvent(QMouseEvent* event) {
  // Only the bare background counts; moves over plain labels and buttons
  // arrive here too and change nothing.
  if (childAt(event->position().toPoint()) == nullptr) controller_.Form_MouseMove();
  QDialog::mouseMoveEvent(event);
}

void AboutWindow::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  // The separator: a white line of 2 pixels under a grey line of 1 pixel.
  QPainter painter(this);
  painter.setPen(QPen(QColor(255, 255, 255), 2));
  painter.drawLine(QPointF(4, 249), QPointF(373.9, 249));
  painter.setPen(QPen(QColor(128, 128, 128), 1));
  painter.drawLine(QPoint(8, 248), QPoint(376, 248));
}

}  // namespace zarn::forms
