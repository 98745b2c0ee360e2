#include "search/analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "search/analysis_request.h"
#include "test_util.h"

namespace {

// A middle game with black (+1) to move and about a dozen root moves.
Board middle_game() {
  return test::board_of("7,7,1 7,8,2 6,9,1 8,9,2 9,10,1 8,8,2 10,8,1 9,8,2 7,10,1 6,7,2");
}

struct AnalysisTest : test::FakeClock {
  // The clock is read only when a time limit is set; one far away counts the readings.
  // `threads` > 0: shared out over that many threads (one with the fake clock, which is no
  // thread's to share).
  AnalysisResult run(int level, int hard_ms = 1 << 30, int threads = 0) {
    Board board = middle_game();
    const Board before = board;
    search.limits.hard_ms = hard_ms;
    const AnalysisResult r = threads > 0
                                 ? analyse_on_threads(search, settings, board, 1, level, threads)
                                 : analyse(search, settings, board, 1, level);
    EXPECT_EQ(board.cells, before.cells);
    EXPECT_EQ(search.state.node_count, 1);
    return r;
  }
};

// A stop part-way keeps what finished, with the values an unstopped analysis gives them, on
// one thread or shared out.
TEST_F(AnalysisTest, StopKeepsTheFinishedCandidates) {
  tick = 1;
  const AnalysisResult whole = run(1);
  const int readings = now;
  for (const int threads : {0, 1}) {
    for (const int limit : {readings * 3 / 4, readings * 19 / 20}) {
      now = 0;
      const AnalysisResult part = run(1, limit, threads);
      EXPECT_EQ(part.stop, STOP_TIME);
      ASSERT_TRUE(part.engine_known);
      EXPECT_GT(part.candidates.size(), 0u);
      ASSERT_LT(part.candidates.size(), whole.candidates.size());
      for (size_t i = 0; i < part.candidates.size(); ++i) {
        EXPECT_EQ(part.candidates[i].value, whole.candidates[i].value);
      }
    }
    now = 0;
    EXPECT_EQ(run(1, 0, threads).stop, STOP_TIME);  // a spent limit: not even the engine's answer
  }
}

// The line alternates sides on free points and ends at a five.
TEST_F(AnalysisTest, LineEndsAtAFive) {
  const Board board =
      test::board_with({{7, 3, 1}, {7, 4, 1}, {7, 5, 1}, {0, 0, -1}, {0, 2, -1}, {14, 14, -1}});
  // Black makes an open four; white blocks one end, black fives at the other.
  const std::vector<Move> line = engine_line(search, settings, board, 1, 1, Move{7, 6, 0, 0, 0});
  ASSERT_EQ(line.size(), 3u);
  EXPECT_TRUE((line[2].row == 7 && (line[2].col == 2 || line[2].col == 7)));
  const std::vector<Move> quiet =
      engine_line(search, settings, middle_game(), 1, 0, Move{5, 8, 0, 0, 0});
  EXPECT_EQ(quiet.size(), static_cast<size_t>(LINE_PLIES));
}

struct Study {
  Board board;
  int side, rule;
};

// The bench's positions: "name dim rule ROW,COL,WHO ..." in play order.
void add_bench_positions(std::vector<Study>& studies) {
  for (const char* file : {"/positions.txt", "/middle-games.txt"}) {
    std::ifstream in(std::string(ORMEL_BENCH_DIR) + file);
    EXPECT_TRUE(in) << file;
    for (std::string line; std::getline(in, line);) {
      std::istringstream words(line.substr(0, line.find('#')));
      std::string name, stones;
      int dim, rule;
      if (!(words >> name >> dim >> rule)) continue;
      std::getline(words, stones);
      const auto n = std::count(stones.begin(), stones.end(), ',') / 2;
      studies.push_back({test::board_of(stones, dim), n % 2 == 0 ? 1 : -1, rule});
    }
  }
}

// Positions along quick games under both rules on every size: each side plays a random one of
// its root moves, so that fours, forced blocks and fives come within a few dozen plies. The
// last plies of each game, where they came, are kept: the earlier ones cost more to analyse.
void add_quick_game_positions(std::vector<Study>& studies) {
  std::mt19937 random(1);
  for (int g = 0; g < 24; ++g) {
    Study s{Board{}, -1, g / 6 % 2};
    s.board.dim = MIN_DIM + g % 6;
    s.board.at(s.board.dim / 2, s.board.dim / 2) = 1;
    std::vector<Study> game;
    for (; game.size() < 200; s.side = -s.side) {
      const std::vector<Move> moves = root_moves(s.board, s.side, 0, s.rule);
      if (moves.empty()) break;
      game.push_back(s);
      const Move m = moves[random() % moves.size()];
      const bool five = Position(s.board, s.rule).threat(m.row, m.col, s.side).th == 4;
      s.board.at(m.row, m.col) = s.side;
      if (five) break;
    }
    studies.insert(studies.end(), game.end() - std::min<size_t>(game.size(), 3), game.end());
  }
}

int verdict(int value) { return value > 256 ? 1 : value < -256 ? -1 : 0; }

// Shared out over threads, the analysis is the one thread's, move for move and value for value:
// each candidate is valued alone, whatever was searched before it on the same thread.
TEST(AnalysisStudies, ThreadsGiveTheOneThreadsAnswer) {
  std::vector<Study> studies;
  add_bench_positions(studies);
  test::Capture sink;
  for (size_t i = 0; i < studies.size(); i += 5) {
    Study& s = studies[i];
    Search search;
    search.out = sink.f;
    MatchSettings settings;
    settings.rule = s.rule;
    const AnalysisResult one = analyse(search, settings, s.board, s.side, 1);
    const AnalysisResult two = analyse_on_threads(search, settings, s.board, s.side, 1, 3);
    EXPECT_EQ(two.moves, one.moves);
    EXPECT_EQ((std::array{two.engine.move.row, two.engine.move.col, two.engine.value}),
              (std::array{one.engine.move.row, one.engine.move.col, one.engine.value}));
    ASSERT_EQ(two.candidates.size(), one.candidates.size()) << i;
    for (size_t k = 0; k < one.candidates.size(); ++k) {
      EXPECT_EQ(two.candidates[k].move, one.candidates[k].move);
      EXPECT_EQ((std::array{two.candidates[k].value, two.candidates[k].alone}),
                (std::array{one.candidates[k].value, one.candidates[k].alone}));
    }
  }
}

// A five wins, though a search after it would play on; and the engine's own point never reads
// a verdict other than the one the engine plays it for.
TEST(AnalysisStudies, FivesWinAndTheEnginesPointAgrees) {
  std::vector<Study> studies;
  add_bench_positions(studies);
  add_quick_game_positions(studies);
  test::Capture sink;
  int fives = 0;
  for (Study& s : studies) {
    Search search;
    search.out = sink.f;
    MatchSettings settings;
    settings.rule = s.rule;
    const Position pos(s.board, s.rule);
    const AnalysisResult r = analyse(search, settings, s.board, s.side, 0);
    for (const CandidateValue& c : r.candidates) {
      if (pos.threat(c.move.row, c.move.col, s.side).th == 4) {
        ++fives;
        EXPECT_GT(c.value, 256) << c.move.row << "," << c.move.col;
        EXPECT_EQ(c.alone, c.value);  // nothing searched after a five
      }
      if (c.move.row == r.engine.move.row && c.move.col == r.engine.move.col) {
        EXPECT_EQ(verdict(c.value), verdict(r.engine.value)) << c.value << " " << r.engine.value;
      }
    }
  }
  EXPECT_GT(fives, 15);
}

// Requests come from the page: what does not read is refused before anything is searched.
TEST(AnalysisRequest, AnswersAndRefusals) {
  const std::pair<const char*, const char*> cases[] = {
      {"analyse 15 1 0 0 2 7,7,1", "moves "},
      {"line 15 1 0 0 2 8,8 7,7,1", "line 8,8 "},
      {"engine 15 1 0 0 2 7,7,1", "engine "},
      {"engine 15 1 0 0 1", "moves\n"},
      {"moves 15 1 3 0 2 7,7,1", "moves "},
      {"candidate 15 1 0 0 2 3 99 7,7,1", "error the candidate's index"},
      {"candidate 15 1 0 0 2 5 0 7,7,1", "error the candidate needs"},
      {"", "error the request is none"},
      {"analyse 14 1 5 0 1", "error the board size"},
      {"analyse 15 1 0 x 1", "error the request needs"},
      {"analyse 15 1 0 0 1 7,7,1 7,7,2", "error the stone '7,7,2'"},
      {"line 15 1 0 0 2 7,7 7,7,1", "error the line's first move"},
  };
  const auto answer_to = [](const char* request) {
    test::Capture out, sink;
    Search search;
    search.out = sink.f;
    answer_analysis_request(search, request, out.f);
    return out.text();
  };
  for (const auto& [request, answer] : cases) {
    const std::string text = answer_to(request);
    EXPECT_EQ(text.rfind(answer, 0), 0u) << request << " -> " << text;
    EXPECT_EQ(text.find("error") == 0, text.find("\ndone\n") == std::string::npos) << text;
  }
  // The engine's point with the engine's value, and its value alone where that differs.
  const std::string text = answer_to("analyse 20 1 1 0 2 9,9,1 10,10,2 8,10,1");
  EXPECT_NE(text.find("\nengine 10,9 -3\ncandidate 9,11 -4\ncandidate 10,9 -3 -1\n"
                      "candidate 10,11 -3\n"),
            std::string::npos)
      << text;
  // One candidate of that list alone: the page shares an analysis out this way.
  EXPECT_EQ(answer_to("candidate 20 1 1 0 2 1 1 9,9,1 10,10,2 8,10,1"),
            "candidate 10,9 -1\ndone\n");
}

}  // namespace
