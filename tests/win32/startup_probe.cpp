// Start-up time of a windowed program: from CreateProcess until a top-level
// window of the new process is visible (under Wine: mapped on the X display),
// then the window is closed and the next run starts. Programs are taken in
// turn, run after run, so that both see the same conditions.
//
//     zarn_startup_probe RUNS PROGRAM.exe [PROGRAM.exe ...]
//
// Prints, for each program, the median and the fastest run in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD process;
  HWND found;
};

BOOL CALLBACK FindShown(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// Milliseconds to the shown window, or a negative number on failure.
double RunOnce(const std::wstring& program) {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER start{};
  LARGE_INTEGER now{};
  QueryPerformanceFrequency(&frequency);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + program + L"\"";
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  Search search{process.dwProcessId, nullptr};
  double elapsed = -1;
  // Up to 20 seconds.
  for (;;) {
    EnumWindows(&FindShown, reinterpret_cast<LPARAM>(&search));
    QueryPerformanceCounter(&now);
    const double ms =
        1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    if (search.found != nullptr) {
      elapsed = ms;
      break;
    }
    if (ms > 20000) break;
    Sleep(1);
  }
  if (search.found != nullptr) PostMessageW(search.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fputs("usage: zarn_startup_probe RUNS PROGRAM.exe [PROGRAM.exe ...]\n", stderr);
    return 2;
  }
  const int runs = std::max(1, _wtoi(argv[1]));
  std::vector<std::vector<double>> times(static_cast<std::size_t>(argc - 2));
  for (int run = 0; run < runs; ++run) {
    for (int p = 2; p < argc; ++p) {
      const double ms = RunOnce(argv[p]);
      if (ms < 0) {
        std::fwprintf(stderr, L"zarn_startup_probe: %ls showed no window\n", argv[p]);
        return 1;
      }
      times[static_cast<std::size_t>(p - 2)].push_back(ms);
    }
  }
  for (int p = 2; p < argc; ++p) {
    std::vector<double>& t = times[static_cast<std::size_t>(p - 2)];
    std::sort(t.begin(), t.end());
    std::wprintf(L"%ls: median %.1f ms, fastest %.1f ms (%d runs)\n", argv[p], t[t.size() / 2], t.front(), runs);
  }
  return 0;
}
