// Move list helpers that stay out of line: the fatal overflow and the candidate sort.
#include "movegen/move_list.h"

#include <cstdio>
#include <cstdlib>

void list_overflow(const char* who, int count) {
  std::fprintf(stderr, "%s: preteceni pole, n=%d\n", who, count);
  std::exit(1);
}

void sort_candidates(Candidate* list, int count) {
  for (int i = 1; i < count; ++i) {
    const Candidate key = list[i];
    int j = i - 1;
    while (j >= 0 && compare_candidates(key, list[j]) < 0) {
      list[j + 1] = list[j];
      --j;
    }
    list[j + 1] = key;
  }
}
