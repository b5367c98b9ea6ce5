#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/timings/timing_figures.h"

namespace zarn::forms::win32 {

// What the Win32 Timings window does with its standard controls, apart from
// the window: panes that hold a frame's or a tab page's controls, lists and
// tables filled from texts, Windows line ends, the file dialogs and names for
// screen readers.

// Line ends as Windows texts have them, and back.
std::wstring WithCrLf(std::string_view text);
std::string WithoutCr(std::wstring_view wide);

// The window procedure of a pane's class: a plain child window that holds a
// frame's or a tab page's controls, draws the frame and its caption (framed)
// or the page's border, and passes its controls' notifications on to its
// top-level window. AttachPane gives a pane made of that class its caption.
LRESULT CALLBACK PaneProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void AttachPane(HWND pane, std::wstring title, bool framed);
// Changes a framed pane's caption; false when it had that caption already.
bool SetPaneTitle(HWND pane, const std::wstring& title);

// A multi-line edit that leaves Tab and Escape to the window, as one-line
// controls do.
void KeepDialogKeys(HWND edit);

// The name a screen reader gives the control, through the system's
// accessibility annotations where they are available.
void NameForScreenReaders(HWND control, const std::wstring& name);

// Fills a list box and selects a row (-1: none).
void FillListBox(HWND list, const std::vector<std::string>& items, int selected);
// Puts a table's texts into a report list view, the row names in its first
// column, changing only what differs.
void FillTable(HWND table, const TextTable& content);
// Each column of a list view as wide as its widest text, its header's
// included, in the font it has now.
void FitColumns(HWND table);

// The common file dialog (call: "GetSaveFileNameW" or "GetOpenFileNameW"),
// loaded when first asked for; the path in UTF-8, nullopt when cancelled.
std::optional<std::string> AskFile(HWND owner, const char* call, const wchar_t* title, const wchar_t* filter,
                                   std::string_view suggested, DWORD flags);

}  // namespace zarn::forms::win32
