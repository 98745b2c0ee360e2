#include <gtest/gtest.h>

#include <string>

#include "protocol/input.h"
#include "test_util.h"

namespace {

// Each row: the input, how many numbers the "%d,%d,%d" read converts, their values, and what
// the next read sees. Signs, saturation and input cut short show in the engine's replies, which
// the protocol transcripts pin; what a failed read leaves behind mostly does not.
TEST(ReadInts, EmulatesTheStdioConversion) {
  struct Case {
    const char* input;
    int converted;
    int values[3];
    const char* rest;
  };
  // clang-format off
  const Case cases[] = {
      {"  \n 7,\n 8,  1 x", 3, {7, 8, 1}, " x"},  // white space after a comma is fine
      {"7,x,1\n", 1, {7}, "x,1\n"},
      {"-x\n", 0, {}, "x\n"},  // the sign is consumed, the letter put back
      {"done\n", 0, {}, "done\n"},
      {"", 0, {}, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    test::Source s(c.input);
    Input in(s.f);
    int v[3] = {-7, -7, -7};
    EXPECT_EQ(in.read_ints(v, 3), c.converted);
    for (int i = 0; i < c.converted; ++i) EXPECT_EQ(v[i], c.values[i]) << i;
    std::string rest;
    for (int ch = in.get(); ch != EOF; ch = in.get()) rest.push_back(static_cast<char>(ch));
    EXPECT_EQ(rest, c.rest);
  }
}

}  // namespace
