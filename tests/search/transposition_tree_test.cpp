#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>
#include <vector>

#include "search/transposition_tree.h"

namespace {

using Contents = std::vector<std::pair<int, std::pair<int, int>>>;  // h0 -> (h1, cena)

void in_order(const TranspositionEntry* e, Contents& out) {
  if (e == nullptr) return;
  in_order(e->smaller, out);
  out.push_back({e->h0, {e->h1, e->cena}});
  in_order(e->greater, out);
}

Contents contents(const TranspositionEntry* root) {
  Contents c;
  in_order(root, c);
  return c;
}

Contents contents(const std::map<int, std::pair<int, int>>& m) { return Contents(m.begin(), m.end()); }

struct TreeFixture : testing::Test {
  TranspositionTree tree;
  TranspositionEntry* root = nullptr;
  void SetUp() override { root = tt_create(tree); }
  void insert_all(std::initializer_list<int> keys) {
    for (int k : keys) ASSERT_EQ(tt_insert(tree, root, k, k + 1000, k * 2), 0);
  }
};

TEST_F(TreeFixture, FreshTreeHoldsTheZeroEntryAndAMissingTreeNothing) {
  ASSERT_EQ(tt_find(root, 0), root);
  EXPECT_EQ(root->h1 | root->cena, 0);
  EXPECT_EQ(tt_insert(tree, nullptr, 1, 1, 1), -1);
  EXPECT_EQ(tt_delete(tree, nullptr, 1), -1);
  EXPECT_EQ(tt_find(nullptr, 1), nullptr);
}

TEST_F(TreeFixture, DeleteWithTwoChildrenWhoseSmallerChildHasNoGreater) {
  insert_all({10, 5, 15, 3});  // 10's smaller child 5 has only a smaller child 3
  TranspositionEntry* ten = tt_find(root, 10);
  ASSERT_EQ(tt_delete(tree, root, 10), 0);
  EXPECT_EQ(ten->h0, 5) << "the entry keeps its place and takes over 5's keys";
  EXPECT_EQ(ten->h1, 1005);
  ASSERT_NE(ten->smaller, nullptr);
  EXPECT_EQ(ten->smaller->h0, 3);
}

TEST_F(TreeFixture, RootWithOneChildStaysTheSameObject) {
  insert_all({-4, -8});  // the root (0) has only a smaller child
  ASSERT_EQ(tt_delete(tree, root, 0), 0);
  EXPECT_EQ(root->h0, -4);
  EXPECT_EQ(root->h1, 996);
  EXPECT_EQ(tt_find(root, -8)->cena, -16);
  EXPECT_EQ(tt_find(root, 0), nullptr);
}

TEST_F(TreeFixture, ChildlessRootStaysUsable) {
  insert_all({4});
  ASSERT_EQ(tt_delete(tree, root, 0), 0);
  ASSERT_EQ(tt_delete(tree, root, 4), 0);
  EXPECT_EQ(tt_insert(tree, root, 7, 1, 2), 0);
  EXPECT_EQ(tt_find(root, 7)->cena, 2);
}

// Seeded random insert/delete sequences against an ordered map: after every operation the
// in-order walk must list the same keys with their own h1 and value.
TEST_F(TreeFixture, RandomSequencesKeepOrderAndContents) {
  std::mt19937 rng(2024);
  std::map<int, std::pair<int, int>> model{{0, {0, 0}}};
  for (int step = 0; step < 20000; ++step) {
    const int key = static_cast<int>(rng() % 400) - 200;
    if (rng() % 3 != 0) {
      const int h1 = static_cast<int>(rng()), cena = static_cast<int>(rng() % 2000) - 1000;
      const int r = tt_insert(tree, root, key, h1, cena);
      EXPECT_EQ(r, model.count(key) ? 1 : 0);
      if (r == 0) model[key] = {h1, cena};
    } else if (key != root->h0 || root->smaller || root->greater) {
      const int r = tt_delete(tree, root, key);
      EXPECT_EQ(r, model.count(key) ? 0 : 1);
      model.erase(key);
    }
    if (step % 97 == 0 || HasFailure()) {
      ASSERT_EQ(contents(root), contents(model)) << "after step " << step;
    }
  }
  EXPECT_EQ(contents(root), contents(model));
  tt_free(tree);
  EXPECT_EQ(tree.tree_root, nullptr);
  EXPECT_EQ(tree.pool.blocks(), 0u);
}

}  // namespace
