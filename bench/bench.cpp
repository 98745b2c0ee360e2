// ormel-bench: runs the root search at a fixed level over fixed positions and prints, per
// position, the chosen move, its value and the nodes stored, then the totals. The node total
// is the search's signature: any change to the search's results shows in it.
//
//   ormel-bench [--level N] [--positions FILE] [--expect FILE | --record FILE]
//   ormel-bench [--level N] [--dim D] [--rule R] ROW,COL,WHO ...   one position, play order
//   ormel-bench [--level N] [--dim D] [--rule R] -                 the same, read from stdin
//
//   ormel-bench --analyse [--level N] [--threads T] [--dim D] [--rule R] ROW,COL,WHO ...
//   ormel-bench --analyse [--level N] [--threads T] --positions FILE
//     every root move with its own value (best first), the engine's move and the best line;
//     with T threads the searches are shared out over them, and the output is the same
//
// It never stops a search unless asked: --max-ms MS stops each search after MS milliseconds,
// --max-memory BYTES keeps the process within BYTES as INFO max_memory does for the engine.
//
// Positions file: one position per line, "name dim rule ROW,COL,WHO ...", '#' starts a
// comment. As in the protocol's BOARD block, the first listed stone moved first and the side
// to move follows from the number of stones.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "protocol/engine.h"
#include "search/analysis.h"
#include "search/root_search.h"

namespace {

struct BenchPosition {
  std::string name;
  int dim = 15;
  int rule = 1;
  std::vector<std::string> stones;
};

bool parse_stones(const std::vector<std::string>& stones, Board& board, int& side) {
  int first_who = 0, count = 0;
  for (const std::string& s : stones) {
    int r, c, w;
    char extra;
    if (std::sscanf(s.c_str(), "%d,%d,%d%c", &r, &c, &w, &extra) != 3 || !board.on_board(r, c) ||
        board.at(r, c) != 0) {
      std::fprintf(stderr, "bad stone '%s'\n", s.c_str());
      return false;
    }
    if (count == 0) first_who = w;
    board.at(r, c) = w == first_who ? 1 : -1;
    ++count;
  }
  side = count % 2 == 0 ? 1 : -1;
  return true;
}

std::vector<BenchPosition> read_positions(std::istream& in) {
  std::vector<BenchPosition> positions;
  std::string line;
  while (std::getline(in, line)) {
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    BenchPosition p;
    if (!(words >> p.name)) continue;
    words >> p.dim >> p.rule;
    for (std::string s; words >> s;) p.stones.push_back(s);
    positions.push_back(p);
  }
  return positions;
}

[[noreturn]] void usage() {
  std::fputs(
      "usage: ormel-bench [--level N] [--positions FILE] [--expect FILE | --record FILE]\n"
      "       ormel-bench [--level N] [--dim D] [--rule R] (ROW,COL,WHO ... | -)\n"
      "       ormel-bench --analyse [--level N] [--threads T] [--dim D] [--rule R] (ROW,COL,WHO "
      "... | -)\n"
      "       ormel-bench --analyse [--level N] [--threads T] --positions FILE\n"
      "       any of them with [--max-ms MS] [--max-memory BYTES]\n",
      stderr);
  std::exit(2);
}

// The position on `board`, its rule and the limits in `engine`; false when a stone is bad.
bool set_up(const BenchPosition& p, const SearchLimits& limits, Engine& engine, Board& board,
            int& side) {
  engine.settings.rule = p.rule;
  engine.search.limits = limits;
  board.dim = p.dim;
  return parse_stones(p.stones, board, side);
}

// A position analysed, and the engine's line after its best candidate.
struct Analysed {
  Board board;
  int side = 1;
  MatchSettings settings;
  AnalysisResult result;
  std::vector<CandidateValue> best_first;
  std::vector<Move> line;
  double analysis_ms = 0, line_ms = 0;

  bool wants_line() const { return !best_first.empty() && result.stop == STOP_NONE; }
};

double ms_since(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
}

void find_line(Search& search, int level, Analysed& a) {
  const auto t0 = std::chrono::steady_clock::now();
  a.line = engine_line(search, a.settings, a.board, a.side, level, a.best_first[0].move);
  a.line_ms = ms_since(t0);
}

// One line per candidate, "row,col value", best first, with "(alone V)" where the engine's
// move searched alone is worth another value; then the engine's own move and value,
// and the engine's line after the best candidate.
void print_analysis(const Analysed& a) {
  const AnalysisResult& r = a.result;
  for (const CandidateValue& c : a.best_first) {
    std::printf("%d,%d %d", c.move.row, c.move.col, c.value);
    if (c.alone != c.value) std::printf(" (alone %d)", c.alone);
    std::printf("\n");
  }
  if (r.engine_known) {
    std::printf("move %d,%d %d\n", r.engine.move.row, r.engine.move.col, r.engine.value);
  }
  if (r.stop != STOP_NONE) {
    std::printf("stopped (%s): %d of %d candidates finished\n",
                r.stop == STOP_TIME ? "time" : "memory", static_cast<int>(r.candidates.size()),
                static_cast<int>(r.moves.size()));
  }
  if (a.wants_line()) {
    std::printf("line");
    for (const Move& m : a.line) std::printf(" %d,%d", m.row, m.col);
    std::printf("\n");
  }
  // What it cost, apart from the answer: the candidates with the engine's move, then the line.
  std::fprintf(stderr, "analysis %.1f ms, line %.1f ms\n", a.analysis_ms, a.line_ms);
}

// Analyses every position: on one thread each in turn, the line after the analysis; on more,
// each position's searches shared out over them, then the lines of all positions (each is a
// chain of root searches, one after the other) shared out likewise. The output is the same.
int analyse_positions(const std::vector<BenchPosition>& positions, int level, int threads,
                      const SearchLimits& limits, std::FILE* quiet) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<Analysed> all(positions.size());
  for (size_t i = 0; i < positions.size(); ++i) {
    Engine engine(stdin, quiet, stderr);
    Analysed& a = all[i];
    if (!set_up(positions[i], limits, engine, a.board, a.side)) return 2;
    a.settings = engine.settings;
    const auto t0 = std::chrono::steady_clock::now();
    a.result = threads > 1
                   ? analyse_on_threads(engine.search, a.settings, a.board, a.side, level, threads)
                   : analyse(engine.search, a.settings, a.board, a.side, level);
    a.analysis_ms = ms_since(t0);
    a.best_first = ranked(a.result.candidates);
    if (threads == 1 && a.wants_line()) find_line(engine.search, level, a);
  }
  if (threads > 1) {
    Search like;
    like.limits = limits;
    like.out = quiet;
    share_out(like, threads, static_cast<int>(all.size()), [&](Search& s, int i) {
      if (all[i].wants_line()) find_line(s, level, all[i]);
    });
  }
  for (size_t i = 0; i < all.size(); ++i) {
    if (all.size() > 1) std::printf("%s\n", positions[i].name.c_str());
    print_analysis(all[i]);
  }
  std::fprintf(stderr, "%d positions in %.0f ms on %d thread%s\n", static_cast<int>(all.size()),
               ms_since(start), threads, threads == 1 ? "" : "s");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int level = 1;
  int dim = 15;
  int rule = 1;
  std::string positions_file = ORMEL_BENCH_POSITIONS;
  std::string expect_file;
  std::string record_file;
  std::vector<std::string> stones;
  bool single = false;
  bool analysis = false;
  int threads = 1;
  SearchLimits limits;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) usage();
      return argv[++i];
    };
    if (arg == "--level")
      level = std::atoi(value().c_str());
    else if (arg == "--positions")
      positions_file = value();
    else if (arg == "--expect")
      expect_file = value();
    else if (arg == "--record")
      record_file = value();
    else if (arg == "--dim")
      dim = std::atoi(value().c_str());
    else if (arg == "--rule")
      rule = std::atoi(value().c_str());
    else if (arg == "--analyse")
      analysis = true;
    else if (arg == "--threads")
      threads = std::atoi(value().c_str());
    else if (arg == "--max-ms")
      limits.hard_ms = std::max(0, std::atoi(value().c_str()));
    else if (arg == "--max-memory")
      limits.table_bytes = table_budget(std::atof(value().c_str()));
    else if (arg == "-") {
      single = true;
      for (std::string s; std::cin >> s;) stones.push_back(s);
    } else if (!arg.empty() && arg[0] != '-') {
      single = true;
      stones.push_back(arg);
    } else
      usage();
  }
  if (level < 0 || level > 4 || dim < MIN_DIM || dim > MAX_DIM || threads < 1 || threads > 64)
    usage();

  std::vector<BenchPosition> positions;
  if (single) {
    positions.push_back(BenchPosition{"position", dim, rule, stones});
  } else {
    std::ifstream in(positions_file);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", positions_file.c_str());
      return 2;
    }
    positions = read_positions(in);
  }

#ifdef _WIN32
  std::FILE* quiet = std::fopen("NUL", "w");
#else
  std::FILE* quiet = std::fopen("/dev/null", "w");
#endif
  if (analysis) return analyse_positions(positions, level, threads, limits, quiet);

  std::ostringstream report;
  long long total_nodes = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const BenchPosition& p : positions) {
    // A fresh engine per position: nothing carries over from one search to the next.
    Engine engine(stdin, quiet, stderr);
    Board board;
    int side = 1;
    if (!set_up(p, limits, engine, board, side)) return 2;
    const auto t0 = std::chrono::steady_clock::now();
    const RootResult r = root_search_detailed(engine.search, engine.settings, board, side, level);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    total_nodes += r.nodes;
    report << p.name << " move=" << format_move(r.move) << " val=" << r.value
           << " nodes=" << r.nodes << "\n";
    std::printf("%-24s move=%-8s val=%-5d nodes=%-9d %9.1f ms", p.name.c_str(),
                format_move(r.move).c_str(), r.value, r.nodes, ms);
    if (r.stop != STOP_NONE) {
      std::printf("  stopped (%s): %d of %d root moves finished",
                  r.stop == STOP_TIME ? "time" : "memory", r.finished, r.moves);
    }
    std::printf("\n");
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  report << "Nodes searched: " << total_nodes << "\n";
  std::printf("Nodes searched: %lld\n", total_nodes);
  std::printf("Total time: %.0f ms\n", seconds * 1000);
  std::printf("Nodes/second: %.0f\n", seconds > 0 ? total_nodes / seconds : 0.0);

  if (!record_file.empty()) std::ofstream(record_file) << report.str();
  if (!expect_file.empty()) {
    std::ifstream in(expect_file);
    std::stringstream expected;
    expected << in.rdbuf();
    if (expected.str() != report.str()) {
      std::fprintf(stderr, "signature mismatch against %s\nexpected:\n%sactual:\n%s",
                   expect_file.c_str(), expected.str().c_str(), report.str().c_str());
      return 1;
    }
    std::printf("Signature matches %s\n", expect_file.c_str());
  }
  return 0;
}
