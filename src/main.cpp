// Starts the command loop on standard input and output.
#include <pthread.h>

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "protocol/engine.h"

namespace {

// Each search node keeps its move list in its own frame, so deep forcing lines want more
// stack than the default; untouched pages of a large stack cost nothing.
constexpr size_t ENGINE_STACK_BYTES = size_t{256} << 20;

struct Run {
  Engine* engine;
  int exit_code;
};

void* run_engine(void* arg) {
  Run* run = static_cast<Run*>(arg);
  run->exit_code = run_command_loop(*run->engine);
  return nullptr;
}

}  // namespace

int main() {
#ifdef _WIN32
  // Bytes in and out as on every other platform: no line-end translation (the replies end in
  // a bare newline, as managers on every platform accept), and a stray ^Z in the input is just
  // a byte, not the end of it.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  static Engine engine(stdin, stdout, stderr);
  Run run{&engine, 0};
  pthread_attr_t attr;
  pthread_t thread;
  if (pthread_attr_init(&attr) == 0 && pthread_attr_setstacksize(&attr, ENGINE_STACK_BYTES) == 0 &&
      pthread_create(&thread, &attr, run_engine, &run) == 0) {
    pthread_join(thread, nullptr);
  } else {
    run_engine(&run);  // no thread to be had: the default stack still plays most games
  }
  return run.exit_code;
}
