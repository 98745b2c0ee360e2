#!/usr/bin/env bash
# Line coverage of the test suite (clang's source-based coverage): builds the coverage preset,
# runs every test, and prints the covered share of the lines of each folder of src/, then the
# per-file table. Needs clang and llvm-cov (Debian: clang, llvm).
#   tools/coverage.sh [--files]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/coverage
cmake --preset coverage >/dev/null
cmake --build --preset coverage >/dev/null
rm -rf "$build/profiles" && mkdir -p "$build/profiles"
LLVM_PROFILE_FILE="$PWD/$build/profiles/%p.profraw" ctest --test-dir "$build" -j2 >/dev/null
llvm-profdata merge -sparse "$build"/profiles/*.profraw -o "$build/tests.profdata"
objects=("$build/tests/ormel_tests" -object "$build/pbrain-ormel" -object "$build/ormel-bench")
llvm-cov report "${objects[@]}" -instr-profile="$build/tests.profdata" \
  -ignore-filename-regex='(tests|bench|/usr)/' > "$build/report.txt"
python3 - "$build/report.txt" <<'PY'
import collections, sys
lines = collections.Counter()
missed = collections.Counter()
for row in open(sys.argv[1]):
    parts = row.split()
    if len(parts) < 10 or not parts[0].endswith((".cpp", ".h")):
        continue
    folder = parts[0].split("/")[0] if "/" in parts[0] else "."
    # Columns: Regions Missed Cover Functions Missed Executed Lines Missed Cover ...
    lines[folder] += int(parts[7])
    missed[folder] += int(parts[8])
print("| folder | lines | covered |")
print("|---|---|---|")
for folder in sorted(lines):
    print(f"| src/{folder} | {lines[folder]} | {100 * (lines[folder] - missed[folder]) / lines[folder]:.1f}% |")
total, miss = sum(lines.values()), sum(missed.values())
print(f"| all | {total} | {100 * (total - miss) / total:.1f}% |")
PY
if [ "${1:-}" = --files ]; then cat "$build/report.txt"; fi
