#include "forms/win32/timings_controls.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cwchar>

#include "forms/win32/window_kit.h"

// After the program's headers: the accessibility header's COM macros would
// stand in their way.
#include <oleacc.h>

namespace zarn::forms::win32 {
namespace {

struct PaneData {
  std::wstring title;
  bool framed;
};

// The export text keeps Tab and Escape for the window: Tab moves on, Escape
// closes, as everywhere else in it.
LRESULT CALLBACK LeaveDialogKeys(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                 DWORD_PTR /*data*/) {
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  if (message == WM_GETDLGCODE) return result & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
  return result;
}

// Names for screen readers, given through the system's accessibility
// annotations (oleacc's property service), loaded the first time the window
// names a control; where the service is missing the controls keep the names
// the system derives from their captions.
class ScreenReaderNames {
 public:
  static ScreenReaderNames& Get() {
    static ScreenReaderNames names;
    return names;
  }
  ScreenReaderNames(const ScreenReaderNames&) = delete;
  ScreenReaderNames& operator=(const ScreenReaderNames&) = delete;

  void Name(HWND control, const std::wstring& name) {
    // The property of an element's name: {608d3df8-8128-4aa7-a428-f55e49267291}.
    static constexpr GUID kName = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
    if (services_ != nullptr)
      services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kName, name.c_str());
  }

 private:
  ScreenReaderNames() {
    using Initialize = HRESULT(WINAPI*)(void*, DWORD);
    using Create = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    const HMODULE ole = LoadLibraryW(L"ole32.dll");
    if (ole == nullptr) return;
    const auto initialize =
        reinterpret_cast<Initialize>(reinterpret_cast<void*>(GetProcAddress(ole, "CoInitializeEx")));
    const auto create = reinterpret_cast<Create>(reinterpret_cast<void*>(GetProcAddress(ole, "CoCreateInstance")));
    if (initialize == nullptr || create == nullptr || FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED))) return;
    // CLSID_AccPropServices and IID_IAccPropServices.
    static constexpr GUID kService = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
    static constexpr GUID kInterface = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
    void* services = nullptr;
    if (SUCCEEDED(create(kService, nullptr, CLSCTX_INPROC_SERVER, kInterface, &services))) {
      services_ = static_cast<IAccPropServices*>(services);
    }
  }
  ~ScreenReaderNames() = default;  // the service lives as long as the program

  IAccPropServices* services_ = nullptr;
};

// The common file dialogs, loaded when first asked for: the calculator
// starts without them.
using FileDialog = BOOL(WINAPI*)(OPENFILENAMEW*);
FileDialog CommonDialog(const char* name) {
  static const HMODULE library = LoadLibraryW(L"comdlg32.dll");
  if (library == nullptr) return nullptr;
  return reinterpret_cast<FileDialog>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

// Line ends as Windows texts have them (a program run on Windows may give
// them so already).
std::wstring WithCrLf(std::string_view text) {
  std::wstring wide = Wide(text);
  std::wstring out;
  out.reserve(wide.size() + 16);
  for (const wchar_t c : wide) {
    if (c == L'\n' && (out.empty() || out.back() != L'\r')) out += L'\r';
    out += c;
  }
  return out;
}

std::string WithoutCr(std::wstring_view wide) {
  std::wstring text;
  for (const wchar_t c : wide) {
    if (c != L'\r') text += c;
  }
  return Utf8(text);
}

LRESULT CALLBACK PaneProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* data = reinterpret_cast<PaneData*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return SendMessageW(GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      const HDC dc = BeginPaint(hwnd, &paint);
      RECT box{};
      GetClientRect(hwnd, &box);
      if (data != nullptr && data->framed) {
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32W(dc, data->title.c_str(), static_cast<int>(data->title.size()), &extent);
        box.top += extent.cy / 2;
        DrawEdge(dc, &box, EDGE_ETCHED, BF_RECT);
        const int left = MulDiv(8, WindowDpi(hwnd), 96);
        const RECT behind{left - 2, 0, left + extent.cx + 2, extent.cy};
        FillRect(dc, &behind, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        TextOutW(dc, left, 0, data->title.c_str(), static_cast<int>(data->title.size()));
        SelectObject(dc, old);
      } else if (data != nullptr) {
        // A tab page: the tab row's border carried down its sides and foot.
        const HBRUSH line = GetSysColorBrush(COLOR_3DSHADOW);
        const RECT sides[] = {{box.left, box.top, box.left + 1, box.bottom},
                              {box.right - 1, box.top, box.right, box.bottom},
                              {box.left, box.bottom - 1, box.right, box.bottom}};
        for (const RECT& side : sides) FillRect(dc, &side, line);
      }
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_SETFONT:
      SetPropW(hwnd, L"ZarnFont", reinterpret_cast<HANDLE>(wParam));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(GetPropW(hwnd, L"ZarnFont"));
    case WM_NCDESTROY:
      RemovePropW(hwnd, L"ZarnFont");
      delete data;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      return DefWindowProcW(hwnd, message, wParam, lParam);
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void AttachPane(HWND pane, std::wstring title, bool framed) {
  SetWindowLongPtrW(pane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new PaneData{std::move(title), framed}));
}

bool SetPaneTitle(HWND pane, const std::wstring& title) {
  auto* data = reinterpret_cast<PaneData*>(GetWindowLongPtrW(pane, GWLP_USERDATA));
  if (data == nullptr || data->title == title) return false;
  data->title = title;
  InvalidateRect(pane, nullptr, TRUE);
  return true;
}

void KeepDialogKeys(HWND edit) { SetWindowSubclass(edit, &LeaveDialogKeys, 1, 0); }

void NameForScreenReaders(HWND control, const std::wstring& name) { ScreenReaderNames::Get().Name(control, name); }

void FillListBox(HWND list, const std::vector<std::string>& items, int selected) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  SendMessageW(list, LB_INITSTORAGE, items.size(), static_cast<LPARAM>(items.size() * 64));
  for (const std::string& item : items)
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void FitColumns(HWND table) {
  const auto header = reinterpret_cast<HWND>(SendMessageW(table, LVM_GETHEADER, 0, 0));
  const auto columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int c = 0; c < columns; ++c) {
    wchar_t title[128] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = 128;
    SendMessageW(table, LVM_GETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    SendMessageW(table, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c), LVSCW_AUTOSIZE);
    const auto cells = static_cast<int>(SendMessageW(table, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0));
    const auto titleWidth =
        static_cast<int>(SendMessageW(table, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(title)));
    SendMessageW(table, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c),
                 std::max(cells, titleWidth + MulDiv(16, WindowDpi(table), 96)));
  }
}

void FillTable(HWND table, const TextTable& content) {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(table, LVM_GETHEADER, 0, 0));
  const int columns = static_cast<int>(content.columns.size()) + 1;
  const bool reshaped = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) != columns ||
                        static_cast<std::size_t>(SendMessageW(table, LVM_GETITEMCOUNT, 0, 0)) != content.rows.size();
  SendMessageW(table, WM_SETREDRAW, FALSE, 0);
  if (reshaped) {
    SendMessageW(table, LVM_DELETEALLITEMS, 0, 0);
    while (SendMessageW(table, LVM_DELETECOLUMN, 0, 0) != FALSE) {
    }
    for (int c = 0; c < columns; ++c) {
      std::wstring title = c == 0 ? std::wstring() : Wide(content.columns[static_cast<std::size_t>(c - 1)]);
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
      column.fmt = c == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
      column.cx = 60;
      column.pszText = title.data();
      SendMessageW(table, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    for (std::size_t r = 0; r < content.rows.size(); ++r) {
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(r);
      std::wstring text;
      item.pszText = text.data();
      SendMessageW(table, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
  }
  const auto set = [&](int row, int column, const std::string& text) {
    wchar_t held[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = held;
    item.cchTextMax = 256;
    SendMessageW(table, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    std::wstring wide = Wide(text);
    if (wide == held) return;
    item.pszText = wide.data();
    SendMessageW(table, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  };
  for (std::size_t r = 0; r < content.rows.size(); ++r) {
    set(static_cast<int>(r), 0, content.rows[r]);
    for (std::size_t c = 0; c < content.cells[r].size(); ++c) {
      set(static_cast<int>(r), static_cast<int>(c) + 1, content.cells[r][c]);
    }
  }
  if (reshaped) FitColumns(table);
  SendMessageW(table, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(table, nullptr, TRUE);
}

std::optional<std::string> AskFile(HWND owner, const char* call, const wchar_t* title, const wchar_t* filter,
                                   std::string_view suggested, DWORD flags) {
  const FileDialog dialog = CommonDialog(call);
  if (dialog == nullptr) return std::nullopt;
  std::wstring path(32768, L'\0');  // long paths too
  const std::wstring start = Wide(suggested);
  start.copy(path.data(), std::min(start.size(), path.size() - 1));
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = filter;
  request.lpstrFile = path.data();
  request.nMaxFile = static_cast<DWORD>(path.size());
  request.lpstrTitle = title;
  request.lpstrDefExt = L"bin";
  request.Flags = flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (!dialog(&request)) return std::nullopt;
  path.resize(std::wcslen(path.c_str()));
  return Utf8(path);
}

}  // namespace zarn::forms::win32
