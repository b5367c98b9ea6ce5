// The Win32 Timings window, opened from the real calculator and driven as a
// user would: Ctrl+T, typing in the filter, Copy, "Save EDID...", "Use in
// Calculator", Tab and Escape; its layout read back from the live controls
// at 96 and 144 dpi, and a picture of every source at both.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "forms/timings/timings_layout.h"
#include "forms/win32/main_window.h"
#include "forms/win32/timings_window.h"
#include "forms/win32/window_kit.h"
#include "modes/dmt.h"
#include "modes/edid_reader.h"
#include "platform/safe_file.h"
#include "window_test_support.h"

namespace zarn::forms::win32 {
namespace {

// The calculator with its Timings window made as Zarn.exe makes it, but on a
// monitor from the corpus and with the file dialogs and questions answered.
struct Opened {
  std::unique_ptr<Win32MainWindow> calculator;
  Win32TimingsWindow* timings = nullptr;
  int made = 0;
  std::optional<std::string> savePath;
  std::vector<std::string> questions;

  Opened() {
    calculator = std::make_unique<Win32MainWindow>(
        engine::NumberLocale{"."}, Win32MainWindow::AboutFactory{},
        [this](CalculatorPort& port, const engine::NumberLocale& locale) {
          ++made;
          auto window = std::make_unique<Win32TimingsWindow>(port, locale, [] {
            const auto edid =
                platform::ReadFileStart(ZARN_TEST_DATA_DIR "/edid/Digital_Dell_DELD177_2ED7B8624A8A.bin", 1024);
            return std::vector<platform::MonitorEdid>{
                {"DELD177", "DISPLAY\\DELD177", std::vector<std::uint8_t>(edid->begin(), edid->end())}};
          });
          window->SetSavePathAsker([this](std::string_view) { return savePath; });
          window->SetConfirmer([this](std::string_view question) {
            questions.emplace_back(question);
            return true;
          });
          window->Form_Load();
          timings = window.get();
          return std::unique_ptr<ToolWindow>(std::move(window));
        });
    calculator->Form_Load();
    ShowWindow(calculator->Handle(), SW_SHOW);
    Pump();
  }

  HWND Control(std::string_view name) const { return timings->Control(name); }
  void Type(std::string_view name, const std::string& text) const {
    const HWND edit = Control(name);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (const char c : text) SendMessageW(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
    Pump();
  }
  // A tab of the exports and links chosen as by the mouse.
  void ChooseTab(int tab) const {
    const HWND tabs = Control("tabOutput");
    SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    NMHDR notice{tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(timings->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notice));
    Pump();
  }
  // A list's item chosen as by the mouse: the selection, then its notice.
  void Choose(std::string_view name, int index) const {
    const HWND list = Control(name);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    Pump();
  }
  void Click(std::string_view name) const {
    SendMessageW(Control(name), BM_CLICK, 0, 0);
    Pump();
  }
};

// Keys as the keyboard sends them, to the window with the focus.
void Keys(std::initializer_list<WORD> down, WORD key) {
  std::vector<INPUT> inputs;
  const auto add = [&](WORD code, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = code;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  for (const WORD modifier : down) add(modifier, false);
  add(key, false);
  add(key, true);
  for (const WORD modifier : down) add(modifier, true);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  for (int i = 0; i < 10; ++i) {
    Sleep(20);
    Pump();
  }
}

std::string Clipboard() {
  std::wstring text;
  if (OpenClipboard(nullptr)) {
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
  }
  return Utf8(text);
}

// What a program prints, run to its end.
std::string Output(std::wstring commandLine) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  CreatePipe(&read, &write, &inherit, 0);
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write;
  startup.hStdError = write;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process)) {
    return "cannot start " + Utf8(commandLine);
  }
  CloseHandle(write);
  std::string out;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  CloseHandle(read);
  return out;
}

int FormatIndex(std::string_view id) {
  const auto formats = WindowFormats();
  for (std::size_t i = 0; i < formats.size(); ++i) {
    if (formats[i]->name == id) return static_cast<int>(i);
  }
  return -1;
}

// Picks the first item of the menu shown, from inside its own loop.
void CALLBACK PickFromMenu(HWND /*window*/, UINT /*message*/, UINT_PTR timer, DWORD /*time*/) {
  const HWND menu = FindWindowW(L"#32768", nullptr);
  if (menu == nullptr || !IsWindowVisible(menu)) return;
  KillTimer(nullptr, timer);
  PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
}

TEST(Win32TimingsWindow, OpensOnceBesideTheCalculatorAndWorksItsSources) {
  Opened o;
  // "Standard Timings..." in the menu of a right click on the background,
  // then Ctrl+T in the calculator, twice: one window, beside it.
  RECT frame{};
  GetWindowRect(o.calculator->Handle(), &frame);
  SetTimer(nullptr, 0, 20, &PickFromMenu);
  SendMessageW(o.calculator->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(o.calculator->Handle()),
               MAKELPARAM(frame.left + 4, frame.bottom - 4));
  Pump();
  ASSERT_NE(o.timings, nullptr) << "the background's menu opened no window";
  EXPECT_TRUE(IsWindowVisible(o.timings->Handle()));
  o.timings->Close();
  SetForegroundWindow(o.calculator->Handle());
  SetFocus(o.calculator->Field(engine::TimingField::txtHorActive));
  Keys({VK_CONTROL}, 'T');
  EXPECT_TRUE(IsWindowVisible(o.timings->Handle())) << "Ctrl+T";
  EXPECT_EQ(WindowText(o.timings->Handle()), "Zarn Timings");
  RECT calculator{};
  RECT timings{};
  GetWindowRect(o.calculator->Handle(), &calculator);
  GetWindowRect(o.timings->Handle(), &timings);
  EXPECT_TRUE(timings.left >= calculator.right || timings.right <= calculator.left) << "beside, not over it";
  SetForegroundWindow(o.calculator->Handle());
  SetFocus(o.calculator->Field(engine::TimingField::txtHorActive));
  Keys({VK_CONTROL}, 'T');
  EXPECT_EQ(o.made, 1);

  // DMT 0x24 by typing in the filter; Copy gives what zarn-timing prints.
  EXPECT_EQ(o.timings->Choice(TimingsChoice::cmbSource), static_cast<int>(TimingSource::Dmt));
  o.Type("txtFilter", "0x24");
  EXPECT_EQ(WindowText(o.Control("lblSourceName")), "DMT 0x24");
  o.Choose("cmbFormat", FormatIndex("modeline"));
  o.Click("cmdCopy");
  std::string printed = Output(L"\"" + Wide(ZARN_TIMING_EXE) + L"\" dmt 0x24 --format modeline");
  while (!printed.empty() && (printed.back() == '\n' || printed.back() == '\r')) printed.pop_back();
  EXPECT_EQ(Clipboard(), printed);
  EXPECT_NE(printed.find("Modeline"), std::string::npos) << printed;

  // "Save EDID..." to a name in several scripts; the file read back holds the
  // same mode.
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::string path =
      Utf8(temp) + "zarn \xCE\xA9 \xE6\x99\x82 \xD0\x96 " + std::to_string(GetCurrentProcessId()) + ".bin";
  o.savePath = path;
  o.Click("cmdSaveEdid");
  const auto saved = platform::ReadFileStart(path, 4096);
  ASSERT_TRUE(saved.ok()) << saved.error();
  EXPECT_EQ(saved->size(), 128u);
  const auto decoded = modes::DecodeEdid(std::vector<std::uint8_t>(saved->begin(), saved->end()));
  ASSERT_TRUE(decoded.ok()) << decoded.error();
  ASSERT_FALSE(decoded->timings.empty());
  modes::DisplayTiming expected = *modes::DmtTiming(0x24);
  modes::DisplayTiming got = decoded->timings.front().timing;
  expected.source = got.source = "";
  expected.aspect = got.aspect;
  EXPECT_EQ(got, expected);
  EXPECT_NE(WindowText(o.Control("lblExportMessage")).find("Saved the EDID (128 bytes)"), std::string::npos);
  // Opened again as the EDID source's file.
  o.Choose("cmbSource", static_cast<int>(TimingSource::Edid));
  o.timings->SetOpenPathAsker([&] { return std::optional<std::string>(path); });
  o.Click("cmdOpenEdid");
  EXPECT_EQ(WindowText(o.Control("lblEdidIdentity")).rfind(path + ": ", 0), 0u)
      << WindowText(o.Control("lblEdidIdentity"));
  EXPECT_EQ(SendMessageW(o.Control("lstEdidTimings"), LB_GETCOUNT, 0, 0),
            static_cast<LRESULT>(decoded->timings.size()));
  DeleteFileW(Wide(path).c_str());

  // CVT 1920x1080 at 60 Hz into the calculator: its fields are the mode xcvt
  // gives ("cvt 1920 1080 60": 173.00  1920 2048 2248 2576  1080 1083 1088 1120).
  o.Choose("cmbSource", static_cast<int>(TimingSource::Cvt));
  // Alt+W, the access key of "Width:", from elsewhere in the window.
  SetForegroundWindow(o.timings->Handle());
  SetFocus(o.Control("cmdClose"));
  Keys({VK_MENU}, 'W');
  EXPECT_EQ(GetFocus(), o.Control("txtCvtWidth"));
  Keys({}, VK_TAB);
  EXPECT_EQ(GetFocus(), o.Control("txtCvtHeight"));
  o.Click("cmdUseInCalculator");
  using F = engine::TimingField;
  const std::map<F, std::string> fields = {
      {F::txtHorActive, "1920"},  {F::txtHorFrontPorch, "128"}, {F::txtHorSync, "200"},
      {F::txtHorBlanking, "656"}, {F::txtVerActive, "1080"},    {F::txtVerFrontPorch, "3"},
      {F::txtVerSync, "5"},       {F::txtVerBlanking, "40"},    {F::txtFrequency, "173"}};
  for (const auto& [field, text] : fields) {
    EXPECT_EQ(WindowText(o.calculator->Field(field)), text) << engine::FieldInfo(field).name;
  }
  // The Calculator source follows the fields.
  o.Choose("cmbSource", static_cast<int>(TimingSource::Calculator));
  EXPECT_EQ(WindowText(o.Control("lblHTotal")), "2576");
  SetWindowTextW(o.calculator->Field(F::txtHorActive), L"2000");
  Pump();
  EXPECT_EQ(WindowText(o.Control("lblHTotal")), "2656");

  // The Links tables are filled once their tab shows.
  const HWND links = o.Control("tblLinks");
  EXPECT_EQ(SendMessageW(links, LVM_GETITEMCOUNT, 0, 0), 0);
  o.ChooseTab(1);
  EXPECT_GT(SendMessageW(links, LVM_GETITEMCOUNT, 0, 0), 4);

  // Escape closes (hides) it; Ctrl+T shows the same one again.
  SetForegroundWindow(o.timings->Handle());
  SetFocus(o.Control("cmbSource"));
  Keys({}, VK_ESCAPE);
  EXPECT_FALSE(IsWindowVisible(o.timings->Handle()));
  o.calculator->ShowTimings();
  EXPECT_TRUE(IsWindowVisible(o.timings->Handle()));
  EXPECT_EQ(o.made, 1);
  EXPECT_TRUE(o.questions.empty());
}

// Zarn.exe --timings shows the calculator and the Timings window.
TEST(Win32TimingsWindow, CommandLineOpensBothWindows) {
  std::wstring command = L"\"" + Wide(ZARN_EXE) + L"\" --timings";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(
      CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  const auto shown = [&](const wchar_t* className) {
    for (HWND found = FindWindowW(className, nullptr); found != nullptr;
         found = FindWindowExW(nullptr, found, className, nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(found, &owner);
      if (owner == process.dwProcessId && IsWindowVisible(found)) return found;
    }
    return HWND{};
  };
  HWND calculator = nullptr;
  HWND timings = nullptr;
  for (int waited = 0; waited < 20000 && (calculator == nullptr || timings == nullptr); waited += 50) {
    Sleep(50);
    calculator = shown(L"ZarnCalculator");
    timings = shown(L"ZarnTimings");
  }
  EXPECT_NE(calculator, nullptr);
  ASSERT_NE(timings, nullptr);
  EXPECT_EQ(WindowText(timings), "Zarn Timings");
  // Closing the calculator ends the program, the Timings window open or not.
  PostMessageW(calculator, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

// The access key of a control's caption, lower case; 0 for none.
wchar_t AccessKey(const std::string& text) {
  const std::size_t at = text.find('&');
  return at != std::string::npos && at + 1 < text.size() ? static_cast<wchar_t>(std::tolower(text[at + 1])) : 0;
}

// Whether a control shows on screen (it and every window it is in).
bool OnScreen(HWND control) { return IsWindowVisible(control) != FALSE; }

// Every source's page: the Tab order goes round the window through each
// control that shows, access keys are unique, no control is narrower or
// lower than its text, and none overlaps another; a picture at each
// resolution.
TEST(Win32TimingsWindow, EverySourceLaidOutAt96And144Dpi) {
  Opened o;
  o.calculator->ShowTimings();
  const HWND window = o.timings->Handle();
  for (const int dpi : {96, 144}) {
    if (dpi != o.timings->Dpi()) {
      RECT suggested{};
      GetWindowRect(window, &suggested);
      suggested.right = suggested.left + MulDiv(suggested.right - suggested.left, dpi, o.timings->Dpi());
      suggested.bottom = suggested.top + MulDiv(suggested.bottom - suggested.top, dpi, o.timings->Dpi());
      SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
      Pump();
    }
    ASSERT_EQ(o.timings->Dpi(), dpi);
    for (std::size_t s = 0; s < kSourceItems.size(); ++s) {
      o.Choose("cmbSource", static_cast<int>(s));
      const std::string page = std::string(kSourceItems[s]) + " at " + std::to_string(dpi) + " dpi";
      std::vector<std::pair<std::string_view, HWND>> shown;
      for (const auto& control : o.timings->Controls()) {
        if (OnScreen(control.second)) shown.push_back(control);
      }
      // Tab from the source list round to it again, in the order of the
      // window's description, through every control that takes the focus.
      std::vector<HWND> stops;
      for (const auto& [name, hwnd] : shown) {
        if ((GetWindowLongW(hwnd, GWL_STYLE) & (WS_TABSTOP | WS_DISABLED)) == WS_TABSTOP) stops.push_back(hwnd);
      }
      ASSERT_GT(stops.size(), 8u) << page;
      HWND focus = o.Control("cmbSource");
      std::vector<HWND> visited;
      do {
        visited.push_back(focus);
        focus = GetNextDlgTabItem(window, focus, FALSE);
      } while (focus != o.Control("cmbSource") && visited.size() < 200);
      // Each has a name for screen readers of its own.
      std::map<std::string, std::string_view> names;
      for (const auto& [name, hwnd] : shown) {
        if (std::find(stops.begin(), stops.end(), hwnd) == stops.end()) continue;
        const std::string spoken = o.timings->AccessibleName(hwnd);
        EXPECT_FALSE(spoken.empty()) << name << ", " << page;
        EXPECT_TRUE(names.emplace(spoken, name).second)
            << name << " and " << names[spoken] << " are both \"" << spoken << "\", " << page;
      }
      std::set<HWND> expected(stops.begin(), stops.end());
      EXPECT_EQ(std::set<HWND>(visited.begin(), visited.end()), expected) << page;
      EXPECT_EQ(visited.size(), expected.size()) << page;
      EXPECT_EQ(visited.back(), o.Control("cmdClose")) << page;

      std::map<wchar_t, std::string_view> keys;
      for (const auto& [name, hwnd] : shown) {
        const std::string text = WindowText(hwnd);
        const RECT box = [&] {
          RECT r{};
          GetWindowRect(hwnd, &r);
          return r;
        }();
        RECT parent{};
        GetWindowRect(GetParent(hwnd), &parent);
        EXPECT_TRUE(box.left >= parent.left && box.top >= parent.top && box.right <= parent.right &&
                    box.bottom <= parent.bottom)
            << name << " outside its frame, " << page;
        wchar_t className[16] = {};
        GetClassNameW(hwnd, className, 16);
        const bool edit = std::wstring(className) == L"Edit";
        const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
        const bool isStatic = std::wstring(className) == L"Static";
        const bool prefix = !edit && !(isStatic && (style & SS_NOPREFIX) != 0);
        if (const wchar_t key = prefix ? AccessKey(text) : 0) {
          EXPECT_TRUE(keys.emplace(key, name).second)
              << "access key " << static_cast<char>(key) << " of " << name << " and " << keys[key] << ", " << page;
        }
        // Its text fits: one line as wide as it, or wrapped lines as high.
        if (text.empty() || edit || std::wstring(className) == L"ComboBox") continue;
        const HDC dc = GetDC(hwnd);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
        const std::wstring wide = Wide(text);
        const bool wraps = isStatic && (style & SS_ENDELLIPSIS) == 0 && (style & SS_TYPEMASK) == SS_LEFT;
        RECT need{0, 0, box.right - box.left, 0};
        DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &need,
                  DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (prefix ? 0 : DT_NOPREFIX));
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
        const int room =
            std::wstring(className) == L"Button" && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX ? MulDiv(16, dpi, 96) : 0;
        if (!isStatic || (style & SS_ENDELLIPSIS) == 0) {
          EXPECT_LE(need.right + room, box.right - box.left) << name << " \"" << text << "\" clipped, " << page;
        }
        EXPECT_LE(need.bottom, box.bottom - box.top) << name << " \"" << text << "\" clipped, " << page;
      }
      // No two controls of one frame overlap.
      for (std::size_t a = 0; a < shown.size(); ++a) {
        for (std::size_t b = a + 1; b < shown.size(); ++b) {
          if (GetParent(shown[a].second) != GetParent(shown[b].second)) continue;
          RECT one{};
          RECT two{};
          RECT both{};
          GetWindowRect(shown[a].second, &one);
          GetWindowRect(shown[b].second, &two);
          EXPECT_FALSE(IntersectRect(&both, &one, &two))
              << shown[a].first << " overlaps " << shown[b].first << ", " << page;
        }
      }
      // On the screen whole for its picture.
      SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
      SaveScreenshot(window, "frmTimings_" + std::string(kSourceItems[s]) + "_" + std::to_string(dpi));
    }
    o.ChooseTab(1);
    SaveScreenshot(window, "frmTimings_Links_" + std::to_string(dpi));
    o.ChooseTab(0);
  }
}

}  // namespace
}  // namespace zarn::forms::win32
