// Table-driven line analysis for lines whose centre is empty, which is every line the search
// asks about. The ten cells around the centre, two bits each (0 empty, 1 a +1 stone, 2 a -1
// stone, 3 off the board), index a table of analyse_line results built once per rule from
// analyse_line itself, so the two always agree.
#pragma once

#include <cstdint>

#include "board/line_analysis.h"

constexpr int LINE_CODE_BITS = 20;

// The window of a code, with an empty centre.
LineWindow decode_line_code(uint32_t code);

// The LineStrength of every code for side +1; side -1 reads the code with colours swapped.
const uint8_t* line_table(int rule);

inline LineStrength unpack_line_entry(uint8_t e) { return {e & 7, (e >> 3) - 8}; }

// Swaps the two stone colours of a code: 01 <-> 10 in every cell, 00 and 11 stay.
inline uint32_t swap_colours(uint32_t code) {
  return code ^ (((code ^ (code >> 1)) & 0x55555u) * 3u);
}

// The 2-bit code of a board cell's value: 0 empty, 1 a +1 stone, 2 a -1 stone. By (value + 1)
// mod 4, so a value that cannot stand on a board still reads as a code.
inline uint32_t cell_code(int value) {
  static constexpr uint32_t CODE[4] = {2, 0, 1, 3};
  return CODE[(value + 1) & 3];
}

// The code of the line through (row, col) in `direction`; the centre itself is left out.
inline uint32_t line_code(const Board& board, int row, int col, int direction) {
  const Direction d = DIRECTIONS[direction];
  // Offsets -5..5 along the line that stay on the board.
  int lo = -5, hi = 5;
  auto clip = [&](int pos, int step) {
    if (step > 0) {
      if (-pos > lo) lo = -pos;
      if (board.dim - 1 - pos < hi) hi = board.dim - 1 - pos;
    } else if (step < 0) {
      if (pos - (board.dim - 1) > lo) lo = pos - (board.dim - 1);
      if (pos < hi) hi = pos;
    }
  };
  clip(row, d.drow);
  clip(col, d.dcol);
  uint32_t code = 0;
  for (int k = -5; k <= 5; ++k) {
    if (k == 0) continue;
    const int bit = 2 * (k < 0 ? k + 5 : k + 4);
    const uint32_t cell =
        k < lo || k > hi ? 3u : cell_code(board.at(row + k * d.drow, col + k * d.dcol));
    code |= cell << bit;
  }
  return code;
}

// analyse_line of the line through an empty point, by table.
inline LineStrength analyse_point_line(const Board& board, int row, int col, int direction,
                                       int side, int rule) {
  uint32_t code = line_code(board, row, col, direction);
  if (side < 0) code = swap_colours(code);
  return unpack_line_entry(line_table(rule)[code]);
}
