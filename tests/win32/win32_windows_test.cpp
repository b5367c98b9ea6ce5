// The Win32 windows, created for real (under Wine on a virtual display) and
// driven as a user would: keystrokes to the text boxes, the drop-down list,
// button clicks, the modal About window. Pictures of both windows go to
// screenshots/ beside the test program.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "forms/about/about_layout.h"
#include "forms/main/main_layout.h"
#include "forms/win32/about_window.h"
#include "forms/win32/main_window.h"
#include "platform/win32/win32_services.h"
#include "tests/support/memory_main_view.h"
#include "tests/support/platform_fakes.h"
#include "window_test_support.h"

namespace zarn::forms::win32 {
namespace {

using engine::TimingField;

// Every control that the layout places at its box equals the table there.
template <typename Lookup>
void ExpectLayout(const layout::Window& window, Lookup control, int dpi) {
  for (const layout::Control& c : window.controls) {
    if (c.kind == layout::Kind::Rule) continue;
    const HWND hwnd = control(c.name);
    ASSERT_NE(hwnd, nullptr) << c.name;
    if (c.kind != layout::Kind::Picture) {
      LOGFONTW font{};
      GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof font, &font);
      EXPECT_EQ(font.lfHeight, -std::lround(c.font.points * dpi / 72.0)) << c.name;
      EXPECT_EQ(font.lfWeight, c.font.bold ? FW_BOLD : FW_NORMAL) << c.name;
      EXPECT_EQ(font.lfUnderline != 0, c.font.underline) << c.name;
      EXPECT_EQ(Wide(layout::kFace), font.lfFaceName) << c.name;
    }
    const layout::Box live = LiveBox(hwnd);
    const layout::Box table = layout::PixelBox(window, c, dpi);
    if (c.kind == layout::Kind::TextBox) {
      // The edit as tall as its text, in the middle of the border's inside.
      const RECT inside = TextBoxInside(table, dpi);
      EXPECT_EQ(live.left, inside.left) << c.name;
      EXPECT_EQ(live.width, inside.right - inside.left) << c.name;
      EXPECT_GE(live.height, std::lround(c.font.points * dpi / 72.0)) << c.name;
      EXPECT_LE(std::abs((2 * live.top + live.height) - (inside.top + inside.bottom)), 1) << c.name << " at " << dpi;
      continue;
    }
    if (c.kind == layout::Kind::Link && c.align == layout::Align::Centre) {
      // As wide as its text, centred on the box's centre.
      EXPECT_GT(live.width, 0) << c.name;
      EXPECT_LE(std::abs((2 * live.left + live.width) - (2 * table.left + table.width)), 1) << c.name;
      EXPECT_EQ(live.top, table.top) << c.name;
      continue;
    }
    EXPECT_EQ(Describe(live), Describe(table)) << c.name << " at " << dpi << " dpi";
  }
}

LONG FontHeight(HWND control, LONG* weight) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  *weight = font.lfWeight;
  return font.lfHeight;
}

// The calculator window beside the in-memory window, fed the same steps.
struct Pair {
  Win32MainWindow window{engine::NumberLocale{"."}, {}};
  testing::MemoryMainView memory;
  MainController memoryController{memory, engine::NumberLocale{"."}};

  Pair() {
    memory.Attach(memoryController);
    window.Form_Load();
    memoryController.Form_Load();
    ShowWindow(window.Handle(), SW_SHOW);
    UpdateWindow(window.Handle());
    Pump();
  }

  // Select-all, then one WM_CHAR a character, as typing over a field.
  void Type(TimingField field, const std::string& text) {
    const HWND edit = window.Field(field);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (std::size_t i = 0; i < text.size(); ++i) {
      SendMessageW(edit, WM_CHAR, static_cast<WPARAM>(text[i]), 1);
      memory.Type(field, text.substr(0, i + 1));
    }
  }
  void Backspace(TimingField field) {
    const HWND edit = window.Field(field);
    SetFocus(edit);
    const auto length = GetWindowTextLengthW(edit);
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(length), length);
    SendMessageW(edit, WM_CHAR, VK_BACK, 1);
    std::string text = memory.FieldText(field);
    memory.Type(field, text.substr(0, text.size() - 1));
  }
  // The down or up arrow on the closed drop-down list.
  void Arrow(WPARAM key) {
    const HWND list = window.Control("cmbMode");
    SetFocus(list);
    SendMessageW(list, WM_KEYDOWN, key, 1);
    SendMessageW(list, WM_KEYUP, key, 1);
    Pump();
    const int next = memory.ModeIndex() + (key == VK_DOWN ? 1 : -1);
    memory.Pick(next);
  }
  void Click(std::string_view button, void (MainController::*handler)()) {
    SendMessageW(window.Control(button), BM_CLICK, 0, 0);
    (memoryController.*handler)();
  }

  void ExpectSame(const std::string& step) const {
    for (const TimingField field : engine::kAllTimingFields) {
      EXPECT_EQ(WindowText(window.Field(field)), memory.FieldText(field))
          << step << ": " << engine::FieldInfo(field).name;
    }
    EXPECT_EQ(static_cast<int>(SendMessageW(window.Control("cmbMode"), CB_GETCURSEL, 0, 0)), memory.ModeIndex())
        << step;
    EXPECT_EQ(SendMessageW(window.Control("cmbMode"), CB_GETCOUNT, 0, 0), static_cast<LRESULT>(memory.Modes().size()))
        << step;
    EXPECT_EQ(WindowText(window.Control("lblHorizontalFrequency")), memory.Caption()) << step;
    for (const TimingField field : engine::kAllTimingFields) {
      const auto& mark = memory.Mark(field);
      EXPECT_EQ(window.FieldTip(field), mark.invalid ? mark.hint : "") << step << ": " << engine::FieldInfo(field).name;
    }
  }
};

TEST(Win32MainWindow, TypingListAndButtonsMatchTheInMemoryWindow) {
  Pair p;
  p.ExpectSame("loaded");
  EXPECT_EQ(p.memory.ModeIndex(), 4);
  EXPECT_EQ(GetFocus(), p.window.Field(TimingField::txtHorActive));
  SaveScreenshot(p.window.Handle(), "frmMain");

  p.Type(TimingField::txtHorActive, "1920");
  p.ExpectSame("horizontal active typed");
  EXPECT_EQ(p.memory.ModeIndex(), 0);
  p.Type(TimingField::txtFrequency, "148.5");
  p.ExpectSame("pixel frequency typed");
  p.Click("cmdPixelToRate", &MainController::cmdPixelToRate_Click);
  p.ExpectSame("<----");
  p.Arrow(VK_DOWN);
  p.ExpectSame("first mode");
  p.Arrow(VK_DOWN);
  p.ExpectSame("second mode");
  p.Arrow(VK_UP);
  p.ExpectSame("back to the first mode");
  p.Type(TimingField::txtVerSync, "5x");
  p.ExpectSame("unreadable vertical sync");
  EXPECT_TRUE(p.memory.Mark(TimingField::txtVerSync).invalid);
  p.Backspace(TimingField::txtVerSync);
  p.ExpectSame("vertical sync corrected");
  p.Type(TimingField::txtRefreshRate, "75");
  p.ExpectSame("refresh rate typed");
  p.Click("cmdRefreshToPixel", &MainController::cmdRefreshToPixel_Click);
  p.ExpectSame("---->");
  // The handlers ran: the geometry edit put the list back to "-", and the
  // typed rate gave a new pixel frequency.
  EXPECT_EQ(p.memory.ModeIndex(), 0);
  EXPECT_NE(WindowText(p.window.Field(TimingField::txtFrequency)), "148.5");
}

TEST(Win32MainWindow, LayoutEqualsTheTableAndScalesWithTheResolution) {
  Pair p;
  ASSERT_EQ(p.window.Dpi(), 96);
  const auto control = [&](std::string_view name) { return p.window.Control(name); };
  ExpectLayout(kMainLayout, control, 96);
  EXPECT_EQ(Describe(LiveBox(control("cmdAboutZarn"))), "124,388 117x25");
  RECT inside{};
  GetClientRect(p.window.Handle(), &inside);
  EXPECT_EQ(inside.right, 378);
  EXPECT_EQ(inside.bottom, 420);
  LONG weight = 0;
  EXPECT_EQ(FontHeight(control("cmdAboutZarn"), &weight), -11);
  EXPECT_EQ(weight, FW_BOLD);
  EXPECT_EQ(FontHeight(p.window.Field(TimingField::txtHorActive), &weight), -11);
  EXPECT_EQ(weight, FW_NORMAL);

  // Tab goes down the horizontal column, down the vertical one, through the
  // conversion and back up to the mode list, then round again.
  const char* const order[] = {"txtHorActive", "txtHorFrontPorch", "txtHorSync",        "txtHorBlanking",
                               "txtVerActive", "txtVerFrontPorch", "txtVerSync",        "txtVerBlanking",
                               "txtFrequency", "txtRefreshRate",   "cmdRefreshToPixel", "cmdPixelToRate",
                               "cmbMode",      "cmdAboutZarn",     "txtHorActive"};
  HWND focus = control(order[0]);
  for (std::size_t i = 1; i < std::size(order); ++i) {
    focus = GetNextDlgTabItem(p.window.Handle(), focus, FALSE);
    EXPECT_EQ(focus, control(order[i])) << "after " << order[i - 1];
  }

  // Moved to a monitor of 144 dpi.
  RECT suggested{};
  GetWindowRect(p.window.Handle(), &suggested);
  SendMessageW(p.window.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  ExpectLayout(kMainLayout, control, 144);
  EXPECT_EQ(Describe(LiveBox(control("cmdAboutZarn"))), "186,582 176x38");
  GetClientRect(p.window.Handle(), &inside);
  EXPECT_EQ(inside.right, 567);
  EXPECT_EQ(inside.bottom, 630);
  EXPECT_EQ(FontHeight(control("cmdAboutZarn"), &weight), -17);
  EXPECT_EQ(weight, FW_BOLD);
}

// Runs a step inside the About window's modal loop, once it is shown.
// The window is made by the first click, so it is found through its slot.
std::function<void(Win32AboutWindow&)> g_step;
Win32AboutWindow** g_slot = nullptr;

void CALLBACK WhileShown(HWND /*window*/, UINT /*message*/, UINT_PTR timer, DWORD /*time*/) {
  Win32AboutWindow* about = *g_slot;
  if (about == nullptr || about->Handle() == nullptr || !IsWindowVisible(about->Handle())) return;
  KillTimer(nullptr, timer);
  g_step(*about);
}

void PostKey(HWND window, WPARAM key) {
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 1);
}

TEST(Win32AboutWindow, ModalCentredClosedByEscapeAndEnterAndStartsSystemInformation) {
  platform::Win32Registry registry;
  platform::Win32ProgramStarter programs;
  platform::Win32FileFinder files;
  testing::RecordingMessages messages;
  testing::RecordingShell shell;
  const platform::Services services{registry, programs, files, messages, shell};
  Win32AboutWindow* about = nullptr;
  Win32MainWindow window(engine::NumberLocale{"."}, [&] {
    auto made = std::make_unique<Win32AboutWindow>(AppProperties{"Zarn", 1, 0, 0}, services);
    about = made.get();
    return made;
  });
  window.Form_Load();
  ShowWindow(window.Handle(), SW_SHOW);
  Pump();

  struct Seen {
    bool ownerEnabled = true;
    std::string caption, title, version;
    bool focusOnOk = false;
    long centreError = -1;
  } seen;
  const auto open = [&](std::function<void(Win32AboutWindow&)> step) {
    g_step = [&, step](Win32AboutWindow& shown) {
      seen.ownerEnabled = IsWindowEnabled(window.Handle()) != FALSE;
      seen.caption = WindowText(shown.Handle());
      seen.title = WindowText(shown.Control("lblTitle"));
      seen.version = WindowText(shown.Control("lblVersion"));
      seen.focusOnOk = GetFocus() == shown.Control("cmdOK");
      RECT frame{};
      GetWindowRect(shown.Handle(), &frame);
      MONITORINFO monitor{};
      monitor.cbSize = sizeof monitor;
      GetMonitorInfoW(MonitorFromWindow(shown.Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
      seen.centreError = std::abs((frame.left + frame.right) - (monitor.rcWork.left + monitor.rcWork.right)) +
                         std::abs((frame.top + frame.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom));
      step(shown);
    };
    g_slot = &about;
    SetTimer(nullptr, 0, 20, &WhileShown);
    // The click returns once the window has closed.
    SendMessageW(window.Control("cmdAboutZarn"), BM_CLICK, 0, 0);
  };

  open([&](Win32AboutWindow& shown) {
    const auto control = [&](std::string_view name) { return shown.Control(name); };
    ExpectLayout(kAboutLayout, control, 96);
    RECT inside{};
    GetClientRect(shown.Handle(), &inside);
    EXPECT_EQ(inside.right, 382);
    EXPECT_EQ(inside.bottom, 287);
    // Over a link the pointer is the hand; over the background the arrow.
    SendMessageW(shown.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(shown.Control("lblEmail")),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(shown.Pointer(), MousePointer::Custom);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
    SendMessageW(shown.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(shown.Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(shown.Pointer(), MousePointer::Default);
    // A click on each link goes to the shell.
    SendMessageW(shown.Control("lblEmail"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(shown.Control("lblEmail"), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    SendMessageW(shown.Control("lblDescription"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(shown.Control("lblDescription"), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    SaveScreenshot(shown.Handle(), "frmAbout");
    PostKey(GetFocus(), VK_ESCAPE);
  });
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(seen.ownerEnabled);
  EXPECT_EQ(seen.caption, "About Zarn");
  EXPECT_EQ(seen.title, "Zarn");
  EXPECT_EQ(seen.version, "Version 1.0.0");
  EXPECT_TRUE(seen.focusOnOk);
  EXPECT_LE(seen.centreError, 2);
  EXPECT_EQ(about->Handle(), nullptr) << "Escape closes it";
  EXPECT_TRUE(IsWindowEnabled(window.Handle()));
  EXPECT_EQ(GetFocus(), window.Control("cmdAboutZarn")) << "the focus is back on the button";
  ASSERT_EQ(shell.executed.size(), 2u);
  EXPECT_EQ(shell.executed[0], "Open mailto:support@brask.example");
  EXPECT_EQ(shell.executed[1], "Open https://www.brask.example/");

  // Enter presses OK, the default button, which has the focus.
  seen = {};
  open([&](Win32AboutWindow& /*shown*/) { PostKey(GetFocus(), VK_RETURN); });
  EXPECT_TRUE(seen.focusOnOk);
  EXPECT_EQ(seen.caption, "About Zarn");
  EXPECT_EQ(about->Handle(), nullptr) << "Enter closes it";

  // System Info... reaches the tool named in the registry.
  const std::string key = SysInfoLauncher::kMsInfoKey;
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::string tool = Utf8(temp) + "zarn about " + std::to_string(GetCurrentProcessId()) + ".exe";
  ASSERT_TRUE(CopyFileW(Wide(Folder() + "zarn_proof_writer.exe").c_str(), Wide(tool).c_str(), FALSE));
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(handle, "PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(tool.c_str()),
                 static_cast<DWORD>(tool.size() + 1));
  RegCloseKey(handle);
  bool tabCycles = false;
  open([&](Win32AboutWindow& shown) {
    // Tab goes from OK to System Info... and back.
    const HWND ok = shown.Control("cmdOK");
    const HWND sysInfo = GetNextDlgTabItem(shown.Handle(), ok, FALSE);
    tabCycles = sysInfo == shown.Control("cmdSysInfo") && GetNextDlgTabItem(shown.Handle(), sysInfo, FALSE) == ok;
    // Alt+S, the button's access key, then Escape.
    PostMessageW(ok, WM_SYSCHAR, L's', 1 << 29);
    PostKey(ok, VK_ESCAPE);
  });
  EXPECT_TRUE(tabCycles);
  bool ran = false;
  for (int waited = 0; waited < 20000 && !ran; waited += 50) {
    ran = GetFileAttributesW(Wide(tool + ".ran").c_str()) != INVALID_FILE_ATTRIBUTES;
    Sleep(50);
  }
  EXPECT_TRUE(ran);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(about->Handle(), nullptr);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
  DeleteFileW(Wide(tool + ".ran").c_str());
  DeleteFileW(Wide(tool).c_str());
}

}  // namespace
}  // namespace zarn::forms::win32
