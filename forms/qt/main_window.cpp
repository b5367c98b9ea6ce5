#include "forms/qt/main_window.h"

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

#include "forms/main/main_layout.h"
#include "forms/qt/frame.h"
#include "forms/qt/window_style.h"

namespace zarn::forms {
namespace {

// The text of a field that does not read as a number: a deep red, with a
// contrast of 6.5:1 on the white of a text box.
const QColor kMarkRed{192, 0, 0};

// Everything placed comes from the layout table, by control name.
const layout::Control& Layout(std::string_view name) { return layout::Get(kMainLayout, name); }

QString Name(const layout::Control& control) { return FromUtf8(control.name); }

QRect TwipsRect(const layout::Box& box) { return forms::TwipsRect(box.left, box.top, box.width, box.height); }

void Style(QWidget& widget, const layout::Control& control) {
  widget.setFont(UiFont(control.font.points, control.font.bold, control.font.underline));
  if (control.colour.isDefault) {
    UseDefaultTextColour(widget);
  } else {
    SetTextColour(widget, QColor(control.colour.red, control.colour.green, control.colour.blue));
  }
}

Frame* AddFrame(QWidget* parent, std::string_view name) {
  const layout::Control& c = Layout(name);
  auto* frame = new Frame(FromUtf8(c.text), parent);
  frame->setObjectName(Name(c));
  frame->setGeometry(TwipsRect(c.box));
  Style(*frame, c);
  return frame;
}

QLabel* AddLabel(QWidget* parent, std::string_view name) {
  const layout::Control& c = Layout(name);
  auto* label = new QLabel(FromUtf8(c.text), parent);
  label->setObjectName(Name(c));
  label->setGeometry(TwipsRect(c.box));
  label->setAlignment((c.align == layout::Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
  Style(*label, c);
  return label;
}

// The ten text boxes, in the order they are made: eight in the panel frame,
// two in the conversion frame.
struct TextBox {
  TimingField field;
  const char* accessibleName;
};

constexpr TextBox kTextBoxes[] = {
    {TimingField::txtHorActive, "Horizontal active"},
    {TimingField::txtVerActive, "Vertical active"},
    {TimingField::txtHorFrontPorch, "Horizontal front porch"},
    {TimingField::txtVerFrontPorch, "Vertical front porch"},
    {TimingField::txtHorSync, "Horizontal sync"},
    {TimingField::txtVerSync, "Vertical sync"},
    {TimingField::txtHorBlanking, "Horizontal blanking"},
    {TimingField::txtVerBlanking, "Vertical blanking"},
    {TimingField::txtRefreshRate, "Refresh rate (Hz)"},
    {TimingField::txtFrequency, "Pixel frequency (MHz)"},
};

QLineEdit* AddTextBox(QWidget* parent, const TextBox& box) {
  const layout::Control& c = Layout(engine::FieldInfo(box.field).name);
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(Name(c));
  edit->setGeometry(TwipsRect(c.box));
  edit->setAlignment(c.align == layout::Align::Centre ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
  edit->setAccessibleName(QLatin1String(box.accessibleName));
  // No limit on the length: a pasted text is never cut.
  edit->setMaxLength(std::numeric_limits<int>::max());
  Style(*edit, c);
  edit->setText(FromUtf8(c.text));  // laid out once, in its own font
  return edit;
}

QPushButton* AddButton(QWidget* parent, std::string_view name) {
  const layout::Control& c = Layout(name);
  auto* button = new QPushButton(FromUtf8(c.text), parent);
  button->setObjectName(Name(c));
  button->setGeometry(TwipsRect(c.box));
  button->setAutoDefault(false);
  button->setDefault(false);
  Style(*button, c);
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

MainWindow::MainWindow(engine::NumberLocale locale, AboutFactory aboutFactory, TimingsFactory timingsFactory)
    : controller_(*this, std::move(locale)),
      aboutFactory_(aboutFactory ? std::move(aboutFactory) : AboutFactory(&MakePlaceholderAbout)),
      timingsFactory_(std::move(timingsFactory)) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(FromUtf8(kMainLayout.caption));
  setFont(UiFont());
  resize(Twips(kMainLayout.width), Twips(kMainLayout.height));
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
  using main_layout::kPanel;
  using main_layout::kRate;

  // Panel timing: horizontal values on the left, vertical on the right, row
  // names between them, the mode list at the bottom. Labels first, so that
  // the text boxes lie above them where their boxes meet.
  Frame* panel = AddFrame(this, kPanel);
  for (const char* name :
       {"lblHorizontal", "Label8", "lblCurrentPixel", "Label3", "Label4", "Label5", "Label6", "Label7"}) {
    AddLabel(panel, name);
  }
  QLabel* predefinedMode = AddLabel(panel, "lblPredefinedMode");
  AddTextBoxes(panel, true);

  const layout::Control& mode = Layout("cmbMode");
  cmbMode_ = new QComboBox(panel);
  cmbMode_->setObjectName(Name(mode));
  cmbMode_->setGeometry(TwipsRect(mode.box));
  Style(*cmbMode_, mode);  // before its edit field exists
  cmbMode_->setEditable(true);
  cmbMode_->setInsertPolicy(QComboBox::NoInsert);
  cmbMode_->setCompleter(nullptr);
  cmbMode_->setEditText(FromUtf8(mode.text));
  cmbMode_->setAccessibleName(QStringLiteral("Predefined mode"));
  cmbMode_->lineEdit()->installEventFilter(new InertEditFilter(cmbMode_));
  cmbMode_->lineEdit()->setMaxLength(std::numeric_limits<int>::max());  // a paste is never cut here either
  // Ties the caption to the list for screen readers. The caption has no '&',
  // so it gains no access key and looks the same.
  predefinedMode->setBuddy(cmbMode_);

  // Refresh rate <-> pixel frequency.
  Frame* rate = AddFrame(this, kRate);
  for (const char* name : {"Label10", "lblCurrentPixelFrequency", "Label11", "Label9"}) AddLabel(rate, name);
  lblHorizontalFrequency_ = AddLabel(rate, "lblHorizontalFrequency");
  AddTextBoxes(rate, false);
  auto* toPixel = AddButton(rate, "cmdRefreshToPixel");
  auto* toRate = AddButton(rate, "cmdPixelToRate");
  auto* about = AddButton(this, "cmdAboutZarn");
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
    const bool boxInPanel = Layout(engine::FieldInfo(box.field).name).frame == main_layout::kPanel;
    if (boxInPanel == inPanel) edits_[static_cast<std::size_t>(box.field)] = AddTextBox(frame, box);
  }
}

void MainWindow::ConnectHandlers() {
  for (const TimingField field : engine::kAllTimingFields) {
    connect(Edit(field), &QLineEdit::textChanged, this, [this, field] { controller_.FieldChanged(field); });
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
    if (!timingsFactory_) return;
    timings_ = timingsFactory_(controller_, controller_.Locale());
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
