#include <gtest/gtest.h>

#include <string>

#include "protocol/input.h"

namespace {

struct Stream {
  explicit Stream(std::string text) : data(std::move(text)) {
    const bool empty = data.empty();
    if (empty) data.push_back('\n');  // memory streams may not be empty: open one and drain it
    f = fmemopen(data.data(), data.size(), "r");
    if (empty) std::fgetc(f);
  }
  ~Stream() { std::fclose(f); }
  std::string rest() {
    std::string r;
    for (int c = std::fgetc(f); c != EOF; c = std::fgetc(f)) r.push_back(static_cast<char>(c));
    return r;
  }
  std::string data;
  std::FILE* f;
};

// Each row: the input, how many numbers the "%d,%d,%d" read converts, their values, and what
// the next read sees.
TEST(ReadInts, EmulatesTheStdioConversion) {
  struct Case {
    const char* input;
    int converted;
    int values[3];
    const char* rest;
  };
  // clang-format off
  const Case cases[] = {
      {"7,8,1\n", 3, {7, 8, 1}, "\n"},
      {"  \n 7,\n 8,  1 x", 3, {7, 8, 1}, " x"},  // white space after a comma is fine
      {"7 ,8,1\n", 1, {7}, " ,8,1\n"},             // ...but not before it
      {"-3,+4,-0\n", 3, {-3, 4, 0}, "\n"},
      {"7,x,1\n", 1, {7}, "x,1\n"},
      {"-x\n", 0, {}, "x\n"},  // the sign is consumed, the letter put back
      {"done\n", 0, {}, "done\n"},
      {"7,7", 2, {7, 7}, ""},  // cut short by the end of input
      {"4294967311,5,1\n", 3, {2147483647, 5, 1}, "\n"},  // saturates, never wraps to 15
      {"-99999999999999999999999,0,0\n", 3, {-2147483647 - 1, 0, 0}, "\n"},
      {"", 0, {}, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    Stream s(c.input);
    Input in(s.f);
    int v[3] = {-7, -7, -7};
    EXPECT_EQ(in.read_ints(v, 3), c.converted);
    for (int i = 0; i < c.converted; ++i) EXPECT_EQ(v[i], c.values[i]) << i;
    EXPECT_EQ(s.rest(), c.rest);
  }
}

}  // namespace
