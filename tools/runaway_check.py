#!/usr/bin/env python3
"""Runs the engine binary the way a manager does on positions whose search would go on for
minutes without the engine's hard limits, under several clocks, and checks that every answer
is a legal move that comes within the time allowed and, under INFO max_memory, within that
memory.

  tools/runaway_check.py --engine build/release/pbrain-ormel
                         [--positions tests/runaway/positions.txt]
                         [--clocks 5000/120000 1000/60000 0/60000 30000/180000]
                         [--max-memory 367001600] [--only NAME]

Positions: one a line, "name dim rule ROW,COL,WHO ..." in play order, as ormel-bench reads
them. A clock is timeout_turn/time_left in milliseconds; with timeout_turn 0 the answer must
come within a second. One engine process plays each position under every clock in turn, with
START before each, as managers play many games in one process. Exit code 1 on any failure.
"""
import argparse
import os
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from match import Engine  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
FAST_TURN_MS = 1000  # what "as fast as possible" may take


def read_positions(path):
    positions = []
    for line in open(path):
        words = line.split("#")[0].split()
        if words:
            positions.append((words[0], int(words[1]), int(words[2]),
                              [tuple(map(int, s.split(","))) for s in words[3:]]))
    return positions


class PeakMemory:
    """Follows the process's peak resident memory (Linux; 0 elsewhere)."""

    def __init__(self, pid):
        self.path = f"/proc/{pid}/status"
        self.peak_kib = 0
        self.running = True
        threading.Thread(target=self.watch, daemon=True).start()

    def watch(self):
        while self.running:
            try:
                for line in open(self.path):
                    if line.startswith("VmHWM:"):
                        self.peak_kib = max(self.peak_kib, int(line.split()[1]))
            except OSError:
                return
            time.sleep(0.05)


def answer(engine, dim, stones):
    """Sends the position as a BOARD block; returns the move, the milliseconds a manager counts
    for it, and which limit stopped the search ("" for none)."""
    t0 = time.monotonic()
    engine.send("BOARD")
    for r, c, who in stones:
        engine.send(f"{r},{c},{who}")
    engine.send("DONE")
    move = engine.read_move()
    return move, (time.monotonic() - t0) * 1000, engine.last_stop


def check_position(args, name, dim, rule, stones):
    engine = Engine(args.engine)
    memory = PeakMemory(engine.p.pid)
    failures = 0
    taken = {(r, c) for r, c, _ in stones}
    try:
        if args.max_memory is not None:
            engine.send(f"INFO max_memory {args.max_memory}")
        for clock in args.clocks:
            turn, left = map(int, clock.split("/"))
            limit = min(turn if turn > 0 else FAST_TURN_MS, left)
            engine.send(f"INFO timeout_turn {turn}")
            engine.send(f"INFO rule {rule}")
            engine.send(f"START {dim}")
            engine.read_ok()
            engine.send(f"INFO time_left {left}")
            try:
                move, ms, stopped = answer(engine, dim, stones)
            except Exception as ex:
                print(f"FAIL {name} {clock}: {ex}", flush=True)
                return failures + 1
            legal = 0 <= move[0] < dim and 0 <= move[1] < dim and move not in taken
            ok = legal and ms <= limit
            failures += not ok
            print(f"{'ok  ' if ok else 'FAIL'} {name} {clock}: {move[0]},{move[1]}"
                  f"{'' if legal else ' (illegal)'} after {ms:.0f} ms of {limit} ms"
                  f"{', stopped at the ' + stopped + ' limit' if stopped else ''}", flush=True)
    finally:
        engine.close()
        memory.running = False
    peak_mib = memory.peak_kib / 1024
    cap_mib = args.max_memory / 2**20 if args.max_memory else 0
    over = cap_mib > 0 and peak_mib >= cap_mib
    print(f"{'FAIL' if over else 'ok  '} {name}: peak resident memory {peak_mib:.0f} MiB"
          + (f" of {cap_mib:.0f} MiB" if cap_mib else ""), flush=True)
    return failures + over


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--engine", required=True)
    ap.add_argument("--positions", default=os.path.join(HERE, "../tests/runaway/positions.txt"))
    ap.add_argument("--clocks", nargs="*",
                    default=["5000/120000", "1000/60000", "0/60000", "30000/180000"])
    ap.add_argument("--max-memory", type=int, default=367001600)
    ap.add_argument("--only", help="the one position of that name")
    args = ap.parse_args()
    failures = 0
    for name, dim, rule, stones in read_positions(args.positions):
        if args.only and name != args.only:
            continue
        failures += check_position(args, name, dim, rule, stones)
    print(f"{failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
