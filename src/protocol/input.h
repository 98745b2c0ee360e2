// Reads the manager's commands the way C's formatted input does: white-space separated words
// and "%d" numbers with a push-back of one character, so that what a failed conversion leaves
// behind is exactly what the next read sees. Words have no length limit.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class Input {
 public:
  explicit Input(std::FILE* in) : in_(in) {}

  int get() { return std::getc(in_); }
  void unget(int c) {
    if (c != EOF) std::ungetc(c, in_);
  }

  // Skips white space; returns the first other character, or EOF.
  int skip_space();

  // "%s": skips white space and reads the word whole; the white space that ends it is left
  // unread. False when input ends before a word starts.
  bool read_word(std::string& word);

  // "%d" (or "%ld"): skips white space, then an optional sign and decimal digits. Values beyond
  // the 32-bit range saturate, so a huge number never wraps into a valid one.
  bool read_int(int& value);

  // "%d,%d,...": each comma must follow its number directly. Returns how many numbers were
  // converted; stops at the first mismatch.
  int read_ints(int* values, int count);

  // Drops everything up to and including the next newline, or up to the end of input.
  void discard_line();

 private:
  std::FILE* in_;
};

constexpr bool is_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
