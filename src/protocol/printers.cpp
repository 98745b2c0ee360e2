#include "protocol/printers.h"

#include <cstdlib>

#include "search/root_search.h"

void tisk(const Board& board, char flag, std::FILE* out) {
  if (flag != 's' && flag != 'n') {
    std::fprintf(stderr, "tisk: neznamy priznak %c\n", flag);
    std::exit(1);
  }
  const bool letters = flag == 's';
  for (int y = board.dim - 1; y >= 0; --y) {
    std::fprintf(out, "%2d", letters ? y + 1 : y);
    for (int x = 0; x < board.dim; ++x) {
      const int v = board.at(x, y);
      std::fprintf(out, "%2c", v >= -1 && v <= 1 ? "o.x"[v + 1] : '?');
    }
    std::fputc('\n', out);
  }
  std::fputs("  ", out);
  for (int i = 0; i < board.dim; ++i) {
    if (letters)
      std::fprintf(out, "%2c", 'a' + i);
    else
      std::fprintf(out, "%2d", i);
  }
  std::fputc('\n', out);
}

void dump_moves(const Move* moves, int count, std::FILE* out) {
  for (int i = 0; i < count; ++i) std::fprintf(out, "%s,", format_move(moves[i]).c_str());
  std::fputc('\n', out);
  std::fflush(out);
}

void dump_candidates(const Candidate* candidates, int count, std::FILE* out) {
  std::fputs("tah() th, c, fo, sm\n", out);
  for (int i = 0; i < count; ++i) {
    const Candidate& c = candidates[i];
    std::fprintf(out, "%s, %d, %d, %d, %d\n", format_move(move_of(c)).c_str(), c.th, c.c, c.fo,
                 c.sm);
  }
}

namespace {

void dump_entry(int h0, int h1, int cena, const void* address, std::FILE* out) {
  std::fprintf(out, "h0=%ld, h1=%ld, cena=%d,  adr=%p\n", static_cast<long>(h0),
               static_cast<long>(h1), cena, address);
}

}  // namespace

void dump_tree(const TranspositionEntry* entry, std::FILE* out) {
  if (entry == nullptr) return;
  dump_tree(entry->smaller, out);
  dump_tree(entry->greater, out);
  dump_entry(entry->h0, entry->h1, entry->cena, entry, out);
}

void dump_table(const TranspositionTable& table, std::FILE* out) {
  table.for_each([out](const TableEntry& e) { dump_entry(e.h0, e.h1, e.cena, &e, out); });
}

int count_tree_nodes(const TranspositionEntry* root, const TranspositionEntry* from, int& counter) {
  if (from == root) counter = 0;
  if (from == nullptr) return counter;
  ++counter;
  count_tree_nodes(root, from->smaller, counter);
  count_tree_nodes(root, from->greater, counter);
  return counter;
}
