#pragma once

// One cell of the board: column from the left, row from the top. A solution is a
// list of cells to click, each the tile that slides into the blank.
struct CCell {
    int col = 0;
    int row = 0;

    constexpr CCell() = default;
    constexpr CCell(int c, int r) : col(c), row(r) {}
    constexpr bool operator==(const CCell&) const = default;
};
