// Printers for developers: a picture of a board, one-line dumps of move and candidate lists,
// and a dump and a node count of the transposition tree, or of the table the search keeps in
// its place. Never reached from the protocol.
#pragma once

#include <cstdio>

#include "board/board.h"
#include "movegen/move_list.h"
#include "search/transposition_table.h"
#include "search/transposition_tree.h"

// Columns run vertically (top line: the last column), rows horizontally. Flag 's' labels from
// 1 with letters below, 'n' from 0 with numbers; any other flag is fatal.
void tisk(const Board& board, char flag, std::FILE* out);

void dump_moves(const Move* moves, int count, std::FILE* out);
void dump_candidates(const Candidate* candidates, int count, std::FILE* out);

// Post-order: smaller subtree, greater subtree, then the entry.
void dump_tree(const TranspositionEntry* entry, std::FILE* out);

// The same lines for every entry of the search's table, in the table's own order.
void dump_table(const TranspositionTable& table, std::FILE* out);

// Counts the entries below `from`, continuing `counter`; counting from the root resets it.
int count_tree_nodes(const TranspositionEntry* root, const TranspositionEntry* from, int& counter);
