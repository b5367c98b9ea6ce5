#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zarn::forms::layout {

// A window's controls as data, the same for every toolkit: positions and
// sizes in twips (1440 to the inch, 15 to a pixel at 96 dpi), texts, fonts
// and colours. A control's box counts from the top-left corner of the frame
// it sits in, or of the window's inside.

enum class Kind : std::uint8_t {
  Frame,    // a group frame with its caption in the top edge
  Label,    // static text
  Link,     // static text that is clicked like a link
  TextBox,  // a one-line text box
  List,     // a drop-down list
  Button,
  Picture,  // a picture in a sunken border; the box is the border's outside
  Rule,     // a filled line, drawn on the window's background in table order
};

enum class Align : std::uint8_t { Left, Centre };

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool isDefault = true;  // the system's colour for the control's kind
};

inline constexpr Colour kDefaultColour{};
inline constexpr Colour kBlue{0, 0, 255, false};
inline constexpr Colour kBlack{0, 0, 0, false};
inline constexpr Colour kWhite{255, 255, 255, false};
inline constexpr Colour kGrey{128, 128, 128, false};

// The classic dialog face, in points.
inline constexpr std::string_view kFace = "MS Sans Serif";

struct Font {
  double points = 8.25;
  bool bold = false;
  bool underline = false;
  friend constexpr bool operator==(const Font&, const Font&) = default;
};

inline constexpr Font kRegular{8.25, false, false};
inline constexpr Font kBold{8.25, true, false};

struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend constexpr bool operator==(const Box&, const Box&) = default;
};

struct Control {
  std::string_view name;
  Kind kind;
  std::string_view frame;  // the frame it sits in; empty for the window
  Box box;                 // twips
  std::string_view text;   // '&' marks a button's access key
  Font font = kRegular;
  Colour colour = kDefaultColour;
  Align align = Align::Left;
};

struct Window {
  std::string_view name;
  std::string_view caption;  // before the program sets its own
  int width;                 // the inside, in twips
  int height;
  std::span<const Control> controls;  // frames first; the focus moves through the others in this order
};

// Twips to pixels at a resolution, rounded to the nearest pixel.
constexpr int Pixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

constexpr const Control* Find(const Window& window, std::string_view name) {
  for (const Control& control : window.controls) {
    if (control.name == name) return &control;
  }
  return nullptr;
}

// The control of that name; a name missing from the table is a fault of the
// program.
inline const Control& Get(const Window& window, std::string_view name) {
  if (const Control* control = Find(window, name)) return *control;
  throw std::out_of_range("no control named " + std::string(name));
}

// A control's box from the window's inside, in twips.
constexpr Box WindowBox(const Window& window, const Control& control) {
  Box box = control.box;
  if (!control.frame.empty()) {
    if (const Control* frame = Find(window, control.frame)) {
      box.left += frame->box.left;
      box.top += frame->box.top;
    }
  }
  return box;
}

// The same in pixels at a resolution: each edge is rounded, so that boxes
// that meet in twips meet in pixels.
constexpr Box PixelBox(const Window& window, const Control& control, int dpi) {
  const Box b = WindowBox(window, control);
  const int left = Pixels(b.left, dpi);
  const int top = Pixels(b.top, dpi);
  return {left, top, Pixels(b.left + b.width, dpi) - left, Pixels(b.top + b.height, dpi) - top};
}

}  // namespace zarn::forms::layout
