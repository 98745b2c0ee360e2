#include "board/line_table.h"

#include <memory>

namespace {

std::unique_ptr<uint8_t[]> build(int rule) {
  auto table = std::make_unique<uint8_t[]>(size_t{1} << LINE_CODE_BITS);
  for (uint32_t code = 0; code < (1u << LINE_CODE_BITS); ++code) {
    const LineStrength s = analyse_line(decode_line_code(code), 1, rule);
    table[code] = static_cast<uint8_t>(s.best | ((s.count + 8) << 3));
  }
  return table;
}

}  // namespace

LineWindow decode_line_code(uint32_t code) {
  static constexpr int CELL_VALUE[4] = {0, 1, -1, OFF_BOARD};
  LineWindow w;
  for (int k = 0; k < LINE_WINDOW_SIZE; ++k) {
    if (k == LINE_WINDOW_CENTRE) {
      w[k] = 0;
      continue;
    }
    const int bit = 2 * (k < LINE_WINDOW_CENTRE ? k : k - 1);
    w[k] = CELL_VALUE[(code >> bit) & 3];
  }
  return w;
}

const uint8_t* line_table(int rule) {
  // Built on first use (thread-safe); about a megabyte for each rule.
  if (rule != 0) {
    static const std::unique_ptr<uint8_t[]> exact = build(1);
    return exact.get();
  }
  static const std::unique_ptr<uint8_t[]> five_or_more = build(0);
  return five_or_more.get();
}
