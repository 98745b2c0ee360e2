#include <gtest/gtest.h>

#include <random>

#include "search/root_search.h"
#include "test_util.h"

namespace {

using test::Stone;

struct RootFixture : testing::Test {
  char* buf = nullptr;
  size_t len = 0;
  std::FILE* out = open_memstream(&buf, &len);
  Search search;
  MatchSettings settings;
  void SetUp() override { search.out = out; }
  void TearDown() override {
    std::fclose(out);
    std::free(buf);
  }
  std::string printed() {
    std::fflush(out);
    return std::string(buf, len);
  }
  Move play(Board& board, int side, int level) {
    const Board before = board;
    const Move m = root_search(search, settings, board, side, level);
    EXPECT_EQ(board.cells, before.cells);
    EXPECT_EQ(search.tree.tree_root, nullptr);
    EXPECT_EQ(search.state.node_count, 1);
    return m;
  }
};

// Positions where only one move is right, searched at level 0 from the side to move.
TEST_F(RootFixture, MustPlayMoves) {
  struct Case {
    const char* name;
    std::vector<Stone> stones;
    int side;
    std::vector<std::pair<int, int>> right;
  };
  const Case cases[] = {
      {"complete the own five", {{7, 3, 1}, {7, 4, 1}, {7, 5, 1}, {7, 6, 1}, {0, 0, -1},
                                 {0, 2, -1}, {0, 4, -1}, {14, 14, -1}, {7, 2, -1}},
       1, {{7, 7}}},
      {"block the opponent's four", {{7, 3, 1}, {7, 4, 1}, {7, 5, 1}, {7, 6, 1}, {7, 2, -1},
                                     {0, 2, -1}, {0, 4, -1}},
       -1, {{7, 7}}},
      {"answer an open three at one of its ends",
       {{7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {0, 0, -1}, {14, 14, -1}}, -1, {{7, 4}, {7, 8}}},
      {"own five before blocking", {{3, 3, -1}, {3, 4, -1}, {3, 5, -1}, {3, 6, -1}, {9, 3, 1},
                                    {9, 4, 1}, {9, 5, 1}, {9, 6, 1}, {9, 2, -1}},
       -1, {{3, 2}, {3, 7}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Board b;
    b.dim = 15;
    for (const Stone& s : c.stones) b.at(s.row, s.col) = s.side;
    const Move m = play(b, c.side, 0);
    EXPECT_NE(std::find(c.right.begin(), c.right.end(), std::make_pair(m.row, m.col)),
              c.right.end())
        << m.row << "," << m.col;
  }
}

TEST_F(RootFixture, SingleMoveIsReturnedWithoutSearchOrResultLine) {
  Board b = test::board_with({{7, 3, 1}, {7, 4, 1}, {7, 5, 1}, {7, 6, 1}, {7, 2, -1}});
  const Move m = play(b, 1, 2);
  EXPECT_EQ(m.row, 7);
  EXPECT_EQ(m.col, 7);
  EXPECT_EQ(printed(), "MESSAGE Level... 2\n");
}

TEST_F(RootFixture, SearchedMovePrintsItsResultLine) {
  Board b = test::board_with({{7, 7, 1}, {8, 8, -1}});
  const RootResult r = root_search_detailed(search, settings, b, 1, 0);
  EXPECT_GT(r.moves, 1);
  EXPECT_GT(r.nodes, 1);
  EXPECT_EQ(printed(), "MESSAGE Level... 0\nMESSAGE " + format_move(r.move) +
                           ", val = " + std::to_string(r.value) + "\n");
}

TEST_F(RootFixture, NothingGeneratedPlaysTheFirstEmptyCellInsteadOfResigning) {
  // No stone of either side can make anything here: every line is cut by the other colour.
  Board b;
  b.dim = 15;
  for (int r = 0; r < 15; ++r) {
    for (int c = 0; c < 15; ++c) b.at(r, c) = ((r + c) % 2 == 0) == (r % 4 < 2) ? 1 : -1;
  }
  b.at(3, 4) = 0;
  b.at(10, 10) = 0;
  const Move m = play(b, 1, 1);
  EXPECT_EQ(m.row, 3);
  EXPECT_EQ(m.col, 4);
  EXPECT_EQ(printed().find("val ="), std::string::npos);
}

TEST_F(RootFixture, FullBoardResigns) {
  Board b;
  b.dim = 15;
  for (int r = 0; r < 15; ++r) {
    for (int c = 0; c < 15; ++c) b.at(r, c) = ((r + c) % 2 == 0) == (r % 4 < 2) ? 1 : -1;
  }
  search.out = stdout;
  EXPECT_EXIT(root_search(search, settings, b, 1, 0), testing::ExitedWithCode(0),
              "");
}

TEST_F(RootFixture, BenchmarkMeasuresTheSpeedOnItsOwnBoard) {
  int now = 0;
  search.clock_ms = [&now] { return now += 3; };
  benchmark(search, settings, 16);
  EXPECT_GT(search.state.nps, 0);
  const std::string p = printed();
  EXPECT_EQ(p.rfind("MESSAGE Level... 1\nMESSAGE [", 0), 0u) << p;
  EXPECT_NE(p.find("MESSAGE Benchmark, nps=" + std::to_string(search.state.nps) + "\n"),
            std::string::npos);
}

TEST(FormatMove, RowThenColumn) { EXPECT_EQ(format_move(Move{7, 8, 0, 0, 0}), "[7,8]"); }

TEST(RootWindow, BoundingBoxPlusTwoWithinTheBoard) {
  Board b = test::board_with({{0, 5, 1}, {13, 7, -1}});
  const SearchWindow w = root_window(b);
  EXPECT_EQ(w.row_from, 0);
  EXPECT_EQ(w.row_to, 14);
  EXPECT_EQ(w.col_from, 3);
  EXPECT_EQ(w.col_to, 9);
}

// A whole game through the protocol at level 0, one command at a time as a manager sends
// them: every reply is a legal empty cell and is on the board afterwards.
TEST(EngineGame, EveryReplyIsALegalEmptyCell) {
  char* buf = nullptr;
  size_t len = 0;
  std::FILE* out = open_memstream(&buf, &len);
  Engine engine(nullptr, out, stderr);
  auto send = [&](std::string command) {
    std::FILE* in = fmemopen(command.data(), command.size(), "r");
    engine.input = Input(in);
    run_command_loop(engine);  // answers, then stops at the end of this command
    std::fclose(in);
    std::fflush(out);
    std::string reply(buf, len);
    std::fseek(out, 0, SEEK_SET);
    len = 0;
    return reply;
  };
  send("INFO timeout_turn 0\nSTART 15\n");
  std::mt19937 rng(11);
  const GameState& g = engine.game;
  for (int turn = 0; turn < 60 && g.move_count < 200; ++turn) {
    int r, c;
    do {
      r = static_cast<int>(rng() % 15);
      c = static_cast<int>(rng() % 15);
    } while (g.board.at(r, c) != 0);
    const int before = g.move_count;
    const std::string reply = send("TURN " + std::to_string(r) + "," + std::to_string(c) + "\n");
    ASSERT_EQ(g.move_count, before + 2) << reply;
    const Move& m = g.move_history[g.move_count];
    std::string line(1, '\n');
    line += std::to_string(m.row) + "," + std::to_string(m.col) + "\n";
    EXPECT_NE(reply.find(line), std::string::npos) << reply;
    EXPECT_EQ(g.board.at(m.row, m.col), -1);
    for (int j = 1; j < g.move_count; ++j) {
      ASSERT_FALSE(g.move_history[j].row == m.row && g.move_history[j].col == m.col);
    }
  }
  std::fclose(out);
  std::free(buf);
}

}  // namespace
