#include <gtest/gtest.h>

#include "test_util.h"

namespace {

TEST(PositionBlock, FirstListedStoneMovedFirstAndParityPicksTheEngineSide) {
  test::ScriptedEngine e("INFO timeout_turn 0\nSTART 15\nBOARD\n7,7,2\n7,8,1\n8,8,2\nDONE\n");
  e.run();
  const GameState& g = e.engine.game;
  EXPECT_EQ(g.board.at(7, 7), 1);
  EXPECT_EQ(g.board.at(8, 8), 1);
  EXPECT_EQ(g.board.at(7, 8), -1);
  EXPECT_EQ(g.engine_stone, -1);
  EXPECT_EQ(g.state, ENGINE_SECOND);
  ASSERT_EQ(g.move_count, 4);  // three listed stones and the engine's reply
  EXPECT_EQ(g.move_history[2].row, 7);
  EXPECT_EQ(g.move_history[2].col, 8);
  EXPECT_EQ(g.board.at(g.move_history[4].row, g.move_history[4].col), -1);
}

TEST(PositionBlock, RejectedLinesDoNotCountAsTheFirstStone) {
  test::ScriptedEngine e("INFO timeout_turn 0\nSTART 15\nBOARD\n7,7\n99,1,1\n3,3,5\n3,3,1\n4,4,5\n5,5,1\nDONE\n");
  e.run();
  const GameState& g = e.engine.game;
  EXPECT_EQ(g.board.at(3, 3), 1);
  EXPECT_EQ(g.board.at(4, 4), 1) << "same who as the first placed stone";
  EXPECT_EQ(g.board.at(5, 5), -1) << "the rejected 99,1,1 did not fix who 1 as the first";
  EXPECT_EQ(g.engine_stone, -1);
}

TEST(PositionBlock, EmptyBlockOpensAtTheCentre) {
  test::ScriptedEngine e("START 16\nBOARD\nDONE\n");
  e.run();
  EXPECT_EQ(e.scrubbed_out(), std::string(test::START_15) + "7,7\nERROR i/o command\n");
  EXPECT_EQ(e.engine.game.state, ENGINE_FIRST);
  EXPECT_EQ(e.engine.game.board.at(7, 7), 1);
  EXPECT_EQ(e.engine.game.move_count, 1);
}

TEST(PositionBlock, EndOfInputInsideTheBlockKeepsItsStones) {
  test::ScriptedEngine e("START 15\nBOARD\n7,7,1\n8,8,2\n");
  EXPECT_EQ(e.run(), 0);
  EXPECT_EQ(e.engine.game.state, BOARD_READY);
  EXPECT_EQ(e.engine.game.move_count, 2);
  EXPECT_EQ(e.engine.game.board.at(8, 8), -1);
}

TEST(Turn, RejectedMoveKeepsTheSideItFixed) {
  struct Case {
    const char* turn;
    const char* reply;
  };
  const Case cases[] = {
      {"TURN 15,3\n", "ERROR position (15,3) is out of board.\n"},
      {"TURN -1,0\n", "ERROR position (-1,0) is out of board.\n"},
      {"TURN 4294967311,7\n", "ERROR position (2147483647,7) is out of board.\n"},
      {"TURN 7 8\n", "ERROR i/o value\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.turn);
    test::ScriptedEngine e(std::string("START 15\n") + c.turn);
    e.run();
    EXPECT_EQ(e.scrubbed_out(), std::string(test::START_15) + c.reply + "ERROR i/o command\n");
    EXPECT_EQ(e.engine.game.state, ENGINE_SECOND);
    EXPECT_EQ(e.engine.game.engine_stone, -1);
    EXPECT_EQ(e.engine.game.move_count, 0);
  }
}

TEST(Turn, OpponentOpeningGivesTheEngineTheSecondSide) {
  test::ScriptedEngine e("INFO timeout_turn 0\nSTART 15\nTURN\n7,7\n");
  e.run();
  const GameState& g = e.engine.game;
  EXPECT_EQ(g.board.at(7, 7), 1);
  EXPECT_EQ(g.engine_stone, -1);
  EXPECT_EQ(g.move_count, 2);
}

TEST(Restart, BeforeAnyStartLeavesNoBoardToPlayOn) {
  test::ScriptedEngine e("RESTART\nBEGIN\nTURN 0,0\nBOARD\n0,0,1\nDONE\n");
  e.run();
  EXPECT_EQ(e.out(),
            "OK\n"
            "ERROR Board isn't initialized. Use: 'START size'\n"
            "ERROR Board isn't initialized. Use: 'START size'\n"
            "ERROR Board isn't initialized. Use: 'START size'\n"
            "UNKNOWN command '0,0,1'\n"
            "UNKNOWN command 'DONE'\n"
            "ERROR i/o command\n");
  EXPECT_EQ(e.engine.game.state, BOARD_READY);
  EXPECT_EQ(e.engine.game.board.dim, 0);
  EXPECT_EQ(e.engine.game.move_count, 0);
}

TEST(Start, KeepsTheOldSizeWhenRefusedAndAbandonsTheGameWhenAccepted) {
  test::ScriptedEngine e("START 20\nBEGIN\nSTART 21\nSTART 4294967311\nSTART\nx\n");
  e.run();
  EXPECT_EQ(e.scrubbed_out(),
            "MESSAGE Level... 1\nMESSAGE [11,9], val = 5\nMESSAGE Benchmark, nps=N\nOK\n9,9\n"
            "ERROR 15 <= dim <= 20\nERROR 15 <= dim <= 20\nERROR i/o size\n"
            "ERROR i/o command\n");
  EXPECT_EQ(e.engine.game.board.dim, 20);
  EXPECT_EQ(e.engine.game.state, ENGINE_FIRST);
}

}  // namespace
