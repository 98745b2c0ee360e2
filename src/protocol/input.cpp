// Emulation of the few stdio conversions the protocol uses.
#include "protocol/input.h"

#include <climits>

int Input::skip_space() {
  int c = get();
  while (is_space(c)) c = get();
  return c;
}

bool Input::read_word(std::string& word) {
  word.clear();
  int c = skip_space();
  if (c == EOF) return false;
  while (c != EOF && !is_space(c)) {
    word.push_back(static_cast<char>(c));
    c = get();
  }
  unget(c);
  return true;
}

bool Input::read_int(int& value) {
  int c = skip_space();
  bool negative = false;
  if (c == '-' || c == '+') {
    negative = c == '-';
    c = get();  // like stdio, a sign that is not followed by a digit is consumed and lost
  }
  if (c < '0' || c > '9') {
    unget(c);
    return false;
  }
  int64_t magnitude = 0;
  constexpr int64_t CAP = int64_t{1} << 40;  // far beyond 32 bits; further digits change nothing
  while (c >= '0' && c <= '9') {
    if (magnitude < CAP) magnitude = magnitude * 10 + (c - '0');
    c = get();
  }
  unget(c);
  const int64_t v = negative ? -magnitude : magnitude;
  value = v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
  return true;
}

int Input::read_ints(int* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      const int c = get();
      if (c != ',') {
        unget(c);
        return i;
      }
    }
    if (!read_int(values[i])) return i;
  }
  return count;
}

void Input::discard_line() {
  int c = get();
  while (c != EOF && c != '\n') c = get();
}
