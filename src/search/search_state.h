// The values that steer a search: the depth limits of the level in force, the level choice and
// its drops, and the node and clock counters. One instance lives in the engine.
#pragma once

#include <cstdint>
#include <cstdio>

#include "movegen/depth_limits.h"

// Depth limits per level, in the order of DepthLimits' fields.
constexpr int LEVEL_TABLE[5][3] = {{2, 4, 6}, {4, 8, 9}, {6, 10, 11}, {8, 12, 13}, {10, 14, 15}};

struct SearchState {
  DepthLimits limits;          // of the level in force
  int level_request = 0;       // negative: this search's level was chosen automatically
  int search_level = 0;        // the level chosen at the start; drops do not change it
  int level_drop = 0;          // 0 none yet, 1 dropped by one level, 2 dropped to level 0
  int clock_start = 0;         // ms
  int64_t clock_start_us = 0;  // the same start, for the speed
  int check_count = 1;
  int node_count = 1;  // stored nodes of the current search; 1 between searches
  int nps = 0;         // from the last time check of any search
  // The hard limits: a search stops once `stop` is set, and every value found after that is
  // dropped. The clock is read for them once per STOP_CHECK_NODES nodes entered, so lines
  // that store little are watched as closely as any.
  int stop = 0;            // a StopReason
  int stop_countdown = 1;  // nodes to enter before the next reading of the clock
};

constexpr int STOP_CHECK_NODES = 64;

// Loads the depth limits of `level` (0..4) and announces it.
void set_level(SearchState& state, int level, std::FILE* out);
