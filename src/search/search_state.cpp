#include "search/search_state.h"

void set_level(SearchState& state, int level, std::FILE* out) {
  state.limits.quiet_limit = LEVEL_TABLE[level][0];
  state.limits.three_limit = LEVEL_TABLE[level][1];
  state.limits.mixed_limit = LEVEL_TABLE[level][2];
  std::fprintf(out, "MESSAGE Level... %d\n", level);
  std::fflush(out);
}
