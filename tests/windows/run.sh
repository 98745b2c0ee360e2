#!/usr/bin/env bash
# The Windows build under wine: the golden transcripts with LF and with CR LF line ends, and
# the level-4 bench signature, whose deepest lines need the executable's large stack.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=build/windows
wine=/usr/lib/wine/wine64
export WINEDEBUG=-all
WINEPREFIX=$(mktemp -d /tmp/ormel-wine.XXXXXX)
export WINEPREFIX
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT

"$wine" cmd /c exit >/dev/null 2>&1 || true  # the first start creates the prefix
python3 tests/protocol/run_transcripts.py --retries 1 -- "$wine" "$build/pbrain-ormel64.exe"
python3 tests/protocol/run_transcripts.py --crlf --retries 1 -- "$wine" "$build/pbrain-ormel64.exe"
"$wine" "$build/ormel-bench.exe" --level 4 --positions bench/positions.txt \
  --expect bench/expected-level4.txt | tail -3
unzip -l "$build"/ormel-*-win64.zip
