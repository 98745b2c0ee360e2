// Replies the move generator asks for at particular points: defences against a strong opponent
// threat, the check of a double-threat four, and the cells that prepare a second line through a
// single four. All read the board and never change it.
#pragma once

#include "board/position.h"
#include "movegen/move_list.h"

// Appends the replies worth searching against side `s`'s threat at `p` (th 2 or more for s),
// each as (row, col, -1, 1 if g > 0 else 0, 1).
void defence_moves(const Position& pos, const Move& p, int s, Move* out, int& count, int g);

// 1 unless the opponent could answer on the four's own line with a four of its own.
int verify_four_line(const Position& pos, const Move& p, int side);

// Appends, for every direction but `skip`, the extension cells of p's line, each carrying p's
// kind, forcing and main_only.
void extension_moves(const Position& pos, const Move& p, int side, Move* list, int& count,
                     int skip);
