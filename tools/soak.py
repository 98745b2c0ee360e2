#!/usr/bin/env python3
"""Soaks the real engine binary the way managers use it: two copies play many games, each copy
one process for as long as it lives, START before every game, INFO settings and time_left
before every move, varied random openings, both rules, sizes 15 and 20, fast clocks. Counts
what managers score as lost games: an engine that exits or crashes, hangs, answers with
something other than "row,col", or plays an occupied or off-board point.

  tools/soak.py --engine build/asan-ubsan/pbrain-ormel --games 1000 --turn-ms 0-200
  tools/soak.py --engine build/release/pbrain-ormel --games 100 --turn-ms 1000
  [--seed N] [--hang-s 60] [--quiet]

Exit code 1 if anything failed. A failing game's position is printed as an ormel-bench line.
"""
import argparse
import json
import os
import random
import re
import select
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from match import ask_move, bench_line, five, start_game  # noqa: E402

MOVE = re.compile(r"^(\d+),(\d+)$")


class Failure(Exception):
    def __init__(self, kind, detail):
        super().__init__(f"{kind}: {detail}")
        self.kind = kind


class Engine:
    def __init__(self, path):
        self.p = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL)
        self.buf = b""

    def send(self, line):
        try:
            self.p.stdin.write(line.encode() + b"\n")
            self.p.stdin.flush()
        except (BrokenPipeError, OSError):
            raise Failure("crash", f"engine gone (exit {self.p.poll()})")

    def line(self, deadline):
        while b"\n" not in self.buf:
            wait = deadline - time.monotonic()
            if wait <= 0:
                raise Failure("hang", "no reply in time")
            ready, _, _ = select.select([self.p.stdout], [], [], wait)
            if not ready:
                continue
            chunk = os.read(self.p.stdout.fileno(), 65536)
            if not chunk:
                raise Failure("crash", f"engine exited (exit {self.p.wait()})")
            self.buf += chunk
        line, self.buf = self.buf.split(b"\n", 1)
        return line.decode(errors="replace").rstrip("\r")

    def reply(self, deadline):
        while True:
            line = self.line(deadline)
            if line.startswith("MESSAGE") or line == "":
                continue
            m = MOVE.match(line)
            if not m:
                raise Failure("malformed", repr(line))
            return int(m.group(1)), int(m.group(2))

    def ok(self, deadline):
        while True:
            line = self.line(deadline)
            if line == "OK":
                return
            if not line.startswith("MESSAGE"):
                raise Failure("malformed", f"expected OK, got {line!r}")

    def close(self):
        try:
            self.send("END")
            self.p.wait(timeout=10)
        except Exception:
            self.p.kill()
            self.p.wait()


def game(engines, rng, args, stats):
    dim = rng.choice((15, 20))
    rule = rng.choice((0, 1))
    lo, hi = args.turn_range
    turn = rng.randint(lo, hi)
    match_ms = max(turn * 60, 5000)
    board = [[0] * dim for _ in range(dim)]
    history = []
    for e in engines:
        start_game(e, dim, rule, turn, match_ms)
        e.ok(time.monotonic() + args.hang_s)
    centre = dim // 2
    for _ in range(rng.randint(0, 4)):
        p = (centre + rng.randint(-4, 4), centre + rng.randint(-4, 4))
        if p not in history:
            board[p[0]][p[1]] = 1 if len(history) % 2 == 0 else -1
            history.append(p)
    left = [float(match_ms), float(match_ms)]
    told = [False, False]
    mover = rng.randint(0, 1)
    last = None
    while len(history) < dim * dim:
        e = engines[mover]
        e.send(f"INFO time_left {int(max(left[mover], 0))}")
        limit = min(turn, left[mover])
        t0 = time.monotonic()
        ask_move(e, told, mover, history, last)
        try:
            r, c = e.reply(t0 + args.hang_s)
        except Failure as f:
            f.position = bench_line(dim, rule, history)
            raise
        ms = (time.monotonic() - t0) * 1000
        left[mover] -= ms
        stats["replies"] += 1
        if ms > stats["longest_ms"]:
            stats["longest_ms"], stats["longest_limit_ms"] = ms, limit
        stats["worst_over_ms"] = max(stats["worst_over_ms"], ms - limit)
        if not (0 <= r < dim and 0 <= c < dim) or board[r][c] != 0:
            f = Failure("illegal", f"{r},{c}")
            f.position = bench_line(dim, rule, history)
            raise f
        board[r][c] = 1 if len(history) % 2 == 0 else -1
        history.append((r, c))
        if five(board, dim, r, c, rule):
            return
        last = (r, c)
        mover = 1 - mover


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--engine", required=True)
    ap.add_argument("--games", type=int, default=20)
    ap.add_argument("--turn-ms", default="0-200")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--hang-s", type=float, default=60.0)
    ap.add_argument("--quiet", action="store_true")
    args = ap.parse_args()
    lo, _, hi = args.turn_ms.partition("-")
    args.turn_range = (int(lo), int(hi or lo))
    rng = random.Random(args.seed)
    stats = {"games": 0, "replies": 0, "crash": 0, "hang": 0, "malformed": 0, "illegal": 0,
             "longest_ms": 0.0, "longest_limit_ms": 0.0, "worst_over_ms": float("-inf")}
    engines = [Engine(args.engine), Engine(args.engine)]
    t_start = time.monotonic()
    for g in range(args.games):
        try:
            game(engines, rng, args, stats)
        except Failure as f:
            stats[f.kind] += 1
            print(f"game {g}: {f}; {getattr(f, 'position', '')}", flush=True)
            for e in engines:  # a manager starts failed engines afresh
                e.close()
            engines = [Engine(args.engine), Engine(args.engine)]
        stats["games"] += 1
        if not args.quiet and (g + 1) % 50 == 0:
            print(f"{g + 1} games, {time.monotonic() - t_start:.0f} s", flush=True)
    for e in engines:
        e.close()
    failed = stats["crash"] + stats["hang"] + stats["malformed"] + stats["illegal"]
    print(f"games {stats['games']}, replies {stats['replies']}, crashes {stats['crash']}, "
          f"hangs {stats['hang']}, malformed {stats['malformed']}, illegal {stats['illegal']}; "
          f"longest reply {stats['longest_ms']:.0f} ms (limit {stats['longest_limit_ms']:.0f} ms);"
          f" most over a limit {stats['worst_over_ms']:.0f} ms")
    print(json.dumps(stats))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
