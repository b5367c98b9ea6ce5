#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarn::forms::win32 {

// The menus and dialogs the Timings window asks its EDID questions with, and
// what its work on another thread needs.

// A menu of items below a control (above it where the screen has no room
// below; at the mouse without one): the index of the item chosen, nullopt
// for none. Without items, one greyed item says none.
std::optional<int> MenuBelow(HWND owner, HWND control, const std::vector<std::string>& items, const wchar_t* none);

// Asks whether to install an EDID, the steps shown below the question:
// Install (with the shield of the administrator's rights) or Cancel, which
// is the default. A task dialog where the system has one, else a message box
// (OK to install). True to install.
bool AskToInstall(HWND owner, const std::wstring& title, std::string_view question, std::string_view steps);

// COM for the thread it is made on, as long as it lives: the shell's calls
// there need it (the User Account Control prompt is asked for through the
// shell). ole32 is loaded only then.
class ThreadCom {
 public:
  ThreadCom();
  ~ThreadCom();
  ThreadCom(const ThreadCom&) = delete;
  ThreadCom& operator=(const ThreadCom&) = delete;

 private:
  HMODULE ole_ = nullptr;
  bool started_ = false;
};

}  // namespace zarn::forms::win32
