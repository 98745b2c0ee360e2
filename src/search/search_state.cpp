#include "search/search_state.h"

void set_level(SearchState& state, int level, std::FILE* out) {
  state.quiet_limit = LEVEL_TABLE[level][0];
  state.three_limit = LEVEL_TABLE[level][1];
  state.mixed_limit = LEVEL_TABLE[level][2];
  std::fprintf(out, "MESSAGE Level... %d\n", level);
  std::fflush(out);
}
