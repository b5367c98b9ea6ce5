// The Win32 Timings window, opened from the real calculator and driven as a
// user would: Ctrl+T, typing in the filter, Copy, "Save EDID...", "Use in
// Calculator", Tab and Escape; an EDID edited, saved, reverted and installed
// by zarn-timing.exe for a monitor of the registry; its layout read back from
// the live controls at 96 and 144 dpi, and a picture of every source at both
// (the EDID source's after edits).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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
#include "platform/programs.h"
#include "platform/safe_file.h"
#include "window_test_support.h"

namespace zarn::forms::win32 {
namespace {

std::vector<std::uint8_t> Corpus(const std::string& name) {
  const auto edid = platform::ReadFileStart(ZARN_TEST_DATA_DIR "/edid/" + name, 1024);
  return edid ? std::vector<std::uint8_t>(edid->begin(), edid->end()) : std::vector<std::uint8_t>{};
}

// zarn-timing.exe, built beside the tests.
std::string TimingExe() {
  std::string path = ZARN_TIMING_EXE;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// The calculator with its Timings window made as Zarn.exe makes it, but on a
// monitor from the corpus (unless given others) and with the file dialogs
// and questions answered.
struct Opened {
  std::unique_ptr<Win32MainWindow> calculator;
  Win32TimingsWindow* timings = nullptr;
  int made = 0;
  std::optional<std::string> savePath;
  std::vector<std::string> questions;
  std::vector<std::string> informed;
  TimingsController::MonitorLister monitors = [] {
    return std::vector<platform::MonitorEdid>{
        {"DELD177", "DISPLAY\\DELD177", Corpus("Digital_Dell_DELD177_2ED7B8624A8A.bin")}};
  };
  std::shared_ptr<EdidInstaller> installer;

  Opened() {
    calculator = std::make_unique<Win32MainWindow>(
        engine::NumberLocale{"."}, Win32MainWindow::AboutFactory{},
        [this](CalculatorPort& port, const engine::NumberLocale& locale) {
          ++made;
          auto window = std::make_unique<Win32TimingsWindow>(port, locale, monitors, installer);
          window->SetSavePathAsker([this](std::string_view) { return savePath; });
          window->SetConfirmer([this](std::string_view question) {
            questions.emplace_back(question);
            return true;
          });
          window->SetInformer([this](std::string_view text) { informed.emplace_back(text); });
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

int FormatIndex(std::string_view id) {
  const auto formats = WindowFormats();
  for (std::size_t i = 0; i < formats.size(); ++i) {
    if (formats[i]->name == id) return static_cast<int>(i);
  }
  return -1;
}

// The items of the last menu shown to PickFromMenu.
std::vector<std::string> menuItems;

// Picks the first item of the menu shown, from inside its own loop.
void CALLBACK PickFromMenu(HWND /*window*/, UINT /*message*/, UINT_PTR timer, DWORD /*time*/) {
  const HWND menu = FindWindowW(L"#32768", nullptr);
  if (menu == nullptr || !IsWindowVisible(menu)) return;
  KillTimer(nullptr, timer);
  menuItems.clear();
  const auto items = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
  for (int i = 0; i < GetMenuItemCount(items); ++i) {
    wchar_t text[256] = {};
    GetMenuStringW(items, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    std::string item = Utf8(text);  // "&&" shows "&"
    for (std::size_t at = item.find("&&"); at != std::string::npos; at = item.find("&&", at + 1)) item.erase(at, 1);
    menuItems.push_back(item);
  }
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
  const std::string arguments[] = {"dmt", "0x24", "--format", "modeline"};
  const auto run = platform::RunProgram(TimingExe(), arguments);
  ASSERT_TRUE(run) << run.error();
  std::string printed = run->out;
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

// An argument that needs quoting on a command line reaches zarn-timing.exe
// as it was: its message about the argument quotes it back.
TEST(Win32RunProgram, ArgumentsArriveUnchanged) {
  for (const std::string tricky :
       {"two words", "say \"hi\"", "a\\\"b", "C:\\a folder\\", "\\\\\"\\", "\xCE\xA9 \xE6\x99\x82"}) {
    const std::string arguments[] = {"dmt", "0x24", tricky};
    const auto run = platform::RunProgram(TimingExe(), arguments);
    ASSERT_TRUE(run) << run.error();
    EXPECT_EQ(run->exit_code, 2) << tricky;
    EXPECT_NE(run->err.find("unexpected argument '" + tricky + "'."), std::string::npos) << tricky << ": " << run->err;
  }
}

// A monitor as Windows keeps it in the registry, for the window and for
// zarn-timing.exe alike; taken away again with any override written for it.
class PlantedMonitor {
 public:
  PlantedMonitor(std::wstring model, const std::wstring& instance, const std::vector<std::uint8_t>& edid)
      : model_(kDisplay + model), parameters_(model_ + L"\\" + instance + L"\\Device Parameters") {
    HKEY key = nullptr;
    EXPECT_EQ(
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, parameters_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExW(key, L"EDID", 0, REG_BINARY, edid.data(), static_cast<DWORD>(edid.size()));
    RegCloseKey(key);
  }
  ~PlantedMonitor() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, model_.c_str()); }
  PlantedMonitor(const PlantedMonitor&) = delete;
  PlantedMonitor& operator=(const PlantedMonitor&) = delete;

  // The EDID override's blocks "0", "1", ... one after another.
  std::vector<std::uint8_t> Override() const {
    std::vector<std::uint8_t> bytes;
    const std::wstring key = parameters_ + L"\\EDID_OVERRIDE";
    for (int block = 0;; ++block) {
      std::uint8_t data[128];
      DWORD size = sizeof data;
      if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), std::to_wstring(block).c_str(), RRF_RT_REG_BINARY, nullptr,
                       data, &size) != ERROR_SUCCESS) {
        return bytes;
      }
      bytes.insert(bytes.end(), data, data + size);
    }
  }

 private:
  static constexpr wchar_t kDisplay[] = L"SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\";
  std::wstring model_;
  std::wstring parameters_;
};

// Pumps messages until the condition holds, for at most 30 seconds.
bool PumpUntil(const std::function<bool()>& condition) {
  for (int waited = 0; waited < 30000 && !condition(); waited += 20) {
    Sleep(20);
    Pump();
  }
  return condition();
}

// Edits as a user makes them: CVT 1920x1080 at 60 Hz from the Add menu (as
// the CVT page has it first), a name and a refresh range. What Add offered.
std::vector<std::string> MakeEdits(const Opened& o) {
  std::vector<std::string> offered;
  o.timings->SetChoiceAsker([&](TimingsCommand button, const std::vector<std::string>& items) -> std::optional<int> {
    offered = items;
    for (std::size_t i = 0; i < items.size() && button == TimingsCommand::cmdEdidAdd; ++i) {
      if (items[i].starts_with("CVT: 1920x1080 at 59.963 Hz")) return static_cast<int>(i);
    }
    return std::nullopt;
  });
  o.Click("cmdEdidAdd");
  o.timings->SetChoiceAsker({});
  o.Type("txtEdidName", "Bench");
  o.Click("cmdEdidName");
  o.Type("txtEdidMinRate", "48");
  o.Type("txtEdidMaxRate", "170");
  o.Click("cmdEdidRange");
  return offered;
}

// A monitor's EDID from the registry: a CVT timing added from the Add menu,
// the EDID saved and read back, installed by zarn-timing.exe (not when the
// confirmation is cancelled), and reverted.
TEST(Win32TimingsWindow, EditsSavesInstallsAndRevertsAnEdid) {
  const std::vector<std::uint8_t> dell = Corpus("Digital_Dell_DELA11D_912DB5C2B1E8.bin");
  const std::string monitor = "DELA11D\\5&zarn&0&UID1";
  const PlantedMonitor planted(L"DELA11D", L"5&zarn&0&UID1", dell);
  Opened o;
  o.monitors = {};  // the system's
  o.installer = std::make_shared<CommandLineInstaller>(TimingExe());
  o.calculator->ShowTimings();
  o.Choose("cmbSource", static_cast<int>(TimingSource::Edid));
  const HWND monitors = o.Control("cmbMonitor");
  const auto row = SendMessageW(monitors, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(Wide(monitor + ": DELL P2419HC").c_str()));
  ASSERT_GE(row, 0) << "the monitor planted is not listed";
  o.Choose("cmbMonitor", static_cast<int>(row));
  ASSERT_EQ(o.timings->Controller().Edid(), dell);
  const HWND list = o.Control("lstEdidTimings");
  const LRESULT listed = SendMessageW(list, LB_GETCOUNT, 0, 0);
  EXPECT_FALSE(IsWindowEnabled(o.Control("cmdEdidRevert")));

  // CVT 1920x1080 at 60 Hz added, a name and a refresh range set: the edits
  // listed, the latest in sight.
  const std::vector<std::string> offered = MakeEdits(o);
  ASSERT_GT(SendMessageW(list, LB_GETCOUNT, 0, 0), listed) << ::testing::PrintToString(offered);
  const HWND changes = o.Control("lblEdidChanges");
  const std::string shown = WindowText(changes);
  EXPECT_NE(shown.find("1920x1080"), std::string::npos) << shown;
  EXPECT_NE(shown.find("\"Bench\""), std::string::npos) << shown;
  const auto lines = SendMessageW(changes, EM_GETLINECOUNT, 0, 0);
  ASSERT_GT(lines, 4) << shown;
  EXPECT_GE(SendMessageW(changes, EM_GETFIRSTVISIBLELINE, 0, 0) + 4, lines) << "the latest edit out of sight";
  EXPECT_TRUE(IsWindowEnabled(o.Control("cmdEdidRevert")));

  // Saved as the window holds it; the modes library reads the timing back
  // with the figures xcvt gives ("cvt 1920 1080 60": 173.00  1920 2048 2248
  // 2576  1080 1083 1088 1120).
  const std::vector<std::uint8_t> edited = o.timings->Controller().Edid();
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::string path = Utf8(temp) + "zarn edited " + std::to_string(GetCurrentProcessId()) + ".bin";
  o.savePath = path;
  o.Click("cmdSaveEdid");
  const std::vector<std::uint8_t> saved = [&] {
    const auto file = platform::ReadFileStart(path, 4096);
    return file ? std::vector<std::uint8_t>(file->begin(), file->end()) : std::vector<std::uint8_t>{};
  }();
  EXPECT_EQ(saved, edited);
  const auto decoded = modes::DecodeEdid(saved);
  ASSERT_TRUE(decoded) << decoded.error();
  EXPECT_TRUE(std::any_of(decoded->timings.begin(), decoded->timings.end(), [](const modes::EdidTiming& t) {
    const modes::DisplayTiming& d = t.timing;
    return d.h_active == 1920 && d.h_front_porch == 128 && d.h_sync == 200 && d.h_back_porch == 328 &&
           d.v_active == 1080 && d.v_front_porch == 3 && d.v_sync == 5 && d.v_back_porch == 32 &&
           d.pixel_clock_hz == 173'000'000u;
  }));

  // Install: the menu lists the monitor; cancelled (Cancel is the task
  // dialog's default: Enter), nothing changes.
  const std::string dryRun[] = {"edid", "install", path, "--registry", "--monitor", monitor, "--dry-run"};
  const auto steps = platform::RunProgram(TimingExe(), dryRun);
  ASSERT_TRUE(steps && steps->exit_code == 0) << (steps ? steps->err : steps.error());
  SetTimer(nullptr, 0, 20, &PickFromMenu);
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND dialog = FindWindowW(L"#32770", L"Zarn Timings");
    if (dialog == nullptr || !IsWindowVisible(dialog)) return;
    KillTimer(nullptr, timer);
    SaveScreenshot(dialog, "frmTimings_InstallConfirm");
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(GetFocus(), WM_KEYUP, VK_RETURN, 0);
  });
  o.Click("cmdEdidInstall");
  EXPECT_EQ(menuItems, std::vector<std::string>{"For " + monitor + ": DELL P2419HC"});
  EXPECT_TRUE(planted.Override().empty());
  EXPECT_TRUE(o.informed.empty());

  // Installed: the steps zarn-timing.exe gives for a dry run, then its work
  // aside, the window answering meanwhile.
  std::string asked;
  o.timings->SetInstallConfirmer([&](std::string_view question, std::string_view install) {
    asked = std::string(question) + "\n" + std::string(install);
    return true;
  });
  SetTimer(nullptr, 0, 20, &PickFromMenu);
  SendMessageW(o.Control("cmdEdidInstall"), BM_CLICK, 0, 0);
  std::string dryRunSteps = steps->out;
  while (!dryRunSteps.empty() && (dryRunSteps.back() == '\n' || dryRunSteps.back() == '\r')) dryRunSteps.pop_back();
  EXPECT_EQ(asked, "Install this EDID for " + monitor + "?\n" + dryRunSteps);
  EXPECT_NE(WindowText(changes).find("Installing the EDID for " + monitor + "..."), std::string::npos);
  EXPECT_FALSE(IsWindowEnabled(o.Control("cmdEdidInstall")));
  ASSERT_TRUE(PumpUntil([&] { return !o.informed.empty(); }));
  EXPECT_EQ(o.informed.back(), "Installed the EDID for " + monitor + ".");
  EXPECT_EQ(planted.Override(), edited);
  EXPECT_TRUE(IsWindowEnabled(o.Control("cmdEdidInstall")));

  // Revert: the EDID as the registry gave it.
  o.Click("cmdEdidRevert");
  EXPECT_EQ(o.timings->Controller().Edid(), dell);
  EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), listed);
  EXPECT_EQ(WindowText(changes).rfind("No edits yet", 0), 0u) << WindowText(changes);
  EXPECT_FALSE(IsWindowEnabled(o.Control("cmdEdidRevert")));
  DeleteFileW(Wide(path).c_str());
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
  o.installer = std::make_shared<CommandLineInstaller>(TimingExe());
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
      const bool edid = s == static_cast<std::size_t>(TimingSource::Edid);
      if (edid && dpi == 96) MakeEdits(o);
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
      // Springs push Close to the right, and Install... to the list's right.
      RECT inside{};
      GetClientRect(window, &inside);
      const layout::Box close = LiveBox(o.Control("cmdClose"));
      EXPECT_EQ(close.left + close.width, inside.right - MulDiv(9, dpi, 96)) << page;
      if (edid) {
        const layout::Box install = LiveBox(o.Control("cmdEdidInstall"));
        const layout::Box timings = LiveBox(o.Control("lstEdidTimings"));
        EXPECT_EQ(install.left + install.width, timings.left + timings.width) << page;
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
