// The match's limits and rule as the search reads them: the time settings choose and lower the
// level, the rule steers the line analysis. The protocol fills them from INFO; a new value
// counts from the next search.
#pragma once

struct MatchSettings {
  double time_left = 180.0;      // seconds
  double timeout_match = 180.0;  // seconds
  double timeout_turn = 30.0;    // seconds
  int rule = 1;                  // nonzero: exactly five wins; 0: five or more
  double max_memory = 0.0;       // MiB
  bool max_memory_sent = false;  // a manager that names no cap gets the engine's own default
};
