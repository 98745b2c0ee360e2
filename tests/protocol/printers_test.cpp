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

TEST(Tisk, UnknownFlagIsFatal) {
  Board b;
  b.dim = 15;
  EXPECT_EXIT(tisk(b, 'z', stdout), testing::ExitedWithCode(1), "^tisk: neznamy priznak z\n$");
}

TEST(DumpLists, MovesOnOneLineCandidatesOnePerLine) {
  const Move moves[] = {{7, 8, 0, 0, 0}, {0, 14, 3, 2, 1}};
  test::Capture m, empty, c;
  dump_moves(moves, 2, m.f);
  dump_moves(moves, 0, empty.f);
  EXPECT_EQ(m.text(), "[7,8],[0,14],\n");
  EXPECT_EQ(empty.text(), "\n");
  const Candidate cands[] = {{3, 4, 2, 2, 0, 3, 2, 1, 2}};
  dump_candidates(cands, 1, c.f);
  EXPECT_EQ(c.text(), "tah() th, c, fo, sm\n[3,4], 3, 2, 1, 2\n");
}

TEST(DumpTree, PostOrderAndCounts) {
  TranspositionTree tree;
  TranspositionEntry* root = tt_create(tree);
  tt_insert(tree, root, -5, 1, 10);
  tt_insert(tree, root, 5, 2, 20);
  tt_insert(tree, root, 3, 3, 30);
  test::Capture d;
  dump_tree(root, d.f);
  const std::string t = d.text();
  EXPECT_EQ(t.find("h0=-5, h1=1, cena=10,  adr=0x"), 0u);
  EXPECT_LT(t.find("h0=3,"), t.find("h0=5,"));
  EXPECT_LT(t.find("h0=5,"), t.find("h0=0,"));
  int counter = 99;
  EXPECT_EQ(count_tree_nodes(root, root, counter), 4);
  EXPECT_EQ(count_tree_nodes(root, root, counter), 4);
  EXPECT_EQ(count_tree_nodes(nullptr, nullptr, counter), 0);
  tt_free(tree);

  TranspositionTable table;
  table.create();
  table.insert(-5, 1, 10);
  test::Capture dt;
  dump_table(table, dt.f);
  EXPECT_EQ(dt.text().find("h0=0, h1=0, cena=0,  adr=0x"), 0u);
  EXPECT_NE(dt.text().find("\nh0=-5, h1=1, cena=10,  adr=0x"), std::string::npos);
}

}  // namespace
