#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "board/line_analysis.h"

namespace {

// Eleven characters, entries 0..10 (the centre is the sixth): 'x' own stone (side 1), 'o'
// opponent, '#' off the board, '.' empty.
LineWindow window(const std::string& s) {
  LineWindow w{};
  for (int k = 0; k < LINE_WINDOW_SIZE; ++k) {
    w[k] = s[k] == 'x' ? 1 : s[k] == 'o' ? -1 : s[k] == '#' ? OFF_BOARD : 0;
  }
  return w;
}

LineWindow mirrored_colours(LineWindow w) {
  for (int& v : w) {
    if (v == 1 || v == -1) v = -v;
  }
  return w;
}

struct Case {
  const char* line;
  int rule;
  int best, count;
  std::vector<int> extensions;  // the entries extension_mask marks
};

//        entries: 01234 5 6789X
// clang-format off
const Case CASES[] = {
    {"..xxx......", 1, 3, 2, {6}},
    {"..xxx......", 0, 3, 2, {6, 7}},      // five-or-more: the window 3..7 may touch entry 2
    {".x......x..", 1, 1, -4, {}},         // three single windows, then the spread correction
    {".xxxx.x....", 1, 0, 0, {}},          // a stone at the centre would make six
    {".xxxx.x....", 0, 4, 1, {7, 8}},      // both four-windows run into the long row: one
    {"....x.xxx..", 1, 4, 1, {}},
    {"....x.xxx..", 0, 4, 1, {3}},
    {"...x.......", 1, 1, 3, {2, 4, 6}},   // entry 7: the window 3..7 has its stone first
    {"......x....", 1, 1, 4, {3, 4, 7, 8}},// entry 2 lies 4 cells from the stone
    {".oxx..x.o..", 1, 3, 1, {4}},
    {".#x......x.", 1, 1, -5, {3, 4}},     // the correction pairs entry 2 with entry 9
    {"xx.xx.xx.xx", 0, 4, 1, {8}},
    {"...........", 1, 0, 0, {}},
    {"xxxxxoxxxxx", 1, 0, 0, {}},          // centre taken by the opponent
    {"xxxxx#xxxxx", 0, 0, 0, {}},          // centre off the board
    // six in a row: worthless under exact five, a single five point under five-or-more
    {"xxxxx......", 1, 0, 0, {}},
    {"xxxxx......", 0, 4, 1, {6, 7}},
    // an off-board flank does no harm, an off-board cell inside a window kills it
    {"#xxx.......", 1, 3, 1, {}},          // the extension windows touch entry 1
    {"##xxx......", 1, 3, 1, {6}},
    {"oxxx..o....", 1, 3, 1, {}},          // opponent flanks are harmless, inside they are not
    // spread correction: entry 2 with 8, entry 1 with 9, entry 1 preferred over 2
    {"..x.....x..", 1, 1, -2, {3, 4}},
    {".x.......x.", 1, 1, -6, {}},
    {".xx.....x..", 1, 2, -6, {}},
    {"..xx...xx..", 1, 2, -4, {}},
};
// clang-format on

// Each line for side 1, and with the colours swapped for side -1.
TEST(AnalyseLine, StrengthAndExtensionsUnderBothRules) {
  for (const Case& c : CASES) {
    SCOPED_TRACE(testing::Message() << c.line << " rule " << c.rule);
    int mask = 0;
    for (int k : c.extensions) mask |= 1 << k;
    for (const auto& [w, side] :
         {std::pair{window(c.line), 1}, {mirrored_colours(window(c.line)), -1}}) {
      const LineStrength s = analyse_line(w, side, c.rule);
      EXPECT_EQ((std::array{s.best, s.count, extension_mask(w, side, c.rule)}),
                (std::array{c.best, c.count, mask}))
          << "side " << side;
    }
  }
}

}  // namespace
