// The engine object: owns every piece of state the process keeps, so that a test can build a
// fresh engine on any pair of streams.
#pragma once

#include <cstdio>
#include <string>

#include "protocol/game_state.h"
#include "protocol/input.h"
#include "protocol/info_command.h"
#include "search/root_search.h"
#include "search/search.h"

struct Engine {
  Engine(std::FILE* in, std::FILE* out_stream, std::FILE* err_stream)
      : input(in), out(out_stream), err(err_stream) {
    search.out = out_stream;
  }

  Input input;
  std::FILE* out;
  std::FILE* err;
  GameState game;
  MatchSettings settings;
  Search search;

  // The command loop's two calls into the search: the engine's reply and the speed benchmark
  // of START. A fuzzer of the protocol puts cheap stand-ins here.
  Move (*search_move)(Search&, const MatchSettings&, Board&, int side, int level) = root_search;
  void (*measure_speed)(Search&, const MatchSettings&, int dim) = benchmark;
};

// Reads and answers commands until END or the end of input; returns the exit code.
int run_command_loop(Engine& engine);

#ifndef _WIN32
// For hosts that hand over input a piece at a time, such as a browser worker: answers every
// command in `text` and keeps the game for the next piece. A position block must come whole,
// BOARD through DONE, in one piece. False once END has been read.
bool run_commands(Engine& engine, const std::string& text);
#endif
