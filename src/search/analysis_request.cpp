#include "search/analysis_request.h"

#include <algorithm>
#include <iterator>
#include <sstream>
#include <vector>

#include "search/analysis.h"

namespace {

struct Request {
  std::string kind;
  int dim = 0, rule = 0, level = 0, max_ms = 0, side = 0;
  int list_level = 0, index = 0;  // of a candidate request
  Move first{};
  Board board;
};

bool read_int(std::istringstream& words, int& value) {
  std::string word;
  if (!(words >> word)) return false;
  char extra;
  return std::sscanf(word.c_str(), "%d%c", &value, &extra) == 1;
}

bool read_point(const std::string& word, int& row, int& col) {
  char extra;
  return std::sscanf(word.c_str(), "%d,%d%c", &row, &col, &extra) == 2;
}

// Empty when the request reads, else what is wrong with it.
std::string parse(const std::string& text, Request& r) {
  std::istringstream words(text);
  static const char* const KINDS[] = {"analyse", "engine", "line", "moves", "candidate"};
  if (!(words >> r.kind) ||
      std::find(std::begin(KINDS), std::end(KINDS), r.kind) == std::end(KINDS)) {
    return "the request is none of analyse, engine, line, moves and candidate";
  }
  int to_move = 0;
  if (!read_int(words, r.dim) || !read_int(words, r.rule) || !read_int(words, r.level) ||
      !read_int(words, r.max_ms) || !read_int(words, to_move)) {
    return "the request needs DIM RULE LEVEL MAX_MS TO_MOVE";
  }
  if (r.dim < MIN_DIM || r.dim > MAX_DIM) return "the board size is outside 15..20";
  if (r.rule != 0 && r.rule != 1) return "the rule is neither 0 nor 1";
  if (r.level < 0 || r.level > 4) return "the level is outside 0..4";
  if (to_move != 1 && to_move != 2) return "the side to move is neither 1 nor 2";
  r.side = to_move == 1 ? 1 : -1;
  r.board.dim = r.dim;
  if (r.kind == "candidate" && (!read_int(words, r.list_level) || !read_int(words, r.index) ||
                                r.list_level < 0 || r.list_level > 4 || r.index < 0)) {
    return "the candidate needs LIST_LEVEL (0..4) and INDEX";
  }
  std::string word;
  if (r.kind == "line") {
    if (!(words >> word) || !read_point(word, r.first.row, r.first.col)) {
      return "the line needs its first move as ROW,COL";
    }
  }
  while (words >> word) {
    int row, col, who;
    char extra;
    if (std::sscanf(word.c_str(), "%d,%d,%d%c", &row, &col, &who, &extra) != 3 ||
        !r.board.on_board(row, col) || (who != 1 && who != 2) || r.board.at(row, col) != 0) {
      return "the stone '" + word.substr(0, 16) + "' is not a free point with who 1 or 2";
    }
    r.board.at(row, col) = who == 1 ? 1 : -1;
  }
  if (r.kind == "line" &&
      (!r.board.on_board(r.first.row, r.first.col) || r.board.at(r.first.row, r.first.col) != 0)) {
    return "the line's first move is not a free point";
  }
  return "";
}

void print_point(std::FILE* out, const Move& m) { std::fprintf(out, " %d,%d", m.row, m.col); }

}  // namespace

void answer_analysis_request(Search& search, const std::string& text, std::FILE* out) {
  Request r;
  const std::string error = parse(text, r);
  if (!error.empty()) {
    std::fprintf(out, "error %s\n", error.c_str());
    std::fflush(out);
    return;
  }
  MatchSettings settings;
  settings.rule = r.rule;
  search.limits.hard_ms = r.max_ms > 0 ? r.max_ms : NO_TIME_LIMIT;
  search.limits.table_bytes = table_budget(DEFAULT_MEMORY_CAP);

  if (r.kind == "line") {
    std::fputs("line", out);
    for (const Move& m : engine_line(search, settings, r.board, r.side, r.level, r.first)) {
      print_point(out, m);
    }
    std::fputs("\ndone\n", out);
    std::fflush(out);
    return;
  }

  if (r.kind == "moves" || r.kind == "candidate") {
    const std::vector<Move> moves =
        root_moves(r.board, r.side, r.kind == "moves" ? r.level : r.list_level, r.rule);
    if (r.kind == "moves") {
      std::fputs("moves", out);
      for (const Move& m : moves) print_point(out, m);
      std::fputs("\n", out);
    } else if (r.index >= static_cast<int>(moves.size())) {
      std::fputs("error the candidate's index is past the root moves\n", out);
      std::fflush(out);
      return;
    } else {
      const Move& m = moves[r.index];
      int value = 0;
      const int stop =
          candidate_value(search, settings, r.board, r.side, r.level, m, search.clock_ms(), value);
      if (stop == STOP_NONE) {
        std::fprintf(out, "candidate %d,%d %d\n", m.row, m.col, value);
      } else {
        std::fprintf(out, "stopped %s 0 1\n", stop == STOP_TIME ? "time" : "memory");
      }
    }
    std::fputs("done\n", out);
    std::fflush(out);
    return;
  }

  if (r.kind == "engine") {
    if (root_moves(r.board, r.side, r.level, r.rule).empty()) {
      std::fputs("moves\n", out);
    } else {
      const RootResult answer = root_search_detailed(search, settings, r.board, r.side, r.level);
      if (answer.stop == STOP_NONE) {
        std::fprintf(out, "engine %d,%d %d\n", answer.move.row, answer.move.col, answer.value);
      } else {
        std::fprintf(out, "stopped %s 0 %d\n", answer.stop == STOP_TIME ? "time" : "memory",
                     answer.moves);
      }
    }
    std::fputs("done\n", out);
    std::fflush(out);
    return;
  }

  size_t shown = 0;
  const AnalysisResult result =
      analyse(search, settings, r.board, r.side, r.level, [&](const AnalysisResult& now) {
        if (shown == 0 && now.candidates.empty()) {
          std::fputs("moves", out);
          for (const Move& m : now.moves) print_point(out, m);
          std::fputs("\n", out);
          if (now.engine_known) {
            std::fprintf(out, "engine %d,%d %d\n", now.engine.move.row, now.engine.move.col,
                         now.engine.value);
          }
        }
        for (; shown < now.candidates.size(); ++shown) {
          const CandidateValue& c = now.candidates[shown];
          std::fprintf(out, "candidate %d,%d %d", c.move.row, c.move.col, c.value);
          if (c.alone != c.value) std::fprintf(out, " %d", c.alone);
          std::fputs("\n", out);
        }
        std::fflush(out);
      });
  if (result.stop != STOP_NONE) {
    std::fprintf(out, "stopped %s %d %d\n", result.stop == STOP_TIME ? "time" : "memory",
                 static_cast<int>(result.candidates.size()), static_cast<int>(result.moves.size()));
  }
  std::fputs("done\n", out);
  std::fflush(out);
}
