// Zarn.exe: the calculator with the standard Win32 controls.
#include <windows.h>

#include <memory>

#include "app/app_info.h"
#include "forms/about/app_properties.h"
#include "forms/win32/about_window.h"
#include "forms/win32/main_window.h"
#include "platform/win32/win32_services.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show) {
  namespace win32 = zarn::forms::win32;
  zarn::platform::Win32Services platform;
  const zarn::forms::AppProperties properties{zarn::app::kTitle, zarn::app::kVersionMajor, zarn::app::kVersionMinor,
                                              zarn::app::kVersionRevision};
  win32::Win32MainWindow frmMain(win32::UserNumberLocale(),
                                 [&] { return std::make_unique<win32::Win32AboutWindow>(properties, platform.Get()); });
  frmMain.Form_Load();
  ShowWindow(frmMain.Handle(), show);
  UpdateWindow(frmMain.Handle());
  return win32::RunMessageLoop();
}
