// The match's limits and rules as the manager sets them with INFO; read by the search and the
// line analysis whenever they run, so a new value counts from the next search or line test.
#pragma once

#include <cstdio>

class Input;

struct MatchSettings {
  double time_left = 180.0;      // seconds
  double timeout_match = 180.0;  // seconds
  double timeout_turn = 30.0;    // seconds
  int rule = 1;                  // nonzero: exactly five wins; 0: five or more
  double max_memory = 0.0;       // MiB
};

// Reads one integer value; when none can be read, reports it, drops the line and yields -1.
long read_info_value(Input& input, std::FILE* out);

// Runs INFO with the input positioned right after the word "INFO".
void info_command(Input& input, std::FILE* out, MatchSettings& settings);
