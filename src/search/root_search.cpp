// Temporary stand-in until the real search lands: the first empty cell in row-major order.
#include "search/root_search.h"

#include <cstdlib>

Move root_search(Search& search, const MatchSettings&, Board& board, int, int) {
  for (int row = 0; row < board.dim; ++row) {
    for (int col = 0; col < board.dim; ++col) {
      if (board.at(row, col) == 0) return Move{row, col, 0, 0, 0};
    }
  }
  std::fputs("MESSAGE No selected move, resign...\n", search.out);
  std::fflush(search.out);
  std::exit(0);
}

void benchmark(Search& search, const MatchSettings&, int) {
  std::fprintf(search.out, "MESSAGE Benchmark, nps=%d\n", 0);
}
