// How close one line through an empty point is to five stones of a side, and which nearby empty
// cells would extend the side's stones on it. Both obey the winning rule passed in.
#pragma once

#include "board/line_window.h"

// `best`: the most own stones in one qualifying five-cell window through the centre (0 when
// none qualifies). `count`: how many qualifying windows reach `best`; negative only for best 1
// or 2 when the own stones stand far out on both sides of the centre.
struct LineStrength {
  int best;
  int count;
};

// `rule` nonzero: only exactly five wins, so a window touching an own stone just beyond either
// end is worthless. `rule` 0: five or more wins.
LineStrength analyse_line(const LineWindow& w, int side, int rule);

// Bit k set: window entry k (only 2, 3, 4, 6, 7, 8) is an empty cell that extends the side's
// stones on this line.
int extension_mask(const LineWindow& w, int side, int rule);

// Writes the set bit positions of 2 and above in ascending order; returns how many.
int mask_to_offsets(int mask, int* offsets);
