// Board maintenance shared by the game and the benchmark's scratch board.
#include "board/board.h"

void clear_board(Board& board) {
  for (int row = 0; row < board.dim; ++row) {
    for (int col = 0; col < board.dim; ++col) {
      board.at(row, col) = 0;
    }
  }
}
