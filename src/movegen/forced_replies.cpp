// Forced replies. The main line of a point is its strongest direction `sm`, scanned over
// offsets -5..5; the cross line its second-strongest direction, scanned over -4..4.
#include "movegen/forced_replies.h"

#include "board/line_analysis.h"
#include "board/line_window.h"

namespace {

// Cells close enough to the threat point to be worth a defence, by the window count m of
// their own line.
bool passes_nearness(int m, int distance) {
  return m == 3 || (m == 2 && distance <= 3) || (m == 1 && distance == 1);
}

void append_all(const Move* from, int n, Move* out, int& count, int forcing) {
  for (int i = 0; i < n; ++i) uloz_tah(from[i].row, from[i].col, -1, forcing, 1, out, count);
}

}  // namespace

void defence_moves(const Position& pos, const Move& p, int s, Move* out, int& count, int g) {
  const Board& board = pos.board();
  const PointThreat t = pos.threat(p.row, p.col, s);
  const int forcing = g > 0 ? 1 : 0;
  // An open four that is also a double threat: only taking the point itself can help.
  if (t.th == 3 && t.c == 2 && t.fo == 2) {
    uloz_tah(p.row, p.col, -1, forcing, 1, out, count);
    return;
  }
  if (t.sm < 0) return;  // no line to defend on; callers never ask for such a point

  bool marking = false;
  bool use_cross = true;
  if (t.th == 3) {
    use_cross = t.c <= 1;
  } else if (t.th == 2) {
    marking = t.fo == 2;
  }

  int cross = -1;
  if (use_cross) {
    int best_l = 0, best_m = 0;
    for (int i = 0; i < 4; ++i) {
      if (i == t.sm) continue;
      const LineStrength ls = pos.line(p.row, p.col, i, s);
      if (ls.best >= 1 &&
          (cross < 0 || ls.best > best_l || (ls.best == best_l && ls.count > best_m))) {
        cross = i;
        best_l = ls.best;
        best_m = ls.count;
      }
    }
  }

  Move multi_fours[MOVE_LIST_CAPACITY];
  Move single_fours[MOVE_LIST_CAPACITY];
  Move near_cells[MOVE_LIST_CAPACITY];
  int n_multi = 0, n_single = 0, n_near = 0;

  const Direction main_dir = DIRECTIONS[t.sm];
  for (int k = -5; k <= 5; ++k) {
    const int r = p.row + k * main_dir.drow, c = p.col + k * main_dir.dcol;
    if (!board.on_board(r, c) || board.at(r, c) != 0) continue;
    const LineStrength ls = pos.line(r, c, t.sm, s);
    if (ls.best == 3 && ls.count >= 2)
      uloz_tah(r, c, 0, 0, 0, multi_fours, n_multi);
    else if (ls.best == 3 && ls.count == 1)
      uloz_tah(r, c, 0, 0, 0, single_fours, n_single);
    if (marking && passes_nearness(ls.count, cell_distance(p.row, p.col, r, c))) {
      uloz_tah(r, c, 0, 0, 0, near_cells, n_near);
    }
  }
  if (cross >= 0) {
    const Direction d = DIRECTIONS[cross];
    for (int k = -4; k <= 4; ++k) {
      const int r = p.row + k * d.drow, c = p.col + k * d.dcol;
      if (k == 0 || !board.on_board(r, c) || board.at(r, c) != 0) continue;
      const LineStrength ls = pos.line(r, c, cross, s);
      if (ls.best >= 2 && passes_nearness(ls.count, cell_distance(p.row, p.col, r, c))) {
        uloz_tah(r, c, 0, 0, 0, near_cells, n_near);
      }
    }
  }

  if (n_multi >= 2) {
    append_all(multi_fours, 2, out, count, forcing);
  } else if (n_multi == 1) {
    append_all(multi_fours, 1, out, count, forcing);
    append_all(single_fours, n_single, out, count, forcing);
  } else if (use_cross) {
    append_all(single_fours, n_single, out, count, forcing);
    append_all(near_cells, n_near, out, count, forcing);
  }
}

int verify_four_line(const Position& pos, const Move& p, int side) {
  const Board& board = pos.board();
  const PointThreat t = pos.threat(p.row, p.col, side);
  if (t.sm < 0) return 1;  // not a four point; callers never ask
  const Direction d = DIRECTIONS[t.sm];
  Move fours[MOVE_LIST_CAPACITY];
  int n = 0;
  for (int k = -5; k <= 5; ++k) {
    const int r = p.row + k * d.drow, c = p.col + k * d.dcol;
    if (!board.on_board(r, c) || board.at(r, c) != 0) continue;
    if (pos.threat(r, c, side).th == 3) uloz_tah(r, c, 0, 0, 0, fours, n);
  }
  for (int i = 0; i < n; ++i) {
    if (pos.threat(fours[i].row, fours[i].col, -side).th == 3) return 0;
  }
  return 1;
}

void extension_moves(const Position& pos, const Move& p, int side, Move* list, int& count,
                     int skip) {
  for (int dir = 0; dir < 4; ++dir) {
    if (dir == skip) continue;
    const int mask = extension_mask(read_line(pos.board(), p.row, p.col, dir), side, pos.rule());
    int offsets[LINE_WINDOW_SIZE];
    const int n = mask_to_offsets(mask, offsets);
    const Direction d = DIRECTIONS[dir];
    for (int i = 0; i < n; ++i) {
      const int step = offsets[i] - LINE_WINDOW_CENTRE;
      uloz_tah(p.row + step * d.drow, p.col + step * d.dcol, p.kind, p.forcing, p.main_only, list,
               count);
    }
  }
}
