#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace zarn::forms::grid {

// A window described as grids of cells, the same for every toolkit: which
// control sits in which row and column, over how many, and which rows and
// columns take the room left over. Sizes are the toolkit's (pixels); only
// the arrangement is described here.

enum class Part : std::uint8_t {
  Caption,  // static text; an '&' gives the access key of the control after it
  Note,     // static text wrapped to the cell's width
  Figure,   // static text the window writes: a figure or a message
  Text,     // a one-line input (id: its TimingsText)
  Check,    // a check box (id: its TimingsCheck)
  Choice,   // a drop-down list (id: its TimingsChoice)
  Button,
  List,    // a list of rows, one of them picked
  Table,   // texts in rows and columns, with headers
  Export,  // read-only text of several lines in a fixed-width font
  Log,     // read-only text of several lines that wrap, its last line in view
  Grid,    // a grid inside the cell
  Group,   // a grid inside a frame with a caption
  Pages,   // the page of the item chosen in a list; one shown at a time
  Tabs,    // a row of tabs over their pages
};

enum class Align : std::uint8_t { Left, Right };

struct Grid;

// A page of a Tabs cell.
struct Tab {
  std::string_view name;
  std::string_view text;
  const Grid* grid;
};

struct Cell {
  Part part;
  int row = 0;
  int column = 0;
  int rowSpan = 1;
  int columnSpan = 1;
  std::string_view name;  // the control's name, as the other toolkits name it
  std::string_view text;  // its caption; '&' marks the access key
  int id = -1;            // for inputs, which one of the window's kind
  const Grid* grid = nullptr;
  std::span<const Tab> tabs;
  Align align = Align::Left;
  std::string_view accessibleName;  // where the caption is not the name
};

// Cells in any order; a row or column stretches by its factor (0: keeps its
// least size; past the end of a list: 0).
struct Grid {
  std::span<const Cell> cells;
  std::span<const std::uint8_t> columnStretch;
  std::span<const std::uint8_t> rowStretch;
};

struct Size {
  int width = 0;
  int height = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

struct Insets {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// What the solver needs of the toolkit: which cells show, how big a control
// is, the room a frame takes, and where to put things.
class Host {
 public:
  virtual ~Host() = default;
  // Hidden cells take no room.
  virtual bool Shown(const Cell& cell) const = 0;
  // A control's least width, and its height at that width.
  virtual Size Least(const Cell& cell) const = 0;
  // A control's height at a width (text that wraps grows taller).
  virtual int HeightAt(const Cell& cell, int width) const { return width >= 0 ? Least(cell).height : 0; }
  // The grid inside a Group, Pages or Tabs cell (tab: which page of Tabs).
  virtual const Grid* Inner(const Cell& cell, int tab) const {
    return cell.part == Part::Tabs ? cell.tabs[static_cast<std::size_t>(tab)].grid : cell.grid;
  }
  // The room around the inner grid of a Group or Pages cell, or of a page
  // of Tabs inside its pane.
  virtual Insets Frame(const Cell& cell) const = 0;
  // The height of the row of tabs of a Tabs cell, above its pages' pane.
  virtual int TabRowHeight(const Cell& cell) const = 0;
  // The space between rows and between columns, and a row's least height.
  virtual int Spacing() const = 0;
  // Puts a control, or a container's window (tab -1: the tab row of Tabs;
  // 0 on: the pane of that page, below the row), at rect in the coordinates
  // of the container it is in.
  virtual void Place(const Cell& cell, int tab, const Rect& rect) = 0;
};

// The least size of a grid: the widest its columns need, the height then.
Size LeastSize(const Host& host, const Grid& grid);

// Lays the grid out in rect: columns and rows get their least size and share
// what is left by their stretch; each control is placed in its cells (inputs,
// check boxes and buttons at their own height, centred in their row; buttons
// and check boxes at their own width). The inner grid of a container is laid
// out from the container's own top-left corner.
void Arrange(Host& host, const Grid& grid, const Rect& rect);

}  // namespace zarn::forms::grid
