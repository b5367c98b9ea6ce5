// Zarn.exe: the calculator with the standard Win32 controls; --timings opens
// the Timings window beside it.
#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string_view>

#include "app/app_info.h"
#include "forms/about/app_properties.h"
#include "forms/timings/edid_installer.h"
#include "forms/win32/about_window.h"
#include "forms/win32/main_window.h"
#include "forms/win32/timings_window.h"
#include "platform/programs.h"
#include "platform/win32/win32_services.h"

namespace {

bool AsksForTimings() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  bool timings = false;
  for (int i = 1; arguments != nullptr && i < count; ++i) {
    timings = timings || std::wstring_view(arguments[i]) == L"--timings";
  }
  LocalFree(arguments);
  return timings;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show) {
  namespace win32 = zarn::forms::win32;
  zarn::platform::Win32Services platform;
  const zarn::forms::AppProperties properties{zarn::app::kTitle, zarn::app::kVersionMajor, zarn::app::kVersionMinor,
                                              zarn::app::kVersionRevision};
  win32::Win32MainWindow frmMain(
      win32::UserNumberLocale(), [&] { return std::make_unique<win32::Win32AboutWindow>(properties, platform.Get()); },
      [](zarn::forms::CalculatorPort& calculator, const zarn::engine::NumberLocale& locale) {
        // EDIDs are installed by zarn-timing.exe, which comes beside Zarn.exe.
        auto window = std::make_unique<win32::Win32TimingsWindow>(
            calculator, locale, zarn::forms::TimingsController::MonitorLister{},
            std::make_shared<zarn::forms::CommandLineInstaller>(zarn::platform::ProgramBesideThisOne("zarn-timing")));
        window->Form_Load();
        return std::unique_ptr<win32::ToolWindow>(std::move(window));
      });
  frmMain.Form_Load();
  ShowWindow(frmMain.Handle(), show);
  UpdateWindow(frmMain.Handle());
  if (AsksForTimings()) frmMain.ShowTimings();
  return win32::RunMessageLoop();
}
