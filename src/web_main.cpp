// The engine as a WebAssembly module for a browser worker: the page hands over protocol text a
// piece at a time and reads the replies line by line from standard output (the module's print
// hook). There is no thread of its own here; the module's link-time stack carries the deep
// forcing lines that the console engine's big thread stack carries.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <string>

#include "protocol/engine.h"

namespace {

Engine& the_engine() {
  static Engine engine(nullptr, stdout, stderr);
  return engine;
}

}  // namespace

// Answers every command in `text` (a position block must come whole, BOARD through DONE).
// Returns 0 once END has been read, 1 while the game goes on.
extern "C" EMSCRIPTEN_KEEPALIVE int ormel_commands(const char* text) {
  return run_commands(the_engine(), text == nullptr ? std::string() : std::string(text)) ? 1 : 0;
}
