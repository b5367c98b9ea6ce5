#include "forms/qt/about_window.h"

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

#include "forms/about/about_layout.h"
#include "forms/qt/accessible_role.h"
#include "forms/qt/window_style.h"

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

// Everything placed comes from the layout table, by control name.
const layout::Control& Layout(std::string_view name) { return layout::Get(kAboutLayout, name); }

QRect TwipsRect(const layout::Box& box) { return forms::TwipsRect(box.left, box.top, box.width, box.height); }

QFont FontOf(const layout::Control& control) {
  return UiFont(control.font.points, control.font.bold, control.font.underline);
}

QColor ColourOf(const layout::Colour& colour) { return {colour.red, colour.green, colour.blue}; }

QLabel* AddLabel(QWidget* parent, const layout::Control& c, QRect box) {
  auto* label = new QLabel(FromUtf8(c.text), parent);
  label->setObjectName(FromUtf8(c.name));
  label->setGeometry(box);
  label->setFont(FontOf(c));
  label->setAlignment((c.align == layout::Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
  if (!c.colour.isDefault) SetTextColour(*label, ColourOf(c.colour));
  return label;
}

QLabel* AddLabel(QWidget* parent, std::string_view name) {
  const layout::Control& c = Layout(name);
  return AddLabel(parent, c, TwipsRect(c.box));
}

QPushButton* AddButton(QWidget* parent, std::string_view name) {
  const layout::Control& c = Layout(name);
  auto* button = new QPushButton(FromUtf8(c.text), parent);
  button->setObjectName(FromUtf8(c.name));
  button->setGeometry(TwipsRect(c.box));
  button->setFont(FontOf(c));
  return button;
}

QString DesignText(std::string_view name) { return FromUtf8(Layout(name).text); }

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
  setFixedSize(Twips(kAboutLayout.width), Twips(kAboutLayout.height));
  setSizeGripEnabled(false);
  setMouseTracking(true);
  BuildControls();
  LoadDesignTimeState();
}

AboutWindow::~AboutWindow() = default;

void AboutWindow::BuildControls() {
  auto* picture = new PictureBox(QPixmap(QStringLiteral(":/zarn/about/picture.xpm")), this);
  picture->setObjectName(QStringLiteral("picIcon"));
  const layout::Box pictureBox = Layout("picIcon").box;
  picture->move(Twips(pictureBox.left), Twips(pictureBox.top));
  picture->setAccessibleName(QStringLiteral("Zarn logo"));
  SetAccessibleRole(*picture, QAccessible::Graphic);

  lblTitle_ = AddLabel(this, "lblTitle");
  lblVersion_ = AddLabel(this, "lblVersion");

  // Sized to the host name, centred where the designed box was centred.
  const layout::Control& web = Layout("lblDescription");
  const QFontMetrics metrics(FontOf(web));
  const int width = metrics.horizontalAdvance(FromUtf8(web.text));
  const double centre = Twips(web.box.left) + Twips(web.box.width) / 2.0;
  lblDescription_ = AddLabel(this, web,
                             QRect(static_cast<int>(std::lround(centre - width / 2.0)), Twips(web.box.top), width,
                                   std::max(metrics.height(), Twips(web.box.height))));

  for (const char* name : {"Label1", "lblBrask", "Label2", "lblPhone"}) AddLabel(this, name);
  lblEmail_ = AddLabel(this, "lblEmail");

  auto* sysInfo = AddButton(this, "cmdSysInfo");
  cmdOK_ = AddButton(this, "cmdOK");
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
  setWindowTitle(FromUtf8(kAboutLayout.caption));
  lblTitle_->setText(DesignText("lblTitle"));
  lblVersion_->setText(DesignText("lblVersion"));
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
  // The separator: a white line of 2 pixels under a grey line of 1 pixel,
  // the layout's rules in their order.
  QPainter painter(this);
  for (const layout::Control& rule : kAboutLayout.controls) {
    if (rule.kind == layout::Kind::Rule) painter.fillRect(TwipsRect(rule.box), ColourOf(rule.colour));
  }
}

}  // namespace zarn::forms
