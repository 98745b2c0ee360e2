#!/usr/bin/env bash
# The engine binary under valgrind's memcheck: a few protocol transcripts and a 30-move game on
# 20 x 20. Any memory error or definite leak fails.
set -euo pipefail
engine=$1
here=$(cd "$(dirname "$0")/.." && pwd)
for input in "$here"/protocol/{commands,position_block,deep_search,restart_repeats}.in \
             "$here"/valgrind/game.in; do
  log=$(mktemp)
  valgrind -q --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=1 \
    --log-file="$log" "$engine" < "$input" > /dev/null 2>&1 \
    || { echo "memcheck failed on $(basename "$input"):"; cat "$log"; rm -f "$log"; exit 1; }
  rm -f "$log"
  echo "memcheck clean: $(basename "$input")"
done
