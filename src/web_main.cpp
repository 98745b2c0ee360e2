// The engine as a WebAssembly module for a browser worker: the page hands over protocol text a
// piece at a time and reads the replies line by line from standard output (the module's print
// hook). There is no thread of its own here; the module's link-time stack carries the deep
// forcing lines that the console engine's big thread stack carries.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <memory>
#include <string>

#include "protocol/engine.h"
#include "search/analysis_request.h"

namespace {

Engine& the_engine() {
  static Engine engine(nullptr, stdout, stderr);
  return engine;
}

// The browser compiles a module's functions on their first call and optimises them only once
// they run hot, so a fresh module searches at a tenth of its speed: START's speed measurement
// would then choose the first move's level too low. A few throw-away searches on an engine of
// their own, whose output goes nowhere, run the search in first.
void warm_up() {
  std::FILE* sink = std::fopen("/dev/null", "w");
  if (sink == nullptr) return;
  auto scratch = std::make_unique<Engine>(nullptr, sink, sink);
  for (int i = 0; i < 5; ++i) benchmark(scratch->search, scratch->settings, MIN_DIM);
  std::fclose(sink);
}

}  // namespace

// Answers every command in `text` (a position block must come whole, BOARD through DONE).
// Returns 0 once END has been read, 1 while the game goes on.
extern "C" EMSCRIPTEN_KEEPALIVE int ormel_commands(const char* text) {
  static const bool warmed = (warm_up(), true);
  (void)warmed;
  return run_commands(the_engine(), text == nullptr ? std::string() : std::string(text)) ? 1 : 0;
}

// The page's study channel, beside the protocol: answers one analysis request (see
// analysis_request.h) on standard output, a line as each part finishes. It has a search of its
// own and never touches the game that ormel_commands keeps; the page calls it in a worker of
// its own.
extern "C" EMSCRIPTEN_KEEPALIVE void ormel_analyse(const char* request) {
  static Search search;
  static std::FILE* const sink = std::fopen("/dev/null", "w");
  search.out = sink != nullptr ? sink : stderr;
  answer_analysis_request(search, request == nullptr ? std::string() : std::string(request),
                          stdout);
}
