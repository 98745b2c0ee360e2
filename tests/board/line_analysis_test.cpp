#include <gtest/gtest.h>

#include <string>
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

std::vector<int> offsets_of(int mask) {
  int buf[32];
  const int n = mask_to_offsets(mask, buf);
  return std::vector<int>(buf, buf + n);
}

struct Case {
  const char* line;
  int rule;
  int best, count, mask;
  std::vector<int> offsets;
};

//        entries: 01234 5 6789X
// clang-format off
const Case CASES[] = {
    {"..xxx......", 1, 3, 2, 64, {6}},
    {"..xxx......", 0, 3, 2, 192, {6, 7}},  // five-or-more: the window 3..7 may touch entry 2
    {".x......x..", 1, 1, -4, 0, {}},       // three single windows, then the spread correction
    {".xxxx.x....", 1, 0, 0, 0, {}},        // a stone at the centre would make six
    {".xxxx.x....", 0, 4, 1, 384, {7, 8}},  // both four-windows run into the long row: one
    {"....x.xxx..", 1, 4, 1, 0, {}},
    {"....x.xxx..", 0, 4, 1, 8, {3}},
    {"...x.......", 1, 1, 3, 84, {2, 4, 6}},  // entry 7: the window 3..7 has its stone first
    {"......x....", 1, 1, 4, 408, {3, 4, 7, 8}},  // entry 2 lies 4 cells from the stone
    {".oxx..x.o..", 1, 3, 1, 16, {4}},
    {".#x......x.", 1, 1, -5, 24, {3, 4}},  // the correction pairs entry 2 with entry 9
    {"xx.xx.xx.xx", 0, 4, 1, 256, {8}},
    {"...........", 1, 0, 0, 0, {}},
    {"xxxxxoxxxxx", 1, 0, 0, 0, {}},  // centre taken by the opponent
    {"xxxxx#xxxxx", 0, 0, 0, 0, {}},  // centre off the board
    // six in a row: worthless under exact five, a single five point under five-or-more
    {"xxxxx......", 1, 0, 0, 0, {}},
    {"xxxxx......", 0, 4, 1, 192, {6, 7}},
    // an off-board flank does no harm, an off-board cell inside a window kills it
    {"#xxx.......", 1, 3, 1, 0, {}},  // the extension windows touch entry 1
    {"##xxx......", 1, 3, 1, 64, {6}},
    {"oxxx..o....", 1, 3, 1, 0, {}},  // opponent flanks are harmless, inside they are not
    // spread correction: entry 2 with 8, entry 1 with 9, entry 1 preferred over 2
    {"..x.....x..", 1, 1, -2, 8 + 16, {3, 4}},
    {".x.......x.", 1, 1, -6, 0, {}},
    {".xx.....x..", 1, 2, -6, 0, {}},
    {"..xx...xx..", 1, 2, -4, 0, {}},
};
// clang-format on

TEST(AnalyseLine, WindowsUnderBothRules) {
  for (const Case& c : CASES) {
    SCOPED_TRACE(testing::Message() << c.line << " rule " << c.rule);
    const LineWindow w = window(c.line);
    const LineStrength s = analyse_line(w, 1, c.rule);
    EXPECT_EQ(s.best, c.best);
    EXPECT_EQ(s.count, c.count);
    const LineStrength m = analyse_line(mirrored_colours(w), -1, c.rule);
    EXPECT_EQ(m.best, s.best);
    EXPECT_EQ(m.count, s.count);
  }
}

TEST(ExtensionMask, MarksOnlyCellsNearTheOwnStones) {
  for (const Case& c : CASES) {
    SCOPED_TRACE(testing::Message() << c.line << " rule " << c.rule);
    const LineWindow w = window(c.line);
    const int mask = extension_mask(w, 1, c.rule);
    EXPECT_EQ(mask, c.mask);
    EXPECT_EQ(offsets_of(mask), c.offsets);
    EXPECT_EQ(extension_mask(mirrored_colours(w), -1, c.rule), mask);
  }
}

}  // namespace
