// Helpers shared by the tests: boards drawn in ASCII, in-process engines on memory streams, and
// the real engine binary run through pipes.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "board/board.h"
#include "protocol/engine.h"

namespace test {

// Rows top to bottom, one character per cell: 'x' is +1, 'o' is -1, anything else empty.
// Blanks are ignored, so rows may be spaced for reading.
inline Board board_from_ascii(const std::vector<std::string>& rows, int dim = 15) {
  Board b;
  b.dim = dim;
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    int c = 0;
    for (char ch : rows[r]) {
      if (ch == ' ') continue;
      b.at(r, c) = ch == 'x' ? 1 : ch == 'o' ? -1 : 0;
      ++c;
    }
  }
  return b;
}

struct Stone {
  int row, col, side;
};

inline Board board_with(std::initializer_list<Stone> stones, int dim = 15) {
  Board b;
  b.dim = dim;
  for (const Stone& s : stones) b.at(s.row, s.col) = s.side;
  return b;
}

// Timing figures differ from run to run; everything else the engine prints is exact.
inline std::string scrub_nps(const std::string& text) {
  static const std::regex nps("nps=-?[0-9]+");
  return std::regex_replace(text, nps, "nps=N");
}

// What START prints on a 15 x 15 or 16 x 16 board: the benchmark's level-1 search, then OK.
constexpr const char* START_15 =
    "MESSAGE Level... 1\nMESSAGE [9,7], val = 5\nMESSAGE Benchmark, nps=N\nOK\n";

// A fresh engine reading `script` from memory; its output is collected in memory.
class ScriptedEngine {
 public:
  explicit ScriptedEngine(const std::string& script)
      : script_(script),
        in_(fmemopen(script_.data(), script_.size() ? script_.size() : 1, "r")),
        out_(open_memstream(&out_buf_, &out_len_)),
        err_(open_memstream(&err_buf_, &err_len_)),
        engine(in_, out_, err_) {
    if (script_.empty()) std::fgetc(in_);  // an empty memory stream is not allowed: read it dry
  }
  ~ScriptedEngine() {
    std::fclose(in_);
    std::fclose(out_);
    std::fclose(err_);
    std::free(out_buf_);
    std::free(err_buf_);
  }
  int run() { return run_command_loop(engine); }
  std::string out() {
    std::fflush(out_);
    return std::string(out_buf_, out_len_);
  }
  std::string scrubbed_out() { return scrub_nps(out()); }
  std::string err() {
    std::fflush(err_);
    return std::string(err_buf_, err_len_);
  }

 private:
  std::string script_;
  char* out_buf_ = nullptr;
  size_t out_len_ = 0;
  char* err_buf_ = nullptr;
  size_t err_len_ = 0;
  std::FILE* in_;
  std::FILE* out_;
  std::FILE* err_;

 public:
  Engine engine;
};

struct ProcessResult {
  std::string out;
  std::string err;
  int exit_code = -1;
};

inline std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// Runs the engine binary with `input` on stdin, as a manager would.
inline ProcessResult run_engine_binary(const std::string& input) {
  char dir_template[] = "/tmp/ormel-test-XXXXXX";
  const std::string dir = mkdtemp(dir_template);
  const std::string in = dir + "/in", out = dir + "/out", err = dir + "/err";
  std::ofstream(in, std::ios::binary) << input;
  const std::string cmd =
      std::string("'") + ORMEL_ENGINE_PATH + "' < " + in + " > " + out + " 2> " + err;
  const int status = std::system(cmd.c_str());
  ProcessResult r;
  r.out = read_file(out);
  r.err = read_file(err);
  r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  std::remove(in.c_str());
  std::remove(out.c_str());
  std::remove(err.c_str());
  rmdir(dir.c_str());
  return r;
}

}  // namespace test
