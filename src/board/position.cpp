// Incremental line analysis. The lines are kept whole, stones and all, so that a cell emptied
// in any order finds its lines current; a cell's line ranks and class are kept only while it is
// empty.
#include "board/position.h"

#include <algorithm>
#include <cassert>
#include <map>
#include <memory>
#include <vector>

#include "board/line_table.h"

// Both sides' line ranks by the classes of a code's two halves (see build_ranks).
struct HalfRanks {
  uint16_t left[1024];   // by the low half of a code: its class times the number of high classes
  uint16_t right[1024];  // by the high half: its class
  std::vector<uint16_t> ranks;  // by left + right
};

namespace {

// What one line, by its rank, tells of the point's class for its side, whatever the other
// lines: a class puts the point into the generator's lists (th 2 or more, or c 2 or more) when
// some line does; into own_main (th 3 or more, or th 2 with c 2 or more) when some line has best
// 3 or more, or best 2 with count 2 or more; among the opponent's short lists (th 4, th 3 with
// c 2 or more, or fo 2) when some line has best 4, or best 3 with count 2 or more, or when two
// lines are strong in fo's sense.
enum LineFlag { LISTED, OWN_MAIN, OPP_SHORT, FO_STRONG };

// Per line rank: its strong and live flags for fo as (strong << 4) | live, and its LineFlags as
// bits.
struct RankTables {
  uint8_t strong_live[256];
  uint8_t flags[256];
};

constexpr RankTables make_rank_tables() {
  RankTables t{};
  for (int rank = 16; rank < 256; ++rank) {
    const int best = rank >> 4, count = (rank & 15) - 8;
    const bool strong = best == 3 || (best == 2 && count >= 2);
    const bool live = count >= 2 || (count == 1 && best >= 2);
    t.strong_live[rank] = static_cast<uint8_t>((strong ? 16 : 0) | (live ? 1 : 0));
    t.flags[rank] = static_cast<uint8_t>(
        (best >= 2 || count >= 2) << LISTED | (best >= 3 || (best == 2 && count >= 2)) << OWN_MAIN |
        (best == 4 || (best == 3 && count >= 2)) << OPP_SHORT | strong << FO_STRONG);
  }
  return t;
}

constexpr RankTables RANK = make_rank_tables();

uint8_t rank_of(LineStrength s) {
  return s.best == 0 ? 0 : static_cast<uint8_t>(16 * s.best + s.count + 8);
}

// A half of a line code (the five cells on one side of the centre) as read on a board holds
// 0 to 5 off-board cells at its far end and empty cells or stones elsewhere: 364 possibilities.
// Many halves rank alike whatever the other half (cells beyond a stone of each colour hardly
// matter), so the ranks are kept by classes of halves: a little over a hundred of each, whose
// table of both sides' ranks stays in the first-level cache where one of 364 x 364 halves, let
// alone of all 2^20 codes, would not.
constexpr int HALF_CODES = 364;
constexpr uint16_t NO_HALF = 0xffff;

// Each half's low (or high) 10 bits, in one fixed order.
struct Halves {
  uint32_t low[HALF_CODES];
  uint32_t high[HALF_CODES];
};

constexpr Halves make_halves() {
  Halves h{};
  int next = 0;
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
      h.low[next] = low;
      h.high[next] = high;
      ++next;
    }
  }
  return h;
}

// Numbers the distinct rows of `rows`; returns each row's number and sets `count`.
std::vector<int> classes_of(const std::vector<std::vector<uint16_t>>& rows, int& count) {
  std::map<std::vector<uint16_t>, int> seen;
  for (const auto& row : rows) seen.emplace(row, 0);
  count = 0;
  for (auto& [row, number] : seen) number = count++;
  std::vector<int> numbers;
  for (const auto& row : rows) numbers.push_back(seen[row]);
  return numbers;
}

std::unique_ptr<HalfRanks> build_ranks(int rule) {
  static constexpr Halves HALVES = make_halves();
  std::vector<std::vector<uint16_t>> by_low(HALF_CODES, std::vector<uint16_t>(HALF_CODES));
  std::vector<std::vector<uint16_t>> by_high(HALF_CODES, std::vector<uint16_t>(HALF_CODES));
  for (int l = 0; l < HALF_CODES; ++l) {
    for (int r = 0; r < HALF_CODES; ++r) {
      const LineWindow w = decode_line_code(HALVES.low[l] | HALVES.high[r] << 10);
      by_low[l][r] = by_high[r][l] = static_cast<uint16_t>(rank_of(analyse_line(w, 1, rule)) |
                                                           rank_of(analyse_line(w, -1, rule)) << 8);
    }
  }
  int lows = 0, highs = 0;
  const std::vector<int> low_class = classes_of(by_low, lows);
  const std::vector<int> high_class = classes_of(by_high, highs);
  assert(lows * highs < NO_HALF);  // a little over 100 x 100 under either rule
  auto t = std::make_unique<HalfRanks>();
  std::fill(std::begin(t->left), std::end(t->left), NO_HALF);
  std::fill(std::begin(t->right), std::end(t->right), NO_HALF);
  t->ranks.resize(static_cast<size_t>(lows) * highs);
  for (int l = 0; l < HALF_CODES; ++l) {
    t->left[HALVES.low[l]] = static_cast<uint16_t>(low_class[l] * highs);
    for (int r = 0; r < HALF_CODES; ++r)
      t->ranks[low_class[l] * highs + high_class[r]] = by_low[l][r];
  }
  for (int r = 0; r < HALF_CODES; ++r)
    t->right[HALVES.high[r]] = static_cast<uint16_t>(high_class[r]);
  return t;
}

const HalfRanks& rank_table(int rule) {
  if (rule != 0) {
    static const std::unique_ptr<HalfRanks> exact = build_ranks(1);
    return *exact;
  }
  static const std::unique_ptr<HalfRanks> five_or_more = build_ranks(0);
  return *five_or_more;
}

}  // namespace

Position::Position(const Board& board, int rule)
    : board_(board),
      rule_(rule),
      ranks_(&rank_table(rule)),
      cells_{},
      saved_(new Saved[MAX_PLIES * SAVED_PER_PLY]),
      plies_(new Ply[MAX_PLIES]) {
  // Off the board everywhere, then the dim x dim cells as they stand.
  for (auto& direction : lines_) direction.fill((uint64_t{1} << (2 * (MAX_DIM + 2 * PAD))) - 1);
  for (int row = 0; row < dim(); ++row) {
    for (int col = 0; col < dim(); ++col) {
      const uint64_t code = cell_code(board_.at(row, col));
      for (int d = 0; d < 4; ++d) {
        const LineSpot s = spot(row, col, d);
        uint64_t& line = lines_[d][s.line];
        line = (line & ~(uint64_t{3} << (2 * s.pair))) | code << (2 * s.pair);
      }
    }
  }
  for (int row = 0; row < dim(); ++row) {
    for (int col = 0; col < dim(); ++col) {
      if (board_.at(row, col) != 0) continue;
      Analysis& a = cells_[row * BOARD_STRIDE + col];
      for (int d = 0; d < 4; ++d) {
        const LineSpot s = spot(row, col, d);
        set_ranks(a, d, line_ranks(code_at(lines_[d][s.line], s.pair)));
      }
      refold(a, row * BOARD_STRIDE + col, true, true);
    }
  }
}

// A line's cells are numbered from its first on-board cell in the direction's orientation.
Position::LineSpot Position::spot(int row, int col, int direction) const {
  switch (direction) {
    case 0: return {col, row + PAD};                                    // down a column
    case 1: return {col - row + dim() - 1, std::min(row, col) + PAD};   // down-right
    case 2: return {row, col + PAD};                                    // along a row
    default: return {row + col, std::min(col, dim() - 1 - row) + PAD};  // up-right
  }
}

void Position::prepare_tables(int rule) { rank_table(rule); }

LineStrength Position::line(int row, int col, int direction, int side) const {
  const int rank =
      cells_[row * BOARD_STRIDE + col].ranks[direction] >> (8 * side_index(side)) & 0xff;
  return rank == 0 ? LineStrength{0, 0} : LineStrength{rank >> 4, (rank & 15) - 8};
}

uint16_t Position::line_ranks(uint32_t code) const {
  const uint32_t left = ranks_->left[code & 1023], right = ranks_->right[code >> 10];
  if ((left | right) == NO_HALF) {  // not a line a board can show; never met in play
    const uint8_t* table = line_table(rule_);
    return static_cast<uint16_t>(rank_of(unpack_line_entry(table[code])) |
                                 rank_of(unpack_line_entry(table[swap_colours(code)])) << 8);
  }
  return ranks_->ranks[left + right];
}

void Position::set_ranks(Analysis& a, int direction, uint16_t both) {
  a.ranks[direction] = both;
  // Flag f of a rank goes to bit 8 f of lines_with.
  static constexpr auto SPREAD = [] {
    std::array<uint32_t, 16> t{};
    for (int flags = 0; flags < 16; ++flags) {
      for (int f = 0; f < 4; ++f) t[flags] |= static_cast<uint32_t>(flags >> f & 1) << (8 * f);
    }
    return t;
  }();
  a.lines_with = (a.lines_with & ~(0x11111111u << direction)) |
                 SPREAD[RANK.flags[both & 0xff]] << direction |
                 SPREAD[RANK.flags[both >> 8]] << (direction + 4);
}

// The first direction of the highest rank gives th, c and sm, as in classify_point: ranks are
// compared with the direction in the two low bits, lower directions weighing more.
void Position::refold_side(Analysis& a, int s) {
  const int shift = 8 * s;
  const int r0 = a.ranks[0] >> shift & 0xff, r1 = a.ranks[1] >> shift & 0xff;
  const int r2 = a.ranks[2] >> shift & 0xff, r3 = a.ranks[3] >> shift & 0xff;
  // Arithmetic maxima: which line wins is unpredictable, and branches here mispredict.
  auto max = [](int x, int y) { return x ^ ((x ^ y) & -(x < y)); };
  const int top = max(max(r0 << 2 | 3, r1 << 2 | 2), max(r2 << 2 | 1, r3 << 2));
  const int rank = top >> 2;
  const int none = -static_cast<int>(rank == 0);  // all ones when no line has own stones
  const int sl =
      RANK.strong_live[r0] + RANK.strong_live[r1] + RANK.strong_live[r2] + RANK.strong_live[r3];
  const int strong = (sl >> 4) >= 2, live = (sl & 15) >= 2;
  const int th = rank >> 4, c = ((rank & 15) - 8) & ~none, fo = strong + (strong | live);
  // Field by field: packing the four bytes into one word first costs more.
  PackedThreat& t = a.threat[s];
  t.th = static_cast<int8_t>(th);
  t.c = static_cast<int8_t>(c);
  t.fo = static_cast<int8_t>(fo);
  t.sm = static_cast<int8_t>((3 - (top & 3)) | none);
  a.sort_key[s] = static_cast<uint8_t>(point_sort_key(th, c, fo));
}

void Position::refold(Analysis& a, int point, bool own, bool other) {
  if (own && other) {
    refold_side(a, 0);
    set_masks(a, point, 0);
    refold_side(a, 1);
    set_masks(a, point, 1);
  } else {
    // Mostly one side's line changes, and which one is unpredictable: no branch on it.
    const int s = own ? 0 : 1;
    refold_side(a, s);
    set_masks(a, point, s);
  }
}

void Position::set_masks(const Analysis& a, int point, int s) {
  const uint64_t bit = uint64_t{1} << (point & 63);
  const int word = point >> 6;
  auto set = [&](PointSet& points, bool in) {
    points[word] = (points[word] & ~bit) | ((uint64_t{0} - in) & bit);
  };
  const uint32_t lines = a.lines_with >> (4 * s);
  const uint32_t fo_strong = lines >> (8 * FO_STRONG) & 15;
  set(listed_[s], (lines & 15u << (8 * LISTED)) != 0);
  set(own_main_[s], (lines & 15u << (8 * OWN_MAIN)) != 0);
  set(opp_short_[s], (lines & 15u << (8 * OPP_SHORT)) != 0 || (fo_strong & (fo_strong - 1)) != 0);
}

void Position::place(int row, int col, int stone) {
  static constexpr int STEP[4] = {BOARD_STRIDE, BOARD_STRIDE + 1, 1, 1 - BOARD_STRIDE};
  board_.at(row, col) = stone;
  const int point = row * BOARD_STRIDE + col;
  Ply& ply = plies_[ply_count_++];
  ply.saved_start = saved_count_;
  // Rows row - 5 to row + 5 start no lower than the word of (row - 5, 0) and end within the
  // SET_WORDS words from it (11 rows are 220 points); near the end the last words do.
  ply.first_word = std::min(std::max(0, (row - 5) * BOARD_STRIDE) >> 6, POINT_WORDS - SET_WORDS);
  const auto all = sets();
  for (int k = 0; k < SETS; ++k) {
    for (int w = 0; w < SET_WORDS; ++w) ply.words[k][w] = (*all[k])[ply.first_word + w];
  }
  for (PointSet* points : all) (*points)[point >> 6] &= ~(uint64_t{1} << (point & 63));
  const uint64_t stone_code = cell_code(stone);
  // First each line through the point takes the stone, and the empty cells within five steps
  // whose line ranks change are listed without a branch: whether a cell is empty or its ranks
  // change is unpredictable. Each cell lies on one line through the point: listed at most once.
  struct Change {
    uint16_t point, both;
    int direction;
  };
  Change changes[SAVED_PER_PLY];
  int n = 0;
  const int last = dim() - 1;
  for (int d = 0; d < 4; ++d) {
    const LineSpot s = spot(row, col, d);
    uint64_t& line_ref = lines_[d][s.line];
    line_ref |= stone_code << (2 * s.pair);
    const uint64_t line = line_ref;
    // Steps k along the direction whose cell stays on the board.
    const Direction dir = DIRECTIONS[d];
    int lo = -5, hi = 5;
    if (dir.drow > 0) lo = std::max(lo, -row), hi = std::min(hi, last - row);
    if (dir.drow < 0) lo = std::max(lo, row - last), hi = std::min(hi, row);
    if (dir.dcol > 0) lo = std::max(lo, -col), hi = std::min(hi, last - col);
    auto visit = [&](int k) {
      const int pair = s.pair + k;
      const int cell = point + k * STEP[d];
      const uint16_t both = line_ranks(code_at(line, pair));
      changes[n] = Change{static_cast<uint16_t>(cell), both, d};
      n += ((line >> (2 * pair) & 3) == 0) & (both != cells_[cell].ranks[d]);
    };
    for (int k = lo; k < 0; ++k) visit(k);
    for (int k = 1; k <= hi; ++k) visit(k);
  }
  for (int i = 0; i < n; ++i) {
    const Change& ch = changes[i];
    Analysis& a = cells_[ch.point];
    const uint16_t old = a.ranks[ch.direction];
    const bool own = (ch.both & 0xff) != (old & 0xff), other = (ch.both >> 8) != (old >> 8);
    saved_[saved_count_++] = Saved{a, ch.point};
    set_ranks(a, ch.direction, ch.both);
    refold(a, ch.point, own, other);
  }
}

void Position::remove(int row, int col) {
  board_.at(row, col) = 0;
  for (int d = 0; d < 4; ++d) {
    const LineSpot s = spot(row, col, d);
    lines_[d][s.line] &= ~(uint64_t{3} << (2 * s.pair));
  }
  // The saved cells were empty then and are empty again now.
  const Ply& ply = plies_[--ply_count_];
  while (saved_count_ > ply.saved_start) {
    const Saved& s = saved_[--saved_count_];
    cells_[s.point] = s.analysis;
  }
  const auto all = sets();
  for (int k = 0; k < SETS; ++k) {
    for (int w = 0; w < SET_WORDS; ++w) (*all[k])[ply.first_word + w] = ply.words[k][w];
  }
}
