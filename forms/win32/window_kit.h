#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/number_locale.h"
#include "forms/layout/layout.h"

namespace zarn::forms::win32 {

// Text crosses into Win32 as UTF-16 and comes back as UTF-8.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
std::string WindowText(HWND window);
// Sets a window's text; the caller decides whether a write of equal text is
// skipped.
void SetWindowTextUtf8(HWND window, std::string_view text);
// The same for a label, which is transparent: what lay under it is redrawn.
void SetLabelText(HWND label, std::string_view text);

// The resolution the window is shown at: its monitor's, for a program aware
// of each monitor's resolution; 96 on systems without that notion.
int WindowDpi(HWND window);

// The user's decimal separator, from the regional settings.
engine::NumberLocale UserNumberLocale();

COLORREF ToColorRef(layout::Colour colour);

// The layout's fonts at one resolution, each made on first use and kept until
// the resolution changes.
class FontSet {
 public:
  FontSet() = default;
  ~FontSet();
  FontSet(const FontSet&) = delete;
  FontSet& operator=(const FontSet&) = delete;

  HFONT Get(const layout::Font& font, int dpi);

 private:
  void Clear();
  struct Entry {
    layout::Font font;
    HFONT handle;
  };
  int dpi_ = 0;
  std::vector<Entry> entries_;
};

// One control of a layout, made as a child of the window.
struct LiveControl {
  const layout::Control* control;
  HWND hwnd;
};

// Makes the window's controls: the ones that take the focus in table order
// (which is then the Tab order), then labels and links, then frames, so that
// a text box overlapping a label's box is drawn over it. Rules and pictures
// are drawn by the window itself except the picture, a STATIC. Control ids
// start at firstId in table order.
std::vector<LiveControl> CreateControls(HWND parent, const layout::Window& window, int firstId, int dpi,
                                        FontSet& fonts);

// Moves each control to its box at dpi and gives it its font there; a
// drop-down list keeps the box's height closed.
void PlaceControls(HWND parent, const layout::Window& window, const std::vector<LiveControl>& controls, int dpi,
                   FontSet& fonts);

// The window's outer size for an inside of the layout's size at dpi.
SIZE OuterSize(HWND hwnd, const layout::Window& window, int dpi);

// WM_CTLCOLORSTATIC / WM_CTLCOLOREDIT / WM_CTLCOLORBTN: the layout's text
// colour on the dialog face (or, for text boxes, on the window colour).
LRESULT ControlColours(const std::vector<LiveControl>& controls, HWND control, HDC dc, UINT message,
                       COLORREF textOverride, bool overrideText);

// The inside of a text box's sunken border at dpi, where its edit sits.
RECT TextBoxInside(const layout::Box& box, int dpi);

// Paints the sunken borders of the layout's text boxes at dpi, and their
// inside in the window colour; each text box's edit is as tall as its text
// and centred in it.
void PaintTextBoxBorders(HDC dc, const layout::Window& window, int dpi);

// Paints the layout's rules at dpi.
void PaintRules(HDC dc, const layout::Window& window, int dpi);

const LiveControl* FindLive(const std::vector<LiveControl>& controls, std::string_view name);

}  // namespace zarn::forms::win32
