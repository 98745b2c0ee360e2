#!/usr/bin/env bash
# Runs both libFuzzer harnesses of the fuzz preset for a bounded time each, starting from the
# seed corpora in fuzz/corpus (never written to: new inputs go to a scratch folder).
#   fuzz/run.sh [SECONDS per harness, default 60] [BUILD folder, default build/fuzz]
# Any crash, leak, sanitizer report, out-of-memory or timeout fails the run: the search
# harness stops every search at a quarter of a second, so an input that runs for seconds is a
# search that did not stop.
set -euo pipefail
seconds=${1:-60}
build=${2:-build/fuzz}
cd "$(dirname "$0")/.."
failed=0
# A table that may not grow stops only a long search, which the search harness meets rarely
# while it fuzzes: its seed for that stop runs once on its own first.
"$build/search_fuzz" fuzz/corpus/search-table/* 2>&1 | grep -E "^search_fuzz:|ERROR|SUMMARY" || failed=1
for harness in protocol search; do
  scratch=$(mktemp -d)
  echo "== ${harness}_fuzz for ${seconds} s"
  options=(-max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=4096 -timeout=30
           -artifact_prefix="$scratch/")
  "$build/${harness}_fuzz" "${options[@]}" "$scratch" "fuzz/corpus/$harness" > "$scratch.log" 2>&1 ||
    true
  grep -E "^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)|^search_fuzz:|ERROR|SUMMARY" \
    "$scratch.log" || tail -n 2 "$scratch.log"
  rm -f "$scratch.log"
  for artifact in "$scratch"/{crash,leak,oom,timeout}-*; do
    [ -e "$artifact" ] || continue
    echo "finding: $artifact"
    failed=1
  done
  [ "$failed" = 0 ] && rm -rf "$scratch"
done
exit "$failed"
