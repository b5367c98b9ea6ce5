#include "forms/main/main_window.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QWindow>

#include <limits>
#include <string>
#include <utility>

#include "forms/common/frame.h"
#include "forms/common/window_style.h"
#include "forms/main/design_texts.h"

namespace zarn::forms {
namespace {

// The text of a field that does not read as a number: a deep red, with a
// contrast of 6.5:1 on the white of a text box.
const QColor kMarkRed{192, 0, 0};

enum class Weight { Regular, Bold };
enum class Colour { Default, Blue };

void Style(QWidget& widget, Weight weight, Colour colour) {
  widget.setFont(UiFont(8.25, weight == Weight::Bold));
  if (colour == Colour::Blue) {
    SetTextColour(widget, kBlue);
  } else {
    UseDefaultTextColour(widget);
  }
}

Frame* AddFrame(QWidget* parent, const char* name, QRect box, const QString& caption) {
  auto* frame = new Frame(caption, parent);
  frame->setObjectName(QLatin1String(name));
  frame->setGeometry(box);
  Style(*frame, Weight::Bold, Colour::Blue);
  return frame;
}

QLabel* AddLabel(QWidget* parent, const char* name, QRect box, const QString& caption, Weight weight, Colour colour,
                 Qt::Alignment horizontal) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(box);
  label->setAlignment(horizontal | Qt::AlignTop);
  Style(*label, weight, colour);
  return label;
}

// The ten text boxes: eight in the panel frame, two in the conversion frame.
struct TextBox {
  TimingField field;
  bool inPanel;
  int left, top, width, height;  // twips
  const char* accessibleName;
};

constexpr TextBox kTextBoxes[] = {
    {TimingField::txtHorActive, true, 480, 960, 1215, 375, "Horizontal active"},
    {TimingField::txtVerActive, true, 3600, 960, 1215, 375, "Vertical active"},
    {TimingField::txtHorFrontPorch, true, 480, 1440, 1215, 375, "Horizontal front porch"},
    {TimingField::txtVerFrontPorch, true, 3600, 1440, 1215, 375, "Vertical front porch"},
    {TimingField::txtHorSync, true, 480, 1920, 1215, 375, "Horizontal sync"},
    {TimingField::txtVerSync, true, 3600, 1920, 1215, 375, "Vertical sync"},
    {TimingField::txtHorBlanking, true, 480, 2400, 1215, 375, "Horizontal blanking"},
    {TimingField::txtVerBlanking, true, 3600, 2400, 1215, 375, "Vertical blanking"},
    {TimingField::txtRefreshRate, false, 450, 960, 675, 315, "Refresh rate (Hz)"},
    {TimingField::txtFrequency, false, 3570, 960, 675, 315, "Pixel frequency (MHz)"},
};

QLineEdit* AddTextBox(QWidget* parent, const TextBox& box) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(FromUtf8(engine::FieldInfo(box.field).name));
  edit->setGeometry(TwipsRect(box.left, box.top, box.width, box.height));
  edit->setAlignment(Qt::AlignCenter);
  edit->setAccessibleName(QLatin1String(box.accessibleName));
  // No limit on the length: a pasted text is never cut.
  edit->setMaxLength(std::numeric_limits<int>::max());
  Style(*edit, Weight::Regular, Colour::Default);
  edit->setText(FromUtf8(DesignTimeText(box.field)));  // laid out once, in its own font
  return edit;
}

QPushButton* AddButton(QWidget* parent, const char* name, QRect box, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(box);
  button->setAutoDefault(false);
  button->setDefault(false);
  Style(*button, Weight::Bold, Colour::Default);
  return button;
}

// Return and Enter in the list's edit field would select an item whose text
// matches what was typed; the typed text must stay inert, so they are eaten.
class InertEditFilter final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

std::unique_ptr<QDialog> MakePlaceholderAbout() {
  auto dialog = std::make_unique<QDialog>();
  dialog->setObjectName(QStringLiteral("frmAbout"));
  dialog->setWindowTitle(QStringLiteral("About Zarn"));
  return dialog;
}

}  // namespace

MainWindow::MainWindow(engine::NumberLocale locale, AboutFactory aboutFactory)
    : controller_(*this, std::move(locale)),
      aboutFactory_(aboutFactory ? std::move(aboutFactory) : AboutFactory(&MakePlaceholderAbout)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Zarn Video Timing Calculator"));
  setFont(UiFont());
  resize(378, 420);
  BuildControls();
  // Only now: putting the design-time texts in place raises nothing.
  ConnectHandlers();
  AddTimingsCommand();
}

MainWindow::~MainWindow() {
  // The controls are destroyed after this object's own members, and the list
  // signals a change of index while it goes: keep that from the controller.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void MainWindow::BuildControls() {
  using F = TimingField;
  const Qt::Alignment centre = Qt::AlignHCenter;
  const Qt::Alignment left = Qt::AlignLeft;

  // Panel timing: horizontal values on the left, vertical on the right, row
  // names between them, the mode list at the bottom. Labels first, so that
  // the text boxes lie above them where their boxes meet.
  Frame* panel =
      AddFrame(this, "FraPanelInformation", TwipsRect(120, 120, 5415, 3435), QStringLiteral(" Panel Timing"));
  AddLabel(panel, "lblHorizontal", TwipsRect(180, 360, 1935, 315), "Horizontal", Weight::Bold, Colour::Blue, centre);
  AddLabel(panel, "Label8", TwipsRect(3240, 360, 1935, 315), "Vertical", Weight::Bold, Colour::Blue, centre);
  AddLabel(panel, "lblCurrentPixel", TwipsRect(120, 540, 1935, 315), "(Pixels)", Weight::Regular, Colour::Blue, centre);
  AddLabel(panel, "Label3", TwipsRect(3240, 540, 1935, 315), "(Lines)", Weight::Regular, Colour::Blue, centre);
  AddLabel(panel, "Label4", TwipsRect(1680, 1020, 1935, 315), "Active", Weight::Bold, Colour::Blue, centre);
  AddLabel(panel, "Label5", TwipsRect(1680, 1500, 1935, 315), "Front Porch", Weight::Bold, Colour::Blue, centre);
  AddLabel(panel, "Label6", TwipsRect(1680, 1980, 1935, 315), "Sync", Weight::Bold, Colour::Blue, centre);
  AddLabel(panel, "Label7", TwipsRect(1680, 2460, 1935, 315), "Blanking", Weight::Bold, Colour::Blue, centre);
  QLabel* predefinedMode = AddLabel(panel, "lblPredefinedMode", TwipsRect(300, 3000, 1455, 195), "Predefined Mode",
                                    Weight::Bold, Colour::Blue, left);
  AddTextBoxes(panel, true);

  cmbMode_ = new QComboBox(panel);
  cmbMode_->setObjectName(QStringLiteral("cmbMode"));
  cmbMode_->setGeometry(TwipsRect(1860, 2940, 2595, 315));
  Style(*cmbMode_, Weight::Regular, Colour::Default);  // before its edit field exists
  cmbMode_->setEditable(true);
  cmbMode_->setInsertPolicy(QComboBox::NoInsert);
  cmbMode_->setCompleter(nullptr);
  cmbMode_->setEditText(FromUtf8(kDesignTimeModeText));
  cmbMode_->setAccessibleName(QStringLiteral("Predefined mode"));
  cmbMode_->lineEdit()->installEventFilter(new InertEditFilter(cmbMode_));
  cmbMode_->lineEdit()->setMaxLength(std::numeric_limits<int>::max());  // a paste is never cut here either
  // Ties the caption to the list for screen readers. The caption has no '&',
  // so it gains no access key and looks the same.
  predefinedMode->setBuddy(cmbMode_);

  // Refresh rate <-> pixel frequency.
  Frame* rate = AddFrame(this, "FraRefreshRate", TwipsRect(120, 3720, 5415, 1995),
                         QStringLiteral("Refresh Rate <-> Pixel Frequency"));
  AddLabel(rate, "Label10", TwipsRect(420, 600, 1155, 195), "Refresh Rate", Weight::Bold, Colour::Blue, centre);
  AddLabel(rate, "lblCurrentPixelFrequency", TwipsRect(3480, 600, 1455, 195), "Pixel  Frequency", Weight::Bold,
           Colour::Blue, centre);
  AddLabel(rate, "Label11", TwipsRect(1290, 1020, 735, 255), "Hz", Weight::Bold, Colour::Default, left);
  AddLabel(rate, "Label9", TwipsRect(4350, 1020, 735, 255), "MHz", Weight::Bold, Colour::Default, left);
  lblHorizontalFrequency_ = AddLabel(rate, "lblHorizontalFrequency", TwipsRect(360, 1500, 3975, 255),
                                     FromUtf8(kDesignTimeHorizontalFrequencyCaption), Weight::Bold, Colour::Blue, left);
  AddTextBoxes(rate, false);
  auto* toPixel = AddButton(rate, "cmdRefreshToPixel", TwipsRect(2100, 900, 915, 195), QStringLiteral("---->"));
  auto* toRate = AddButton(rate, "cmdPixelToRate", TwipsRect(2100, 1140, 915, 195), QStringLiteral("<----"));
  auto* about = AddButton(this, "cmdAboutZarn", TwipsRect(1860, 5820, 1755, 375), QStringLiteral("About Zarn"));
  // The arrows say nothing read aloud.
  toPixel->setAccessibleName(QStringLiteral("Convert refresh rate to pixel frequency"));
  toRate->setAccessibleName(QStringLiteral("Convert pixel frequency to refresh rate"));

  connect(toPixel, &QPushButton::clicked, this, [this] { controller_.cmdRefreshToPixel_Click(); });
  connect(toRate, &QPushButton::clicked, this, [this] { controller_.cmdPixelToRate_Click(); });
  connect(about, &QPushButton::clicked, this, [this] { controller_.cmdAboutZarn_Click(); });

  // Tab order across both frames: after the conversion buttons the focus
  // goes back up to the mode list.
  QWidget* const order[] = {Edit(F::txtHorActive),
                            Edit(F::txtHorFrontPorch),
                            Edit(F::txtHorSync),
                            Edit(F::txtHorBlanking),
                            Edit(F::txtVerActive),
                            Edit(F::txtVerFrontPorch),
                            Edit(F::txtVerSync),
                            Edit(F::txtVerBlanking),
                            Edit(F::txtFrequency),
                            Edit(F::txtRefreshRate),
                            toPixel,
                            toRate,
                            cmbMode_,
                            about};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    setTabOrder(order[i], order[i + 1]);
  }
  Edit(F::txtHorActive)->setFocus();
}

void MainWindow::AddTextBoxes(QWidget* frame, bool inPanel) {
  for (const TextBox& box : kTextBoxes) {
    if (box.inPanel == inPanel) edits_[static_cast<std::size_t>(box.field)] = AddTextBox(frame, box);
  }
}

void MainWindow::ConnectHandlers() {
  for (const TimingField field : engine::kAllTimingFields) {
    const auto handler = MainController::ChangeHandlerFor(field);
    connect(Edit(field), &QLineEdit::textChanged, this, [this, field, handler] {
      controller_.FieldTextChanged(field);
      if (handler != nullptr) (controller_.*handler)();
    });
  }
  connect(cmbMode_, &QComboBox::currentIndexChanged, this, [this] { controller_.cmbMode_Click(); });
}

void MainWindow::AddTimingsCommand() {
  timingsAction_ = new QAction(QStringLiteral("Standard Timings\u2026"), this);
  timingsAction_->setObjectName(QStringLiteral("mnuStandardTimings"));
  timingsAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  timingsAction_->setShortcutContext(Qt::WindowShortcut);
  addAction(timingsAction_);  // the shortcut works wherever the focus is in the window
  connect(timingsAction_, &QAction::triggered, this, [this] { ShowTimings(); });
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
  // Labels pass the event on to their frame and the frames to the window;
  // the text boxes and the list show menus of their own. The background is
  // the window itself and the empty inside of a frame.
  QWidget* under = childAt(event->pos());
  if (under != nullptr && dynamic_cast<Frame*>(under) == nullptr) {
    event->ignore();
    return;
  }
  if (!backgroundMenu_) {
    backgroundMenu_ = std::make_unique<QMenu>();
    backgroundMenu_->setObjectName(QStringLiteral("mnuBackground"));
    backgroundMenu_->addAction(timingsAction_);
    // Not a child, so the window's controls stay what they were; the window
    // system still sees the calculator as its owner.
    backgroundMenu_->winId();
    if (QWindow* menu = backgroundMenu_->windowHandle(); menu != nullptr && windowHandle() != nullptr) {
      menu->setTransientParent(windowHandle());
    }
  }
  backgroundMenu_->popup(event->globalPos());
  event->accept();
}

void MainWindow::ShowTimings() {
  if (!timings_) {
    timings_ = std::make_unique<TimingsWindow>(*this, controller_.Locale());
    timings_->Form_Load();
    // Its Calculator source follows the fields: told after the calculator's
    // own handler has run.
    for (const TimingField field : engine::kAllTimingFields) {
      connect(Edit(field), &QLineEdit::textChanged, timings_.get(), [this] { timings_->CalculatorChanged(); });
    }
  }
  timings_->show();
  timings_->raise();
  timings_->activateWindow();
}

std::string MainWindow::FieldText(TimingField field) const { return Edit(field)->text().toStdString(); }

void MainWindow::SetFieldText(TimingField field, std::string_view text) {
  // Writing the text a field already holds runs no handler; skipping it also
  // spares the field a new text layout and keeps the user's cursor.
  QLineEdit* edit = Edit(field);
  const QString newText = FromUtf8(text);
  if (edit->text() == newText) return;
  edit->setText(newText);  // emits textChanged, which runs the change handler
}

void MainWindow::SetFieldInvalid(TimingField field, bool invalid, std::string_view hint) {
  QLineEdit* edit = Edit(field);
  bool& marked = marked_[static_cast<std::size_t>(field)];
  const QString tip = invalid ? FromUtf8(hint) : QString();
  if (marked == invalid && edit->toolTip() == tip) return;  // the common case: every keystroke asks
  marked = invalid;
  if (invalid) {
    SetTextColour(*edit, kMarkRed);
  } else {
    UseDefaultTextColour(*edit);  // exactly the colours it was given when made
  }
  edit->setToolTip(tip);  // also the field's accessible description
}

int MainWindow::ModeIndex() const { return cmbMode_->currentIndex(); }

void MainWindow::SelectMode(int index) { cmbMode_->setCurrentIndex(index); }

void MainWindow::ClearModes() {
  const QSignalBlocker quiet(cmbMode_);
  cmbMode_->clear();
}

void MainWindow::AddMode(std::string_view itemText) {
  // Adding to an empty list selects its first item by itself; appending must
  // select nothing.
  const QSignalBlocker quiet(cmbMode_);
  const int selected = cmbMode_->currentIndex();
  cmbMode_->addItem(FromUtf8(itemText));
  if (cmbMode_->currentIndex() != selected) cmbMode_->setCurrentIndex(selected);
}

void MainWindow::SetHorizontalFrequencyCaption(std::string_view caption) {
  lblHorizontalFrequency_->setText(FromUtf8(caption));
}

void MainWindow::ShowAbout() {
  if (!about_) {
    about_ = aboutFactory_();
    // Kept off the taskbar the way a dialog is: the window system sees the
    // calculator as its owner, while the dialog itself has no Qt parent and
    // places itself.
    about_->winId();
    if (QWindow* dialog = about_->windowHandle(); dialog != nullptr && windowHandle() != nullptr) {
      dialog->setTransientParent(windowHandle());
    }
  }
  about_->exec();
}

}  // namespace zarn::forms
