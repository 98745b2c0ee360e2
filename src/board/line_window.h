// The 11-cell strip of one line through a point, on which all pattern analysis works.
#pragma once

#include <array>

#include "board/board.h"

// Entry 5 is the point; entries 0..4 lie behind it and 6..10 ahead along the direction.
// Off-board cells read as OFF_BOARD, which equals neither side nor empty, so every
// own/opponent/empty test fails on them.
constexpr int OFF_BOARD = 2;
constexpr int LINE_WINDOW_SIZE = 11;
constexpr int LINE_WINDOW_CENTRE = 5;

using LineWindow = std::array<int, LINE_WINDOW_SIZE>;

// The point itself must lie on the board.
inline LineWindow read_line(const Board& board, int row, int col, int direction) {
  const Direction d = DIRECTIONS[direction];
  LineWindow w;
  int r = row - LINE_WINDOW_CENTRE * d.drow;
  int c = col - LINE_WINDOW_CENTRE * d.dcol;
  for (int k = 0; k < LINE_WINDOW_SIZE; ++k, r += d.drow, c += d.dcol) {
    w[k] = board.on_board(r, c) ? board.at(r, c) : OFF_BOARD;
  }
  return w;
}
