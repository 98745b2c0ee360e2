#include <gtest/gtest.h>

#include "protocol/printers.h"
#include "test_util.h"

namespace {

TEST(Tisk, ColumnsRunVerticallyWithLabels) {
  Board b;
  b.dim = 15;
  b.at(0, 14) = 1;
  b.at(1, 14) = -1;
  test::Capture n, s;
  tisk(b, 'n', n.f);
  tisk(b, 's', s.f);
  const std::string pn = n.text(), ps = s.text();
  EXPECT_EQ(pn.substr(0, 33), "14 x o . . . . . . . . . . . . .\n");
  EXPECT_EQ(pn.substr(pn.size() - 66, 5), " 0 . ");
  EXPECT_EQ(pn.substr(pn.size() - 33), "   0 1 2 3 4 5 6 7 8 91011121314\n");
  EXPECT_EQ(std::count(pn.begin(), pn.end(), '\n'), 16);
  EXPECT_EQ(ps.substr(0, 4), "15 x");
  EXPECT_EQ(ps.substr(ps.size() - 33), "   a b c d e f g h i j k l m n o\n");
  b.at(3, 3) = 7;
  test::Capture q;
  tisk(b, 'n', q.f);
  EXPECT_NE(q.text().find('?'), std::string::npos);
}

}  // namespace
