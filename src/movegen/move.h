// The move record that travels between the generator, the search and the protocol.
#pragma once

// A plain record: lists of them live on the stack at every search node, so nothing may
// initialise them behind the caller's back.
struct Move {
  int row;
  int col;
  int kind;       // 3 own five .. -3 block of one of several opponent fives
  int forcing;    // forcing level handed to the generator at the child node
  int main_only;  // 1: the child offers only its main candidates in the quiet case

  bool operator==(const Move&) const = default;
};
