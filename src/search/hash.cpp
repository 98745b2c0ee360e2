#include "search/hash.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <random>

void fill_hash_tables(HashTables& tables) {
  std::mt19937 rng;  // default seed 5489
  for (uint32_t& v : tables.table0) v = rng() >> 1;
  for (uint32_t& v : tables.table1) v = rng() >> 1;
  tables.needs_fill = false;
}

namespace {

constexpr uint32_t MULTIPLIER = 16807;

[[noreturn]] void unknown_stone(int v) {
  std::fprintf(stderr, "hash: Unknown stone '%d'\n", v);
  std::exit(1);
}

// MULTIPLIER to the power k, mod 2^32, for every count of stones in a row.
constexpr std::array<uint32_t, MAX_DIM + 1> make_powers() {
  std::array<uint32_t, MAX_DIM + 1> p{};
  p[0] = 1;
  for (int k = 1; k <= MAX_DIM; ++k) p[k] = p[k - 1] * MULTIPLIER;
  return p;
}

constexpr std::array<uint32_t, MAX_DIM + 1> POWERS = make_powers();

}  // namespace

HashKey hash(HashTables& tables, const Board& board, int a, int b) {
  if (tables.needs_fill) fill_hash_tables(tables);
  const uint32_t ua = static_cast<uint32_t>(a);
  const uint32_t ub = static_cast<uint32_t>(b);
  uint32_t h0 = 0, h1 = 0;
  for (int row = 0; row < board.dim; ++row) {
    const int base = row * BOARD_STRIDE;
    for (int col = 0; col < board.dim; ++col) {
      const int v = board.cells[base + col];
      if (v == 0) continue;
      const uint32_t t0 = tables.table0[base + col];
      const uint32_t t1 = tables.table1[base + col];
      if (v == 1) {
        h0 = h0 * MULTIPLIER + t0 + ua;
        h1 = h1 * MULTIPLIER + t1 + ub;
      } else if (v == -1) {
        h0 = h0 * MULTIPLIER + t1 + ub;
        h1 = h1 * MULTIPLIER + t0 + ua;
      } else {
        unknown_stone(v);
      }
    }
  }
  return {static_cast<int>(h0), static_cast<int>(h1)};
}

void RowHashes::reset(HashTables& tables, const Board& board) {
  if (tables.needs_fill) fill_hash_tables(tables);
  tables_ = &tables;
  dim_ = board.dim;
  occupied_rows_ = 0;
  for (int r = 0; r < dim_; ++r) update_row(board, r);
}

void RowHashes::update_row(const Board& board, int r) {
  uint32_t plus = 0, minus = 0;
  for (int col = 0; col < dim_; ++col) {
    const int v = board.cells[r * BOARD_STRIDE + col];
    if (v == 0) continue;
    if (v != 1 && v != -1) unknown_stone(v);
    (v == 1 ? plus : minus) |= 1u << col;
  }
  set_row(r, plus, minus);
}

void RowHashes::add_stone(int r, int col, int stone) {
  const Row& row = rows_[r];
  const uint32_t bit = 1u << col;
  set_row(r, row.plus | (stone == 1 ? bit : 0), row.minus | (stone == 1 ? 0 : bit));
}

// A row holds a few stones among its 20 cells: walking the stones rather than the cells spares
// a branch per cell that guesses wrong about whether it is empty.
void RowHashes::set_row(int r, uint32_t plus, uint32_t minus) {
  Row row;
  row.plus = plus;
  row.minus = minus;
  const uint32_t* t0 = &tables_->table0[r * BOARD_STRIDE];
  const uint32_t* t1 = &tables_->table1[r * BOARD_STRIDE];
  HashParts& p = row.parts;
  for (uint32_t stones = plus | minus; stones != 0; stones &= stones - 1) {
    const int col = std::countr_zero(stones);
    const uint32_t is_plus = plus >> col & 1;
    p.a0 = p.a0 * MULTIPLIER + (is_plus != 0 ? t0[col] : t1[col]);
    p.a1 = p.a1 * MULTIPLIER + (is_plus != 0 ? t1[col] : t0[col]);
    p.plus = p.plus * MULTIPLIER + is_plus;
    p.minus = p.minus * MULTIPLIER + (is_plus ^ 1);
  }
  row.stones = std::popcount(plus | minus);
  rows_[r] = row;
  set_row_occupied(r);
  parts_valid_ = false;
}

const HashParts& RowHashes::parts() {
  if (parts_valid_) return parts_;
  // Rows without stones leave the parts as they are.
  HashParts h;
  for (uint32_t bits = occupied_rows_; bits != 0; bits &= bits - 1) {
    const Row& row = rows_[std::countr_zero(bits)];
    const uint32_t shift = POWERS[row.stones];
    h.a0 = h.a0 * shift + row.parts.a0;
    h.a1 = h.a1 * shift + row.parts.a1;
    h.plus = h.plus * shift + row.parts.plus;
    h.minus = h.minus * shift + row.parts.minus;
  }
  parts_ = h;
  parts_valid_ = true;
  return parts_;
}
