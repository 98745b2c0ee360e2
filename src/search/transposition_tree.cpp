#include "search/transposition_tree.h"

#include <new>

TranspositionEntry* EntryPool::allocate() {
  if (free_list_ != nullptr) {
    TranspositionEntry* e = free_list_;
    free_list_ = e->greater;
    return e;
  }
  if (used_in_last_ == BLOCK_ENTRIES) {
    TranspositionEntry* block = new (std::nothrow) TranspositionEntry[BLOCK_ENTRIES];
    if (block == nullptr) return nullptr;
    blocks_.emplace_back(block);
    used_in_last_ = 0;
  }
  return &blocks_.back()[used_in_last_++];
}

void EntryPool::release(TranspositionEntry* entry) {
  entry->greater = free_list_;
  free_list_ = entry;
}

void EntryPool::release_all() {
  blocks_.clear();
  used_in_last_ = BLOCK_ENTRIES;
  free_list_ = nullptr;
}

TranspositionEntry* tt_create(TranspositionTree& tree) {
  TranspositionEntry* root = tree.pool.allocate();
  if (root != nullptr) *root = TranspositionEntry{0, 0, 0, nullptr, nullptr};
  return root;
}

TranspositionEntry* tt_find(TranspositionEntry* root, int h0) {
  TranspositionEntry* e = root;
  while (e != nullptr && e->h0 != h0) e = h0 < e->h0 ? e->smaller : e->greater;
  return e;
}

int tt_insert(TranspositionTree& tree, TranspositionEntry* root, int h0, int h1, int cena) {
  if (root == nullptr) return -1;
  TranspositionEntry* e = root;
  for (;;) {
    if (e->h0 == h0) return 1;
    TranspositionEntry*& next = h0 < e->h0 ? e->smaller : e->greater;
    if (next == nullptr) {
      TranspositionEntry* leaf = tree.pool.allocate();
      if (leaf == nullptr) return 2;
      *leaf = TranspositionEntry{h0, h1, cena, nullptr, nullptr};
      next = leaf;
      return 0;
    }
    e = next;
  }
}

int tt_delete(TranspositionTree& tree, TranspositionEntry* root, int h0) {
  if (root == nullptr) return -1;
  TranspositionEntry* parent = nullptr;
  TranspositionEntry* e = root;
  while (e != nullptr && e->h0 != h0) {
    parent = e;
    e = h0 < e->h0 ? e->smaller : e->greater;
  }
  if (e == nullptr) return 1;

  auto link_to = [&](TranspositionEntry* replacement) {
    (parent->smaller == e ? parent->smaller : parent->greater) = replacement;
  };

  if (e->smaller != nullptr && e->greater != nullptr) {
    // Take over the largest key of the smaller subtree; its own smaller subtree moves up.
    TranspositionEntry* d_parent = e;
    TranspositionEntry* d = e->smaller;
    while (d->greater != nullptr) {
      d_parent = d;
      d = d->greater;
    }
    e->h0 = d->h0;
    e->h1 = d->h1;
    e->cena = d->cena;
    (d_parent == e ? e->smaller : d_parent->greater) = d->smaller;
    tree.pool.release(d);
  } else if (e->smaller != nullptr || e->greater != nullptr) {
    TranspositionEntry* child = e->smaller != nullptr ? e->smaller : e->greater;
    if (e == root) {
      *e = *child;  // the root stays the same object
      tree.pool.release(child);
    } else {
      link_to(child);
      tree.pool.release(e);
    }
  } else if (e == root) {
    // A childless root cannot go: the search keeps using it. It becomes a fresh tree's entry.
    *e = TranspositionEntry{0, 0, 0, nullptr, nullptr};
  } else {
    link_to(nullptr);
    tree.pool.release(e);
  }
  return 0;
}

void tt_free(TranspositionTree& tree) {
  tree.pool.release_all();
  tree.tree_root = nullptr;
}
