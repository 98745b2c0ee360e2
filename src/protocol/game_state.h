// The protocol's game: the one board, whose turn the engine plays, and the stones in play order.
#pragma once

#include <array>

#include "board/board.h"
#include "movegen/move.h"

enum GamePhase { NO_BOARD = 0, BOARD_READY = 1, ENGINE_FIRST = 2, ENGINE_SECOND = 3 };

constexpr int MOVE_HISTORY_SIZE = BOARD_STRIDE * BOARD_STRIDE + 1;

struct GameState {
  int state = NO_BOARD;
  int engine_stone = 0;  // +1 when the engine moved first, -1 when second; 0 until fixed
  Board board;           // board.dim is the board size: 15..20 once START succeeded, else 0
  int move_count = 0;
  std::array<Move, MOVE_HISTORY_SIZE> move_history{};  // 1-based; only row and col are set

  // Every placed stone is recorded in placement order.
  void place(int row, int col, int stone) {
    board.at(row, col) = stone;
    if (move_count + 1 < MOVE_HISTORY_SIZE) {
      ++move_count;
      move_history[move_count].row = row;
      move_history[move_count].col = col;
    }
  }
};
