// Line analysis over the five windows that contain the centre of a LineWindow.
//
//   entry:   0 1 2 3 4 [5] 6 7 8 9 10
//   window s covers entries s+1 .. s+5 (always including 5); its flanks are s and s+6.
//
// A window qualifies for a side when it holds no opponent stone and no off-board cell, has at
// least one own stone, and (exact-five rule only) no own stone on a flank.
#include "board/line_analysis.h"

namespace {

struct WindowTally {
  int own;
  bool fits;       // own stones plus empty cells fill all five entries
  bool own_flank;  // an own stone just beyond either end
};

inline WindowTally tally_window(const LineWindow& w, int s, int side) {
  int own = 0;
  int empty = 0;
  for (int k = s + 1; k <= s + 5; ++k) {
    own += w[k] == side;
    empty += w[k] == 0;
  }
  return {own, own + empty == 5, w[s] == side || w[s + 6] == side};
}

inline bool qualifies(const WindowTally& t, int rule) {
  return t.fits && t.own > 0 && (rule == 0 || !t.own_flank);
}

}  // namespace

LineStrength analyse_line(const LineWindow& w, int side, int rule) {
  int main_tally[6] = {0, 0, 0, 0, 0, 0};
  int joined_tally[6] = {0, 0, 0, 0, 0, 0};
  int best = 0;
  for (int s = 0; s < 5; ++s) {
    const WindowTally t = tally_window(w, s, side);
    if (!qualifies(t, rule)) continue;
    ++main_tally[t.own];
    if (t.own > best) best = t.own;
    // Under five-or-more, windows that run into a longer own row are one threat, not several.
    if (rule == 0 && t.own_flank) ++joined_tally[t.own];
  }
  if (best == 0) return {0, 0};

  int count = main_tally[best];
  if (rule == 0 && joined_tally[best] != 0) count = main_tally[best] - joined_tally[best] + 1;

  // Spread correction: weak lines whose stones stand far out on both sides are worth less.
  if (best == 1 || best == 2) {
    const int left = w[1] == side ? 1 : w[2] == side ? 2 : -1;
    const int right = w[9] == side ? 9 : w[8] == side ? 8 : -1;
    if (left >= 0 && right >= 0) count += left - right;
  }
  return {best, count};
}

int extension_mask(const LineWindow& w, int side, int rule) {
  // The highest-index own stone of the window starting at entry `first`, or -1.
  auto last_own = [&](int first) {
    for (int k = first + 4; k >= first; --k) {
      if (w[k] == side) return k;
    }
    return -1;
  };
  int mask = 0;
  // Entries 2, 3, 4 and 6 are judged through the window on entries 2..6 only.
  if (qualifies(tally_window(w, 1, side), rule)) {
    const int last = last_own(2);
    for (int k : {2, 3, 4, 6}) {
      const int distance = k > last ? k - last : last - k;
      if (w[k] == 0 && distance <= 3) mask |= 1 << k;
    }
  }
  // Entry 7 through the window on entries 3..7, entry 8 through 4..8; each needs an own stone
  // past the window's first entry.
  if (qualifies(tally_window(w, 2, side), rule) && last_own(3) > 3 && w[7] == 0) mask |= 1 << 7;
  if (qualifies(tally_window(w, 3, side), rule) && last_own(4) > 4 && w[8] == 0) mask |= 1 << 8;
  return mask;
}

int mask_to_offsets(int mask, int* offsets) {
  if (mask <= 3) return 0;
  int n = 0;
  for (int k = 2; (mask >> k) != 0; ++k) {
    if (mask & (1 << k)) offsets[n++] = k;
  }
  return n;
}
