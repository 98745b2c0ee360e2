#include <gtest/gtest.h>

#include "test_util.h"

namespace {

// Each row: an INFO script, the settings it leaves, and its output.
TEST(Info, ConvertsValuesToSecondsAndMebibytes) {
  struct Case {
    const char* script;
    double timeout_turn, timeout_match, time_left, max_memory;
    int rule;
    const char* out;
  };
  const MatchSettings d;
  const Case cases[] = {
      {"INFO timeout_turn 5000\n", 5.0, d.timeout_match, d.time_left, d.max_memory, 1, ""},
      {"INFO timeout_turn 0\n", 0.0, d.timeout_match, d.time_left, d.max_memory, 1, ""},
      {"INFO timeout_match 900000\nINFO time_left 1500\n", d.timeout_turn, 900.0, 1.5,
       d.max_memory, 1, ""},
      {"INFO max_memory 83886080\n", d.timeout_turn, d.timeout_match, d.time_left, 80.0, 1, ""},
      {"INFO rule 0\n", d.timeout_turn, d.timeout_match, d.time_left, d.max_memory, 0, ""},
      {"INFO rule 2\n", d.timeout_turn, d.timeout_match, d.time_left, d.max_memory, 1,
       "MESSAGE Unknown value '2' in key 'rule'\n"},
      {"INFO rule x\n", d.timeout_turn, d.timeout_match, d.time_left, d.max_memory, 1,
       "ERROR i/o value\nMESSAGE Unknown value '-1' in key 'rule'\n"},
      // an unreadable value counts as -1 and is applied like any other
      {"INFO time_left abc\n", d.timeout_turn, d.timeout_match, -0.001, d.max_memory, 1,
       "ERROR i/o value\n"},
      {"INFO timeout_turn 99999999999\n", 2147483.647, d.timeout_match, d.time_left,
       d.max_memory, 1, ""},
      {"INFO TIMEOUT_TURN 5000\n", d.timeout_turn, d.timeout_match, d.time_left, d.max_memory, 1,
       "MESSAGE Unknown key 'TIMEOUT_TURN'\n"},
      {"INFO game_type 1\nINFO folder /a path/with blanks\n", d.timeout_turn, d.timeout_match,
       d.time_left, d.max_memory, 1, ""},
      // the key alone on its line: the next line's first word is the key
      {"INFO\ntimeout_turn\n2000\n", 2.0, d.timeout_match, d.time_left, d.max_memory, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    test::ScriptedEngine e(c.script);
    EXPECT_EQ(e.run(), 0);
    const MatchSettings& s = e.engine.settings;
    EXPECT_DOUBLE_EQ(s.timeout_turn, c.timeout_turn);
    EXPECT_DOUBLE_EQ(s.timeout_match, c.timeout_match);
    EXPECT_DOUBLE_EQ(s.time_left, c.time_left);
    EXPECT_DOUBLE_EQ(s.max_memory, c.max_memory);
    EXPECT_EQ(s.rule, c.rule);
    EXPECT_EQ(e.out(), std::string(c.out) + "ERROR i/o command\n");
  }
}

TEST(Info, WordAfterValueIsTheNextCommand) {
  test::ScriptedEngine e("INFO timeout_turn 100 ABOUT\n");
  e.run();
  EXPECT_EQ(e.engine.settings.timeout_turn, 0.1);
  EXPECT_NE(e.out().find("name=\"ormel\""), std::string::npos);
}

TEST(Info, SettingsSurviveStartAndRestart) {
  test::ScriptedEngine e("INFO rule 0\nINFO timeout_turn 7000\nSTART 15\nRESTART\n");
  e.run();
  EXPECT_EQ(e.engine.settings.rule, 0);
  EXPECT_EQ(e.engine.settings.timeout_turn, 7.0);
}

}  // namespace
