#include "forms/win32/timings_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "forms/win32/timings_controls.h"
#include "forms/win32/timings_prompts.h"
#include "forms/win32/window_kit.h"
#include "modes/cvt.h"

namespace zarn::forms::win32 {
namespace {

using grid::Cell;
using grid::Part;
namespace tl = timings_layout;

constexpr wchar_t kClassName[] = L"ZarnTimings";
constexpr wchar_t kPaneClass[] = L"ZarnTimingsPane";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kFirstId = 1000;
constexpr int kDroppedRows = 12;
// Posted by work run aside once it has ended; wParam: its number.
constexpr UINT kAsideEnded = WM_APP + 1;
// What the box of the EDID's edits says before there are any.
constexpr wchar_t kNoEdits[] =
    L"No edits yet: make a timing the preferred one, add or remove one, set the refresh range or the name. The EDID "
    L"file and the monitor stay as they are until you save or install.";

// The buttons and lists of the layout and their handlers.
struct Handler {
  std::string_view name;
  void (TimingsController::*handler)();
};
constexpr Handler kHandlers[] = {
    {"cmdOpenEdid", &TimingsController::cmdOpenEdid_Click},
    {"cmdPasteEdid", &TimingsController::cmdPasteEdid_Click},
    {"cmdCopy", &TimingsController::cmdCopy_Click},
    {"cmdSaveEdid", &TimingsController::cmdSaveEdid_Click},
    {"cmdUseInCalculator", &TimingsController::cmdUseInCalculator_Click},
    {"cmdClose", &TimingsController::cmdClose_Click},
    {"lstModes", &TimingsController::lstModes_Click},
    {"lstEdidTimings", &TimingsController::lstEdidTimings_Click},
    {"cmdEdidPrefer", &TimingsController::cmdEdidPrefer_Click},
    {"cmdEdidAdd", &TimingsController::cmdEdidAdd_Click},
    {"cmdEdidRemove", &TimingsController::cmdEdidRemove_Click},
    {"cmdEdidRevert", &TimingsController::cmdEdidRevert_Click},
    {"cmdEdidRange", &TimingsController::cmdEdidRange_Click},
    {"cmdEdidName", &TimingsController::cmdEdidName_Click},
    {"cmdEdidInstall", &TimingsController::cmdEdidInstall_Click},
};

void RegisterClasses(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, kClassName, &existing)) return;
  WNDCLASSEXW description{};
  description.cbSize = sizeof description;
  description.lpfnWndProc = procedure;
  description.hInstance = instance;
  description.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  description.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  description.lpszClassName = kClassName;
  RegisterClassExW(&description);
  description.lpfnWndProc = &PaneProcedure;
  description.hIcon = nullptr;
  description.lpszClassName = kPaneClass;
  RegisterClassExW(&description);
}

// The system's message font at a resolution, and its bold and fixed-width
// companions.
LOGFONTW MessageFont(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW font = metrics.lfMessageFont;
  const HDC screen = GetDC(nullptr);
  const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  font.lfHeight = MulDiv(font.lfHeight, dpi, systemDpi > 0 ? systemDpi : 96);
  return font;
}

std::string WithoutAccessKey(std::string_view text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&') continue;
    plain += text[i];
  }
  return plain;
}

bool Wraps(Part part) { return part == Part::Note; }

}  // namespace

Win32TimingsWindow::Win32TimingsWindow(CalculatorPort& calculator, engine::NumberLocale locale,
                                       TimingsController::MonitorLister monitors,
                                       std::shared_ptr<EdidInstaller> installer)
    : controller_(*this, calculator, std::move(locale), std::move(monitors), std::move(installer)) {
  for (const TimingsTextInfo& info : kTimingsTexts) {
    pendingTexts_[static_cast<std::size_t>(info.input)] = info.designText;
  }
  for (const TimingsCheckInfo& info : kTimingsChecks) {
    pendingChecks_[static_cast<std::size_t>(info.option)] = info.designChecked;
  }
  for (const TimingsChoiceInfo& info : kTimingsChoices) {
    pendingChoices_[static_cast<std::size_t>(info.list)] = info.designIndex;
  }
  // Hidden until there is something to say.
  for (const std::string_view name :
       {"lblReason", "lblFieldRateCaption", "lblFieldRate", "lblExportMessage", "lblEdidProblem"}) {
    hidden_[name] = true;
  }
  INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&common);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterClasses(instance, &Procedure);
  const std::wstring caption = Wide(kTimingsCaption);
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, caption.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 640,
                          480, nullptr, nullptr, instance, this);
  dpi_ = WindowDpi(hwnd_);
  ApplyDpi(dpi_);
  MakeGrid(tl::kWindow, hwnd_);
  WireControls();
  ShowOutputTab(0);
  // The least size, with room for a longer export line.
  const grid::Size least = grid::LeastSize(*this, tl::kWindow);
  RECT outer{0, 0, least.width + 2 * Scaled(9) + Scaled(120), least.height + 2 * Scaled(9)};
  AdjustWindowRectEx(&outer, kStyle, FALSE, WS_EX_CONTROLPARENT);
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Win32TimingsWindow::~Win32TimingsWindow() {
  // Work under way (an installation) is let finish, not cut off; what would
  // have followed it in the window is not done.
  for (auto& [number, aside] : aside_) aside.thread.join();
  quiet_ = true;
  if (hwnd_ != nullptr && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  for (const HFONT font : {font_, bold_, fixed_}) {
    if (font != nullptr) DeleteObject(font);
  }
}

void Win32TimingsWindow::Form_Load() {
  controller_.Form_Load();
  if (const HWND filter = edits_[static_cast<std::size_t>(TimingsText::txtFilter)]) SetFocus(filter);
}

void Win32TimingsWindow::ShowBeside(HWND calculator) {
  if (!shown_ && calculator != nullptr) {
    // To the calculator's right where the screen has room, else to its left,
    // and always on the screen.
    RECT beside{};
    RECT own{};
    GetWindowRect(calculator, &beside);
    GetWindowRect(hwnd_, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(calculator, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    const int gap = Scaled(8);
    int left = beside.right + gap;
    if (left + width > area.right) left = beside.left - gap - width;
    left = std::max<int>(area.left, std::min<int>(left, area.right - width));
    const int top = std::max<int>(area.top, std::min<int>(beside.top, area.bottom - height));
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  shown_ = true;
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
}

HWND Win32TimingsWindow::Control(std::string_view name) const {
  for (const Made& made : made_) {
    if (made.cell->name == name && made.tab < 0) return made.hwnd;
  }
  for (const Made& made : made_) {
    if (made.cell->part == Part::Tabs && made.tab >= 0 &&
        made.cell->tabs[static_cast<std::size_t>(made.tab)].name == name) {
      return made.hwnd;
    }
  }
  for (const auto& [grid, pane] : pages_) {
    for (const tl::SourcePage& page : tl::kSourcePages) {
      if (page.grid == grid && page.name == name) return pane;
    }
  }
  return nullptr;
}

std::vector<std::pair<std::string_view, HWND>> Win32TimingsWindow::Controls() const {
  std::vector<std::pair<std::string_view, HWND>> controls;
  for (const Made& made : made_) {
    if (!made.cell->name.empty() && made.tab < 0) controls.emplace_back(made.cell->name, made.hwnd);
  }
  return controls;
}

std::string Win32TimingsWindow::AccessibleName(HWND control) const {
  const Made* made = Find(control);
  if (made == nullptr) return {};
  if (!made->cell->accessibleName.empty()) return std::string(made->cell->accessibleName);
  return WithoutAccessKey(made->cell->text);
}

const Win32TimingsWindow::Made* Win32TimingsWindow::Find(HWND hwnd) const {
  for (const Made& made : made_) {
    if (made.hwnd == hwnd) return &made;
  }
  return nullptr;
}

HWND Win32TimingsWindow::MakePane(HWND parent, std::string_view title, bool framed) {
  const HWND pane = CreateWindowExW(WS_EX_CONTROLPARENT, kPaneClass, nullptr, WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0,
                                    parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  AttachPane(pane, Wide(title), framed);
  SendMessageW(pane, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return pane;
}

void Win32TimingsWindow::MakeGrid(const grid::Grid& grid, HWND parent) {
  for (const Cell& cell : grid.cells) MakeCell(cell, parent);
}

HWND Win32TimingsWindow::MakeCell(const Cell& cell, HWND parent) {
  const DWORD child = WS_CHILD | WS_VISIBLE;
  const wchar_t* className = L"STATIC";
  DWORD style = child;
  DWORD exStyle = 0;
  std::wstring text = Wide(cell.text);
  switch (cell.part) {
    case Part::Grid:
      MakeGrid(*cell.grid, parent);
      return nullptr;
    case Part::Pages:
      return nullptr;  // each page is made when its source is first chosen
    case Part::Group: {
      const HWND pane = MakePane(parent, cell.text, true);
      made_.push_back({&cell, -1, pane});
      ShowWindow(pane, SW_SHOW);
      MakeGrid(*cell.grid, pane);
      return pane;
    }
    case Part::Tabs: {
      tabs_ = CreateWindowExW(0, WC_TABCONTROLW, nullptr, child | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
      made_.push_back({&cell, -1, tabs_});
      SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
      for (std::size_t i = 0; i < cell.tabs.size(); ++i) {
        std::wstring label = Wide(cell.tabs[i].text);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = label.data();
        SendMessageW(tabs_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
      }
      for (std::size_t i = 0; i < cell.tabs.size(); ++i) {
        const HWND pane = MakePane(parent, {}, false);
        made_.push_back({&cell, static_cast<int>(i), pane});
        MakeGrid(*cell.tabs[i].grid, pane);
      }
      return tabs_;
    }
    case Part::Caption:
      style |= cell.align == grid::Align::Right ? SS_RIGHT : SS_LEFT;
      break;
    case Part::Note:
      style |= SS_LEFT | SS_NOPREFIX;
      break;
    case Part::Figure:
      style |= SS_NOPREFIX | SS_ENDELLIPSIS | (cell.align == grid::Align::Right ? SS_RIGHT : SS_LEFT);
      break;
    case Part::Text:
      className = L"EDIT";
      style |= WS_TABSTOP | ES_AUTOHSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      text.clear();
      break;
    case Part::Check:
      className = L"BUTTON";
      style |= WS_TABSTOP | BS_AUTOCHECKBOX;
      break;
    case Part::Choice:
      className = L"COMBOBOX";
      style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
      break;
    case Part::Button:
      className = L"BUTTON";
      style |= WS_TABSTOP | BS_PUSHBUTTON;
      break;
    case Part::List:
      className = L"LISTBOX";
      style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case Part::Table:
      className = WC_LISTVIEWW;
      style |= WS_TABSTOP | LVS_REPORT | LVS_NOSORTHEADER | LVS_SINGLESEL;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case Part::Export:
      className = L"EDIT";
      style |= WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      break;
    case Part::Log:
      className = L"EDIT";
      style |= WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
      exStyle = WS_EX_CLIENTEDGE;
      text.clear();
      break;
  }
  const int id = kFirstId + static_cast<int>(made_.size());
  const HWND hwnd =
      CreateWindowExW(exStyle, className, text.c_str(), style, 0, 0, 0, 0, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  made_.push_back({&cell, -1, hwnd});
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(cell)), FALSE);
  const auto index = static_cast<std::size_t>(cell.id);
  if (cell.part == Part::Text) {
    // An EDID's display name holds 13 characters.
    SendMessageW(hwnd, EM_SETLIMITTEXT, static_cast<TimingsText>(cell.id) == TimingsText::txtEdidName ? 13 : 0, 0);
    edits_[index] = hwnd;
  } else if (cell.part == Part::Check) {
    checks_[index] = hwnd;
  } else if (cell.part == Part::Choice) {
    combos_[index] = hwnd;
    const auto list = static_cast<TimingsChoice>(cell.id);
    std::vector<std::string_view> items;
    if (list == TimingsChoice::cmbSource) items.assign(kSourceItems.begin(), kSourceItems.end());
    if (list == TimingsChoice::cmbCvtBlanking)
      items.assign(modes::kCvtBlankingNames.begin(), modes::kCvtBlankingNames.end());
    if (list == TimingsChoice::cmbGtfInput) items.assign(kGtfInputItems.begin(), kGtfInputItems.end());
    if (list == TimingsChoice::cmbFormat) {
      for (const modes::ExportFormat* format : WindowFormats()) items.push_back(format->label);
    }
    for (const std::string_view item : items) {
      SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    }
  } else if (cell.part == Part::Table) {
    SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER,
                 LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
  } else if (cell.part == Part::Export) {
    KeepDialogKeys(hwnd);
  } else if (cell.part == Part::Log) {
    KeepDialogKeys(hwnd);
    FillEdidChanges(hwnd);
  }
  if (const auto written = statics_.find(cell.name); written != statics_.end() && !cell.name.empty()) {
    SetWindowTextUtf8(hwnd, written->second);  // written before its page was made
  }
  if (!cell.name.empty() && hidden_[cell.name]) ShowWindow(hwnd, SW_HIDE);
  if (const std::string name = AccessibleName(hwnd); !name.empty() && cell.part != Part::Caption) {
    NameForScreenReaders(hwnd, Wide(name));
  }
  return hwnd;
}

HWND Win32TimingsWindow::Page(TimingSource source) {
  const tl::SourcePage& page = tl::kSourcePages[static_cast<std::size_t>(source)];
  HWND& pane = pages_[page.grid];
  if (pane == nullptr) {
    pane = MakePane(hwnd_, page.title, true);
    MakeGrid(*page.grid, pane);
    // In the Tab order just after the source list, before the timing.
    SetWindowPos(pane, combos_[static_cast<std::size_t>(TimingsChoice::cmbSource)], 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    WireControls();
  }
  SetPaneTitle(pane, Wide(page.title));
  return pane;
}

void Win32TimingsWindow::WireControls() {
  quiet_ = true;
  for (std::size_t i = 0; i < edits_.size(); ++i) {
    if (edits_[i] == nullptr || wiredTexts_[i]) continue;
    SetWindowTextUtf8(edits_[i], pendingTexts_[i]);
    wiredTexts_[i] = true;
  }
  for (std::size_t i = 0; i < checks_.size(); ++i) {
    if (checks_[i] == nullptr || wiredChecks_[i]) continue;
    SendMessageW(checks_[i], BM_SETCHECK, pendingChecks_[i] ? BST_CHECKED : BST_UNCHECKED, 0);
    wiredChecks_[i] = true;
  }
  for (std::size_t i = 0; i < combos_.size(); ++i) {
    if (combos_[i] == nullptr || wiredChoices_[i]) continue;
    SendMessageW(combos_[i], CB_SETCURSEL, static_cast<WPARAM>(pendingChoices_[i]), 0);
    wiredChoices_[i] = true;
  }
  quiet_ = false;
  for (const auto& [control, enabled] : enabled_) {
    if (const HWND hwnd = CommandControl(control)) EnableWindow(hwnd, enabled ? TRUE : FALSE);
  }
  ShowFieldRates(fieldRates_.first, fieldRates_.second);
}

// Layout.

void Win32TimingsWindow::ApplyDpi(int dpi) {
  dpi_ = dpi;
  for (const HFONT font : {font_, bold_, fixed_}) {
    if (font != nullptr) DeleteObject(font);
  }
  LOGFONTW description = MessageFont(dpi);
  font_ = CreateFontIndirectW(&description);
  description.lfWeight = FW_BOLD;
  bold_ = CreateFontIndirectW(&description);
  description.lfWeight = FW_NORMAL;
  description.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  std::wcscpy(description.lfFaceName, L"Courier New");
  fixed_ = CreateFontIndirectW(&description);
  const HDC dc = GetDC(hwnd_);
  TEXTMETRICW metrics{};
  HGDIOBJ old = SelectObject(dc, font_);
  GetTextMetricsW(dc, &metrics);
  lineHeight_ = metrics.tmHeight;
  SelectObject(dc, fixed_);
  GetTextMetricsW(dc, &metrics);
  fixedLineHeight_ = metrics.tmHeight;
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  for (const Made& made : made_) {
    SendMessageW(made.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(*made.cell)), 0);
    if (made.cell->part == Part::Table) FitColumns(made.hwnd);
  }
  for (const auto& [grid, pane] : pages_) SendMessageW(pane, WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
}

HFONT Win32TimingsWindow::FontOf(const Cell& cell) const {
  if (cell.part == Part::Export) return fixed_;
  if (cell.name == "lblReason") return bold_;
  return font_;
}

SIZE Win32TimingsWindow::TextExtent(std::string_view text, HFONT font, int wrapWidth) const {
  const HDC dc = GetDC(hwnd_);
  const HGDIOBJ old = SelectObject(dc, font);
  const std::wstring wide = Wide(text.empty() ? std::string_view(" ") : text);
  RECT box{0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
  const UINT format = DT_CALCRECT | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box, format);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  return {box.right - box.left, box.bottom - box.top};
}

bool Win32TimingsWindow::Shown(const Cell& cell) const {
  if (cell.name.empty()) return true;
  const auto hidden = hidden_.find(cell.name);
  return hidden == hidden_.end() || !hidden->second;
}

grid::Size Win32TimingsWindow::Least(const Cell& cell) const {
  const int control = lineHeight_ + Scaled(10);  // an input's or a button's height
  const auto current = [&](std::string_view name) {
    const auto text = statics_.find(name);
    return text != statics_.end() ? text->second : std::string();
  };
  switch (cell.part) {
    case Part::Caption: {
      const SIZE extent = TextExtent(WithoutAccessKey(cell.text), font_);
      return {extent.cx, lineHeight_};
    }
    case Part::Note:
      return {Scaled(160), HeightAt(cell, Scaled(160))};
    case Part::Figure: {
      // Room for a count or a polarity; a figure over several columns takes
      // what they give.
      if (cell.columnSpan > 1) return {Scaled(40), lineHeight_};
      const SIZE extent = TextExtent(cell.align == grid::Align::Right ? "00000" : "Negative", font_);
      return {std::max<int>(extent.cx, TextExtent(current(cell.name), font_).cx), lineHeight_};
    }
    case Part::Text: {
      // A refresh rate takes a few digits, a display name 13 characters.
      const auto input = static_cast<TimingsText>(cell.id);
      const bool rate = input == TimingsText::txtEdidMinRate || input == TimingsText::txtEdidMaxRate;
      const std::string_view room =
          rate ? "00000" : (input == TimingsText::txtEdidName ? "0000000000000" : "0000.000000");
      return {TextExtent(room, font_).cx + Scaled(12), control};
    }
    case Part::Check:
      return {TextExtent(WithoutAccessKey(cell.text), font_).cx + Scaled(24), std::max(lineHeight_, Scaled(13)) + 4};
    case Part::Button:
      return {std::max<int>(TextExtent(WithoutAccessKey(cell.text), font_).cx + Scaled(20), Scaled(75)), control};
    case Part::Choice: {
      int widest = Scaled(40);
      const HWND combo = combos_[static_cast<std::size_t>(cell.id)];
      const int count = combo != nullptr ? static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)) : 0;
      for (int i = 0; i < count; ++i) {
        const auto length = static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0));
        std::wstring item(length + 1, L'\0');
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
        item.resize(length);
        widest = std::max<int>(widest, TextExtent(Utf8(item), font_).cx);
      }
      // The monitors' names can be long: the list narrows them.
      if (static_cast<TimingsChoice>(cell.id) == TimingsChoice::cmbMonitor) widest = std::min(widest, Scaled(200));
      return {widest + GetSystemMetrics(SM_CXVSCROLL) + Scaled(12), control};
    }
    case Part::List:
      return {Scaled(280), lineHeight_ * 8 + Scaled(4)};
    case Part::Table: {
      // The data rates whole, as many rows as they have; eight links in
      // view, the rest a scroll away.
      const HWND table = Control(cell.name);
      const auto filled = table != nullptr ? static_cast<int>(SendMessageW(table, LVM_GETITEMCOUNT, 0, 0)) : 0;
      const int rows = cell.name == "tblLinks" ? 8 : std::max(filled, 3);
      RECT row{LVIR_BOUNDS, 0, 0, 0};
      const int rowHeight = filled > 0 && SendMessageW(table, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)) != 0
                                ? row.bottom - row.top
                                : lineHeight_ + Scaled(4);
      RECT header{};
      if (table != nullptr) GetWindowRect(reinterpret_cast<HWND>(SendMessageW(table, LVM_GETHEADER, 0, 0)), &header);
      const int headerHeight = std::max<int>(header.bottom - header.top, rowHeight);
      const int scrollBar = cell.name == "tblLinks" ? GetSystemMetrics(SM_CYHSCROLL) : 0;
      return {Scaled(360), headerHeight + rowHeight * rows + Scaled(6) + scrollBar};
    }
    case Part::Export:
      return {Scaled(300), fixedLineHeight_ * 4 + Scaled(8)};
    case Part::Log:
      return {Scaled(200), lineHeight_ * 4 + Scaled(8)};
    case Part::Grid:
    case Part::Group:
    case Part::Pages:
    case Part::Tabs:
      break;
  }
  return {0, 0};
}

int Win32TimingsWindow::HeightAt(const Cell& cell, int width) const {
  if (!Wraps(cell.part)) return Least(cell).height;
  const auto text = statics_.find(cell.name);
  const std::string_view content = text != statics_.end() ? std::string_view(text->second) : cell.text;
  return TextExtent(content, FontOf(cell), std::max(width, 1)).cy;
}

const grid::Grid* Win32TimingsWindow::Inner(const Cell& cell, int tab) const {
  if (cell.part == Part::Pages) {
    const grid::Grid* page = tl::kSourcePages[static_cast<std::size_t>(source_)].grid;
    return pages_.contains(page) ? page : nullptr;
  }
  return grid::Host::Inner(cell, tab);
}

grid::Insets Win32TimingsWindow::Frame(const Cell& cell) const {
  const int edge = Scaled(9);
  if (cell.part == Part::Tabs) return {edge, edge, edge, edge};
  return {edge, lineHeight_ + Scaled(4), edge, edge};
}

int Win32TimingsWindow::TabRowHeight(const Cell& /*cell*/) const {
  RECT box{0, 0, 400, 400};
  SendMessageW(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&box));
  return std::max<int>(box.top - 2, lineHeight_ + Scaled(6));
}

int Win32TimingsWindow::Spacing() const { return Scaled(6); }

void Win32TimingsWindow::Place(const Cell& cell, int tab, const grid::Rect& rect) {
  HWND hwnd = nullptr;
  if (cell.part == Part::Pages) {
    const auto page = pages_.find(tl::kSourcePages[static_cast<std::size_t>(source_)].grid);
    if (page != pages_.end()) hwnd = page->second;
  } else {
    for (const Made& made : made_) {
      if (made.cell == &cell && made.tab == tab) hwnd = made.hwnd;
    }
  }
  if (hwnd == nullptr) return;
  const int height = cell.part == Part::Choice ? rect.height + lineHeight_ * kDroppedRows : rect.height;
  MoveWindow(hwnd, rect.left, rect.top, rect.width, height, FALSE);
  // Wrapped again at its new width: the latest line kept in sight.
  if (cell.part == Part::Log) SendMessageW(hwnd, EM_LINESCROLL, 0, SendMessageW(hwnd, EM_GETLINECOUNT, 0, 0));
}

void Win32TimingsWindow::Relayout() {
  RECT inside{};
  GetClientRect(hwnd_, &inside);
  const int margin = Scaled(9);
  grid::Arrange(*this, tl::kWindow, {margin, margin, inside.right - 2 * margin, inside.bottom - 2 * margin});
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32TimingsWindow::SetShown(std::string_view name, bool shown) {
  bool& hidden = hidden_[name];
  if (hidden == !shown) return;
  hidden = !shown;
  if (const HWND hwnd = Control(name)) ShowWindow(hwnd, shown ? SW_SHOW : SW_HIDE);
  Relayout();
}

void Win32TimingsWindow::SetStatic(std::string_view name, std::string_view text, bool wraps) {
  std::string& held = statics_[name];
  if (held == text) return;
  held = std::string(text);
  if (const HWND hwnd = Control(name)) SetWindowTextUtf8(hwnd, text);
  if (wraps) Relayout();
}

void Win32TimingsWindow::ShowOutputTab(int tab) {
  outputTab_ = tab;
  SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
  for (const Made& made : made_) {
    if (made.cell->part == Part::Tabs && made.tab >= 0) ShowWindow(made.hwnd, made.tab == tab ? SW_SHOW : SW_HIDE);
  }
}

// Messages.

LRESULT CALLBACK Win32TimingsWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32TimingsWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (self->hwnd_ == nullptr) self->hwnd_ = hwnd;
  return self->Handle(message, wParam, lParam);
}

LRESULT Win32TimingsWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam != 0) {
        Command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      } else if (LOWORD(wParam) == IDCANCEL) {
        controller_.cmdClose_Click();  // Escape
      }
      return 0;
    case WM_NOTIFY: {
      const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
      if (notice->hwndFrom == tabs_ && notice->code == TCN_SELCHANGE) {
        ShowOutputTab(static_cast<int>(SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)));
        controller_.tabOutput_Click();
      }
      return 0;
    }
    case DM_GETDEFID:
      return 0;  // no default button: Enter presses nothing
    case WM_NEXTDLGCTL: {
      // A caption's access key moves the focus through here, as in a
      // dialog: to the control given, or to the next (previous) one.
      HWND next = reinterpret_cast<HWND>(wParam);
      if (LOWORD(lParam) == 0) next = GetNextDlgTabItem(hwnd_, GetFocus(), wParam != 0 ? TRUE : FALSE);
      if (next != nullptr) {
        SetFocus(next);
        if ((SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) SendMessageW(next, EM_SETSEL, 0, -1);
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      const auto dc = reinterpret_cast<HDC>(wParam);
      const auto control = reinterpret_cast<HWND>(lParam);
      if (control == Control("txtExport") || control == Control("lblEdidChanges")) {
        // Read-only, yet a text to select and copy: on the window colour;
        // what stands for the edits before there are any, greyed.
        const bool none = control != Control("txtExport") && edidChanges_.empty();
        SetTextColor(dc, GetSysColor(none ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SIZE:
      Relayout();
      return 0;
    case WM_GETMINMAXINFO: {
      if (made_.empty()) break;
      const grid::Size least = grid::LeastSize(*this, tl::kWindow);
      RECT outer{0, 0, least.width + 2 * Scaled(9), least.height + 2 * Scaled(9)};
      AdjustWindowRectEx(&outer, kStyle, FALSE, WS_EX_CONTROLPARENT);
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {outer.right - outer.left, outer.bottom - outer.top};
      return 0;
    }
    case WM_DPICHANGED: {
      ApplyDpi(LOWORD(wParam));
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      Relayout();
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
      } else if (focus_ != nullptr && IsWindow(focus_) && IsWindowVisible(focus_)) {
        SetFocus(focus_);
        return 0;
      }
      break;
    case WM_CLOSE:
      controller_.cmdClose_Click();
      return 0;
    case kAsideEnded:
      EndAside(static_cast<unsigned>(wParam));
      return 0;
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32TimingsWindow::Command(HWND control, int code) {
  if (quiet_) return;
  const Made* made = Find(control);
  if (made == nullptr) return;
  const Cell& cell = *made->cell;
  if (cell.part == Part::Text && code == EN_CHANGE) {
    controller_.Text_Change(static_cast<TimingsText>(cell.id));
  } else if (cell.part == Part::Check && code == BN_CLICKED) {
    controller_.Check_Click(static_cast<TimingsCheck>(cell.id));
  } else if (cell.part == Part::Choice && code == CBN_SELCHANGE) {
    controller_.Choice_Click(static_cast<TimingsChoice>(cell.id));
  } else if ((cell.part == Part::Button && code == BN_CLICKED) || (cell.part == Part::List && code == LBN_SELCHANGE)) {
    for (const Handler& handler : kHandlers) {
      if (handler.name == cell.name) (controller_.*handler.handler)();
    }
  }
}

// TimingsView: the inputs of pages not made yet keep their texts, ticks and
// choices until they are.

std::string Win32TimingsWindow::Text(TimingsText input) const {
  const auto i = static_cast<std::size_t>(input);
  return edits_[i] != nullptr ? WindowText(edits_[i]) : pendingTexts_[i];
}

void Win32TimingsWindow::SetText(TimingsText input, std::string_view text) {
  const auto i = static_cast<std::size_t>(input);
  if (edits_[i] == nullptr) {
    pendingTexts_[i] = std::string(text);
    return;
  }
  if (WindowText(edits_[i]) == text) return;
  quiet_ = true;
  SetWindowTextUtf8(edits_[i], text);
  quiet_ = false;
}

bool Win32TimingsWindow::Checked(TimingsCheck option) const {
  const auto i = static_cast<std::size_t>(option);
  return checks_[i] != nullptr ? SendMessageW(checks_[i], BM_GETCHECK, 0, 0) == BST_CHECKED : pendingChecks_[i];
}

int Win32TimingsWindow::Choice(TimingsChoice list) const {
  const auto i = static_cast<std::size_t>(list);
  return combos_[i] != nullptr ? static_cast<int>(SendMessageW(combos_[i], CB_GETCURSEL, 0, 0)) : pendingChoices_[i];
}

void Win32TimingsWindow::ShowSourcePage(TimingSource source) {
  source_ = source;
  const HWND shown = Page(source);
  for (const auto& [grid, pane] : pages_) ShowWindow(pane, pane == shown ? SW_SHOW : SW_HIDE);
  // A larger page than the window has room for makes the window larger.
  const grid::Size least = grid::LeastSize(*this, tl::kWindow);
  RECT inside{};
  GetClientRect(hwnd_, &inside);
  const int margins = 2 * Scaled(9);
  if (inside.right < least.width + margins || inside.bottom < least.height + margins) {
    RECT outer{0, 0, std::max<int>(inside.right, least.width + margins),
               std::max<int>(inside.bottom, least.height + margins)};
    AdjustWindowRectEx(&outer, kStyle, FALSE, WS_EX_CONTROLPARENT);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Relayout();
}

void Win32TimingsWindow::SetModes(const std::vector<std::string>& items, int selected) {
  if (const HWND list = Control("lstModes")) FillListBox(list, items, selected);
}

int Win32TimingsWindow::ModeRow() const {
  const HWND list = Control("lstModes");
  return list != nullptr ? static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)) : -1;
}

void Win32TimingsWindow::SetMonitors(const std::vector<std::string>& items, int selected) {
  const HWND monitors = combos_[static_cast<std::size_t>(TimingsChoice::cmbMonitor)];
  if (monitors == nullptr) return;
  SendMessageW(monitors, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items) {
    SendMessageW(monitors, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  }
  SendMessageW(monitors, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void Win32TimingsWindow::ShowEdidIdentity(std::string_view text) { SetStatic("lblEdidIdentity", text, true); }

void Win32TimingsWindow::SetEdidTimings(const std::vector<std::string>& items, int selected) {
  if (const HWND list = Control("lstEdidTimings")) FillListBox(list, items, selected);
}

int Win32TimingsWindow::EdidTimingRow() const {
  const HWND list = Control("lstEdidTimings");
  return list != nullptr ? static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)) : -1;
}

void Win32TimingsWindow::ShowTiming(const TimingFigures& figures, std::string_view reason) {
  static constexpr std::string_view kHorizontal[] = {"lblHActive",    "lblHFrontPorch", "lblHSync",
                                                     "lblHBackPorch", "lblHBlanking",   "lblHTotal"};
  static constexpr std::string_view kVertical[] = {"lblVActive",    "lblVFrontPorch", "lblVSync",
                                                   "lblVBackPorch", "lblVBlanking",   "lblVTotal"};
  SetStatic("lblSourceName", figures.source, false);
  for (std::size_t i = 0; i < 6; ++i) {
    SetStatic(kHorizontal[i], figures.horizontal[i], false);
    SetStatic(kVertical[i], figures.vertical[i], false);
  }
  const bool interlaced = !figures.fieldRate.empty();
  SetStatic("lblVertical", interlaced ? "Vertical (lines a field)" : "Vertical (lines)", false);
  SetStatic("lblHSyncPolarity", figures.hsync, false);
  SetStatic("lblVSyncPolarity", figures.vsync, false);
  SetStatic("lblPixelClock", figures.pixelClock, false);
  SetStatic("lblLineRate", figures.lineRate, false);
  SetStatic("lblRefreshRate", figures.refreshRate + (interlaced ? " (frames)" : ""), false);
  SetStatic("lblFieldRate", figures.fieldRate, false);
  SetStatic("lblDetails", figures.details, true);
  SetStatic("lblReason", reason, true);
  SetShown("lblFieldRateCaption", interlaced);
  SetShown("lblFieldRate", interlaced);
  SetShown("lblReason", !reason.empty());
}

void Win32TimingsWindow::ShowExport(std::string_view text, std::string_view message) {
  if (exportText_ != text) {
    exportText_ = std::string(text);
    if (const HWND edit = Control("txtExport")) SetWindowTextW(edit, WithCrLf(text).c_str());
  }
  SetStatic("lblExportMessage", message, true);
  SetShown("lblExportMessage", !message.empty());
}

void Win32TimingsWindow::ShowLinks(const TextTable& dataRates, const TextTable& links) {
  const HWND rates = Control("tblDataRates");
  const LRESULT rows = SendMessageW(rates, LVM_GETITEMCOUNT, 0, 0);
  FillTable(rates, dataRates);
  FillTable(Control("tblLinks"), links);
  if (SendMessageW(rates, LVM_GETITEMCOUNT, 0, 0) != rows) Relayout();  // the data rates show whole
}

bool Win32TimingsWindow::LinksShown() const { return outputTab_ == 1; }

HWND Win32TimingsWindow::CommandControl(TimingsCommand control) const {
  switch (control) {
    case TimingsCommand::cmdCopy:
      return Control("cmdCopy");
    case TimingsCommand::cmdSaveEdid:
      return Control("cmdSaveEdid");
    case TimingsCommand::cmdUseInCalculator:
      return Control("cmdUseInCalculator");
    case TimingsCommand::chkCvtVideoOptimized:
      return checks_[static_cast<std::size_t>(TimingsCheck::chkCvtVideoOptimized)];
    case TimingsCommand::txtCvtHBlank:
      return edits_[static_cast<std::size_t>(TimingsText::txtCvtHBlank)];
    case TimingsCommand::txtCvtVBlank:
      return edits_[static_cast<std::size_t>(TimingsText::txtCvtVBlank)];
    case TimingsCommand::chkCvtEarlyVsync:
      return checks_[static_cast<std::size_t>(TimingsCheck::chkCvtEarlyVsync)];
    case TimingsCommand::cmdEdidPrefer:
    case TimingsCommand::cmdEdidAdd:
    case TimingsCommand::cmdEdidRemove:
    case TimingsCommand::cmdEdidRevert:
    case TimingsCommand::cmdEdidRange:
    case TimingsCommand::cmdEdidName:
    case TimingsCommand::cmdEdidInstall:
      return Control(EdidCommandOf(control).name);
  }
  return nullptr;
}

void Win32TimingsWindow::SetEnabled(TimingsCommand control, bool enabled) {
  enabled_[control] = enabled;  // for a control not made yet
  if (const HWND hwnd = CommandControl(control)) EnableWindow(hwnd, enabled ? TRUE : FALSE);
}

void Win32TimingsWindow::ShowFieldRates(bool cvt, bool gtf) {
  fieldRates_ = {cvt, gtf};
  if (Control("lblCvtRate") != nullptr) SetStatic("lblCvtRate", cvt ? "&Field rate:" : "&Rate:", false);
  if (const HWND given = combos_[static_cast<std::size_t>(TimingsChoice::cmbGtfInput)]) {
    const std::wstring first = Wide(gtf ? std::string_view("Field rate (Hz)") : kGtfInputItems.front());
    wchar_t held[64] = {};
    if (SendMessageW(given, CB_GETLBTEXTLEN, 0, 0) < 64)
      SendMessageW(given, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(held));
    if (first == held) return;
    const auto selected = SendMessageW(given, CB_GETCURSEL, 0, 0);
    SendMessageW(given, CB_DELETESTRING, 0, 0);
    SendMessageW(given, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(first.c_str()));
    SendMessageW(given, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  }
}

void Win32TimingsWindow::ShowEdidProblem(std::string_view reason) {
  SetStatic("lblEdidProblem", reason, true);
  SetShown("lblEdidProblem", !reason.empty());
}

void Win32TimingsWindow::CopyToClipboard(std::string_view text) {
  // Unicode text with Windows line ends.
  const std::wstring wide = WithCrLf(text);
  if (!OpenClipboard(hwnd_)) return;
  EmptyClipboard();
  const SIZE_T bytes = (wide.size() + 1) * sizeof(wchar_t);
  if (const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* target = GlobalLock(memory)) {
      std::memcpy(target, wide.c_str(), bytes);
      GlobalUnlock(memory);
      if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

std::string Win32TimingsWindow::ClipboardText() const {
  std::string text;
  if (!OpenClipboard(hwnd_)) return text;
  if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = WithoutCr(wide);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

std::optional<std::string> Win32TimingsWindow::AskEdidPath(std::string_view suggestedName) {
  if (askSavePath_) return askSavePath_(suggestedName);
  return AskFile(hwnd_, "GetSaveFileNameW", L"Save EDID", L"EDID (*.bin)\0*.bin\0All files (*.*)\0*.*\0\0",
                 suggestedName, OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST);
}

std::optional<std::string> Win32TimingsWindow::AskEdidFile() {
  if (askOpenPath_) return askOpenPath_();
  return AskFile(hwnd_, "GetOpenFileNameW", L"Open EDID", L"EDID (*.bin;*.txt)\0*.bin;*.txt\0All files (*.*)\0*.*\0\0",
                 {}, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
}

bool Win32TimingsWindow::Confirm(std::string_view question) {
  if (confirm_) return confirm_(question);
  return MessageBoxW(hwnd_, Wide(question).c_str(), Wide(kTimingsCaption).c_str(),
                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void Win32TimingsWindow::Close() { ShowWindow(hwnd_, SW_HIDE); }

// The EDID's edits.

void Win32TimingsWindow::ShowEdidChanges(std::string_view text) {
  if (edidChanges_ == text) return;
  edidChanges_ = std::string(text);
  if (const HWND box = Control("lblEdidChanges")) FillEdidChanges(box);
}

void Win32TimingsWindow::FillEdidChanges(HWND box) const {
  SetWindowTextW(box, edidChanges_.empty() ? kNoEdits : WithCrLf(edidChanges_).c_str());
  // The latest change in sight.
  SendMessageW(box, EM_LINESCROLL, 0, SendMessageW(box, EM_GETLINECOUNT, 0, 0));
}

std::optional<int> Win32TimingsWindow::AskChoice(TimingsCommand control, const std::vector<std::string>& items) {
  if (askChoice_) return askChoice_(control, items);
  return MenuBelow(hwnd_, CommandControl(control), items, L"No other source gives a timing");
}

bool Win32TimingsWindow::ConfirmInstall(std::string_view question, std::string_view steps) {
  if (confirmInstall_) return confirmInstall_(question, steps);
  return AskToInstall(hwnd_, Wide(kTimingsCaption), question, steps);
}

void Win32TimingsWindow::Inform(std::string_view text) {
  if (inform_) {
    inform_(text);
    return;
  }
  MessageBoxW(hwnd_, WithCrLf(text).c_str(), Wide(kTimingsCaption).c_str(), MB_OK | MB_ICONINFORMATION);
}

void Win32TimingsWindow::RunAside(std::function<void()> work, std::function<void()> done) {
  const unsigned number = ++asideCount_;
  // Its end is posted to the window, which takes it once this has returned.
  std::thread thread([window = hwnd_, number, work = std::move(work)] {
    {
      const ThreadCom com;
      work();
    }
    PostMessageW(window, kAsideEnded, number, 0);
  });
  aside_.emplace(number, Aside{std::move(thread), std::move(done)});
}

void Win32TimingsWindow::EndAside(unsigned number) {
  const auto ended = aside_.find(number);
  if (ended == aside_.end()) return;
  ended->second.thread.join();
  const std::function<void()> done = std::move(ended->second.done);
  aside_.erase(ended);
  if (done) done();
}

}  // namespace zarn::forms::win32
