// The command loop: reads one command word at a time, keeps the game, answers every command.
// Choosing the engine's moves is left to the search; INFO's keys to the match settings.
#include <array>
#include <string>
#include <string_view>

#include "protocol/engine.h"

namespace {

// clang-format off
constexpr std::array<std::string_view, 10> COMMANDS = {
    "START", "BEGIN", "INFO", "BOARD", "TURN", "END", "ABOUT", "RESTART", "help", "?"};
// clang-format on

enum Command { START, BEGIN, INFO, BOARD, TURN, END, ABOUT, RESTART, HELP, QUESTION };

constexpr const char* NOT_INITIALIZED = "ERROR Board isn't initialized. Use: 'START size'\n";

constexpr const char* ABOUT_LINE =
    "name=\"ormel\", version=\"3\", author=\"Velkor\", email=\"velkor@ormel.cz\", "
    "country=\"CZ\"\n";

void print_help(std::FILE* err) {
  std::fputs(
      "START [size]\tPrepare game on board of size 'size'\n"
      "BEGIN\tStart game (AI begin)\n"
      "INFO [key] [value]\tInfo and set parameters of game\n"
      "BOARD\tPrepare position (terminte DONE)\n"
      "TURN [i,j]\tOpponent move\n"
      "END\tEnd program\n"
      "ABOUT\tAbout of game\n"
      "RESTART\tRestart game\n"
      "? or help\tThis help\n",
      err);
}

int centre_index(int dim) { return (dim - 1) / 2; }

bool board_has_stone(const Board& board) {
  for (int row = 0; row < board.dim; ++row) {
    for (int col = 0; col < board.dim; ++col) {
      if (board.at(row, col) != 0) return true;
    }
  }
  return false;
}

// The engine's reply, shared by TURN and DONE, within the hard limits the settings give now.
void reply_move(Engine& e) {
  GameState& g = e.game;
  e.search.limits = hard_limits(e.settings);
  const Move m = e.search_move(e.search, e.settings, g.board, g.engine_stone, -1);
  g.place(m.row, m.col, g.engine_stone);
  std::fprintf(e.out, "%d,%d\n", m.row, m.col);
}

void start_command(Engine& e) {
  int size = 0;
  if (!e.input.read_int(size)) {
    std::fputs("ERROR i/o size\n", e.out);
    e.input.discard_line();
    return;
  }
  if (size < MIN_DIM || size > MAX_DIM) {
    std::fprintf(e.out, "ERROR 15 <= dim <= %d\n", MAX_DIM);
    e.input.discard_line();
    return;
  }
  GameState& g = e.game;
  g.board.dim = size;
  clear_board(g.board);
  g.move_count = 0;
  g.state = BOARD_READY;
  e.measure_speed(e.search, e.settings, size);
  std::fputs("OK\n", e.out);
}

void begin_command(Engine& e) {
  GameState& g = e.game;
  if (g.board.dim == 0 || g.state != BOARD_READY) {
    std::fputs(NOT_INITIALIZED, e.out);
    return;
  }
  g.engine_stone = 1;
  g.state = ENGINE_FIRST;
  const int c = centre_index(g.board.dim);
  if (g.board.at(c, c) != 0) {
    std::fputs("ERROR Board isn't free!\n", e.out);
    return;
  }
  g.place(c, c, 1);
  std::fprintf(e.out, "%d,%d\n", c, c);
}

// The position block: stones in play order, one "row,col,who" per line, closed by DONE.
void board_command(Engine& e) {
  GameState& g = e.game;
  Input& in = e.input;
  if (g.board.dim == 0 || g.state != BOARD_READY) {
    std::fputs(NOT_INITIALIZED, e.out);
    in.discard_line();
    return;
  }
  bool first_stone = true;
  int first_who = 1;
  for (;;) {
    in.discard_line();  // the first time, the rest of the BOARD line itself
    const int c = in.skip_space();
    if (c == EOF) return;  // input ended inside the block: the loop reports it
    if (c == 'D') {
      std::string word;
      if (!in.read_word(word)) {
        std::fputs("ERROR i/o command\n", e.out);
        in.discard_line();
        return;
      }
      if (word == "ONE") break;
      std::fputs("ERROR Unknown terminate. Use DONE.\n", e.out);
      continue;
    }
    in.unget(c);
    int v[3];
    if (in.read_ints(v, 3) < 3) {
      std::fputs("ERROR bad values\n", e.out);
      continue;
    }
    const int row = v[0], col = v[1], who = v[2];
    if (!g.board.on_board(row, col)) {
      std::fprintf(e.out, "ERROR Position (%d,%d) is out of board.\n", row, col);
      continue;
    }
    if (g.board.at(row, col) != 0) {
      std::fprintf(e.out, "ERROR Position (%d,%d) isn't free.\n", row, col);
      continue;
    }
    // `who` only tells the sides apart: the first stone listed moved first.
    int stone = 1;
    if (first_stone) {
      first_who = who;
      first_stone = false;
    } else if (who != first_who) {
      stone = -1;
    }
    g.place(row, col, stone);
  }

  // DONE: with an even number of stones the side that moved first is to move.
  if (g.move_count % 2 == 1) {
    g.engine_stone = -1;
    g.state = ENGINE_SECOND;
  } else {
    g.engine_stone = 1;
    g.state = ENGINE_FIRST;
  }
  if (!board_has_stone(g.board)) {
    // Nothing to search around: open at the centre, as BEGIN does.
    const int centre = centre_index(g.board.dim);
    g.place(centre, centre, g.engine_stone);
    std::fprintf(e.out, "%d,%d\n", centre, centre);
    return;
  }
  reply_move(e);
}

void turn_command(Engine& e) {
  GameState& g = e.game;
  Input& in = e.input;
  if (g.board.dim == 0 || g.state == NO_BOARD) {
    std::fputs(NOT_INITIALIZED, e.out);
    in.discard_line();
    return;
  }
  if (g.state == BOARD_READY) {  // the opponent opened the game; stands even if the move fails
    g.engine_stone = -1;
    g.state = ENGINE_SECOND;
  }
  int v[2];
  if (in.read_ints(v, 2) < 2) {
    std::fputs("ERROR i/o value\n", e.out);
    in.discard_line();
    return;
  }
  const int row = v[0], col = v[1];
  if (!g.board.on_board(row, col)) {
    std::fprintf(e.out, "ERROR position (%d,%d) is out of board.\n", row, col);
    return;
  }
  if (g.board.at(row, col) != 0) {
    std::fprintf(e.out, "ERROR position (%d,%d) isn't free.\n", row, col);
    return;
  }
  g.place(row, col, -g.engine_stone);
  reply_move(e);
}

void restart_command(Engine& e) {
  clear_board(e.game.board);
  e.game.move_count = 0;
  e.game.state = BOARD_READY;
  std::fputs("OK\n", e.out);
}

}  // namespace

namespace {

// Runs one command whose word has been read; false after END.
bool run_command(Engine& e, const std::string& word) {
  int index = 0;
  while (index < static_cast<int>(COMMANDS.size()) && COMMANDS[index] != word) ++index;
  switch (index) {
    case START: start_command(e); break;
    case BEGIN: begin_command(e); break;
    case INFO: info_command(e.input, e.out, e.settings); break;
    case BOARD: board_command(e); break;
    case TURN: turn_command(e); break;
    case END: std::fflush(e.out); return false;
    case ABOUT:
      e.input.discard_line();
      std::fputs(ABOUT_LINE, e.out);
      break;
    case RESTART: restart_command(e); break;
    case HELP:
    case QUESTION: print_help(e.err); break;
    default:
      std::fputs("UNKNOWN command '", e.out);
      std::fwrite(word.data(), 1, word.size(), e.out);
      std::fputs("'\n", e.out);
      e.input.discard_line();
      break;
  }
  return true;
}

}  // namespace

int run_command_loop(Engine& e) {
  std::string word;
  for (;;) {
    std::fflush(e.out);
    if (!e.input.read_word(word)) {
      // Only the end of input leaves no word; nothing more can come, so stop cleanly.
      std::fputs("ERROR i/o command\n", e.out);
      std::fflush(e.out);
      return 0;
    }
    if (!run_command(e, word)) return 0;
  }
}

#ifndef _WIN32  // fmemopen is POSIX; the Windows console engine has no use for pieces
bool run_commands(Engine& e, const std::string& text) {
  if (text.empty()) return true;
  std::string copy = text;  // the stream reads from memory it may not own
  std::FILE* in = fmemopen(copy.data(), copy.size(), "r");
  if (in == nullptr) return true;
  e.input = Input(in);
  std::string word;
  bool more = true;
  while (more) {
    std::fflush(e.out);
    if (!e.input.read_word(word)) break;  // this piece is done; the game goes on
    more = run_command(e, word);
  }
  std::fflush(e.out);
  std::fclose(in);
  e.input = Input(nullptr);
  return more;
}
#endif
