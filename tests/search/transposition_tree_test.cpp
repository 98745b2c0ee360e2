// The tree's own shape rules; its answers as a map are checked against the search's table.
#include <gtest/gtest.h>

#include "search/transposition_tree.h"

namespace {

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

}  // namespace
