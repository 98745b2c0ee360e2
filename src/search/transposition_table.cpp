#include "search/transposition_table.h"

#include <new>

bool TranspositionTable::Shard::allocate(int slot_bits) {
  slots.reset(new (std::nothrow) TableEntry[size_t{1} << slot_bits]());
  if (slots == nullptr) return false;
  bits = slot_bits;
  mask = (1u << slot_bits) - 1;
  used = 0;
  return true;
}

// Doubles the slots once three quarters are used, which keeps probe runs short.
bool TranspositionTable::Shard::grow() {
  Shard bigger;
  if (!bigger.allocate(bits + 1)) return false;
  for (uint32_t i = 0; i <= mask; ++i) {
    const TableEntry& e = slots[i];
    if (e.h0 == 0) continue;
    uint32_t j = bigger.home(mix(e.h0));
    while (bigger.slots[j].h0 != 0) j = (j + 1) & bigger.mask;
    bigger.slots[j] = e;
  }
  bigger.used = used;
  *this = std::move(bigger);
  return true;
}

bool TranspositionTable::create(size_t budget_bytes) {
  shards_.reset(new (std::nothrow) Shard[SHARDS]);
  if (shards_ == nullptr) return false;
  budget_ = budget_bytes;
  bytes_ = SHARDS * (sizeof(TableEntry) << INITIAL_SLOT_BITS);
  for (int k = 0; k < SHARDS; ++k) {
    if (!shards_[k].allocate(INITIAL_SLOT_BITS)) {
      shards_.reset();
      return false;
    }
  }
  zero_present_ = true;
  zero_ = TableEntry{0, 0, 0};
  size_ = 1;
  return true;
}

void TranspositionTable::release() {
  shards_.reset();
  size_ = 0;
  bytes_ = 0;
  zero_present_ = false;
}

int TranspositionTable::insert(int h0, int h1, int cena) {
  if (shards_ == nullptr) return -1;
  if (h0 == 0) {
    if (zero_present_) return 1;
    zero_present_ = true;
    zero_ = TableEntry{0, h1, cena};
    ++size_;
    return 0;
  }
  const uint32_t x = mix(h0);
  Shard& s = shards_[shard_index(x)];
  uint32_t i = s.home(x);
  for (; s.slots[i].h0 != 0; i = (i + 1) & s.mask) {
    if (s.slots[i].h0 == h0) return 1;
  }
  if (4 * (s.used + 1) > 3 * static_cast<int64_t>(s.mask + 1)) {
    const size_t old_bytes = sizeof(TableEntry) << s.bits;
    if (bytes_ + 2 * old_bytes > budget_ || !s.grow()) return 2;
    bytes_ += old_bytes;
    for (i = s.home(x); s.slots[i].h0 != 0; i = (i + 1) & s.mask) {
    }
  }
  s.slots[i] = TableEntry{h0, h1, cena};
  ++s.used;
  ++size_;
  return 0;
}

int TranspositionTable::remove(int h0) {
  if (shards_ == nullptr) return -1;
  if (h0 == 0) {
    if (!zero_present_) return 1;
    zero_present_ = false;
  } else {
    const uint32_t x = mix(h0);
    Shard& s = shards_[shard_index(x)];
    uint32_t i = s.home(x);
    for (; s.slots[i].h0 != h0; i = (i + 1) & s.mask) {
      if (s.slots[i].h0 == 0) return 1;
    }
    // Backward shift: pull later entries of the probe run into the gap unless their home lies
    // cyclically after the gap and at or before their slot.
    for (uint32_t j = (i + 1) & s.mask; s.slots[j].h0 != 0; j = (j + 1) & s.mask) {
      const uint32_t k = s.home(mix(s.slots[j].h0));
      const bool stays = i <= j ? (i < k && k <= j) : (i < k || k <= j);
      if (stays) continue;
      s.slots[i] = s.slots[j];
      i = j;
    }
    s.slots[i].h0 = 0;
    --s.used;
  }
  // The tree's root entry cannot go: removing the last entry leaves a fresh tree's entry.
  if (--size_ == 0) {
    zero_present_ = true;
    zero_ = TableEntry{0, 0, 0};
    size_ = 1;
  }
  return 0;
}
