// The analysis as plain text, for the board page's worker: one request in, its answer out line
// by line as the analysis goes, so that the page can show each candidate as it finishes. This
// is the page's channel beside the protocol, not a protocol command.
//
// Requests (white-space separated; stones as row,col,who with who 1 black, 2 white; to_move 1
// or 2; max_ms 0 for no time limit):
//   analyse DIM RULE LEVEL MAX_MS TO_MOVE STONE...
//   engine DIM RULE LEVEL MAX_MS TO_MOVE STONE...   the engine's answer alone
//   line DIM RULE LEVEL MAX_MS TO_MOVE ROW,COL STONE...
//   moves DIM RULE LEVEL MAX_MS TO_MOVE STONE...    the root moves alone, unsearched
//   candidate DIM RULE LEVEL MAX_MS TO_MOVE LIST_LEVEL INDEX STONE...
//                            root move INDEX of the moves at LIST_LEVEL, valued alone at LEVEL
//                            (a page shares an analysis out over several workers this way)
// Answers:
//   moves R,C ...            the root moves in the generator's order (possibly none; of an
//                            engine request only when there are none)
//   engine R,C VALUE         the engine's own answer and its value
//   candidate R,C VALUE      one per finished candidate, in the generator's order (of a
//                            candidate request, its value alone)
//   stopped time|memory K N  a hard limit ended it with K of N candidates finished
//   line R,C ...             the candidate, then the engine's line
//   done                     the end of every answer but an error
//   error TEXT               a request that does not read; nothing was searched
#pragma once

#include <cstdio>
#include <string>

#include "search/search.h"

void answer_analysis_request(Search& search, const std::string& request, std::FILE* out);
