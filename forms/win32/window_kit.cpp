#include "forms/win32/window_kit.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

namespace zarn::forms::win32 {
namespace {

using layout::Kind;

bool TakesFocus(Kind kind) { return kind == Kind::TextBox || kind == Kind::List || kind == Kind::Button; }

// Creation passes, top of the z-order first.
int Pass(Kind kind) {
  if (TakesFocus(kind)) return 0;
  if (kind == Kind::Label || kind == Kind::Link || kind == Kind::Picture) return 1;
  if (kind == Kind::Frame) return 2;
  return -1;  // rules are painted, not made
}

struct ClassAndStyle {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

ClassAndStyle Describe(const layout::Control& control) {
  const DWORD child = WS_CHILD | WS_VISIBLE;
  const DWORD align = control.align == layout::Align::Centre ? SS_CENTER : SS_LEFT;
  switch (control.kind) {
    case Kind::Frame:
      return {L"BUTTON", child | WS_CLIPSIBLINGS | BS_GROUPBOX, 0};
    case Kind::Label:
      return {L"STATIC", child | SS_NOPREFIX | align, 0};
    case Kind::Link:
      return {L"STATIC", child | SS_NOPREFIX | SS_NOTIFY | align, 0};
    case Kind::Picture:
      return {L"STATIC", child | WS_CLIPSIBLINGS | SS_BITMAP | SS_CENTERIMAGE, WS_EX_CLIENTEDGE};
    case Kind::TextBox: {
      // Its sunken border is the window's (PaintTextBoxBorders), so that the
      // text can sit in the middle of the box.
      const DWORD edit = control.align == layout::Align::Centre ? ES_CENTER : ES_LEFT;
      return {L"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL | edit, 0};
    }
    case Kind::List:
      return {L"COMBOBOX", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case Kind::Button:
      return {L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case Kind::Rule:
      break;
  }
  return {nullptr, 0, 0};
}

bool IsText(Kind kind) { return kind == Kind::Label || kind == Kind::Link; }

// A frame drawn the classic way in every theme: an etched rectangle whose top
// edge runs through the middle of the caption, the caption in the layout's
// colour on the dialog face. Its inside is left to the window's background.
LRESULT CALLBACK PaintFrame(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/, DWORD_PTR data) {
  if (message == WM_ERASEBKGND) return 1;
  if (message != WM_PAINT) return DefSubclassProc(hwnd, message, wParam, lParam);
  const auto* control = reinterpret_cast<const layout::Control*>(data);
  PAINTSTRUCT paint{};
  const HDC dc = BeginPaint(hwnd, &paint);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  const std::wstring caption = Wide(control->text);
  SIZE extent{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  RECT border{};
  GetClientRect(hwnd, &border);
  border.top += extent.cy / 2;
  DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
  const int left = MulDiv(8, WindowDpi(hwnd), 96);
  const RECT behind{left, 0, left + extent.cx + 2, extent.cy};
  FillRect(dc, &behind, GetSysColorBrush(COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, control->colour.isDefault ? GetSysColor(COLOR_BTNTEXT) : ToColorRef(control->colour));
  TextOutW(dc, left + 1, 0, caption.c_str(), static_cast<int>(caption.size()));
  SelectObject(dc, old);
  EndPaint(hwnd, &paint);
  return 0;
}

// A drop-down list's height is its closed height plus its list's.
constexpr int kDroppedRows = 8;

void PlaceOne(HWND parent, const layout::Window& window, const LiveControl& live, int dpi, FontSet& fonts) {
  const layout::Control& control = *live.control;
  const layout::Box box = layout::PixelBox(window, control, dpi);
  const HFONT font = fonts.Get(control.font, dpi);
  SendMessageW(live.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (control.kind == Kind::List) {
    // The closed height follows the height of the selection field: set it so
    // that the closed list fills its box.
    // The height asked for is kept here: what the list reports back may
    // include its own padding.
    auto asked = static_cast<int>(SendMessageW(live.hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int attempt = 0; attempt < 4; ++attempt) {
      MoveWindow(live.hwnd, box.left, box.top, box.width, box.height * kDroppedRows, FALSE);
      RECT now{};
      GetWindowRect(live.hwnd, &now);
      const int error = box.height - (now.bottom - now.top);
      if (error == 0) break;
      asked = std::max(1, asked + error);
      SendMessageW(live.hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), asked);
    }
    return;
  }
  if (control.kind == Kind::Link && control.align == layout::Align::Centre) {
    // As wide as its text, centred where its box is centred; never lower
    // than the box.
    const HDC dc = GetDC(parent);
    const HGDIOBJ old = SelectObject(dc, font);
    const std::wstring text = Wide(control.text);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(parent, dc);
    const int centre2 = 2 * box.left + box.width;  // twice the centre, in pixels
    const int left = (centre2 - extent.cx) / 2;
    MoveWindow(live.hwnd, left, box.top, extent.cx, std::max<int>(metrics.tmHeight, box.height), FALSE);
    return;
  }
  if (control.kind == Kind::TextBox) {
    // As tall as its text, centred in the box inside the border.
    const RECT inside = TextBoxInside(box, dpi);
    const HDC dc = GetDC(parent);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(parent, dc);
    const int height = std::min<int>(metrics.tmHeight, inside.bottom - inside.top);
    const int top = inside.top + (inside.bottom - inside.top - height) / 2;
    MoveWindow(live.hwnd, inside.left, top, inside.right - inside.left, height, FALSE);
    return;
  }
  MoveWindow(live.hwnd, box.left, box.top, box.width, box.height, FALSE);
}

}  // namespace

RECT TextBoxInside(const layout::Box& box, int /*dpi*/) {
  // The sunken edge: two pixels, as a text box's own.
  const int edge = 2;
  return {box.left + edge, box.top + edge, box.left + box.width - edge, box.top + box.height - edge};
}

void PaintTextBoxBorders(HDC dc, const layout::Window& window, int dpi) {
  for (const layout::Control& control : window.controls) {
    if (control.kind != Kind::TextBox) continue;
    const layout::Box box = layout::PixelBox(window, control, dpi);
    RECT outside{box.left, box.top, box.left + box.width, box.top + box.height};
    const RECT inside = TextBoxInside(box, dpi);
    // The edge, then the text box's own colour up to the edit.
    DrawEdge(dc, &outside, EDGE_SUNKEN, BF_RECT);
    FillRect(dc, &inside, GetSysColorBrush(COLOR_WINDOW));
  }
}

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
  return text;
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return Utf8(text);
}

void SetWindowTextUtf8(HWND window, std::string_view text) { SetWindowTextW(window, Wide(text).c_str()); }

void SetLabelText(HWND label, std::string_view text) {
  SetWindowTextUtf8(label, text);
  // A label draws no background: the old text goes with the window's.
  RECT box{};
  GetWindowRect(label, &box);
  const HWND parent = GetParent(label);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&box), 2);
  RedrawWindow(parent, &box, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int WindowDpi(HWND window) {
  // GetDpiForWindow exists from Windows 10 1607 on; looked up once.
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto getDpi = [] {
    const HMODULE user = GetModuleHandleW(L"user32.dll");
    const FARPROC found = user != nullptr ? GetProcAddress(user, "GetDpiForWindow") : nullptr;
    return reinterpret_cast<GetDpi>(reinterpret_cast<void*>(found));
  }();
  if (getDpi != nullptr && window != nullptr) {
    if (const UINT dpi = getDpi(window); dpi != 0) return static_cast<int>(dpi);
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

engine::NumberLocale UserNumberLocale() {
  wchar_t separator[8] = {};
  const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
  return engine::NumberLocale{length > 1 ? Utf8(std::wstring_view(separator, static_cast<std::size_t>(length - 1)))
                                         : std::string(".")};
}

COLORREF ToColorRef(layout::Colour colour) { return RGB(colour.red, colour.green, colour.blue); }

FontSet::~FontSet() { Clear(); }

void FontSet::Clear() {
  for (const Entry& entry : entries_) DeleteObject(entry.handle);
  entries_.clear();
}

HFONT FontSet::Get(const layout::Font& font, int dpi) {
  if (dpi != dpi_) {
    Clear();
    dpi_ = dpi;
  }
  for (const Entry& entry : entries_) {
    if (entry.font == font) return entry.handle;
  }
  LOGFONTW description{};
  // Points to pixels at this resolution; negative: the character height.
  description.lfHeight = -static_cast<LONG>(std::lround(font.points * dpi / 72.0));
  description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  description.lfUnderline = font.underline ? TRUE : FALSE;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = DEFAULT_QUALITY;
  const std::wstring face = Wide(layout::kFace);
  face.copy(description.lfFaceName, LF_FACESIZE - 1);
  const HFONT handle = CreateFontIndirectW(&description);
  entries_.push_back({font, handle});
  return handle;
}

std::vector<LiveControl> CreateControls(HWND parent, const layout::Window& window, int firstId, int dpi,
                                        FontSet& fonts) {
  std::vector<LiveControl> made;
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
  for (int pass = 0; pass < 3; ++pass) {
    int id = firstId;
    for (const layout::Control& control : window.controls) {
      const int thisId = id++;
      if (Pass(control.kind) != pass) continue;
      const ClassAndStyle kind = Describe(control);
      const std::wstring text = control.kind == Kind::List ? std::wstring() : Wide(control.text);
      const HWND hwnd = CreateWindowExW(kind.exStyle, kind.className, text.c_str(), kind.style, 0, 0, 0, 0, parent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(thisId)), instance, nullptr);
      if (control.kind == Kind::Frame) {
        SetWindowSubclass(hwnd, &PaintFrame, 1, reinterpret_cast<DWORD_PTR>(&control));
      }
      made.push_back({&control, hwnd});
    }
  }
  PlaceControls(parent, window, made, dpi, fonts);
  return made;
}

void PlaceControls(HWND parent, const layout::Window& window, const std::vector<LiveControl>& controls, int dpi,
                   FontSet& fonts) {
  for (const LiveControl& live : controls) PlaceOne(parent, window, live, dpi, fonts);
  InvalidateRect(parent, nullptr, TRUE);
}

SIZE OuterSize(HWND hwnd, const layout::Window& window, int dpi) {
  // The frame as the window has it now (its caption and borders follow the
  // resolution by themselves), around the layout's inside.
  RECT outer{};
  RECT inside{};
  GetWindowRect(hwnd, &outer);
  GetClientRect(hwnd, &inside);
  return {layout::Pixels(window.width, dpi) + (outer.right - outer.left) - inside.right,
          layout::Pixels(window.height, dpi) + (outer.bottom - outer.top) - inside.bottom};
}

LRESULT ControlColours(const std::vector<LiveControl>& controls, HWND control, HDC dc, UINT message,
                       COLORREF textOverride, bool overrideText) {
  const bool edit = message == WM_CTLCOLOREDIT;
  const int face = edit ? COLOR_WINDOW : COLOR_BTNFACE;
  COLORREF text = GetSysColor(edit ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
  bool transparent = false;
  for (const LiveControl& live : controls) {
    if (live.hwnd != control) continue;
    if (!live.control->colour.isDefault) text = ToColorRef(live.control->colour);
    transparent = IsText(live.control->kind);
  }
  if (overrideText) text = textOverride;
  SetTextColor(dc, text);
  SetBkColor(dc, GetSysColor(face));
  if (transparent) {
    // Labels draw only their text: boxes that overlap show both texts, as
    // they do in the designed window.
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
  }
  return reinterpret_cast<LRESULT>(GetSysColorBrush(face));
}

void PaintRules(HDC dc, const layout::Window& window, int dpi) {
  for (const layout::Control& control : window.controls) {
    if (control.kind != Kind::Rule) continue;
    const layout::Box box = layout::PixelBox(window, control, dpi);
    const RECT rect{box.left, box.top, box.left + box.width, box.top + std::max(1, box.height)};
    const HBRUSH brush = CreateSolidBrush(ToColorRef(control.colour));
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
  }
}

const LiveControl* FindLive(const std::vector<LiveControl>& controls, std::string_view name) {
  for (const LiveControl& live : controls) {
    if (live.control->name == name) return &live;
  }
  return nullptr;
}

}  // namespace zarn::forms::win32
