#include "forms/layout/grid.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace zarn::forms::grid {
namespace {

int StretchOf(std::span<const std::uint8_t> stretch, int index) {
  return index < static_cast<int>(stretch.size()) ? stretch[static_cast<std::size_t>(index)] : 0;
}

bool IsContainer(Part part) { return part == Part::Group || part == Part::Pages || part == Part::Tabs; }

int LeastWidth(const Host& host, const Grid& grid);
int HeightAt(const Host& host, const Grid& grid, int width);

int CellLeastWidth(const Host& host, const Cell& cell) {
  if (cell.part == Part::Grid) return cell.grid != nullptr ? LeastWidth(host, *cell.grid) : 0;
  if (!IsContainer(cell.part)) return host.Least(cell).width;
  const Insets frame = host.Frame(cell);
  int inner = 0;
  const int pages = cell.part == Part::Tabs ? static_cast<int>(cell.tabs.size()) : 1;
  for (int tab = 0; tab < pages; ++tab) {
    if (const Grid* grid = host.Inner(cell, tab)) inner = std::max(inner, LeastWidth(host, *grid));
  }
  return frame.left + inner + frame.right;
}

int CellHeightAt(const Host& host, const Cell& cell, int width) {
  if (cell.part == Part::Grid) return cell.grid != nullptr ? HeightAt(host, *cell.grid, width) : 0;
  if (!IsContainer(cell.part)) return host.HeightAt(cell, width);
  const Insets frame = host.Frame(cell);
  int inner = 0;
  const int pages = cell.part == Part::Tabs ? static_cast<int>(cell.tabs.size()) : 1;
  for (int tab = 0; tab < pages; ++tab) {
    if (const Grid* grid = host.Inner(cell, tab)) {
      inner = std::max(inner, HeightAt(host, *grid, width - frame.left - frame.right));
    }
  }
  const int row = cell.part == Part::Tabs ? host.TabRowHeight(cell) : 0;
  return row + frame.top + inner + frame.bottom;
}

// The sizes of a grid's columns or rows: each one's least size, whether it
// holds anything, and where each starts once the room is shared out.
struct Tracks {
  std::vector<int> size;
  std::vector<bool> used;
  std::vector<int> start;

  int Least(int spacing) const {
    int total = 0;
    int count = 0;
    for (std::size_t i = 0; i < size.size(); ++i) {
      if (!used[i]) continue;
      total += size[i];
      ++count;
    }
    return total + spacing * std::max(0, count - 1);
  }

  // Adds what a cell over several tracks needs beyond them to the last one
  // that stretches, or else to the last.
  void Widen(int first, int span, int needed, int spacing, std::span<const std::uint8_t> stretch) {
    int have = 0;
    int target = first + span - 1;
    for (int i = first; i < first + span; ++i) {
      have += size[static_cast<std::size_t>(i)];
      if (StretchOf(stretch, i) > 0) target = i;
    }
    have += spacing * (span - 1);
    if (needed > have) size[static_cast<std::size_t>(target)] += needed - have;
  }

  // Shares out the room beyond the least size by the stretch factors, and
  // works out where each track starts.
  void Share(int room, int spacing, std::span<const std::uint8_t> stretch) {
    int extra = room - Least(spacing);
    int factors = 0;
    for (std::size_t i = 0; i < size.size(); ++i) factors += StretchOf(stretch, static_cast<int>(i));
    if (extra > 0 && factors > 0) {
      int left = extra;
      int lastStretching = -1;
      for (std::size_t i = 0; i < size.size(); ++i) {
        const int factor = StretchOf(stretch, static_cast<int>(i));
        if (factor == 0) continue;
        const int share = extra * factor / factors;
        size[i] += share;
        left -= share;
        lastStretching = static_cast<int>(i);
      }
      size[static_cast<std::size_t>(lastStretching)] += left;
    }
    start.assign(size.size(), 0);
    int at = 0;
    bool any = false;
    for (std::size_t i = 0; i < size.size(); ++i) {
      if (used[i] && any) at += spacing;
      start[i] = at;
      // An empty track that stretches is a spring: it pushes those after it
      // along by its share.
      at += size[i];
      any = any || used[i];
    }
  }

  int Extent(int first, int span) const {
    const auto last = static_cast<std::size_t>(first + span - 1);
    return start[last] + size[last] - start[static_cast<std::size_t>(first)];
  }
};

int CountOf(const Host& host, const Grid& grid, bool columns) {
  int count = 0;
  for (const Cell& cell : grid.cells) {
    if (host.Shown(cell)) count = std::max(count, columns ? cell.column + cell.columnSpan : cell.row + cell.rowSpan);
  }
  return count;
}

Tracks ColumnTracks(const Host& host, const Grid& grid) {
  const auto count = static_cast<std::size_t>(CountOf(host, grid, true));
  Tracks tracks{std::vector<int>(count, 0), std::vector<bool>(count, false), {}};
  // Cells over one column first, then the wider ones add what they lack.
  for (const bool spanning : {false, true}) {
    for (const Cell& cell : grid.cells) {
      if (!host.Shown(cell) || (cell.columnSpan > 1) != spanning) continue;
      const int width = CellLeastWidth(host, cell);
      for (int c = cell.column; c < cell.column + cell.columnSpan; ++c) tracks.used[static_cast<std::size_t>(c)] = true;
      tracks.Widen(cell.column, cell.columnSpan, width, host.Spacing(), grid.columnStretch);
    }
  }
  return tracks;
}

Tracks RowTracks(const Host& host, const Grid& grid, const Tracks& columns) {
  const auto count = static_cast<std::size_t>(CountOf(host, grid, false));
  Tracks tracks{std::vector<int>(count, 0), std::vector<bool>(count, false), {}};
  for (const bool spanning : {false, true}) {
    for (const Cell& cell : grid.cells) {
      if (!host.Shown(cell) || (cell.rowSpan > 1) != spanning) continue;
      const int height = CellHeightAt(host, cell, columns.Extent(cell.column, cell.columnSpan));
      for (int r = cell.row; r < cell.row + cell.rowSpan; ++r) tracks.used[static_cast<std::size_t>(r)] = true;
      tracks.Widen(cell.row, cell.rowSpan, height, host.Spacing(), grid.rowStretch);
    }
  }
  return tracks;
}

int LeastWidth(const Host& host, const Grid& grid) { return ColumnTracks(host, grid).Least(host.Spacing()); }

int HeightAt(const Host& host, const Grid& grid, int width) {
  Tracks columns = ColumnTracks(host, grid);
  columns.Share(width, host.Spacing(), grid.columnStretch);
  return RowTracks(host, grid, columns).Least(host.Spacing());
}

// Controls that keep their own height, centred in their row, and those that
// keep their own width too.
bool OwnHeight(Part part) {
  return part == Part::Caption || part == Part::Figure || part == Part::Text || part == Part::Choice ||
         part == Part::Check || part == Part::Button;
}
bool OwnWidth(Part part) { return part == Part::Check || part == Part::Button; }

void PlaceCell(Host& host, const Cell& cell, const Rect& box) {
  if (cell.part == Part::Grid) {
    if (cell.grid != nullptr) Arrange(host, *cell.grid, box);
    return;
  }
  if (!IsContainer(cell.part)) {
    Rect rect = box;
    if (OwnWidth(cell.part)) rect.width = std::min(box.width, host.Least(cell).width);
    if (OwnHeight(cell.part)) {
      rect.height = std::min(box.height, host.HeightAt(cell, rect.width));
      rect.top = box.top + (box.height - rect.height) / 2;
    } else if (cell.part == Part::Note) {
      rect.height = std::min(box.height, host.HeightAt(cell, rect.width));
    }
    host.Place(cell, -1, rect);
    return;
  }
  const Insets frame = host.Frame(cell);
  if (cell.part != Part::Tabs) {
    host.Place(cell, -1, box);
    if (const Grid* grid = host.Inner(cell, 0)) {
      Arrange(host, *grid,
              {frame.left, frame.top, box.width - frame.left - frame.right, box.height - frame.top - frame.bottom});
    }
    return;
  }
  const int row = host.TabRowHeight(cell);
  host.Place(cell, -1, {box.left, box.top, box.width, row});
  const Rect pane{box.left, box.top + row, box.width, box.height - row};
  for (int tab = 0; tab < static_cast<int>(cell.tabs.size()); ++tab) {
    host.Place(cell, tab, pane);
    if (const Grid* grid = host.Inner(cell, tab)) {
      Arrange(host, *grid,
              {frame.left, frame.top, pane.width - frame.left - frame.right, pane.height - frame.top - frame.bottom});
    }
  }
}

}  // namespace

Size LeastSize(const Host& host, const Grid& grid) {
  const int width = LeastWidth(host, grid);
  return {width, HeightAt(host, grid, width)};
}

void Arrange(Host& host, const Grid& grid, const Rect& rect) {
  Tracks columns = ColumnTracks(host, grid);
  columns.Share(rect.width, host.Spacing(), grid.columnStretch);
  Tracks rows = RowTracks(host, grid, columns);
  rows.Share(rect.height, host.Spacing(), grid.rowStretch);
  for (const Cell& cell : grid.cells) {
    if (!host.Shown(cell)) continue;
    const auto column = static_cast<std::size_t>(cell.column);
    const auto row = static_cast<std::size_t>(cell.row);
    PlaceCell(host, cell,
              {rect.left + columns.start[column], rect.top + rows.start[row],
               columns.Extent(cell.column, cell.columnSpan), rows.Extent(cell.row, cell.rowSpan)});
  }
}

}  // namespace zarn::forms::grid
