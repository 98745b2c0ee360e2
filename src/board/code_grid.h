// The cells around a search window as the 2-bit codes of the line table (0 empty, 1 a +1
// stone, 2 a -1 stone, 3 off the board), with a margin of five cells on every side: the move
// generator fills it once per call, and every line code is then ten loads without bounds tests.
#pragma once

#include <cstdint>

#include "board/board.h"

class CodeGrid {
 public:
  // Fills the rows row_from - 5 .. row_to + 5 and the columns col_from - 5 .. col_to + 5.
  void fill(const Board& board, int row_from, int row_to, int col_from, int col_to) {
    static constexpr uint8_t STONE_CODE[4] = {2, 0, 1, 3};  // by (cell value + 1) mod 4
    for (int r = row_from - MARGIN; r <= row_to + MARGIN; ++r) {
      uint8_t* line = &cells_[(r + MARGIN) * STRIDE + MARGIN];
      for (int c = col_from - MARGIN; c <= col_to + MARGIN; ++c) {
        line[c] = board.on_board(r, c) ? STONE_CODE[(board.at(r, c) + 1) & 3] : 3;
      }
    }
  }

  // The line table's code of the line through (row, col) in `direction`, centre left out.
  uint32_t line_code(int row, int col, int direction) const {
    static constexpr int STEP[4] = {STRIDE, STRIDE + 1, 1, 1 - STRIDE};
    const uint8_t* centre = &cells_[(row + MARGIN) * STRIDE + col + MARGIN];
    const int step = STEP[direction];
    uint32_t code = 0;
    for (int k = -5; k <= 5; ++k) {
      if (k == 0) continue;
      code |= static_cast<uint32_t>(centre[k * step]) << (2 * (k < 0 ? k + 5 : k + 4));
    }
    return code;
  }

 private:
  static constexpr int MARGIN = 5;
  static constexpr int STRIDE = BOARD_STRIDE + 2 * MARGIN;
  uint8_t cells_[STRIDE * STRIDE];
};
