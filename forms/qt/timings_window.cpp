#include "forms/qt/timings_window.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <utility>

#include "forms/qt/window_style.h"
#include "modes/cvt.h"

namespace zarn::forms {
namespace {

QString Latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

QLabel* AddCaption(const QString& caption, QWidget* buddy = nullptr) {
  auto* label = new QLabel(caption);
  if (buddy != nullptr) label->setBuddy(buddy);
  return label;
}

// A figure: plain text the user can select and copy.
QLabel* AddFigure(const char* name, const QString& accessibleName) {
  auto* label = new QLabel;
  label->setObjectName(QLatin1String(name));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setAccessibleDescription(accessibleName);
  return label;
}

QPushButton* AddButton(const char* name, const QString& caption, const QString& accessibleName) {
  auto* button = new QPushButton(caption);
  button->setObjectName(QLatin1String(name));
  button->setAccessibleName(accessibleName);
  button->setAutoDefault(false);
  return button;
}

QTableWidget* AddTable(const char* name, const QString& accessibleName) {
  auto* table = new QTableWidget;
  table->setObjectName(QLatin1String(name));
  table->setAccessibleName(accessibleName);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::NoSelection);
  table->setTabKeyNavigation(false);  // Tab leaves the table
  table->setWordWrap(false);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  return table;
}

// Puts a table's texts into its widget, changing only what differs: the rows,
// columns and headers stay from one timing to the next, and each item that
// keeps its text is left alone, so that the table measures no text anew.
// Returns whether the table's shape changed.
bool FillTable(QTableWidget& table, const TextTable& content) {
  const int columns = static_cast<int>(content.columns.size());
  const int rows = static_cast<int>(content.rows.size());
  const bool reshaped = table.columnCount() != columns || table.rowCount() != rows;
  if (reshaped) {
    table.clear();
    table.setColumnCount(columns);
    table.setRowCount(rows);
  }
  const auto header = [](QTableWidget& t, int section, bool horizontal, const QString& text) {
    QTableWidgetItem* item = horizontal ? t.horizontalHeaderItem(section) : t.verticalHeaderItem(section);
    if (item != nullptr && item->text() == text) return;
    if (horizontal) {
      t.setHorizontalHeaderItem(section, new QTableWidgetItem(text));
    } else {
      t.setVerticalHeaderItem(section, new QTableWidgetItem(text));
    }
  };
  for (int c = 0; c < columns; ++c) header(table, c, true, FromUtf8(content.columns[static_cast<std::size_t>(c)]));
  for (int r = 0; r < rows; ++r) header(table, r, false, FromUtf8(content.rows[static_cast<std::size_t>(r)]));
  for (std::size_t r = 0; r < content.cells.size(); ++r) {
    for (std::size_t c = 0; c < content.cells[r].size(); ++c) {
      const QString text = FromUtf8(content.cells[r][c]);
      QTableWidgetItem* item = table.item(static_cast<int>(r), static_cast<int>(c));
      if (item == nullptr) {
        item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table.setItem(static_cast<int>(r), static_cast<int>(c), item);
      } else if (item->text() != text) {
        item->setText(text);
      }
    }
  }
  return reshaped;
}

}  // namespace

TimingsWindow::TimingsWindow(CalculatorPort& calculator, engine::NumberLocale locale,
                             TimingsController::MonitorLister monitors, std::shared_ptr<EdidInstaller> installer)
    : QWidget(nullptr, Qt::Window),
      controller_(*this, calculator, std::move(locale), std::move(monitors), std::move(installer)) {
  setObjectName(QStringLiteral("frmTimings"));
  setWindowTitle(QStringLiteral("Zarn Timings"));
  for (const TimingsTextInfo& info : kTimingsTexts)
    pendingTexts_[static_cast<std::size_t>(info.input)] = info.designText;
  for (const TimingsCheckInfo& info : kTimingsChecks) {
    pendingChecks_[static_cast<std::size_t>(info.option)] = info.designChecked;
  }
  for (const TimingsChoiceInfo& info : kTimingsChoices) {
    pendingChoices_[static_cast<std::size_t>(info.list)] = info.designIndex;
  }
  // Closing the calculator ends the program even while this window is open.
  setAttribute(Qt::WA_QuitOnClose, false);

  auto* source = AddChoice(TimingsChoice::cmbSource);
  for (const std::string_view item : kSourceItems) source->addItem(Latin1(item));
  source->setCurrentIndex(DesignOf(kTimingsChoices, TimingsChoice::cmbSource).designIndex);
  auto* sourceRow = new QHBoxLayout;
  sourceRow->addWidget(AddCaption(QStringLiteral("&Source:"), source));
  sourceRow->addWidget(source);
  sourceRow->addStretch();

  cmdUseInCalculator_ =
      AddButton("cmdUseInCalculator", QStringLiteral("&Use in Calculator"), QStringLiteral("Use in Calculator"));
  cmdClose_ = AddButton("cmdClose", QStringLiteral("Cl&ose"), QStringLiteral("Close"));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdUseInCalculator_);
  buttons->addStretch();
  buttons->addWidget(cmdClose_);

  // The source and its inputs beside the timing they give; the exports and
  // links below, taking what height there is.
  auto* input = new QVBoxLayout;
  input->addLayout(sourceRow);
  input->addWidget(BuildSourcePages(), 1);
  auto* top = new QHBoxLayout;
  top->addLayout(input, 1);
  top->addWidget(BuildTimingPanel(), 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(BuildOutputTabs(), 1);
  layout->addLayout(buttons);

  SetTabOrder();
  ConnectHandlers();
}

TimingsWindow::~TimingsWindow() {
  // Work under way (an installation) is let finish, not cut off.
  for (QThread* thread : aside_) {
    thread->wait();
    delete thread;
  }
  // The controls go after this object's own members; keep their last
  // signals from the controller.
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void TimingsWindow::Form_Load() {
  controller_.Form_Load();
  if (QLineEdit* filter = Edit(TimingsText::txtFilter)) filter->setFocus();
}

QLineEdit* TimingsWindow::AddEdit(TimingsText input) {
  const TimingsTextInfo& info = DesignOf(kTimingsTexts, input);
  auto* edit = new QLineEdit;
  edit->setObjectName(Latin1(info.name));
  edit->setAccessibleName(Latin1(info.accessibleName));
  // Room for a figure such as 148.500000 however narrow the layout gets.
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000.000000")) + 12);
  edits_[static_cast<std::size_t>(input)] = edit;
  return edit;
}

QCheckBox* TimingsWindow::AddCheck(TimingsCheck option) {
  const TimingsCheckInfo& info = DesignOf(kTimingsChecks, option);
  auto* check = new QCheckBox(Latin1(info.caption));
  check->setObjectName(Latin1(info.name));
  check->setAccessibleName(Latin1(info.caption).remove(QLatin1Char('&')));
  check->setChecked(info.designChecked);
  checks_[static_cast<std::size_t>(option)] = check;
  return check;
}

QComboBox* TimingsWindow::AddChoice(TimingsChoice list) {
  const TimingsChoiceInfo& info = DesignOf(kTimingsChoices, list);
  auto* combo = new QComboBox;
  combo->setObjectName(Latin1(info.name));
  combo->setAccessibleName(Latin1(info.accessibleName));
  combos_[static_cast<std::size_t>(list)] = combo;
  return combo;
}

QWidget* TimingsWindow::BuildSourcePages() {
  pages_ = new QStackedWidget;
  pages_->setObjectName(QStringLiteral("stkSource"));
  return pages_;
}

QWidget* TimingsWindow::Page(TimingSource source) {
  QWidget*& page = pageOf_[static_cast<std::size_t>(source)];
  if (page != nullptr) return page;
  // Made the first time the source is chosen: a window opens with the one
  // page it shows.
  bool grow = false;
  switch (source) {
    case TimingSource::Calculator:
      page = BuildCalculatorPage();
      break;
    case TimingSource::Dmt:
    case TimingSource::Cta:
      if (listPage_ == nullptr) listPage_ = static_cast<QGroupBox*>(BuildListPage());
      page = listPage_;
      pageOf_[static_cast<std::size_t>(TimingSource::Dmt)] = listPage_;
      pageOf_[static_cast<std::size_t>(TimingSource::Cta)] = listPage_;
      break;
    case TimingSource::Cvt:
      page = BuildCvtPage();
      break;
    case TimingSource::Gtf:
      page = BuildGtfPage();
      break;
    case TimingSource::Custom:
      page = BuildCustomPage();
      break;
    case TimingSource::Kernel:
      page = BuildKernelPage();
      break;
    case TimingSource::Edid:
      page = BuildEdidPage();
      grow = true;
      break;
    case TimingSource::Ovt:
      page = BuildFormPage("fraOvt", QStringLiteral("OVT: CTA-861 Optimized Video Timing"),
                           {{"&Width:", TimingsText::txtOvtWidth, "pixels"},
                            {"&Height:", TimingsText::txtOvtHeight, "lines"},
                            {"&Rate:", TimingsText::txtOvtRate, "Hz"}},
                           QStringLiteral("A whole rate. Rates of one family (24/25/30, 48/50/60, 100/120 Hz, ...) "
                                          "share the clock of the highest."));
      break;
    case TimingSource::Rid:
      page = BuildFormPage("fraRid", QStringLiteral("RID: CTA-861 Resolution Identification"),
                           {{"R&ID:", TimingsText::txtRidNumber, "1 to 28"}, {"&Rate:", TimingsText::txtRidRate, "Hz"}},
                           QStringLiteral("A picture size and shape a Video Format Data Block names, at one of its "
                                          "rates (24 to 480 Hz), as OVT makes it."));
      break;
  }
  pages_->addWidget(page);
  WireControls();
  SetTabOrder();
  // A page taller than the window had room for makes it taller, not its
  // list shorter.
  if (grow && isVisible()) {
    const QSize hint = sizeHint();
    if (hint.height() > height()) resize(width(), hint.height());
  }
  return page;
}

void TimingsWindow::WireControls() {
  for (const TimingsTextInfo& info : kTimingsTexts) {
    const auto i = static_cast<std::size_t>(info.input);
    if (edits_[i] == nullptr || wiredTexts_[i]) continue;
    edits_[i]->setText(FromUtf8(pendingTexts_[i]));
    connect(edits_[i], &QLineEdit::textChanged, this, [this, input = info.input] { controller_.Text_Change(input); });
    wiredTexts_[i] = true;
  }
  for (const TimingsCheckInfo& info : kTimingsChecks) {
    const auto i = static_cast<std::size_t>(info.option);
    if (checks_[i] == nullptr || wiredChecks_[i]) continue;
    checks_[i]->setChecked(pendingChecks_[i]);
    connect(checks_[i], &QCheckBox::toggled, this, [this, option = info.option] { controller_.Check_Click(option); });
    wiredChecks_[i] = true;
  }
  for (const TimingsChoiceInfo& info : kTimingsChoices) {
    const auto i = static_cast<std::size_t>(info.list);
    if (combos_[i] == nullptr || wiredChoices_[i]) continue;
    combos_[i]->setCurrentIndex(pendingChoices_[i]);
    connect(combos_[i], &QComboBox::currentIndexChanged, this,
            [this, list = info.list] { controller_.Choice_Click(list); });
    wiredChoices_[i] = true;
  }
  for (const auto& [control, enabled] : enabled_) {
    if (QWidget* widget = Widget(control)) widget->setEnabled(enabled);
  }
  ShowFieldRates(fieldRates_.first, fieldRates_.second);
}

QWidget* TimingsWindow::BuildCalculatorPage() {
  auto* page = new QGroupBox(QStringLiteral("Calculator"));
  page->setObjectName(QStringLiteral("fraCalculator"));
  auto* note = new QLabel(QStringLiteral(
      "The calculator's fields as they stand, read exactly: the pixel frequency to the hertz, the blanking split "
      "into front porch, sync and the rest as back porch. The calculator keeps no sync polarity; choose it here."));
  note->setWordWrap(true);
  auto* polarity = new QHBoxLayout;
  polarity->addWidget(AddCheck(TimingsCheck::chkCalculatorHSync));
  polarity->addWidget(AddCheck(TimingsCheck::chkCalculatorVSync));
  polarity->addStretch();
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(note);
  layout->addLayout(polarity);
  layout->addStretch();
  return page;
}

QWidget* TimingsWindow::BuildListPage() {
  auto* page = new QGroupBox;
  page->setObjectName(QStringLiteral("fraModes"));
  QLineEdit* filter = AddEdit(TimingsText::txtFilter);
  filter->setPlaceholderText(QStringLiteral("1920, 75Hz, 0x24, VIC 16"));
  // The clear button shows only once there is text to clear; its icon is
  // looked up in the icon theme then, not while the window opens.
  connect(filter, &QLineEdit::textChanged, filter, [filter](const QString& text) {
    if (!text.isEmpty()) filter->setClearButtonEnabled(true);
  });
  lstModes_ = new QListWidget;
  lstModes_->setObjectName(QStringLiteral("lstModes"));
  lstModes_->setAccessibleName(QStringLiteral("Modes"));
  lstModes_->setUniformItemSizes(true);
  connect(lstModes_, &QListWidget::currentRowChanged, this, [this] { controller_.lstModes_Click(); });
  auto* filterRow = new QHBoxLayout;
  filterRow->addWidget(AddCaption(QStringLiteral("F&ilter:"), filter));
  filterRow->addWidget(filter);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(filterRow);
  layout->addWidget(lstModes_);
  return page;
}

QWidget* TimingsWindow::BuildCvtPage() {
  auto* page = new QGroupBox(QStringLiteral("CVT: Coordinated Video Timings"));
  page->setObjectName(QStringLiteral("fraCvt"));
  auto* grid = new QGridLayout(page);
  const auto addRow = [&](int row, const QString& caption, QWidget* input, const QString& unit) {
    grid->addWidget(AddCaption(caption, input), row, 0);
    grid->addWidget(input, row, 1);
    grid->addWidget(new QLabel(unit), row, 2);
  };
  addRow(0, QStringLiteral("&Width:"), AddEdit(TimingsText::txtCvtWidth), QStringLiteral("pixels"));
  addRow(1, QStringLiteral("&Height:"), AddEdit(TimingsText::txtCvtHeight), QStringLiteral("lines"));
  addRow(2, QStringLiteral("&Rate:"), AddEdit(TimingsText::txtCvtRate), QStringLiteral("Hz"));
  lblCvtRate_ = qobject_cast<QLabel*>(grid->itemAtPosition(2, 0)->widget());
  QComboBox* blanking = AddChoice(TimingsChoice::cmbCvtBlanking);
  for (const std::string_view item : modes::kCvtBlankingNames) blanking->addItem(Latin1(item));
  grid->addWidget(AddCaption(QStringLiteral("&Blanking:"), blanking), 0, 3);
  grid->addWidget(blanking, 0, 4, 1, 2);
  grid->addWidget(AddCheck(TimingsCheck::chkCvtInterlaced), 1, 3, 1, 3);
  grid->addWidget(AddCheck(TimingsCheck::chkCvtMargins), 2, 3, 1, 3);
  grid->addWidget(AddCheck(TimingsCheck::chkCvtVideoOptimized), 3, 3, 1, 3);
  QLineEdit* hBlank = AddEdit(TimingsText::txtCvtHBlank);
  hBlank->setPlaceholderText(QStringLiteral("80"));
  QLineEdit* vBlank = AddEdit(TimingsText::txtCvtVBlank);
  vBlank->setPlaceholderText(QStringLiteral("460"));
  addRow(3, QStringLiteral("Hori&zontal blanking:"), hBlank, QStringLiteral("pixels (v3)"));
  addRow(4, QStringLiteral("Vertical blan&king:"), vBlank, QStringLiteral("\u00B5s (v3)"));
  grid->addWidget(AddCheck(TimingsCheck::chkCvtEarlyVsync), 4, 3, 1, 3);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(5, 1);
  grid->setRowStretch(5, 1);
  return page;
}

QWidget* TimingsWindow::BuildGtfPage() {
  auto* page = new QGroupBox(QStringLiteral("GTF: Generalized Timing Formula"));
  page->setObjectName(QStringLiteral("fraGtf"));
  auto* grid = new QGridLayout(page);
  QLineEdit* width = AddEdit(TimingsText::txtGtfWidth);
  QLineEdit* height = AddEdit(TimingsText::txtGtfHeight);
  QComboBox* given = AddChoice(TimingsChoice::cmbGtfInput);
  for (const std::string_view item : kGtfInputItems) given->addItem(Latin1(item));
  QLineEdit* value = AddEdit(TimingsText::txtGtfValue);
  grid->addWidget(AddCaption(QStringLiteral("&Width:"), width), 0, 0);
  grid->addWidget(width, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("pixels")), 0, 2);
  grid->addWidget(AddCaption(QStringLiteral("&Height:"), height), 1, 0);
  grid->addWidget(height, 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("lines")), 1, 2);
  grid->addWidget(AddCaption(QStringLiteral("&Given:"), given), 2, 0);
  grid->addWidget(given, 2, 1, 1, 2);
  grid->addWidget(AddCaption(QStringLiteral("&Value:"), value), 3, 0);
  grid->addWidget(value, 3, 1);
  grid->addWidget(AddCheck(TimingsCheck::chkGtfInterlaced), 0, 3);
  grid->addWidget(AddCheck(TimingsCheck::chkGtfMargins), 1, 3);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(4, 1);
  grid->setRowStretch(4, 1);
  return page;
}

QWidget* TimingsWindow::BuildCustomPage() {
  auto* page = new QGroupBox(QStringLiteral("Custom"));
  page->setObjectName(QStringLiteral("fraCustom"));
  auto* grid = new QGridLayout(page);
  QLineEdit* clock = AddEdit(TimingsText::txtCustomClock);
  grid->addWidget(AddCaption(QStringLiteral("&Pixel clock:"), clock), 0, 0);
  grid->addWidget(clock, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("MHz")), 0, 2);
  const char* columns[] = {"Active", "Front porch", "Sync", "Back porch"};
  for (int c = 0; c < 4; ++c) grid->addWidget(new QLabel(QLatin1String(columns[c])), 1, c + 1);
  const TimingsText rows[2][4] = {{TimingsText::txtCustomHActive, TimingsText::txtCustomHFrontPorch,
                                   TimingsText::txtCustomHSync, TimingsText::txtCustomHBackPorch},
                                  {TimingsText::txtCustomVActive, TimingsText::txtCustomVFrontPorch,
                                   TimingsText::txtCustomVSync, TimingsText::txtCustomVBackPorch}};
  const char* rowNames[] = {"Horizontal (pixels)", "Vertical (lines)"};
  for (int r = 0; r < 2; ++r) {
    grid->addWidget(new QLabel(QLatin1String(rowNames[r])), r + 2, 0);
    for (int c = 0; c < 4; ++c) grid->addWidget(AddEdit(rows[r][c]), r + 2, c + 1);
  }
  auto* options = new QHBoxLayout;
  options->addWidget(AddCheck(TimingsCheck::chkCustomHSync));
  options->addWidget(AddCheck(TimingsCheck::chkCustomVSync));
  options->addWidget(AddCheck(TimingsCheck::chkCustomInterlaced));
  options->addStretch();
  grid->addLayout(options, 4, 0, 1, 5);
  grid->setRowStretch(5, 1);
  return page;
}

QWidget* TimingsWindow::BuildFormPage(const char* name, const QString& title, std::initializer_list<FormRow> rows,
                                      const QString& note) {
  auto* page = new QGroupBox(title);
  page->setObjectName(QLatin1String(name));
  auto* grid = new QGridLayout(page);
  int row = 0;
  for (const FormRow& form : rows) {
    QLineEdit* input = AddEdit(form.input);
    grid->addWidget(AddCaption(QString::fromUtf8(form.caption), input), row, 0);
    grid->addWidget(input, row, 1);
    grid->addWidget(new QLabel(QString::fromUtf8(form.unit)), row, 2);
    ++row;
  }
  auto* text = new QLabel(note);
  text->setWordWrap(true);
  grid->addWidget(text, row, 0, 1, 4);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  grid->setRowStretch(row + 1, 1);
  return page;
}

QWidget* TimingsWindow::BuildKernelPage() {
  auto* page = new QGroupBox(QStringLiteral("Kernel: the mode Linux computes for a video= option"));
  page->setObjectName(QStringLiteral("fraKernel"));
  QLineEdit* option = AddEdit(TimingsText::txtKernelOption);
  option->setPlaceholderText(QStringLiteral("1920x1080M@60"));
  auto* note = new QLabel(QStringLiteral(
      "WIDTHxHEIGHT, then M for CVT (R for reduced blanking; without M, GTF), @RATE, i for interlaced, m for "
      "margins. The kernel computes this mode with its own arithmetic when the monitor offers none of that size "
      "and rate."));
  note->setWordWrap(true);
  auto* row = new QHBoxLayout;
  row->addWidget(AddCaption(QStringLiteral("O&ption:"), option));
  row->addWidget(option, 1);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(row);
  layout->addWidget(note);
  layout->addStretch();
  return page;
}

QWidget* TimingsWindow::BuildEdidPage() {
  auto* page = new QGroupBox(QStringLiteral("EDID: a monitor's own timings"));
  page->setObjectName(QStringLiteral("fraEdid"));
  QComboBox* monitor = AddChoice(TimingsChoice::cmbMonitor);
  cmdOpenEdid_ = AddButton("cmdOpenEdid", QStringLiteral("O&pen\u2026"), QStringLiteral("Open an EDID file"));
  cmdPasteEdid_ = AddButton("cmdPasteEdid", QStringLiteral("Paste &hex"), QStringLiteral("Paste an EDID in hex"));
  auto* row = new QHBoxLayout;
  row->addWidget(AddCaption(QStringLiteral("&Monitor:"), monitor));
  row->addWidget(monitor, 1);
  row->addWidget(cmdOpenEdid_);
  row->addWidget(cmdPasteEdid_);
  lblEdidIdentity_ = new QLabel;
  lblEdidIdentity_->setObjectName(QStringLiteral("lblEdidIdentity"));
  lblEdidIdentity_->setWordWrap(true);
  lblEdidIdentity_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lstEdidTimings_ = new QListWidget;
  lstEdidTimings_->setObjectName(QStringLiteral("lstEdidTimings"));
  lstEdidTimings_->setAccessibleName(QStringLiteral("The EDID's timings"));
  lstEdidTimings_->setUniformItemSizes(true);
  connect(lstEdidTimings_, &QListWidget::currentRowChanged, this, [this] { controller_.lstEdidTimings_Click(); });
  connect(cmdOpenEdid_, &QPushButton::clicked, this, [this] { controller_.cmdOpenEdid_Click(); });
  connect(cmdPasteEdid_, &QPushButton::clicked, this, [this] { controller_.cmdPasteEdid_Click(); });
  // The edits, below the timings they change.
  using Handler = void (TimingsController::*)();
  constexpr Handler handlers[] = {
      &TimingsController::cmdEdidPrefer_Click,  &TimingsController::cmdEdidAdd_Click,
      &TimingsController::cmdEdidRemove_Click,  &TimingsController::cmdEdidRevert_Click,
      &TimingsController::cmdEdidRange_Click,   &TimingsController::cmdEdidName_Click,
      &TimingsController::cmdEdidInstall_Click,
  };
  static_assert(std::size(handlers) == kEdidCommands.size());
  for (std::size_t i = 0; i < kEdidCommands.size(); ++i) {
    const TimingsCommandInfo& info = kEdidCommands[i];
    edidCommands_[i] = AddButton(info.name.data(), FromUtf8(info.caption), Latin1(info.accessibleName));
    connect(edidCommands_[i], &QPushButton::clicked, this, [this, handler = handlers[i]] { (controller_.*handler)(); });
  }
  const auto button = [this](TimingsCommand command) {
    return edidCommands_[static_cast<std::size_t>(command) - static_cast<std::size_t>(TimingsCommand::cmdEdidPrefer)];
  };
  auto* timingEdits = new QHBoxLayout;
  for (const TimingsCommand command : {TimingsCommand::cmdEdidPrefer, TimingsCommand::cmdEdidAdd,
                                       TimingsCommand::cmdEdidRemove, TimingsCommand::cmdEdidRevert}) {
    timingEdits->addWidget(button(command));
  }
  timingEdits->addStretch();
  timingEdits->addWidget(button(TimingsCommand::cmdEdidInstall));
  // Refresh rates take a few digits.
  const int rateWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12;
  QLineEdit* minRate = AddEdit(TimingsText::txtEdidMinRate);
  QLineEdit* maxRate = AddEdit(TimingsText::txtEdidMaxRate);
  for (QLineEdit* rate : {minRate, maxRate}) {
    rate->setMinimumWidth(rateWidth);
    rate->setMaximumWidth(rateWidth);
  }
  auto* range = new QHBoxLayout;
  range->addWidget(AddCaption(QStringLiteral("Refresh ran&ge:"), minRate));
  range->addWidget(minRate);
  range->addWidget(new QLabel(QStringLiteral("to")));
  range->addWidget(maxRate);
  range->addWidget(new QLabel(QStringLiteral("Hz")));
  range->addWidget(AddCheck(TimingsCheck::chkEdidVrr));
  range->addWidget(button(TimingsCommand::cmdEdidRange));
  range->addStretch();
  QLineEdit* name = AddEdit(TimingsText::txtEdidName);
  name->setMaxLength(13);
  auto* naming = new QHBoxLayout;
  naming->addWidget(AddCaption(QStringLiteral("Ne&w name:"), name));
  naming->addWidget(name);
  naming->addWidget(button(TimingsCommand::cmdEdidName));
  naming->addWidget(AddCheck(TimingsCheck::chkEdidRoundClock));
  naming->addStretch();
  // What the edits changed, a few lines high, scrolled when longer.
  lblEdidChanges_ = new QPlainTextEdit;
  lblEdidChanges_->setObjectName(QStringLiteral("lblEdidChanges"));
  lblEdidChanges_->setAccessibleName(QStringLiteral("The edits made"));
  lblEdidChanges_->setReadOnly(true);
  lblEdidChanges_->setTabChangesFocus(true);
  lblEdidChanges_->setPlaceholderText(
      QStringLiteral("No edits yet: make a timing the preferred one, add or remove one, set the refresh range or "
                     "the name. The EDID file and the monitor stay as they are until you save or install."));
  lblEdidChanges_->setFixedHeight(lblEdidChanges_->fontMetrics().lineSpacing() * 4 +
                                  2 * (lblEdidChanges_->frameWidth() + 4));
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(row);
  layout->addWidget(lblEdidIdentity_);
  layout->addWidget(lstEdidTimings_, 1);
  layout->addLayout(timingEdits);
  layout->addLayout(range);
  layout->addLayout(naming);
  layout->addWidget(lblEdidChanges_);
  return page;
}

QGroupBox* TimingsWindow::BuildTimingPanel() {
  auto* panel = new QGroupBox(QStringLiteral("Timing"));
  panel->setObjectName(QStringLiteral("fraTiming"));
  auto* grid = new QGridLayout;
  lblSourceName_ = AddFigure("lblSourceName", QStringLiteral("Source"));
  grid->addWidget(new QLabel(QStringLiteral("Source:")), 0, 0);
  grid->addWidget(lblSourceName_, 0, 1, 1, 7);
  const char* columns[] = {"Active", "Front porch", "Sync", "Back porch", "Blanking", "Total", "Sync polarity"};
  for (int c = 0; c < 7; ++c) {
    auto* header = new QLabel(QLatin1String(columns[c]));
    header->setAlignment(c < 6 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    grid->addWidget(header, 1, c + 1);
  }
  const char* names[2][6] = {
      {"lblHActive", "lblHFrontPorch", "lblHSync", "lblHBackPorch", "lblHBlanking", "lblHTotal"},
      {"lblVActive", "lblVFrontPorch", "lblVSync", "lblVBackPorch", "lblVBlanking", "lblVTotal"}};
  grid->addWidget(new QLabel(QStringLiteral("Horizontal (pixels)")), 2, 0);
  lblVertical_ = new QLabel(QStringLiteral("Vertical (lines)"));
  grid->addWidget(lblVertical_, 3, 0);
  for (int r = 0; r < 2; ++r) {
    const QString row = r == 0 ? QStringLiteral("Horizontal ") : QStringLiteral("Vertical ");
    for (int c = 0; c < 6; ++c) {
      QLabel* figure = AddFigure(names[r][c], row + QString::fromLatin1(columns[c]).toLower());
      figure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      (r == 0 ? horizontal_ : vertical_)[static_cast<std::size_t>(c)] = figure;
      grid->addWidget(figure, r + 2, c + 1);
    }
  }
  lblHSync_ = AddFigure("lblHSyncPolarity", QStringLiteral("Horizontal sync polarity"));
  lblVSync_ = AddFigure("lblVSyncPolarity", QStringLiteral("Vertical sync polarity"));
  grid->addWidget(lblHSync_, 2, 7);
  grid->addWidget(lblVSync_, 3, 7);
  grid->setColumnStretch(8, 1);

  auto* rates = new QFormLayout;
  lblPixelClock_ = AddFigure("lblPixelClock", QStringLiteral("Pixel clock"));
  lblLineRate_ = AddFigure("lblLineRate", QStringLiteral("Line rate"));
  lblRefreshRate_ = AddFigure("lblRefreshRate", QStringLiteral("Refresh rate"));
  lblFieldRate_ = AddFigure("lblFieldRate", QStringLiteral("Field rate"));
  lblDetails_ = AddFigure("lblDetails", QStringLiteral("Details"));
  lblDetails_->setWordWrap(true);
  lblFieldRateCaption_ = new QLabel(QStringLiteral("Field rate:"));
  rates->addRow(QStringLiteral("Pixel clock:"), lblPixelClock_);
  rates->addRow(QStringLiteral("Line rate:"), lblLineRate_);
  rates->addRow(QStringLiteral("Refresh rate:"), lblRefreshRate_);
  rates->addRow(lblFieldRateCaption_, lblFieldRate_);
  rates->addRow(QStringLiteral("Details:"), lblDetails_);

  lblReason_ = new QLabel;
  lblReason_->setObjectName(QStringLiteral("lblReason"));
  lblReason_->setWordWrap(true);
  lblReason_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lblReason_->setAccessibleDescription(QStringLiteral("Why there is no timing"));
  lblReason_->setFont([this] {
    QFont bold = font();
    bold.setBold(true);
    return bold;
  }());
  lblReason_->hide();

  auto* layout = new QVBoxLayout(panel);
  layout->addLayout(grid);
  layout->addLayout(rates);
  layout->addWidget(lblReason_);
  layout->addStretch();
  return panel;
}

QTabWidget* TimingsWindow::BuildOutputTabs() {
  tabOutput_ = new QTabWidget;
  tabOutput_->setObjectName(QStringLiteral("tabOutput"));
  tabOutput_->setAccessibleName(QStringLiteral("Exports and links"));
  // Its tab bar is the tab stop; the widget itself would be a second one.
  tabOutput_->setFocusPolicy(Qt::NoFocus);
  tabOutput_->addTab(BuildExportsPage(), QStringLiteral("Exports"));
  tabOutput_->addTab(BuildLinksPlaceholder(), QStringLiteral("Links"));
  return tabOutput_;
}

QWidget* TimingsWindow::BuildExportsPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("pageExports"));
  QComboBox* format = AddChoice(TimingsChoice::cmbFormat);
  for (const modes::ExportFormat* item : WindowFormats()) format->addItem(Latin1(item->label));
  QLineEdit* output = AddEdit(TimingsText::txtOutput);
  output->setPlaceholderText(QStringLiteral("OUTPUT"));
  QLineEdit* name = AddEdit(TimingsText::txtDisplayName);
  name->setPlaceholderText(QStringLiteral("Zarn"));
  auto* options = new QHBoxLayout;
  options->addWidget(AddCaption(QStringLiteral("&Format:"), format));
  options->addWidget(format);
  options->addWidget(AddCaption(QStringLiteral("Ou&tput:"), output));
  options->addWidget(output, 1);
  options->addWidget(AddCaption(QStringLiteral("Display &name:"), name));
  options->addWidget(name, 1);

  // The export as selectable text: a label lays its text out when it is
  // painted, not at each change, so typing elsewhere stays quick.
  txtExport_ = new QLabel;
  txtExport_->setObjectName(QStringLiteral("txtExport"));
  txtExport_->setAccessibleName(QStringLiteral("Export text"));
  txtExport_->setTextFormat(Qt::PlainText);
  txtExport_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  txtExport_->setFocusPolicy(Qt::StrongFocus);
  txtExport_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  txtExport_->setMargin(4);
  txtExport_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  auto* exportArea = new QScrollArea;
  exportArea->setObjectName(QStringLiteral("scrExport"));
  exportArea->setWidget(txtExport_);
  exportArea->setWidgetResizable(true);
  exportArea->setFocusPolicy(Qt::NoFocus);
  exportArea->setBackgroundRole(QPalette::Base);
  exportArea->setMinimumHeight(QFontMetrics(txtExport_->font()).lineSpacing() * 4 + 2 * exportArea->frameWidth());

  lblExportMessage_ = new QLabel;
  lblExportMessage_->setObjectName(QStringLiteral("lblExportMessage"));
  lblExportMessage_->setWordWrap(true);
  lblExportMessage_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  cmdCopy_ = AddButton("cmdCopy", QStringLiteral("&Copy"), QStringLiteral("Copy the export"));
  cmdSaveEdid_ = AddButton("cmdSaveEdid", QStringLiteral("Save &EDID\u2026"), QStringLiteral("Save EDID"));
  lblEdidProblem_ = new QLabel;
  lblEdidProblem_->setObjectName(QStringLiteral("lblEdidProblem"));
  lblEdidProblem_->setWordWrap(true);
  lblEdidProblem_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lblEdidProblem_->hide();
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdCopy_);
  buttons->addWidget(cmdSaveEdid_);
  buttons->addWidget(lblEdidProblem_, 1);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(page);
  layout->addLayout(options);
  layout->addWidget(exportArea, 1);
  layout->addWidget(lblExportMessage_);
  layout->addLayout(buttons);
  return page;
}

// The Links page holds its tables only once it is first shown. Until then
// two bare scroll areas stand in for them: they size as a table does, so
// the window opens at the size it has with the tables in place.
QWidget* TimingsWindow::BuildLinksPlaceholder() {
  pageLinks_ = new QWidget;
  pageLinks_->setObjectName(QStringLiteral("pageLinks"));
  auto* layout = new QVBoxLayout(pageLinks_);
  layout->addWidget(new QLabel(QStringLiteral("Data rate of the video in Mbit/s, blanking included")));
  layout->addWidget(new QAbstractScrollArea);
  layout->addWidget(new QLabel(QStringLiteral("Each link's capacity and the deepest colour it carries")));
  layout->addWidget(new QAbstractScrollArea, 1);
  LinksMinimumHeight(*static_cast<QAbstractScrollArea*>(layout->itemAt(3)->widget()));
  return pageLinks_;
}

// Eight links in view at least; the table scrolls for the rest.
void TimingsWindow::LinksMinimumHeight(QAbstractScrollArea& table) {
  const int row = QFontMetrics(table.font()).height() + 4;
  table.setMinimumHeight(row * 9 + 2 * table.frameWidth());
}

void TimingsWindow::BuildLinksPage() {
  tblDataRates_ = AddTable("tblDataRates", QStringLiteral("Data rate in Mbit/s by sampling and colour depth"));
  tblLinks_ = AddTable("tblLinks", QStringLiteral("Links, their capacity and the deepest colour each carries"));
  LinksMinimumHeight(*tblLinks_);
  QLayout* layout = pageLinks_->layout();
  for (QWidget* table : {static_cast<QWidget*>(tblDataRates_), static_cast<QWidget*>(tblLinks_)}) {
    const int at = table == tblDataRates_ ? 1 : 3;
    QWidget* standIn = layout->itemAt(at)->widget();
    delete layout->replaceWidget(standIn, table);
    delete standIn;
  }
  SetTabOrder();
}

void TimingsWindow::ConnectHandlers() {
  WireControls();
  connect(tabOutput_, &QTabWidget::currentChanged, this, [this](int tab) {
    if (tab == 1 && tblLinks_ == nullptr) BuildLinksPage();
    controller_.tabOutput_Click();
  });
  connect(cmdCopy_, &QPushButton::clicked, this, [this] { controller_.cmdCopy_Click(); });
  connect(cmdSaveEdid_, &QPushButton::clicked, this, [this] { controller_.cmdSaveEdid_Click(); });
  connect(cmdUseInCalculator_, &QPushButton::clicked, this, [this] { controller_.cmdUseInCalculator_Click(); });
  connect(cmdClose_, &QPushButton::clicked, this, [this] { controller_.cmdClose_Click(); });
}

void TimingsWindow::SetTabOrder() {
  using T = TimingsText;
  using C = TimingsCheck;
  QWidget* const order[] = {Combo(TimingsChoice::cmbSource),
                            Check(C::chkCalculatorHSync),
                            Check(C::chkCalculatorVSync),
                            Edit(T::txtFilter),
                            lstModes_,
                            Edit(T::txtCvtWidth),
                            Edit(T::txtCvtHeight),
                            Edit(T::txtCvtRate),
                            Edit(T::txtCvtHBlank),
                            Edit(T::txtCvtVBlank),
                            Combo(TimingsChoice::cmbCvtBlanking),
                            Check(C::chkCvtInterlaced),
                            Check(C::chkCvtMargins),
                            Check(C::chkCvtVideoOptimized),
                            Check(C::chkCvtEarlyVsync),
                            Edit(T::txtGtfWidth),
                            Edit(T::txtGtfHeight),
                            Combo(TimingsChoice::cmbGtfInput),
                            Edit(T::txtGtfValue),
                            Check(C::chkGtfInterlaced),
                            Check(C::chkGtfMargins),
                            Edit(T::txtCustomClock),
                            Edit(T::txtCustomHActive),
                            Edit(T::txtCustomHFrontPorch),
                            Edit(T::txtCustomHSync),
                            Edit(T::txtCustomHBackPorch),
                            Edit(T::txtCustomVActive),
                            Edit(T::txtCustomVFrontPorch),
                            Edit(T::txtCustomVSync),
                            Edit(T::txtCustomVBackPorch),
                            Check(C::chkCustomHSync),
                            Check(C::chkCustomVSync),
                            Check(C::chkCustomInterlaced),
                            Edit(T::txtKernelOption),
                            Combo(TimingsChoice::cmbMonitor),
                            cmdOpenEdid_,
                            cmdPasteEdid_,
                            lstEdidTimings_,
                            edidCommands_[0],
                            edidCommands_[1],
                            edidCommands_[2],
                            edidCommands_[3],
                            edidCommands_[6],
                            Edit(T::txtEdidMinRate),
                            Edit(T::txtEdidMaxRate),
                            Check(C::chkEdidVrr),
                            edidCommands_[4],
                            Edit(T::txtEdidName),
                            edidCommands_[5],
                            Check(C::chkEdidRoundClock),
                            lblEdidChanges_,
                            Edit(T::txtOvtWidth),
                            Edit(T::txtOvtHeight),
                            Edit(T::txtOvtRate),
                            Edit(T::txtRidNumber),
                            Edit(T::txtRidRate),
                            tabOutput_->tabBar(),
                            Combo(TimingsChoice::cmbFormat),
                            Edit(T::txtOutput),
                            Edit(T::txtDisplayName),
                            txtExport_,
                            cmdCopy_,
                            cmdSaveEdid_,
                            tblDataRates_,
                            tblLinks_,
                            cmdUseInCalculator_,
                            cmdClose_};
  // Controls not made yet (the Links page's) are left out until they are.
  QWidget* previous = nullptr;
  for (QWidget* widget : order) {
    if (widget == nullptr) continue;
    if (previous != nullptr) setTabOrder(previous, widget);
    previous = widget;
  }
}

// The inputs of pages not made yet keep their texts, ticks and choices here
// until they are.
std::string TimingsWindow::Text(TimingsText input) const {
  if (const QLineEdit* edit = Edit(input)) return edit->text().toStdString();
  return pendingTexts_[static_cast<std::size_t>(input)];
}

void TimingsWindow::SetText(TimingsText input, std::string_view text) {
  QLineEdit* edit = Edit(input);
  if (edit == nullptr) {
    pendingTexts_[static_cast<std::size_t>(input)] = std::string(text);
    return;
  }
  const QSignalBlocker quiet(edit);
  edit->setText(FromUtf8(text));
}

bool TimingsWindow::Checked(TimingsCheck option) const {
  if (const QCheckBox* check = Check(option)) return check->isChecked();
  return pendingChecks_[static_cast<std::size_t>(option)];
}

int TimingsWindow::Choice(TimingsChoice list) const {
  if (const QComboBox* combo = Combo(list)) return combo->currentIndex();
  return pendingChoices_[static_cast<std::size_t>(list)];
}

void TimingsWindow::ShowSourcePage(TimingSource source) {
  QWidget* page = Page(source);
  if (source == TimingSource::Dmt) listPage_->setTitle(QStringLiteral("DMT: VESA Display Monitor Timings"));
  if (source == TimingSource::Cta) listPage_->setTitle(QStringLiteral("CTA-861 video formats and HDMI VICs"));
  pages_->setCurrentWidget(page);
}

void TimingsWindow::SetModes(const std::vector<std::string>& items, int selected) {
  if (lstModes_ == nullptr) return;  // shown only with its page
  const QSignalBlocker quiet(lstModes_);
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(items.size()));
  for (const std::string& item : items) texts << FromUtf8(item);
  lstModes_->clear();
  lstModes_->addItems(texts);
  lstModes_->setCurrentRow(selected);
  if (QListWidgetItem* item = lstModes_->currentItem()) lstModes_->scrollToItem(item);
}

int TimingsWindow::ModeRow() const { return lstModes_ != nullptr ? lstModes_->currentRow() : -1; }

void TimingsWindow::SetMonitors(const std::vector<std::string>& items, int selected) {
  QComboBox* monitors = Combo(TimingsChoice::cmbMonitor);
  if (monitors == nullptr) return;  // shown only with its page
  const QSignalBlocker quiet(monitors);
  monitors->clear();
  for (const std::string& item : items) monitors->addItem(FromUtf8(item));
  monitors->setCurrentIndex(selected);
}

void TimingsWindow::ShowEdidIdentity(std::string_view text) {
  if (lblEdidIdentity_ != nullptr) lblEdidIdentity_->setText(FromUtf8(text));
}

void TimingsWindow::SetEdidTimings(const std::vector<std::string>& items, int selected) {
  if (lstEdidTimings_ == nullptr) return;  // shown only with its page
  const QSignalBlocker quiet(lstEdidTimings_);
  QStringList texts;
  for (const std::string& item : items) texts << FromUtf8(item);
  lstEdidTimings_->clear();
  lstEdidTimings_->addItems(texts);
  lstEdidTimings_->setCurrentRow(selected);
  if (QListWidgetItem* item = lstEdidTimings_->currentItem()) lstEdidTimings_->scrollToItem(item);
}

int TimingsWindow::EdidTimingRow() const { return lstEdidTimings_ != nullptr ? lstEdidTimings_->currentRow() : -1; }

std::optional<std::string> TimingsWindow::AskEdidFile() {
  const QString path = askOpenPath_ ? askOpenPath_(this)
                                    : QFileDialog::getOpenFileName(this, QStringLiteral("Open EDID"), QString(),
                                                                   QStringLiteral("EDID (*.bin *.txt);;All files (*)"));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::string TimingsWindow::ClipboardText() const { return QApplication::clipboard()->text().toStdString(); }

void TimingsWindow::ShowTiming(const TimingFigures& figures, std::string_view reason) {
  lblSourceName_->setText(FromUtf8(figures.source));
  for (std::size_t i = 0; i < 6; ++i) {
    horizontal_[i]->setText(FromUtf8(figures.horizontal[i]));
    vertical_[i]->setText(FromUtf8(figures.vertical[i]));
  }
  const bool interlaced = !figures.fieldRate.empty();
  lblVertical_->setText(interlaced ? QStringLiteral("Vertical (lines a field)") : QStringLiteral("Vertical (lines)"));
  lblHSync_->setText(FromUtf8(figures.hsync));
  lblVSync_->setText(FromUtf8(figures.vsync));
  lblPixelClock_->setText(FromUtf8(figures.pixelClock));
  lblLineRate_->setText(FromUtf8(figures.lineRate));
  lblRefreshRate_->setText(FromUtf8(figures.refreshRate) + (interlaced ? QStringLiteral(" (frames)") : QString()));
  lblFieldRate_->setText(FromUtf8(figures.fieldRate));
  lblFieldRateCaption_->setVisible(interlaced);
  lblFieldRate_->setVisible(interlaced);
  lblDetails_->setText(FromUtf8(figures.details));
  lblReason_->setText(FromUtf8(reason));
  lblReason_->setAccessibleName(FromUtf8(reason));
  lblReason_->setVisible(!reason.empty());
}

void TimingsWindow::ShowExport(std::string_view text, std::string_view message) {
  const QString exportText = FromUtf8(text);
  if (txtExport_->text() != exportText) txtExport_->setText(exportText);
  lblExportMessage_->setText(FromUtf8(message));
}

bool TimingsWindow::LinksShown() const { return tabOutput_->currentIndex() == 1 && tblLinks_ != nullptr; }

void TimingsWindow::ShowLinks(const TextTable& dataRates, const TextTable& links) {
  FillTable(*tblDataRates_, dataRates);
  FillTable(*tblLinks_, links);
  // The data rates show whole, without a scroll bar.
  tblDataRates_->setFixedHeight(tblDataRates_->horizontalHeader()->sizeHint().height() +
                                tblDataRates_->verticalHeader()->length() + 2 * tblDataRates_->frameWidth());
}

QWidget* TimingsWindow::Widget(TimingsCommand control) const {
  switch (control) {
    case TimingsCommand::cmdCopy:
      return cmdCopy_;
    case TimingsCommand::cmdSaveEdid:
      return cmdSaveEdid_;
    case TimingsCommand::cmdUseInCalculator:
      return cmdUseInCalculator_;
    case TimingsCommand::chkCvtVideoOptimized:
      return Check(TimingsCheck::chkCvtVideoOptimized);
    case TimingsCommand::txtCvtHBlank:
      return Edit(TimingsText::txtCvtHBlank);
    case TimingsCommand::txtCvtVBlank:
      return Edit(TimingsText::txtCvtVBlank);
    case TimingsCommand::chkCvtEarlyVsync:
      return Check(TimingsCheck::chkCvtEarlyVsync);
    case TimingsCommand::cmdEdidPrefer:
    case TimingsCommand::cmdEdidAdd:
    case TimingsCommand::cmdEdidRemove:
    case TimingsCommand::cmdEdidRevert:
    case TimingsCommand::cmdEdidRange:
    case TimingsCommand::cmdEdidName:
    case TimingsCommand::cmdEdidInstall:
      return edidCommands_[static_cast<std::size_t>(control) - static_cast<std::size_t>(TimingsCommand::cmdEdidPrefer)];
  }
  return nullptr;
}

void TimingsWindow::SetEnabled(TimingsCommand control, bool enabled) {
  enabled_[control] = enabled;  // for a control not made yet
  if (QWidget* widget = Widget(control)) widget->setEnabled(enabled);
}

void TimingsWindow::ShowFieldRates(bool cvt, bool gtf) {
  fieldRates_ = {cvt, gtf};
  if (lblCvtRate_ != nullptr) lblCvtRate_->setText(cvt ? QStringLiteral("&Field rate:") : QStringLiteral("&Rate:"));
  if (QComboBox* given = Combo(TimingsChoice::cmbGtfInput)) {
    given->setItemText(0, gtf ? QStringLiteral("Field rate (Hz)") : Latin1(kGtfInputItems.front()));
  }
}

void TimingsWindow::ShowEdidProblem(std::string_view reason) {
  lblEdidProblem_->setText(FromUtf8(reason));
  lblEdidProblem_->setAccessibleName(FromUtf8(reason));
  lblEdidProblem_->setVisible(!reason.empty());
  cmdSaveEdid_->setToolTip(FromUtf8(reason));
}

void TimingsWindow::CopyToClipboard(std::string_view text) { QApplication::clipboard()->setText(FromUtf8(text)); }

std::optional<std::string> TimingsWindow::AskEdidPath(std::string_view suggestedName) {
  const QString suggested = FromUtf8(suggestedName);
  const QString path = askSavePath_ ? askSavePath_(this, suggested)
                                    : QFileDialog::getSaveFileName(this, QStringLiteral("Save EDID"), suggested,
                                                                   QStringLiteral("EDID (*.bin);;All files (*)"));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

bool TimingsWindow::Confirm(std::string_view question) {
  if (askMessage_) return askMessage_(FromUtf8(question), QString());
  return QMessageBox::question(this, windowTitle(), FromUtf8(question), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

void TimingsWindow::Close() { close(); }

void TimingsWindow::ShowEdidChanges(std::string_view text) {
  if (lblEdidChanges_ == nullptr) return;  // shown only with its page
  lblEdidChanges_->setPlainText(FromUtf8(text));
  // The latest change in sight.
  lblEdidChanges_->moveCursor(QTextCursor::End);
  lblEdidChanges_->ensureCursorVisible();
}

std::optional<int> TimingsWindow::AskChoice(TimingsCommand control, const std::vector<std::string>& items) {
  QStringList texts;
  for (const std::string& item : items) texts.append(FromUtf8(item));
  QWidget* button = Widget(control);
  if (askChoice_) return askChoice_(button, texts);
  QMenu menu(this);
  for (qsizetype i = 0; i < texts.size(); ++i) menu.addAction(texts[i])->setData(static_cast<int>(i));
  if (texts.isEmpty()) menu.addAction(QStringLiteral("No other source gives a timing"))->setEnabled(false);
  const QAction* chosen =
      menu.exec(button != nullptr ? button->mapToGlobal(QPoint(0, button->height())) : QCursor::pos());
  if (chosen == nullptr) return std::nullopt;
  return chosen->data().toInt();
}

bool TimingsWindow::ConfirmInstall(std::string_view question, std::string_view steps) {
  if (askMessage_) return askMessage_(FromUtf8(question), FromUtf8(steps));
  QMessageBox box(QMessageBox::Question, windowTitle(), FromUtf8(question), QMessageBox::Cancel, this);
  box.setInformativeText(FromUtf8(steps));
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  QPushButton* install = box.addButton(QStringLiteral("&Install"), QMessageBox::AcceptRole);
  box.setDefaultButton(QMessageBox::Cancel);
  box.exec();
  return box.clickedButton() == install;
}

void TimingsWindow::RunAside(std::function<void()> work, std::function<void()> done) {
  QThread* thread = QThread::create(std::move(work));
  aside_.push_back(thread);
  connect(thread, &QThread::finished, this, [this, thread, done = std::move(done)] {
    std::erase(aside_, thread);
    thread->deleteLater();
    done();
  });
  thread->start();
}

void TimingsWindow::Inform(std::string_view text) {
  if (askMessage_) {
    askMessage_(FromUtf8(text), QString());
    return;
  }
  QMessageBox box(QMessageBox::Information, windowTitle(), FromUtf8(text), QMessageBox::Ok, this);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  box.exec();
}

void TimingsWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    controller_.cmdClose_Click();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace zarn::forms
