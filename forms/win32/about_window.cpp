#include "forms/win32/about_window.h"

#include <utility>

#include "forms/about/about_layout.h"

namespace zarn::forms::win32 {
namespace {

constexpr wchar_t kClassName[] = L"ZarnAbout";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
// Control ids follow the table, except OK, which is the dialog's own IDOK.
constexpr int kFirstId = 100;

const LPCWSTR kArrow = MAKEINTRESOURCEW(32512);  // IDC_ARROW
const LPCWSTR kHand = MAKEINTRESOURCEW(32649);   // IDC_HAND

}  // namespace

Win32AboutWindow::Win32AboutWindow(AppProperties properties, platform::Services services)
    : launcher_(services.registry, services.programs, services.files, services.messages, properties.title),
      controller_(*this, std::move(properties), services.shell, launcher_) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (!GetClassInfoExW(instance, kClassName, &existing)) {
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = &Procedure;
    description.hInstance = instance;
    description.hCursor = nullptr;  // WM_SETCURSOR chooses
    description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    description.lpszClassName = kClassName;
    RegisterClassExW(&description);
  }
  picture_ = static_cast<HBITMAP>(
      LoadImageW(instance, MAKEINTRESOURCEW(kPictureResource), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

Win32AboutWindow::~Win32AboutWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (picture_ != nullptr) DeleteObject(picture_);
}

HWND Win32AboutWindow::Control(std::string_view name) const {
  const LiveControl* live = FindLive(controls_, name);
  return live != nullptr ? live->hwnd : nullptr;
}

void Win32AboutWindow::ShowModal(HWND owner) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const std::wstring caption = Wide(kAboutLayout.caption);
  hwnd_ =
      CreateWindowExW(kExStyle, kClassName, caption.c_str(), kStyle, 0, 0, 100, 100, owner, nullptr, instance, this);
  dpi_ = WindowDpi(owner != nullptr ? owner : hwnd_);
  controls_ = CreateControls(hwnd_, kAboutLayout, kFirstId, dpi_, fonts_);
  const HWND ok = Control("cmdOK");
  SetWindowLongPtrW(ok, GWLP_ID, IDOK);
  SendMessageW(ok, BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
  SendMessageW(Control("picIcon"), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_));
  SetMousePointer(MousePointer::Default);
  open_ = true;
  controller_.Form_Load();

  // Centred on the work area of the owner's monitor, frame included.
  const SIZE outer = OuterSize(hwnd_, kAboutLayout, dpi_);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& area = monitor.rcWork;
  SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - outer.cx) / 2,
               area.top + (area.bottom - area.top - outer.cy) / 2, outer.cx, outer.cy, SWP_NOZORDER);

  const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetFocus(ok);
  MSG message{};
  while (open_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
      break;
    }
    if (IsDialogMessageW(hwnd_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // The owner is enabled before this window goes, so that it gets the
  // activation back.
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  open_ = false;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  controls_.clear();
}

LRESULT CALLBACK Win32AboutWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32AboutWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (self->hwnd_ == nullptr) self->hwnd_ = hwnd;
  return self->Handle(message, wParam, lParam);
}

LRESULT Win32AboutWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      const auto control = reinterpret_cast<HWND>(lParam);
      if (id == IDOK || id == IDCANCEL) {
        // Enter presses OK, the default button; Escape is OK's key as the
        // cancel button and runs the same handler.
        controller_.cmdOK_Click();
      } else if (code == BN_CLICKED && control == Control("cmdSysInfo")) {
        controller_.cmdSysInfo_Click();
      } else if (code == STN_CLICKED && control == Control("lblEmail")) {
        controller_.lblEmail_Click();
      } else if (code == STN_CLICKED && control == Control("lblDescription")) {
        controller_.lblDescription_Click();
      }
      return 0;
    }
    case WM_SETCURSOR: {
      // The window's pointer covers its controls too; moving over a link
      // turns it into the hand, over the bare background back to the arrow.
      if (HIWORD(lParam) == WM_MOUSEMOVE) {
        const auto under = reinterpret_cast<HWND>(wParam);
        if (under == Control("lblEmail")) {
          controller_.lblEmail_MouseMove();
        } else if (under == Control("lblDescription")) {
          controller_.lblDescription_MouseMove();
        } else if (under == hwnd_ && LOWORD(lParam) == HTCLIENT) {
          controller_.Form_MouseMove();
        }
      }
      if (LOWORD(lParam) != HTCLIENT) return DefWindowProcW(hwnd_, message, wParam, lParam);
      SetCursor(LoadCursorW(nullptr, pointer_ == MousePointer::Custom ? kHand : kArrow));
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ControlColours(controls_, reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), message, 0,
                            false);
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      const HDC dc = BeginPaint(hwnd_, &paint);
      PaintRules(dc, kAboutLayout, dpi_);
      EndPaint(hwnd_, &paint);
      return 0;
    }
    case WM_DPICHANGED: {
      dpi_ = LOWORD(wParam);
      PlaceControls(hwnd_, kAboutLayout, controls_, dpi_, fonts_);
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      const SIZE outer = OuterSize(hwnd_, kAboutLayout, dpi_);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, outer.cx, outer.cy, SWP_NOZORDER);
      return 0;
    }
    case WM_CLOSE:
      Unload();
      return 0;
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

void Win32AboutWindow::SetCaption(std::string_view caption) { SetWindowTextUtf8(hwnd_, caption); }

void Win32AboutWindow::SetVersionCaption(std::string_view caption) { SetLabelText(Control("lblVersion"), caption); }

void Win32AboutWindow::SetTitleCaption(std::string_view caption) { SetLabelText(Control("lblTitle"), caption); }

void Win32AboutWindow::SetMousePointer(MousePointer pointer) { pointer_ = pointer; }

void Win32AboutWindow::Unload() {
  // Ends the modal loop; ShowModal destroys the window.
  open_ = false;
  PostMessageW(nullptr, WM_NULL, 0, 0);
}

}  // namespace zarn::forms::win32
