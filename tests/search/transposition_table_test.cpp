#include "search/transposition_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

#include "search/transposition_tree.h"

namespace {

using Contents = std::vector<std::tuple<int, int, int>>;  // (h0, h1, cena), sorted

void collect(const TranspositionEntry* e, Contents& out) {
  if (e == nullptr) return;
  collect(e->smaller, out);
  out.emplace_back(e->h0, e->h1, e->cena);
  collect(e->greater, out);
}

Contents contents(const TranspositionTable& table) {
  Contents c;
  table.for_each([&](const TableEntry& e) { c.emplace_back(e.h0, e.h1, e.cena); });
  std::sort(c.begin(), c.end());
  return c;
}

// The search relies on the table answering exactly as the tree: random inserts, deletes and
// finds must give the same answers and leave the same entries, with keys from a narrow range
// (collisions, key 0, emptying the table), from the whole range (growth), and from a pool that
// all falls into one shard (long probe runs that wrap around its end).
TEST(TranspositionTable, AnswersEveryOperationAsTheTree) {
  std::mt19937 rng(77);
  std::vector<int> one_shard;
  while (one_shard.size() < 700) {
    const int h0 = static_cast<int>(rng());
    if (h0 != 0 && TranspositionTable::shard_of(h0) == 3) one_shard.push_back(h0);
  }
  enum { NARROW, WIDE, ONE_SHARD };
  for (int round = 0; round < 24; ++round) {
    const int keys = round < 18 ? NARROW : round < 20 ? WIDE : ONE_SHARD;
    TranspositionTree tree;
    TranspositionEntry* root = tt_create(tree);
    TranspositionTable table;
    ASSERT_TRUE(table.create());
    const int ops = keys == NARROW ? 3000 : keys == WIDE ? 200000 : 20000;
    for (int i = 0; i < ops; ++i) {
      const int h0 = keys == NARROW ? static_cast<int>(rng() % 25) - 12
                     : keys == WIDE ? static_cast<int>(rng())
                                    : one_shard[rng() % one_shard.size()];
      const int h1 = static_cast<int>(rng() % 7), cena = static_cast<int>(rng() % 2049) - 1024;
      switch (rng() % (keys == WIDE ? 4 : 3)) {
        case 0: ASSERT_EQ(table.remove(h0), tt_delete(tree, root, h0)) << i; break;
        case 1: {
          const TranspositionEntry* want = tt_find(root, h0);
          const TableEntry* got = table.find(h0);
          ASSERT_EQ(got == nullptr, want == nullptr) << i;
          if (got != nullptr) {
            ASSERT_EQ(std::tie(got->h1, got->cena), std::tie(want->h1, want->cena));
          }
          break;
        }
        default: ASSERT_EQ(table.insert(h0, h1, cena), tt_insert(tree, root, h0, h1, cena)) << i;
      }
    }
    Contents want;
    collect(root, want);
    ASSERT_EQ(contents(table), want);
    ASSERT_EQ(table.size(), static_cast<int>(want.size()));
    // Every entry must still be found where its probe run leads, deletes and growth
    // notwithstanding.
    for (const auto& [h0, h1, cena] : want) {
      const TableEntry* e = table.find(h0);
      ASSERT_NE(e, nullptr) << h0;
      ASSERT_EQ(std::tie(e->h1, e->cena), std::tie(h1, cena));
    }
    tt_free(tree);
  }
}

TEST(TranspositionTable, AnEmptiedTableAnswersAsAFreshTree) {
  TranspositionTable table;
  ASSERT_TRUE(table.create());
  ASSERT_EQ(table.insert(9, 3, 4), 0);
  ASSERT_EQ(table.remove(0), 0);
  ASSERT_EQ(table.remove(9), 0);
  EXPECT_EQ(contents(table), (Contents{{0, 0, 0}}));
}

}  // namespace
