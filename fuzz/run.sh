#!/usr/bin/env bash
# Runs both libFuzzer harnesses of the fuzz preset for a bounded time each, starting from the
# seed corpora in fuzz/corpus (never written to: new inputs go to a scratch folder).
#   fuzz/run.sh [SECONDS per harness, default 60] [BUILD folder, default build/fuzz]
set -euo pipefail
seconds=${1:-60}
build=${2:-build/fuzz}
cd "$(dirname "$0")/.."
for harness in protocol search; do
  scratch=$(mktemp -d)
  echo "== ${harness}_fuzz for ${seconds} s"
  "$build/${harness}_fuzz" -max_total_time="$seconds" -print_final_stats=1 -timeout=30 \
    -rss_limit_mb=4096 -artifact_prefix="$scratch/" "$scratch" "fuzz/corpus/$harness" 2>&1 |
    grep -E "DONE|^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)|ERROR|SUMMARY|crash-|leak-|timeout-" || true
  # A finding leaves its input in the scratch folder and makes the run fail.
  if ls "$scratch"/{crash,leak,timeout,oom}-* >/dev/null 2>&1; then
    echo "findings:"; ls "$scratch"/{crash,leak,timeout,oom}-* 2>/dev/null
    exit 1
  fi
  rm -rf "$scratch"
done
