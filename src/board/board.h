// The one position representation: a 20 x 20 board of which the top-left dim x dim square is
// in play, the four line directions, and the small helpers every analysis shares.
#pragma once

#include <array>
#include <cstdlib>

constexpr int BOARD_STRIDE = 20;
constexpr int MAX_DIM = 20;
constexpr int MIN_DIM = 15;

// A stone of the side that moved first is 1, of the side that moved second -1; 0 is empty.
// The stride stays 20 whatever the size; cells outside dim x dim carry no meaning and are never
// read by the analysis (a smaller game after a larger one leaves old stones there).
struct Board {
  std::array<int, BOARD_STRIDE * BOARD_STRIDE> cells{};
  int dim = 0;

  int& at(int row, int col) { return cells[row * BOARD_STRIDE + col]; }
  int at(int row, int col) const { return cells[row * BOARD_STRIDE + col]; }
  bool on_board(int row, int col) const { return row >= 0 && row < dim && col >= 0 && col < dim; }
};

struct Direction {
  int drow;
  int dcol;
};

// Each line is read in this one orientation only; the index is the direction number (`sm`).
constexpr std::array<Direction, 4> DIRECTIONS = {{{1, 0}, {1, 1}, {0, 1}, {-1, 1}}};

// Empties the dim x dim square; the cells beyond it keep whatever they held.
void clear_board(Board& board);

inline int cell_distance(int row_a, int col_a, int row_b, int col_b) {
  const int dr = std::abs(row_a - row_b);
  const int dc = std::abs(col_a - col_b);
  return dr > dc ? dr : dc;
}
