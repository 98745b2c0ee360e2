// Micro-benchmarks of the innermost routines on a few realistic boards. Not part of the tests:
// run build/release/bench/ormel-microbench and read the items_per_second column.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "board/point_threat.h"
#include "board/position.h"
#include "movegen/tah.h"

namespace {

Board board_from_rows(const std::vector<std::string>& rows) {
  Board b;
  b.dim = static_cast<int>(rows.size());
  for (int r = 0; r < b.dim; ++r) {
    for (int c = 0; c < b.dim; ++c) {
      b.at(r, c) = rows[r][c] == 'x' ? 1 : rows[r][c] == 'o' ? -1 : 0;
    }
  }
  return b;
}

Board opening() {
  return board_from_rows({"...............", "...............", "...............",
                          "...............", "...............", "...............",
                          "......o........", ".......x.......", "........x......",
                          ".......o.......", "...............", "...............",
                          "...............", "...............", "..............."});
}

Board middle_game() {
  return board_from_rows({"...............", "...............", "...............",
                          "...............", ".....o.........", "....xxo.o......",
                          "....oxxxo......", "....xoxox......", "...o.xoox......",
                          "......x.o......", ".....x.........", "...............",
                          "...............", "...............", "..............."});
}

// A scattered, crowded 20 x 20 board: 120 stones at seeded random places.
Board crowded() {
  Board b;
  b.dim = 20;
  std::mt19937 rng(7);
  for (int placed = 0; placed < 120;) {
    const int r = static_cast<int>(rng() % 20), c = static_cast<int>(rng() % 20);
    if (b.at(r, c) != 0) continue;
    b.at(r, c) = placed % 2 ? -1 : 1;
    ++placed;
  }
  return b;
}

// Every empty cell for both sides, as the move generator does at each node.
void classify_all(benchmark::State& state, const Board& b) {
  int64_t classified = 0;
  for (auto _ : state) {
    for (int r = 0; r < b.dim; ++r) {
      for (int c = 0; c < b.dim; ++c) {
        if (b.at(r, c) != 0) continue;
        benchmark::DoNotOptimize(classify_point(b, r, c, 1, 1));
        benchmark::DoNotOptimize(classify_point(b, r, c, -1, 1));
        classified += 2;
      }
    }
  }
  state.SetItemsProcessed(classified);
}

void BM_ClassifyOpening(benchmark::State& s) { classify_all(s, opening()); }
void BM_ClassifyMiddleGame(benchmark::State& s) { classify_all(s, middle_game()); }
void BM_ClassifyCrowded20(benchmark::State& s) { classify_all(s, crowded()); }

// One generator call per iteration over the bounding box of the stones plus 2, as at a node.
void generate(benchmark::State& state, const Board& b, int side) {
  int r0 = b.dim - 1, r1 = 0, c0 = b.dim - 1, c1 = 0;
  for (int r = 0; r < b.dim; ++r) {
    for (int c = 0; c < b.dim; ++c) {
      if (b.at(r, c) == 0) continue;
      r0 = std::min(r0, r), r1 = std::max(r1, r), c0 = std::min(c0, c), c1 = std::max(c1, c);
    }
  }
  const SearchWindow w{std::max(r0 - 2, 0), std::min(r1 + 2, b.dim - 1), std::max(c0 - 2, 0),
                       std::min(c1 + 2, b.dim - 1)};
  DepthLimits limits;
  limits.quiet_limit = 4, limits.three_limit = 8, limits.mixed_limit = 9;
  Move out[MOVE_LIST_CAPACITY];
  const Position pos(b, 1);
  for (auto _ : state) {
    int score = 0;
    benchmark::DoNotOptimize(tah(pos, side, 1, out, score, 0, 2, 0, w, limits));
  }
  state.SetItemsProcessed(state.iterations());
}

// A stone placed and taken off again on every empty cell, as the search does for each move.
void place_remove(benchmark::State& state, const Board& b) {
  Position pos(b, 1);
  int64_t moves = 0;
  for (auto _ : state) {
    for (int r = 0; r < b.dim; ++r) {
      for (int c = 0; c < b.dim; ++c) {
        if (b.at(r, c) != 0) continue;
        pos.place(r, c, 1);
        pos.remove(r, c);
        ++moves;
      }
    }
  }
  state.SetItemsProcessed(moves);
}

void BM_PlaceRemoveMiddleGame(benchmark::State& s) { place_remove(s, middle_game()); }

void BM_TahOpening(benchmark::State& s) { generate(s, opening(), 1); }
void BM_TahMiddleGame(benchmark::State& s) { generate(s, middle_game(), 1); }
void BM_TahCrowded20(benchmark::State& s) { generate(s, crowded(), 1); }

BENCHMARK(BM_TahOpening);
BENCHMARK(BM_TahMiddleGame);
BENCHMARK(BM_TahCrowded20);
BENCHMARK(BM_PlaceRemoveMiddleGame);
BENCHMARK(BM_ClassifyOpening);
BENCHMARK(BM_ClassifyMiddleGame);
BENCHMARK(BM_ClassifyCrowded20);

}  // namespace

BENCHMARK_MAIN();
