#pragma once

#include <windows.h>

#include <string>

#include "forms/layout/layout.h"

namespace zarn::forms::win32 {

// Dispatches the messages waiting, through the program's own key handling
// (Ctrl+T, Tab, access keys, Escape).
void Pump();
// The folder of the test program, with its final backslash.
std::string Folder();
// The window's inside as the screen shows it, as screenshots/NAME.bmp beside
// the test program (the frame is the window manager's, and Xvfb has none).
void SaveScreenshot(HWND window, const std::string& name);
// A control's box in its parent's inside, in pixels.
layout::Box LiveBox(HWND control);
std::string Describe(const layout::Box& b);

}  // namespace zarn::forms::win32
