// The three depth limits the generator compares a node's depth with. The search loads them
// from its level table; the generator only reads them, so this small value is all it needs.
#pragma once

struct DepthLimits {
  int quiet_limit = 0;  // beyond it only forcing lines are expanded
  int three_limit = 0;  // beyond it only own fours are offered
  int mixed_limit = 0;  // beyond it only lines with forcing 2 go on
};
