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

void select_candidates(Candidate* list, int count, int k) {
  // The head holds the stable order of the entries seen so far, cut to k. A new entry comes
  // after every seen entry it does not beat, so one that does not beat the last of a full head
  // stays out.
  int held = 0;
  for (int i = 0; i < count; ++i) {
    const Candidate key = list[i];
    int j;
    if (held < k) {
      j = held++;
    } else if (compare_candidates(key, list[k - 1]) < 0) {
      j = k - 1;
    } else {
      continue;
    }
    while (j > 0 && compare_candidates(key, list[j - 1]) < 0) {
      list[j] = list[j - 1];
      --j;
    }
    list[j] = key;
  }
}
