// Incremental line analysis. A cell's four line codes are kept for every on-board cell, stone
// or not, so that a cell emptied in any order finds its lines current; its line ranks are kept
// only while it is empty.
#include "board/position.h"

#include <algorithm>
#include <memory>

#include "board/line_table.h"

namespace {

// Per line rank: its strong and live flags as (strong << 4) | live, and whether the line puts
// the point into the generator's lists (best or count of 2 or more).
struct RankTables {
  uint8_t strong_live[256];
  uint8_t interesting[256];
};

constexpr RankTables make_rank_tables() {
  RankTables t{};
  for (int rank = 16; rank < 256; ++rank) {
    const int best = rank >> 4, count = (rank & 15) - 8;
    const bool strong = best == 3 || (best == 2 && count >= 2);
    const bool live = count >= 2 || (count == 1 && best >= 2);
    t.strong_live[rank] = static_cast<uint8_t>((strong ? 16 : 0) | (live ? 1 : 0));
    t.interesting[rank] = best >= 2 || count >= 2;
  }
  return t;
}

constexpr RankTables RANK = make_rank_tables();

// By point_sort_key: whether the class is strong (see Position::strong_mask).
struct StrongTable {
  uint8_t strong[POINT_SORT_KEYS];
};

constexpr StrongTable make_strong_table() {
  StrongTable t{};
  for (int fo = 0; fo < 3; ++fo) {
    for (int th = 0; th < 5; ++th) {
      for (int c = -7; c <= 5; ++c) {
        t.strong[point_sort_key(th, c, fo)] = th >= 3 || (th == 2 && c >= 2) || fo == 2;
      }
    }
  }
  return t;
}

constexpr StrongTable STRONG = make_strong_table();

uint8_t rank_of(LineStrength s) {
  return s.best == 0 ? 0 : static_cast<uint8_t>(16 * s.best + s.count + 8);
}

// A half of a line code (the five cells on one side of the centre) as read on a board holds
// 0 to 5 off-board cells at its far end and empty cells or stones elsewhere: 364 possibilities.
// The ranks of whole lines are kept for those halves only, 364 x 364 entries, small enough to
// stay in the cache where a table of all 2^20 codes would not.
constexpr int HALF_CODES = 364;
constexpr uint32_t NO_HALF = 0xffffffffu;

struct HalfIndex {
  uint32_t left[1024];        // by the low half of a code: its number times HALF_CODES
  uint32_t right[1024];       // by the high half: its number
  uint32_t low[HALF_CODES];   // each number's low half
  uint32_t high[HALF_CODES];  // and high half
};

constexpr HalfIndex make_half_index() {
  HalfIndex h{};
  for (int i = 0; i < 1024; ++i) h.left[i] = h.right[i] = NO_HALF;
  uint32_t next = 0;
  for (int off = 0; off <= 5; ++off) {
    int combinations = 1;
    for (int j = off; j < 5; ++j) combinations *= 3;
    for (int v = 0; v < combinations; ++v) {
      // Cell j of the low half lies 5 - j steps out, cell j of the high half j + 1 steps out.
      uint32_t low = 0, high = 0;
      for (int j = 0, rest = v; j < 5; ++j) {
        const uint32_t cell = j < off ? 3u : static_cast<uint32_t>(rest % 3);
        if (j >= off) rest /= 3;
        low |= cell << (2 * j);
        high |= cell << (2 * (4 - j));
      }
      h.left[low] = next * HALF_CODES;
      h.right[high] = next;
      h.low[next] = low;
      h.high[next] = high;
      ++next;
    }
  }
  return h;
}

constexpr HalfIndex HALF = make_half_index();

// Both sides' ranks, by left number times HALF_CODES plus right number.
std::unique_ptr<uint16_t[]> build_ranks(int rule) {
  auto ranks = std::make_unique<uint16_t[]>(HALF_CODES * HALF_CODES);
  for (int l = 0; l < HALF_CODES; ++l) {
    for (int r = 0; r < HALF_CODES; ++r) {
      const uint32_t code = HALF.low[l] | HALF.high[r] << 10;
      const LineStrength own = analyse_line(decode_line_code(code), 1, rule);
      const LineStrength other = analyse_line(decode_line_code(code), -1, rule);
      ranks[l * HALF_CODES + r] = static_cast<uint16_t>(rank_of(own) | rank_of(other) << 8);
    }
  }
  return ranks;
}

const uint16_t* rank_table(int rule) {
  if (rule != 0) {
    static const std::unique_ptr<uint16_t[]> exact = build_ranks(1);
    return exact.get();
  }
  static const std::unique_ptr<uint16_t[]> five_or_more = build_ranks(0);
  return five_or_more.get();
}

}  // namespace

Position::Position(const Board& board, int rule)
    : board_(board),
      rule_(rule),
      ranks_(rank_table(rule)),
      cells_{},
      saved_(new Saved[MAX_PLIES * SAVED_PER_PLY]),
      plies_(new Ply[MAX_PLIES]) {
  for (int row = 0; row < dim(); ++row) {
    for (int col = 0; col < dim(); ++col) {
      Cell& cell = cells_[row * BOARD_STRIDE + col];
      for (int d = 0; d < 4; ++d) cell.code[d] = line_code(board_, row, col, d);
      if (board_.at(row, col) != 0) continue;
      for (int d = 0; d < 4; ++d) set_line(cell, d);
      refold(cell, row, col, true, true);
    }
  }
}

// The first direction of the highest rank gives th, c and sm, as in classify_point: ranks are
// compared with the direction in the two low bits, lower directions weighing more.
Position::PackedThreat Position::fold_lines(const LineRanks& r) {
  // Arithmetic maxima: which line wins is unpredictable, and branches here mispredict.
  auto max = [](int a, int b) { return a ^ ((a ^ b) & -(a < b)); };
  const int top = max(max(r[0] << 2 | 3, r[1] << 2 | 2), max(r[2] << 2 | 1, r[3] << 2));
  const int rank = top >> 2;
  const int none = -static_cast<int>(rank == 0);  // all ones when no line has own stones
  const int sl = RANK.strong_live[r[0]] + RANK.strong_live[r[1]] + RANK.strong_live[r[2]] +
                 RANK.strong_live[r[3]];
  const int fo = ((sl >> 4) >= 2) + ((sl >> 4) >= 2 || (sl & 15) >= 2);
  return PackedThreat{static_cast<int8_t>(rank >> 4),
                      static_cast<int8_t>(((rank & 15) - 8) & ~none), static_cast<int8_t>(fo),
                      static_cast<int8_t>((3 - (top & 3)) | none)};
}

void Position::prepare_tables(int rule) { rank_table(rule); }

uint32_t Position::row_bits(const PointSet& set, int row) {
  uint32_t bits = 0;
  for (int col = 0; col < BOARD_STRIDE; ++col) {
    const int point = row * BOARD_STRIDE + col;
    bits |= static_cast<uint32_t>(set[point >> 6] >> (point & 63) & 1) << col;
  }
  return bits;
}

LineStrength Position::line(int row, int col, int direction, int side) const {
  const int rank = cells_[row * BOARD_STRIDE + col].analysis.rank[side_index(side)][direction];
  return rank == 0 ? LineStrength{0, 0} : LineStrength{rank >> 4, (rank & 15) - 8};
}

uint16_t Position::line_ranks(uint32_t code) const {
  const uint32_t left = HALF.left[code & 1023], right = HALF.right[code >> 10];
  if ((left | right) == NO_HALF) {  // not a line a board can show; never met in play
    const uint8_t* table = line_table(rule_);
    return static_cast<uint16_t>(rank_of(unpack_line_entry(table[code])) |
                                 rank_of(unpack_line_entry(table[swap_colours(code)])) << 8);
  }
  return ranks_[left + right];
}

void Position::set_line(Cell& cell, int direction) {
  set_ranks(cell.analysis, direction, line_ranks(cell.code[direction]));
}

void Position::set_ranks(Analysis& a, int direction, uint16_t both) {
  const uint8_t own = both & 0xff, other = both >> 8;
  a.rank[0][direction] = own;
  a.rank[1][direction] = other;
  const unsigned bits = RANK.interesting[own] << direction | RANK.interesting[other]
                                                                 << (direction + 4);
  a.interesting = static_cast<uint8_t>((a.interesting & ~(0x11u << direction)) | bits);
}

void Position::refold_side(Analysis& a, int s) {
  const PackedThreat t = fold_lines(a.rank[s]);
  a.threat[s] = t;
  a.sort_key[s] = static_cast<uint8_t>(point_sort_key(t.th, t.c, t.fo));
}

void Position::refold(Cell& cell, int row, int col, bool own, bool other) {
  Analysis& a = cell.analysis;
  if (own && other) {
    refold_side(a, 0);
    refold_side(a, 1);
  } else {
    // Mostly one side's line changes, and which one is unpredictable: no branch on it.
    refold_side(a, own ? 0 : 1);
  }
  a.strong = STRONG.strong[a.sort_key[0]] | STRONG.strong[a.sort_key[1]];
  set_masks(a, row, col);
}

void Position::set_masks(const Analysis& a, int row, int col) {
  const int point = row * BOARD_STRIDE + col;
  const uint64_t bit = uint64_t{1} << (point & 63);
  const uint64_t candidate = a.interesting != 0 ? bit : 0;
  uint64_t& c = candidates_[point >> 6];
  uint64_t& s = strong_[point >> 6];
  c = (c & ~bit) | candidate;
  s = (s & ~bit) | (candidate & (uint64_t{0} - a.strong));
}

template <class F>
void Position::for_cells_in_reach(int row, int col, F f) const {
  static constexpr int STEP[4] = {BOARD_STRIDE, BOARD_STRIDE + 1, 1, 1 - BOARD_STRIDE};
  const int centre = row * BOARD_STRIDE + col;
  const int last = dim() - 1;
  for (int d = 0; d < 4; ++d) {
    const Direction dir = DIRECTIONS[d];
    // Steps k along the direction whose cell stays on the board.
    int lo = -5, hi = 5;
    if (dir.drow > 0) lo = std::max(lo, -row), hi = std::min(hi, last - row);
    if (dir.drow < 0) lo = std::max(lo, row - last), hi = std::min(hi, row);
    if (dir.dcol > 0) lo = std::max(lo, -col), hi = std::min(hi, last - col);
    // Seen from the cell k steps away, this point lies -k steps along the same line, which is
    // bit pair 5 - k of its code for k > 0 and 4 - k for k < 0.
    for (int k = lo; k < 0; ++k) f(centre + k * STEP[d], d, 2 * (4 - k));
    for (int k = 1; k <= hi; ++k) f(centre + k * STEP[d], d, 2 * (5 - k));
  }
}

void Position::place(int row, int col, int stone) {
  board_.at(row, col) = stone;
  const int point = row * BOARD_STRIDE + col;
  plies_[ply_count_++] = Ply{saved_count_, candidates_, strong_};
  candidates_[point >> 6] &= ~(uint64_t{1} << (point & 63));
  strong_[point >> 6] &= ~(uint64_t{1} << (point & 63));
  const uint32_t stone_code = stone > 0 ? 1u : 2u;
  // First every code in reach takes the stone, and the empty cells whose line ranks change are
  // listed without a branch: whether a cell is empty or its ranks change is unpredictable.
  // Each cell lies on one line through the point, so it is listed at most once.
  struct Change {
    uint16_t index, both;
    int direction;
  };
  Change changes[SAVED_PER_PLY];
  int n = 0;
  for_cells_in_reach(row, col, [&](int index, int d, int shift) {
    Cell& cell = cells_[index];
    cell.code[d] |= stone_code << shift;
    const uint16_t both = line_ranks(cell.code[d]);
    const Analysis& a = cell.analysis;
    changes[n] = Change{static_cast<uint16_t>(index), both, d};
    n += (board_.cells[index] == 0) & (both != (a.rank[0][d] | a.rank[1][d] << 8));
  });
  for (int i = 0; i < n; ++i) {
    const Change& ch = changes[i];
    Cell& cell = cells_[ch.index];
    Analysis& a = cell.analysis;
    const int d = ch.direction;
    const bool own = (ch.both & 0xff) != a.rank[0][d], other = (ch.both >> 8) != a.rank[1][d];
    saved_[saved_count_++] = Saved{a, ch.index};
    set_ranks(a, d, ch.both);
    refold(cell, ch.index / BOARD_STRIDE, ch.index % BOARD_STRIDE, own, other);
  }
}

void Position::remove(int row, int col) {
  board_.at(row, col) = 0;
  for_cells_in_reach(row, col,
                     [&](int index, int d, int shift) { cells_[index].code[d] &= ~(3u << shift); });
  // The saved cells were empty then and are empty again now.
  const Ply& ply = plies_[--ply_count_];
  while (saved_count_ > ply.saved_start) {
    const Saved& s = saved_[--saved_count_];
    cells_[s.point].analysis = s.analysis;
  }
  candidates_ = ply.candidates;
  strong_ = ply.strong;
}
