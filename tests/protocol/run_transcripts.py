#!/usr/bin/env python3
"""Runs the golden protocol transcripts through an engine command, as a manager drives it:
NAME.in on stdin, then stdout (nps= scrubbed), "[stderr]" and standard error when not empty,
and "[exit N]" compared with NAME.out. CTest runs it on the native engine; the Windows
executable runs it under wine.

  tests/protocol/run_transcripts.py [--crlf] [--update] -- ENGINE COMMAND...
  --crlf  feeds every input with CR LF line ends; the replies must not change.
  --only NAME,...  runs only these transcripts (hosts that take input a piece at a time can
          answer only the ones whose commands each sit whole in a line or block).
  --update  rewrites NAME.out from what the engine printed (after a change meant to alter it).
  --retries N  runs a differing transcript again up to N times (the engine answers every
          transcript the same way each time, so only the host can make a run differ: wine
          under load once ended a start with exit code 1 and no output at all).
Prints each transcript's move replies and exits 1 if any transcript differs.
"""
import argparse
import pathlib
import re
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
MOVE = re.compile(rb"^\d+,\d+$", re.M)


def transcript(result):
    text = re.sub(rb"nps=-?[0-9]+", b"nps=N", result.stdout)
    if result.stderr:
        text += b"[stderr]\n" + result.stderr
    return text + b"[exit %d]\n" % result.returncode


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--crlf", action="store_true")
    ap.add_argument("--update", action="store_true")
    ap.add_argument("--retries", type=int, default=0)
    ap.add_argument("--only", default="")
    ap.add_argument("command", nargs="+")
    args = ap.parse_args()
    failed = 0
    paths = sorted(HERE.glob("*.in"))
    if args.only:
        paths = [HERE / f"{name}.in" for name in args.only.split(",")]
    for path in paths:
        data = path.read_bytes()
        if args.crlf:
            data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
        expected = path.with_suffix(".out").read_bytes()
        for attempt in range(args.retries + 1):
            result = subprocess.run(args.command, input=data, capture_output=True, timeout=300)
            actual = transcript(result)
            if actual == expected:
                break
            print(f"{path.stem}: run {attempt + 1} differs" + (", again" if attempt < args.retries else ""))
        if args.update:
            path.with_suffix(".out").write_bytes(actual)
            expected = actual
        found = MOVE.findall(result.stdout)
        moves = b" ".join(found[:12]).decode() + (f" ... ({len(found)} in all)" if len(found) > 12 else "")
        status = "ok" if actual == expected else "DIFFERS"
        print(f"{path.stem:18} {status:8} moves: {moves or '-'}")
        if actual != expected:
            failed += 1
            sys.stdout.write("--- expected\n" + expected.decode(errors="replace"))
            sys.stdout.write("--- actual\n" + actual.decode(errors="replace"))
    print(f"{failed} of {len(paths)} transcripts differ")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
