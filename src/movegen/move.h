// The move record that travels between the generator, the search and the protocol.
#pragma once

struct Move {
  int row = 0;
  int col = 0;
  int kind = 0;       // 3 own five .. -3 block of one of several opponent fives
  int forcing = 0;    // forcing level handed to the generator at the child node
  int main_only = 0;  // 1: the child offers only its main candidates in the quiet case

  bool operator==(const Move&) const = default;
};
