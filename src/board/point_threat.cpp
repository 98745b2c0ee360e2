// Point classification: the best of the four lines through a point, plus how many of them are
// strong (a four, or a three in two windows) or live (anything better than a lone weak line).
#include "board/point_threat.h"

#include "board/line_table.h"

namespace {

// Folds the four directions' strengths, in direction order, into a PointThreat.
PointThreat fold_lines(const LineStrength* lines) {
  PointThreat t{0, 0, 0, -1};
  int strong_lines = 0;
  int live_lines = 0;
  for (int i = 0; i < 4; ++i) {
    const LineStrength s = lines[i];
    if (s.best == 0) continue;
    // On a full tie the lower direction keeps the place.
    if (s.best > t.th || (s.best == t.th && s.count > t.c)) {
      t.th = s.best;
      t.c = s.count;
      t.sm = i;
    }
    strong_lines += s.best == 3 || (s.best == 2 && s.count >= 2);
    live_lines += s.count >= 2 || (s.count == 1 && s.best >= 2);
  }
  t.fo = strong_lines >= 2 ? 2 : live_lines >= 2 ? 1 : 0;
  return t;
}

}  // namespace

PointThreat classify_point(const Board& board, int row, int col, int side, int rule) {
  LineStrength lines[4];
  for (int i = 0; i < 4; ++i) lines[i] = analyse_point_line(board, row, col, i, side, rule);
  return fold_lines(lines);
}
