#include "forms/win32/main_window.h"

#include <commctrl.h>

#include <cwchar>
#include <utility>

#include "forms/main/main_layout.h"

namespace zarn::forms::win32 {
namespace {

constexpr wchar_t kClassName[] = L"ZarnCalculator";
constexpr int kFirstId = 100;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// The text of a field that does not read as a number: a deep red.
constexpr COLORREF kMarkRed = RGB(192, 0, 0);

void RegisterClassOnce(HINSTANCE instance, WNDPROC procedure) {
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
}

}  // namespace

Win32MainWindow::Win32MainWindow(engine::NumberLocale locale, AboutFactory aboutFactory, TimingsFactory timingsFactory)
    : controller_(*this, std::move(locale)),
      aboutFactory_(std::move(aboutFactory)),
      timingsFactory_(std::move(timingsFactory)) {
  INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&common);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterClassOnce(instance, &Procedure);
  const std::wstring caption = Wide(kMainLayout.caption);
  hwnd_ = CreateWindowExW(0, kClassName, caption.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr,
                          nullptr, instance, this);
  dpi_ = WindowDpi(hwnd_);
  const SIZE outer = OuterSize(hwnd_, kMainLayout, dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  controls_ = CreateControls(hwnd_, kMainLayout, kFirstId, dpi_, fonts_);
  for (const TimingField field : engine::kAllTimingFields) {
    const HWND edit = Control(engine::FieldInfo(field).name);
    edits_[static_cast<std::size_t>(field)] = edit;
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // no limit: a pasted text is never cut
  }
  list_ = Control("cmbMode");
  caption_ = Control("lblHorizontalFrequency");
  SetFocus(Field(TimingField::txtHorActive));
  // Only now: putting the design-time texts in place raised nothing.
  wired_ = true;
}

Win32MainWindow::~Win32MainWindow() {
  wired_ = false;
  timings_.reset();
  if (hwnd_ != nullptr && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

HWND Win32MainWindow::Control(std::string_view name) const {
  const LiveControl* live = FindLive(controls_, name);
  return live != nullptr ? live->hwnd : nullptr;
}

LRESULT CALLBACK Win32MainWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (self->hwnd_ == nullptr) self->hwnd_ = hwnd;
  return self->Handle(message, wParam, lParam);
}

LRESULT Win32MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam != 0) {
        Command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      } else if (LOWORD(wParam) == kTimingsCommand) {
        ShowTimings();  // Ctrl+T or the menu
      }
      return 0;
    case WM_CONTEXTMENU:
      ShowBackgroundMenu(reinterpret_cast<HWND>(wParam), lParam);
      return 0;
    case WM_LBUTTONDOWN: {
      // A click on a text box's border goes to the text box.
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      for (const TimingField field : engine::kAllTimingFields) {
        const layout::Box box =
            layout::PixelBox(kMainLayout, layout::Get(kMainLayout, engine::FieldInfo(field).name), dpi_);
        if (at.x >= box.left && at.x < box.left + box.width && at.y >= box.top && at.y < box.top + box.height) {
          SetFocus(Field(field));
          SendMessageW(Field(field), EM_SETSEL, 0, -1);
        }
      }
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      const HDC dc = BeginPaint(hwnd_, &paint);
      PaintTextBoxBorders(dc, kMainLayout, dpi_);
      EndPaint(hwnd_, &paint);
      return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      const auto control = reinterpret_cast<HWND>(lParam);
      bool marked = false;
      for (std::size_t i = 0; i < edits_.size(); ++i) marked = marked || (edits_[i] == control && marked_[i]);
      return ControlColours(controls_, control, reinterpret_cast<HDC>(wParam), message, kMarkRed, marked);
    }
    case WM_DPICHANGED:
      ApplyDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_ACTIVATE:
      // The control that had the focus gets it back when the window is
      // active again, as in a dialog.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
      } else if (focus_ != nullptr && IsWindow(focus_)) {
        SetFocus(focus_);
        return 0;
      }
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

void Win32MainWindow::Command(HWND control, int code) {
  if (!wired_) return;
  if (code == EN_CHANGE) {
    // Every real change of a text box's text, typed or written.
    for (const TimingField field : engine::kAllTimingFields) {
      if (Field(field) != control) continue;
      controller_.FieldChanged(field);
      return;
    }
  } else if (control == list_ && code == CBN_SELCHANGE) {
    // The list also reports moving onto the item already selected.
    const int index = ModeIndex();
    if (index == listIndex_) return;
    listIndex_ = index;
    controller_.cmbMode_Click();
  } else if (code == BN_CLICKED) {
    if (control == Control("cmdRefreshToPixel")) controller_.cmdRefreshToPixel_Click();
    if (control == Control("cmdPixelToRate")) controller_.cmdPixelToRate_Click();
    if (control == Control("cmdAboutZarn")) controller_.cmdAboutZarn_Click();
  }
}

void Win32MainWindow::ApplyDpi(int dpi, const RECT* suggested) {
  dpi_ = dpi;
  PlaceControls(hwnd_, kMainLayout, controls_, dpi_, fonts_);
  const SIZE outer = OuterSize(hwnd_, kMainLayout, dpi_);
  const int left = suggested != nullptr ? suggested->left : 0;
  const int top = suggested != nullptr ? suggested->top : 0;
  SetWindowPos(hwnd_, nullptr, left, top, outer.cx, outer.cy,
               SWP_NOZORDER | SWP_NOACTIVATE | (suggested != nullptr ? 0 : SWP_NOMOVE));
}

std::string Win32MainWindow::FieldText(TimingField field) const { return WindowText(Field(field)); }

void Win32MainWindow::SetFieldText(TimingField field, std::string_view text) {
  // Writing the text a field already holds raises nothing and keeps the
  // user's cursor; any other write raises EN_CHANGE, which runs the handler.
  const HWND edit = Field(field);
  if (WindowText(edit) == text) return;
  SetWindowTextUtf8(edit, text);
}

void Win32MainWindow::SetFieldInvalid(TimingField field, bool invalid, std::string_view hint) {
  const auto i = static_cast<std::size_t>(field);
  const HWND edit = Field(field);
  std::wstring tip = invalid ? Wide(hint) : std::wstring();
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(edit);
  if (marked_[i] == invalid && !invalid) return;  // the common case: every keystroke asks
  marked_[i] = invalid;
  if (tips_ == nullptr) {
    // Made on first need: a tooltip window is a top-level window, which
    // costs start-up time.
    tips_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  SendMessageW(tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (invalid) {
    tool.lpszText = tip.data();
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  InvalidateRect(edit, nullptr, TRUE);
}

std::string Win32MainWindow::FieldTip(TimingField field) const {
  if (tips_ == nullptr) return {};
  std::wstring text(1024, L'\0');
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(Field(field));
  tool.lpszText = text.data();
  if (SendMessageW(tips_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)) == FALSE) return {};
  tool.lpszText = text.data();
  SendMessageW(tips_, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
  text.resize(std::wcslen(text.c_str()));
  return Utf8(text);
}

int Win32MainWindow::ModeIndex() const { return static_cast<int>(SendMessageW(list_, CB_GETCURSEL, 0, 0)); }

void Win32MainWindow::SelectMode(int index) {
  // CB_SETCURSEL notifies nothing: the handler runs here, and only for a
  // change of index.
  if (index == ModeIndex()) return;
  SendMessageW(list_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  listIndex_ = ModeIndex();
  if (wired_) controller_.cmbMode_Click();
}

void Win32MainWindow::ClearModes() {
  SendMessageW(list_, CB_RESETCONTENT, 0, 0);
  listIndex_ = -1;
}

void Win32MainWindow::AddMode(std::string_view itemText) {
  // Adding selects nothing.
  const std::wstring text = Wide(itemText);
  SendMessageW(list_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Win32MainWindow::SetHorizontalFrequencyCaption(std::string_view caption) { SetLabelText(caption_, caption); }

void Win32MainWindow::ShowAbout() {
  if (!about_) {
    if (!aboutFactory_) return;
    about_ = aboutFactory_();
  }
  about_->ShowModal(hwnd_);
}

void Win32MainWindow::ShowTimings() {
  if (!timings_) {
    if (!timingsFactory_) return;
    timings_ = timingsFactory_(controller_, controller_.Locale());
  }
  timings_->ShowBeside(hwnd_);
}

void Win32MainWindow::ShowBackgroundMenu(HWND under, LPARAM where) {
  // Labels and frames are the background; the text boxes, the list and the
  // buttons keep their own menus or none.
  if (under != hwnd_) {
    const LiveControl* live = nullptr;
    for (const LiveControl& control : controls_) {
      if (control.hwnd == under) live = &control;
    }
    if (live == nullptr) return;
    const layout::Kind kind = live->control->kind;
    if (kind != layout::Kind::Label && kind != layout::Kind::Frame) return;
  }
  POINT at{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
  if (where == -1) {
    // From the keyboard: at the window's top-left corner.
    at = {0, 0};
    ClientToScreen(hwnd_, &at);
  }
  const HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kTimingsCommand, L"Standard &Timings\u2026\tCtrl+T");
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
  DestroyMenu(menu);
}

bool PreTranslate(MSG& message) {
  const HWND top = GetAncestor(message.hwnd, GA_ROOT);
  if (top == nullptr) return false;
  // Ctrl+T wherever the focus is in the calculator.
  static const HACCEL keys = [] {
    ACCEL timings{FCONTROL | FVIRTKEY, 'T', Win32MainWindow::kTimingsCommand};
    return CreateAcceleratorTableW(&timings, 1);
  }();
  wchar_t className[32] = {};
  GetClassNameW(top, className, 32);
  if (std::wcscmp(className, kClassName) == 0 && TranslateAcceleratorW(top, keys, &message)) return true;
  return IsDialogMessageW(top, &message) != FALSE;
}

int RunMessageLoop() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (PreTranslate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace zarn::forms::win32
