#!/usr/bin/env python3
"""Plays games between two copies of an engine the way a tournament manager drives them: one
process per side for the whole match, START before every game, INFO settings, time_left before
every move, TURN with the opponent's move (a BOARD block after a set-up opening). Reports each
game's result and the slowest replies, how close any reply came to its limits, and how many
searched replies dropped their level on the way.

  tools/match.py --engine build/release/pbrain-ormel --games 4 --timeout-turn 5000 \
                 --timeout-match 120000 [--dim 15] [--rule 1] [--random-opening 3 --seed 1]
                 [--opening 7,7 8,8] [--dump-at K] [--json]
  --random-opening K  opens every game with K random stones near the centre (seeded per game)
  --dump-at K         prints the position after K stones as a bench line
  --json              ends with one line of JSON: the figures time_table.py collects

A reply is over its limit when it takes longer than min(timeout_turn, time_left); such a
reply, and one from a search stopped at a hard limit, is reported with its position as an
ormel-bench line. Exit code 1 if any reply was over
its limit or any engine failed.
"""
import argparse
import json
import random
import subprocess
import sys
import time


class Engine:
    def __init__(self, path):
        self.p = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  text=True, bufsize=1)
        self.stops = 0  # searches stopped at a hard limit
        self.last_stop = ""  # which limit stopped the last search: "time", "memory" or ""
        self.searched = 0  # replies that ran a search (announced a level)
        self.drops = 0  # of those, replies that dropped their level while searching

    def send(self, line):
        self.p.stdin.write(line + "\n")
        self.p.stdin.flush()

    def read_move(self):
        self.last_stop = ""
        levels = 0  # "MESSAGE Level..." lines: the first is the search's level, more are drops
        while True:
            line = self.p.stdout.readline()
            if not line:
                raise RuntimeError("engine exited")
            line = line.strip()
            if line.startswith("MESSAGE Search stopped"):
                self.stops += 1
                self.last_stop = "memory" if "memory limit" in line else "time"
            if line.startswith("MESSAGE Level..."):
                levels += 1
            if line.startswith("MESSAGE") or not line:
                continue
            if line.startswith("ERROR") or line.startswith("UNKNOWN"):
                raise RuntimeError("engine said: " + line)
            r, c = line.split(",")
            self.searched += levels > 0
            self.drops += levels > 1
            return int(r), int(c)

    def read_ok(self):
        while True:
            line = self.p.stdout.readline()
            if not line:
                raise RuntimeError("engine exited")
            line = line.strip()
            if line == "OK":
                return
            if not line.startswith("MESSAGE"):
                raise RuntimeError("expected OK, got " + line)

    def close(self):
        try:
            self.send("END")
            self.p.wait(timeout=5)
        except Exception:
            self.p.kill()


def five(board, dim, r, c, rule):
    s = board[r][c]
    for dr, dc in ((1, 0), (1, 1), (0, 1), (-1, 1)):
        n = 1
        for sign in (1, -1):
            rr, cc = r + sign * dr, c + sign * dc
            while 0 <= rr < dim and 0 <= cc < dim and board[rr][cc] == s:
                n += 1
                rr += sign * dr
                cc += sign * dc
        if n == 5 or (rule == 0 and n >= 5):
            return True
    return False


def bench_line(dim, rule, history):
    stones = " ".join(f"{r},{c},{1 if i % 2 == 0 else 2}" for i, (r, c) in enumerate(history))
    return f"position {dim} {rule} {stones}"


def start_game(engine, dim, rule, timeout_turn, timeout_match):
    """What a manager sends before every game; the engine answers OK to the START."""
    engine.send(f"INFO timeout_turn {timeout_turn}")
    engine.send(f"INFO timeout_match {timeout_match}")
    engine.send(f"INFO rule {rule}")
    engine.send(f"START {dim}")


def ask_move(engine, told, mover, history, last):
    """Asks `engine` (copy number `mover`) for its move: a copy that does not know the game yet
    gets it in a BOARD block (or BEGIN on an empty board) once, every later request is a TURN
    with the opponent's last move."""
    if told[mover]:
        engine.send(f"TURN {last[0]},{last[1]}")
        return
    if history:
        engine.send("BOARD")
        for i, (r, c) in enumerate(history):
            engine.send(f"{r},{c},{1 if i % 2 == 0 else 2}")
        engine.send("DONE")
    else:
        engine.send("BEGIN")
    told[mover] = True


def opening_for(args, game_no):
    if args.opening:
        return [tuple(map(int, m.split(","))) for m in args.opening]
    rng = random.Random(args.seed * 100003 + game_no)
    centre = args.dim // 2
    stones = []
    while len(stones) < args.random_opening:
        p = (centre + rng.randint(-3, 3), centre + rng.randint(-3, 3))
        if p not in stones:
            stones.append(p)
    return stones


def play(args, engines, game_no):
    """One game; returns (result, stones, replies) with replies as (ms, turn limit, time left
    before the move, stone number)."""
    dim = args.dim
    board = [[0] * dim for _ in range(dim)]
    left = [float(args.timeout_match), float(args.timeout_match)]
    history = []
    replies = []
    for e in engines:
        start_game(e, dim, args.rule, args.timeout_turn, args.timeout_match)
        e.read_ok()
    opening = opening_for(args, game_no)
    for i, (r, c) in enumerate(opening):
        board[r][c] = 1 if i % 2 == 0 else -1
        history.append((r, c))
    # Alternate which copy moves first; the opening stones reach it in a BOARD block.
    mover = (game_no + len(opening)) % 2
    told = [False, False]  # whether each copy knows the position so far
    last = None
    result = "draw"
    while len(history) < dim * dim:
        e = engines[mover]
        e.send(f"INFO time_left {int(max(left[mover], 0))}")
        left_before = left[mover]
        t0 = time.monotonic()
        ask_move(e, told, mover, history, last)
        r, c = e.read_move()
        ms = (time.monotonic() - t0) * 1000
        left[mover] -= ms
        replies.append((ms, args.timeout_turn, left_before, len(history) + 1))
        if e.last_stop:
            print(f"STOPPED at the {e.last_stop} limit after {ms:.0f} ms: "
                  f"{bench_line(dim, args.rule, history)}", flush=True)
        if ms > min(args.timeout_turn, left_before):
            print(f"OVER LIMIT: {ms:.0f} ms against turn {args.timeout_turn} ms, "
                  f"left {left_before:.0f} ms: {bench_line(dim, args.rule, history)}",
                  flush=True)
        if not (0 <= r < dim and 0 <= c < dim) or board[r][c] != 0:
            result = f"engine {mover} played illegal {r},{c}"
            break
        board[r][c] = 1 if len(history) % 2 == 0 else -1
        history.append((r, c))
        if args.dump_at and len(history) == args.dump_at:
            print("dump " + bench_line(dim, args.rule, history))
        if five(board, dim, r, c, args.rule):
            result = f"engine {mover} wins"
            break
        last = (r, c)
        mover = 1 - mover
    return result, len(history), replies


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--engine", required=True)
    ap.add_argument("--games", type=int, default=1)
    ap.add_argument("--dim", type=int, default=15)
    ap.add_argument("--rule", type=int, default=1)
    ap.add_argument("--timeout-turn", type=int, default=30000)
    ap.add_argument("--timeout-match", type=int, default=180000)
    ap.add_argument("--opening", nargs="*", default=[])
    ap.add_argument("--random-opening", type=int, default=0)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--dump-at", type=int, default=0)
    ap.add_argument("--json", action="store_true")
    args = ap.parse_args()
    engines = [Engine(args.engine), Engine(args.engine)]
    all_replies = []
    failures = 0
    try:
        for g in range(args.games):
            try:
                result, stones, replies = play(args, engines, g)
            except Exception as ex:  # an engine that exits or answers nonsense loses the match
                failures += 1
                print(f"game {g}: FAILED: {ex}", flush=True)
                break
            all_replies += replies
            slow = sorted(replies, reverse=True)[:3]
            print(f"game {g}: {result} after {stones} stones; slowest replies (ms @stone): "
                  + ", ".join(f"{ms:.0f} @{n}" for ms, _, _, n in slow), flush=True)
    finally:
        for e in engines:
            e.close()
    longest = max((ms for ms, _, _, _ in all_replies), default=0.0)
    turn_margin = min((t - ms for ms, t, _, _ in all_replies), default=0.0)
    left_margin = min((l - ms for ms, _, l, _ in all_replies), default=0.0)
    over = sum(1 for ms, t, l, _ in all_replies if ms > min(t, l))
    stops = sum(e.stops for e in engines)
    searched = sum(e.searched for e in engines)
    drops = sum(e.drops for e in engines)
    print(f"{len(all_replies)} replies; longest {longest:.0f} ms; least margin to timeout_turn "
          f"{turn_margin:.0f} ms, to time_left {left_margin:.0f} ms; over the limit: {over}; "
          f"stopped at a hard limit: {stops}; searched {searched}, of which dropped a level: "
          f"{drops} ({100 * drops / max(searched, 1):.0f}%)")
    if args.json:
        print(json.dumps({"games": args.games, "replies": len(all_replies), "longest_ms": longest,
                          "turn_margin_ms": turn_margin, "left_margin_ms": left_margin,
                          "over": over, "stops": stops, "searched": searched, "drops": drops,
                          "failures": failures}))
    return 1 if over or failures else 0


if __name__ == "__main__":
    sys.exit(main())
