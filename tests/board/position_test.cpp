#include "board/position.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "board/line_window.h"

namespace {

bool has(const Position::PointSet& points, int r, int c) {
  const int point = r * BOARD_STRIDE + c;
  return (points[point >> 6] >> (point & 63) & 1) != 0;
}

// Everything the position keeps must equal a fresh analysis of its board: each empty point's
// class and lines, and the lists the generator puts it into by its class.
void expect_matches_reference(const Position& pos, const Board& reference) {
  ASSERT_EQ(pos.board().cells, reference.cells);
  for (int r = 0; r < reference.dim; ++r) {
    for (int c = 0; c < reference.dim; ++c) {
      for (int side : {1, -1}) {
        if (reference.at(r, c) != 0) {
          ASSERT_FALSE(has(pos.listed(side), r, c)) << r << "," << c;
          continue;
        }
        const auto [th, count, fo, sm] = classify_point(reference, r, c, side, pos.rule());
        const PointThreat got = pos.threat(r, c, side);
        ASSERT_EQ((std::array{got.th, got.c, got.fo, got.sm}), (std::array{th, count, fo, sm}))
            << r << "," << c << " side " << side;
        ASSERT_EQ((std::array{has(pos.listed(side), r, c), has(pos.own_main(side), r, c),
                              has(pos.opp_short(side), r, c)}),
                  (std::array{th >= 2 || count >= 2, th >= 3 || (th == 2 && count >= 2),
                              th == 4 || (th == 3 && (count >= 2 || fo == 2)) || fo == 2}))
            << r << "," << c << " side " << side;
        for (int d = 0; d < 4; ++d) {
          const LineStrength line = analyse_line(read_line(reference, r, c, d), side, pos.rule());
          const LineStrength kept = pos.line(r, c, d, side);
          ASSERT_EQ((std::array{kept.best, kept.count}), (std::array{line.best, line.count}))
              << r << "," << c << " side " << side << " direction " << d;
        }
      }
    }
  }
}

// Random boards of every size under both rules, then random runs of stones placed and taken
// off again, last first as the search does, checked against the reference after every step.
TEST(Position, IncrementalAnalysisMatchesReferenceThroughRandomPlaceAndRemove) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 60; ++round) {
    Board board;
    board.dim = 15 + static_cast<int>(rng() % 6);
    const int rule = static_cast<int>(rng() % 2);
    // Leftover stones beyond dim, as a smaller game after a larger one leaves them.
    if (board.dim < MAX_DIM) board.at(board.dim, rng() % MAX_DIM) = 1;
    if (board.dim < MAX_DIM) board.at(rng() % MAX_DIM, board.dim) = -1;
    const int initial = static_cast<int>(rng() % 40);
    for (int i = 0; i < initial; ++i)
      board.at(rng() % board.dim, rng() % board.dim) = rng() % 2 ? 1 : -1;

    Position pos(board, rule);
    expect_matches_reference(pos, board);
    std::vector<std::pair<int, int>> placed;
    for (int step = 0; step < 40; ++step) {
      if (placed.empty() || rng() % 3 != 0) {
        const int r = static_cast<int>(rng() % board.dim), c = static_cast<int>(rng() % board.dim);
        if (board.at(r, c) != 0) continue;
        const int stone = rng() % 2 ? 1 : -1;
        board.at(r, c) = stone;
        pos.place(r, c, stone);
        placed.push_back({r, c});
      } else {
        const auto [r, c] = placed.back();
        board.at(r, c) = 0;
        pos.remove(r, c);
        placed.pop_back();
      }
      expect_matches_reference(pos, board);
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
