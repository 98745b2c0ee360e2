// The hard limits of one search, in time and in memory, and how they follow from the match
// settings. The level choice and its drops keep a search within its time as a rule; these
// limits are the last resort behind them: a search that reaches one stops and answers with
// the root moves it has finished.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>

#include "search/match_settings.h"

// Why a search stopped early; `none` while it runs within its limits.
enum StopReason { STOP_NONE = 0, STOP_TIME = 1, STOP_MEMORY = 2 };

constexpr int NO_TIME_LIMIT = INT_MAX;
constexpr size_t NO_MEMORY_LIMIT = SIZE_MAX;

struct SearchLimits {
  int hard_ms = NO_TIME_LIMIT;           // from the start of the search
  size_t table_bytes = NO_MEMORY_LIMIT;  // the table of positions, at its largest
};

// timeout_turn 0 (or less) asks for moves as fast as possible; the search then still gets this.
constexpr int FAST_TURN_MS = 1000;
// The memory cap of the process when the manager names none: below the 350 MiB tournaments
// allow, and a heap a browser's WebAssembly module can grow to.
constexpr double DEFAULT_MEMORY_CAP = 256.0 * (1 << 20);
// What the process needs beside the table: code, analysis tables, I/O buffers, the stack of
// the deepest forcing line (some 20 KB a ply), and the heap the table's shards leave behind as
// they double (a full 318 MiB table was measured at 344 MiB resident, with a 32 MiB reserve).
constexpr size_t PROCESS_RESERVE = size_t{48} << 20;

// The time a reply needs after the search stops, and before it starts, that the manager
// counts too: leaving the search, releasing the table, writing the reply, and the pipes and
// the scheduler between the manager and the engine.
int reply_reserve_ms(double limit_ms);

// The hard time limit of one move: the turn's time (FAST_TURN_MS when it is 0 or less), and no
// more than half of what is left of the match (time_left INT_MAX ms counts as unlimited, at or
// below 0 as spent), less the reply reserve; never negative.
int hard_time_limit_ms(const MatchSettings& settings);

// The largest table that fits a process cap of `cap_bytes` beside PROCESS_RESERVE; a small cap
// gives the table half of it. A cap of 0 or less means no limit.
size_t table_budget(double cap_bytes);

// Both limits of one move from what the manager has sent: INFO max_memory in bytes (0 no
// limit), or DEFAULT_MEMORY_CAP while none has been sent or its value could not be read.
SearchLimits hard_limits(const MatchSettings& settings);
