// The game state each script leaves behind; the replies themselves are pinned by the
// transcripts beside this file.
#include <gtest/gtest.h>

#include <array>

#include "test_util.h"

namespace {

TEST(CommandLoop, GameStateAfterScripts) {
  struct Case {
    const char* script;
    int state, engine_stone, move_count, dim;
    std::vector<test::Stone> stones;  // cells to check, with the value they must hold
  };
  // clang-format off
  const Case cases[] = {
      // rejected lines do not fix the first `who`
      {"START 15\nBOARD\n7,7\n99,1,1\n3,3,5\n3,3,1\n4,4,5\n5,5,1\nDONE\n", ENGINE_SECOND, -1, 4,
       15, {{3, 3, 1}, {4, 4, 1}, {5, 5, -1}}},
      // input ending inside a block keeps the stones placed so far
      {"START 15\nBOARD\n7,7,1\n8,8,2\n", BOARD_READY, 0, 2, 15, {{8, 8, -1}}},
      // a rejected TURN keeps the side it fixed
      {"START 15\nTURN 15,3\n", ENGINE_SECOND, -1, 0, 15, {}},
      {"START 15\nTURN 7 8\n", ENGINE_SECOND, -1, 0, 15, {}},
      // START begins the count of moves anew: the block's first stone is the first move
      {"START 15\nBEGIN\nSTART 15\nBOARD\n7,7,1\n8,8,2\nDONE\nTURN 6,6\n", ENGINE_FIRST, 1, 5,
       15, {{7, 7, 1}, {8, 8, -1}, {6, 6, -1}}},
      // a refused START keeps the game and the size in force
      {"START 20\nBEGIN\nSTART 21\nSTART 4294967311\nSTART\nx\n", ENGINE_FIRST, 1, 1, 20,
       {{9, 9, 1}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    test::ScriptedEngine e(std::string("INFO timeout_turn 0\n") + c.script);
    EXPECT_EQ(e.run(), 0);
    const GameState& g = e.engine.game;
    EXPECT_EQ((std::array{g.state, g.engine_stone, g.move_count, g.board.dim}),
              (std::array{c.state, c.engine_stone, c.move_count, c.dim}));
    for (const test::Stone& s : c.stones) EXPECT_EQ(g.board.at(s.row, s.col), s.side);
    for (int i = 1; i <= g.move_count; ++i) {
      EXPECT_NE(g.board.at(g.move_history[i].row, g.move_history[i].col), 0) << "record " << i;
    }
  }
}

}  // namespace
