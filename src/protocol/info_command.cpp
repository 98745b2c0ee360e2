// INFO: one key and usually one value per command, accepted in every game state.
#include "protocol/info_command.h"

#include <array>
#include <string>
#include <string_view>

#include "protocol/input.h"

namespace {

constexpr std::array<std::string_view, 7> INFO_KEYS = {
    "timeout_turn", "timeout_match", "max_memory", "time_left", "game_type", "rule", "folder"};

enum InfoKey { TIMEOUT_TURN, TIMEOUT_MATCH, MAX_MEMORY, TIME_LEFT, GAME_TYPE, RULE, FOLDER };

}  // namespace

long read_info_value(Input& input, std::FILE* out) {
  int value = 0;
  if (!input.read_int(value)) {
    std::fputs("ERROR i/o value\n", out);
    input.discard_line();
    return -1;
  }
  return value;
}

void info_command(Input& input, std::FILE* out, MatchSettings& settings) {
  std::string key;
  if (!input.read_word(key)) {
    std::fputs("ERROR i/o key\n", out);
    input.discard_line();
    return;
  }
  int index = 0;
  while (index < static_cast<int>(INFO_KEYS.size()) && INFO_KEYS[index] != key) ++index;

  switch (index) {
    case TIMEOUT_TURN:
      settings.timeout_turn = static_cast<double>(read_info_value(input, out)) / 1000;
      return;
    case TIMEOUT_MATCH:
      settings.timeout_match = static_cast<double>(read_info_value(input, out)) / 1000;
      return;
    case MAX_MEMORY:
      settings.max_memory = static_cast<double>(read_info_value(input, out)) / (1 << 20);
      settings.max_memory_sent = true;
      return;
    case TIME_LEFT:
      settings.time_left = static_cast<double>(read_info_value(input, out)) / 1000;
      return;
    case RULE: {
      const long value = read_info_value(input, out);
      if (value == 0 || value == 1) {
        settings.rule = static_cast<int>(value);
      } else {
        std::fprintf(out, "MESSAGE Unknown value '%ld' in key '%s'\n", value, key.c_str());
      }
      return;
    }
    case GAME_TYPE:
    case FOLDER: input.discard_line(); return;
    default:
      std::fputs("MESSAGE Unknown key '", out);
      std::fwrite(key.data(), 1, key.size(), out);
      std::fputs("'\n", out);
      input.discard_line();
      return;
  }
}
