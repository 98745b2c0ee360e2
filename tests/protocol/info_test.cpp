#include <gtest/gtest.h>

#include "test_util.h"

namespace {

// Each row: an INFO script, the setting it changes, its new value, and the output.
TEST(Info, ConvertsValuesToSecondsAndMebibytes) {
  struct Case {
    const char* script;
    double MatchSettings::*field;
    double value;
    int rule;
    const char* out;
  };
  using M = MatchSettings;
  // clang-format off
  const Case cases[] = {
      {"INFO timeout_turn 5000\n", &M::timeout_turn, 5.0, 1, ""},
      {"INFO timeout_turn 0\n", &M::timeout_turn, 0.0, 1, ""},
      {"INFO timeout_match 900000\n", &M::timeout_match, 900.0, 1, ""},
      {"INFO time_left 1500\n", &M::time_left, 1.5, 1, ""},
      {"INFO max_memory 83886080\n", &M::max_memory, 80.0, 1, ""},
      {"INFO max_memory 0\n", &M::max_memory, 0.0, 1, ""},  // sent: no limit, not the default
      {"INFO rule 0\n", nullptr, 0, 0, ""},
      {"INFO rule 2\n", nullptr, 0, 1, "MESSAGE Unknown value '2' in key 'rule'\n"},
      {"INFO rule x\n", nullptr, 0, 1,
       "ERROR i/o value\nMESSAGE Unknown value '-1' in key 'rule'\n"},
      // an unreadable value counts as -1 and is applied like any other
      {"INFO time_left abc\n", &M::time_left, -0.001, 1, "ERROR i/o value\n"},
      {"INFO timeout_turn 99999999999\n", &M::timeout_turn, 2147483.647, 1, ""},
      {"INFO TIMEOUT_TURN 5000\n", nullptr, 0, 1, "MESSAGE Unknown key 'TIMEOUT_TURN'\n"},
      {"INFO game_type 1\nINFO folder /a path/with blanks\n", nullptr, 0, 1, ""},
      // the key alone on its line: the next line's first word is the key
      {"INFO\ntimeout_turn\n2000\n", &M::timeout_turn, 2.0, 1, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    test::ScriptedEngine e(c.script);
    EXPECT_EQ(e.run(), 0);
    MatchSettings expected;
    if (c.field) expected.*c.field = c.value;
    const MatchSettings& s = e.engine.settings;
    for (double M::*f : {&M::timeout_turn, &M::timeout_match, &M::time_left, &M::max_memory}) {
      EXPECT_DOUBLE_EQ(s.*f, expected.*f);
    }
    EXPECT_EQ((std::pair{s.rule, s.max_memory_sent}),
              (std::pair{c.rule, c.field == &M::max_memory}));
    EXPECT_EQ(e.out.text(), std::string(c.out) + "ERROR i/o command\n");
  }
}

}  // namespace
