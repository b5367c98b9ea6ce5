#include "forms/win32/timings_prompts.h"

#include <commctrl.h>

#include "forms/win32/timings_controls.h"
#include "forms/win32/window_kit.h"

// After the program's headers: COM's macros ("interface") would stand in
// their way.
#include <objbase.h>

namespace zarn::forms::win32 {
namespace {

// A menu item's or a task dialog's text: its ampersands shown, not taken for
// access keys (a monitor's instance on Windows is "5&2b5e4d8&0&UID4352").
std::wstring MenuText(std::string_view text) {
  std::wstring item;
  for (const wchar_t c : Wide(text)) {
    if (c == L'&') item += L'&';
    item += c;
  }
  return item;
}

// The task dialog's Install button carries the shield of the rights it asks
// for.
constexpr int kInstallButton = 100;
HRESULT CALLBACK ShieldInstall(HWND dialog, UINT notice, WPARAM /*wParam*/, LPARAM /*lParam*/, LONG_PTR /*data*/) {
  if (notice == TDN_CREATED) SendMessageW(dialog, TDM_SET_BUTTON_ELEVATION_REQUIRED_STATE, kInstallButton, TRUE);
  return S_OK;
}

template <typename Call>
Call Function(HMODULE module, const char* name) {
  return module == nullptr ? nullptr : reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

std::optional<int> MenuBelow(HWND owner, HWND control, const std::vector<std::string>& items, const wchar_t* none) {
  const HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return std::nullopt;
  for (std::size_t i = 0; i < items.size(); ++i) AppendMenuW(menu, MF_STRING, i + 1, MenuText(items[i]).c_str());
  if (items.empty()) AppendMenuW(menu, MF_STRING | MF_GRAYED, 0, none);
  RECT below{};
  if (control != nullptr) {
    GetWindowRect(control, &below);
  } else {
    POINT mouse{};
    GetCursorPos(&mouse);
    below = {mouse.x, mouse.y, mouse.x, mouse.y};
  }
  // The control stays uncovered: the menu goes below it, or above.
  TPMPARAMS uncovered{sizeof uncovered, below};
  const BOOL chosen = TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL,
                                       below.left, below.bottom, owner, &uncovered);
  DestroyMenu(menu);
  if (chosen <= 0 || static_cast<std::size_t>(chosen) > items.size()) return std::nullopt;
  return chosen - 1;
}

bool AskToInstall(HWND owner, const std::wstring& title, std::string_view question, std::string_view steps) {
  const std::wstring content = WithCrLf(steps);
  // The task dialog is in the common controls of version 6, which the
  // program's manifest asks for.
  using TaskDialog = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);
  if (const auto taskDialog = Function<TaskDialog>(GetModuleHandleW(L"comctl32.dll"), "TaskDialogIndirect")) {
    const std::wstring instruction = MenuText(question);
    const std::wstring shownContent = MenuText(Utf8(content));
    const TASKDIALOG_BUTTON install{kInstallButton, L"&Install"};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = owner;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
    config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
    config.pszWindowTitle = title.c_str();
    config.pszMainIcon = TD_SHIELD_ICON;
    config.pszMainInstruction = instruction.c_str();
    config.pszContent = shownContent.c_str();
    config.cButtons = 1;
    config.pButtons = &install;
    config.nDefaultButton = IDCANCEL;
    config.pfCallback = &ShieldInstall;
    int pressed = IDCANCEL;
    if (SUCCEEDED(taskDialog(&config, &pressed, nullptr, nullptr))) return pressed == kInstallButton;
  }
  // A message box shows its text as it is.
  const std::wstring text = Wide(question) + L"\r\n\r\n" + content + L"\r\n\r\nChoose OK to install.";
  return MessageBoxW(owner, text.c_str(), title.c_str(), MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) == IDOK;
}

ThreadCom::ThreadCom() : ole_(LoadLibraryW(L"ole32.dll")) {
  using Initialize = HRESULT(WINAPI*)(void*, DWORD);
  const auto initialize = Function<Initialize>(ole_, "CoInitializeEx");
  started_ = initialize != nullptr && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

ThreadCom::~ThreadCom() {
  using Uninitialize = void(WINAPI*)();
  if (const auto uninitialize = Function<Uninitialize>(ole_, "CoUninitialize"); started_ && uninitialize != nullptr) {
    uninitialize();
  }
  if (ole_ != nullptr) FreeLibrary(ole_);
}

}  // namespace zarn::forms::win32
