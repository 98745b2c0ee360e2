#include "search/search_limits.h"

#include <algorithm>

int reply_reserve_ms(double limit_ms) {
  return static_cast<int>(std::min(50 + limit_ms / 20, 1000.0));
}

int hard_time_limit_ms(const MatchSettings& s) {
  double limit = s.timeout_turn > 0 ? s.timeout_turn * 1000 : FAST_TURN_MS;
  const double left = s.time_left * 1000;
  if (left < INT_MAX - 1.0) limit = std::min(limit, std::max(left, 0.0) / 2);
  limit -= reply_reserve_ms(limit);
  return limit > 0 ? static_cast<int>(limit) : 0;
}

size_t table_budget(double cap_bytes) {
  if (cap_bytes <= 0) return NO_MEMORY_LIMIT;
  const size_t cap = static_cast<size_t>(std::min(cap_bytes, 1e18));
  return cap >= 2 * PROCESS_RESERVE ? cap - PROCESS_RESERVE : cap / 2;
}

SearchLimits hard_limits(const MatchSettings& s) {
  double cap = DEFAULT_MEMORY_CAP;
  if (s.max_memory_sent && s.max_memory >= 0) cap = s.max_memory * (1 << 20);
  return SearchLimits{hard_time_limit_ms(s), table_budget(cap)};
}
