// Results of finished node searches for the length of one root search: an unbalanced binary
// search tree ordered by h0, with h1 to confirm a match. Entries come from a pool that the root
// search releases at once, so a search makes no allocation per node.
#pragma once

#include <memory>
#include <vector>

struct TranspositionEntry {
  int h0;
  int h1;
  int cena;  // value from the view of the node's parent
  TranspositionEntry* greater;
  TranspositionEntry* smaller;
};

// Hands out entries block by block and takes removed ones back for reuse.
class EntryPool {
 public:
  TranspositionEntry* allocate();  // nullptr when no memory is left
  void release(TranspositionEntry* entry);
  void release_all();
  size_t blocks() const { return blocks_.size(); }

 private:
  static constexpr size_t BLOCK_ENTRIES = size_t{1} << 16;
  std::vector<std::unique_ptr<TranspositionEntry[]>> blocks_;
  size_t used_in_last_ = BLOCK_ENTRIES;
  TranspositionEntry* free_list_ = nullptr;  // chained through `greater`
};

struct TranspositionTree {
  EntryPool pool;
  TranspositionEntry* tree_root = nullptr;  // none between searches
};

// A new tree: one entry (0, 0, 0) that stays the same object while the tree lives.
// nullptr when no memory is left.
TranspositionEntry* tt_create(TranspositionTree& tree);

TranspositionEntry* tt_find(TranspositionEntry* root, int h0);

// -1 no tree; 1 the h0 is present already (nothing changed); 2 no memory; 0 linked in.
int tt_insert(TranspositionTree& tree, TranspositionEntry* root, int h0, int h1, int cena);

// -1 no tree; 1 absent; 0 removed.
int tt_delete(TranspositionTree& tree, TranspositionEntry* root, int h0);

// Releases every entry of the tree at once.
void tt_free(TranspositionTree& tree);
