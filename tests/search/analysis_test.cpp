#include "search/analysis.h"

#include <gtest/gtest.h>

#include "search/analysis_request.h"
#include "test_util.h"

namespace {

using test::Stone;

// A middle game with black (+1) to move and about a dozen root moves.
Board middle_game() {
  return test::board_of("7,7,1 7,8,2 6,9,1 8,9,2 9,10,1 8,8,2 10,8,1 9,8,2 7,10,1 6,7,2");
}

struct AnalysisTest : test::FakeClock {
  // The clock is read only when a time limit is set; one far away counts the readings.
  AnalysisResult run(int level, int hard_ms = 1 << 30) {
    Board board = middle_game();
    const Board before = board;
    search.limits.hard_ms = hard_ms;
    const AnalysisResult r = analyse(search, settings, board, 1, level);
    EXPECT_EQ(board.cells, before.cells);
    EXPECT_EQ(search.state.node_count, 1);
    return r;
  }
};

// Each candidate is valued alone, as the root's first move: the same value whatever was
// searched before it, the first one's value is what the root search gives its first move, and
// the engine's own choice is never worth less than that.
TEST_F(AnalysisTest, EveryRootMoveValuedOnItsOwn) {
  const AnalysisResult r = run(1);
  Board board = middle_game();
  Move list[MOVE_LIST_CAPACITY];
  int score = 0;
  const int n = tah(board, 1, 0, list, score, 0, 2, 0, root_window(board), {4, 8, 9}, 1);
  ASSERT_GT(n, 3);
  ASSERT_EQ(r.candidates.size(), static_cast<size_t>(n));
  ASSERT_TRUE(r.engine_known);
  EXPECT_GE(r.engine.value, r.candidates[0].value);
  for (int i = n - 1; i >= 0; --i) {  // backwards, each on a search of its own
    EXPECT_EQ((std::array{r.moves[i].row, r.moves[i].col}), (std::array{list[i].row, list[i].col}));
    Search alone;
    alone.out = out.f;
    int value = 0;
    EXPECT_EQ(candidate_value(alone, settings, board, 1, 1, r.moves[i], 0, value), STOP_NONE);
    EXPECT_EQ(value, r.candidates[i].value) << i;
  }
}

// A stop part-way keeps what finished, with the values an unstopped analysis gives them.
TEST_F(AnalysisTest, StopKeepsTheFinishedCandidates) {
  tick = 1;
  const AnalysisResult whole = run(1);
  const int readings = now;
  for (const int limit : {readings * 3 / 4, readings * 19 / 20}) {
    now = 0;
    const AnalysisResult part = run(1, limit);
    EXPECT_EQ(part.stop, STOP_TIME);
    ASSERT_TRUE(part.engine_known);
    EXPECT_GT(part.candidates.size(), 0u);
    ASSERT_LT(part.candidates.size(), whole.candidates.size());
    for (size_t i = 0; i < part.candidates.size(); ++i) {
      EXPECT_EQ(part.candidates[i].value, whole.candidates[i].value);
    }
  }
  now = 0;
  EXPECT_EQ(run(1, 0).stop, STOP_TIME);  // a spent limit: not even the engine's answer
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

// Requests come from the page: what does not read is refused before anything is searched.
TEST(AnalysisRequest, AnswersAndRefusals) {
  const std::pair<const char*, const char*> cases[] = {
      {"analyse 15 1 0 0 2 7,7,1", "moves "},
      {"line 15 1 0 0 2 8,8 7,7,1", "line 8,8 "},
      {"engine 15 1 0 0 2 7,7,1", "engine "},
      {"engine 15 1 0 0 1", "moves\n"},
      {"", "error the request is none"},
      {"analyse 14 1 5 0 1", "error the board size"},
      {"analyse 15 1 0 x 1", "error the request needs"},
      {"analyse 15 1 0 0 1 7,7,1 7,7,2", "error the stone '7,7,2'"},
      {"line 15 1 0 0 2 7,7 7,7,1", "error the line's first move"},
  };
  for (const auto& [request, answer] : cases) {
    test::Capture out, sink;
    Search search;
    search.out = sink.f;
    answer_analysis_request(search, request, out.f);
    const std::string text = out.text();
    EXPECT_EQ(text.rfind(answer, 0), 0u) << request << " -> " << text;
    EXPECT_EQ(text.find("error") == 0, text.find("\ndone\n") == std::string::npos) << text;
  }
}

}  // namespace
