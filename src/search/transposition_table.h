// The search's store of finished node results for one root search. It answers every lookup,
// insert and delete exactly as the transposition tree does: the same keys are present with the
// same values after any sequence of operations, the fresh entry (0, 0, 0) included, and a
// delete that would leave nothing leaves that fresh entry again, as the tree's root does. It
// is a set of open-addressing tables with linear probing, so a probe reads one or two cache
// lines instead of walking down the tree. A key's top hash bits choose one of 256 shards, and
// each shard doubles on its own: growing never needs the whole table twice over. The table
// keeps to a budget of bytes: a shard that would grow past it does not grow, and the insert
// answers "no memory" as the tree does when the heap runs out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct TableEntry {
  int h0;  // 0 marks a free slot; the entry of key 0 is kept apart
  int h1;
  int cena;  // value from the view of the node's parent
};

class TranspositionTable {
 public:
  // A new table holding the one entry (0, 0, 0), as tt_create. False when no memory is left.
  // A fresh table takes a little under a megabyte whatever the budget; growing it never takes
  // it past `budget_bytes`, counting the old slots of a shard while it doubles.
  bool create(size_t budget_bytes = SIZE_MAX);
  // Drops every entry and the memory; no table until the next create.
  void release();
  bool active() const { return shards_ != nullptr; }

  // As tt_find: the entry of h0, or nullptr (also when no table exists).
  const TableEntry* find(int h0) const {
    if (h0 == 0) return zero_present_ ? &zero_ : nullptr;
    if (shards_ == nullptr) return nullptr;
    const uint32_t x = mix(h0);
    const Shard& s = shards_[shard_index(x)];
    for (uint32_t i = s.home(x);; i = (i + 1) & s.mask) {
      const TableEntry& e = s.slots[i];
      if (e.h0 == h0) return &e;
      if (e.h0 == 0) return nullptr;
    }
  }

  // Asks the memory for the slot where find(h0) starts, so that a find a while later does not
  // wait for it.
  void prefetch(int h0) const {
    if (h0 == 0 || shards_ == nullptr) return;
    const uint32_t x = mix(h0);
    const Shard& s = shards_[shard_index(x)];
    __builtin_prefetch(&s.slots[s.home(x)]);
  }

  // As tt_insert: -1 no table; 1 h0 present already (nothing changed); 2 no memory; 0 stored.
  int insert(int h0, int h1, int cena);
  // As tt_delete: -1 no table; 1 absent; 0 removed.
  int remove(int h0);

  int size() const { return size_; }
  size_t bytes() const { return bytes_; }  // the slots allocated

  // Which shard a key other than 0 falls into; tests use it to crowd one shard.
  static int shard_of(int h0) { return static_cast<int>(shard_index(mix(h0))); }

  // Calls f(entry) for every entry: the entry of key 0 first, then slot order.
  template <class F>
  void for_each(F f) const {
    if (zero_present_) f(zero_);
    if (shards_ == nullptr) return;
    for (int k = 0; k < SHARDS; ++k) {
      const Shard& s = shards_[k];
      for (uint32_t i = 0; i <= s.mask; ++i) {
        if (s.slots[i].h0 != 0) f(s.slots[i]);
      }
    }
  }

 private:
  static constexpr int SHARD_BITS = 8;
  static constexpr int SHARDS = 1 << SHARD_BITS;
  static constexpr int INITIAL_SLOT_BITS = 8;

  struct Shard {
    std::unique_ptr<TableEntry[]> slots;
    uint32_t mask = 0;
    int bits = 0;
    int used = 0;
    // The slot a mixed key starts probing from: the hash bits just below the shard's.
    uint32_t home(uint32_t x) const { return (x << SHARD_BITS) >> (32 - bits); }
    bool allocate(int slot_bits);
    bool grow();
  };

  static uint32_t mix(int h0) { return static_cast<uint32_t>(h0) * 0x9E3779B1u; }  // Fibonacci
  // A mixed key's shard: its top hash bits.
  static uint32_t shard_index(uint32_t x) { return x >> (32 - SHARD_BITS); }

  std::unique_ptr<Shard[]> shards_;
  int size_ = 0;  // all entries, key 0 included
  size_t bytes_ = 0;
  size_t budget_ = SIZE_MAX;
  bool zero_present_ = false;
  TableEntry zero_{0, 0, 0};
};
