#!/usr/bin/env python3
"""Plays games between two copies of an engine the way a tournament manager drives them:
START before every game, INFO settings, time_left before every move, TURN with the opponent's
move. Reports each game's result and the slowest moves, and flags any move over its time.

  tools/match.py --engine build/release/pbrain-ormel --games 2 --timeout-turn 5000 \
                 --timeout-match 120000 [--dim 15] [--rule 1] [--opening 7,7 8,8]
  --dump-at K prints the position after K stones as a bench line (row,col,who in play order).
"""
import argparse
import subprocess
import sys
import time


class Engine:
    def __init__(self, path):
        self.p = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  text=True, bufsize=1)

    def send(self, line):
        self.p.stdin.write(line + "\n")
        self.p.stdin.flush()

    def read_move(self):
        while True:
            line = self.p.stdout.readline()
            if not line:
                raise RuntimeError("engine exited")
            line = line.strip()
            if line.startswith("MESSAGE") or not line:
                continue
            if line.startswith("ERROR") or line.startswith("UNKNOWN"):
                raise RuntimeError("engine said: " + line)
            r, c = line.split(",")
            return int(r), int(c)

    def read_ok(self):
        while True:
            line = self.p.stdout.readline().strip()
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


def play(args, game_no):
    engines = [Engine(args.engine), Engine(args.engine)]
    dim = args.dim
    board = [[0] * dim for _ in range(dim)]
    left = [args.timeout_match, args.timeout_match]
    history = []
    slow = []
    over = 0
    try:
        for e in engines:
            e.send(f"INFO timeout_turn {args.timeout_turn}")
            e.send(f"INFO timeout_match {args.timeout_match}")
            e.send(f"INFO rule {args.rule}")
            e.send(f"START {dim}")
            e.read_ok()
        opening = [tuple(map(int, m.split(","))) for m in args.opening]
        # The opening stones are set up with a BOARD block for the side to move.
        turn = len(opening) % 2
        mover = (game_no + turn) % 2
        for i, (r, c) in enumerate(opening):
            board[r][c] = 1 if i % 2 == 0 else -1
            history.append((r, c))
        last = None
        result = "draw"
        while len(history) < dim * dim:
            e = engines[mover]
            e.send(f"INFO time_left {int(max(left[mover], 0))}")
            t0 = time.monotonic()
            if last is None:
                if history:
                    e.send("BOARD")
                    for i, (r, c) in enumerate(history):
                        e.send(f"{r},{c},{1 if i % 2 == 0 else 2}")
                    e.send("DONE")
                else:
                    e.send("BEGIN")
            else:
                e.send(f"TURN {last[0]},{last[1]}")
            r, c = e.read_move()
            ms = (time.monotonic() - t0) * 1000
            left[mover] -= ms
            slow.append((ms, len(history) + 1))
            if ms > args.timeout_turn:
                over += 1
            if not (0 <= r < dim and 0 <= c < dim) or board[r][c] != 0:
                result = f"engine {mover} played illegal {r},{c}"
                break
            stone = 1 if len(history) % 2 == 0 else -1
            board[r][c] = stone
            history.append((r, c))
            if args.dump_at and len(history) == args.dump_at:
                stones = " ".join(f"{rr},{cc},{1 if i % 2 == 0 else 2}"
                                  for i, (rr, cc) in enumerate(history))
                print(f"dump {dim} {args.rule} {stones}")
            if five(board, dim, r, c, args.rule):
                result = f"engine {mover} wins"
                break
            last = (r, c)
            # The other engine is told about both the set-up and the new move at once.
            if len(history) == len(opening) + 1 and opening:
                last = None
            mover = 1 - mover
        slow.sort(reverse=True)
        return result, len(history), slow[:3], over, min(left)
    finally:
        for e in engines:
            e.close()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--engine", required=True)
    ap.add_argument("--games", type=int, default=1)
    ap.add_argument("--dim", type=int, default=15)
    ap.add_argument("--rule", type=int, default=1)
    ap.add_argument("--timeout-turn", type=int, default=30000)
    ap.add_argument("--timeout-match", type=int, default=180000)
    ap.add_argument("--opening", nargs="*", default=[])
    ap.add_argument("--dump-at", type=int, default=0)
    args = ap.parse_args()
    worst = 0.0
    total_over = 0
    for g in range(args.games):
        result, stones, slow, over, left = play(args, g)
        worst = max(worst, slow[0][0] if slow else 0)
        total_over += over
        print(f"game {g}: {result} after {stones} stones; slowest moves (ms, stone#): "
              + ", ".join(f"{ms:.0f} @{n}" for ms, n in slow)
              + f"; over turn time: {over}; least time left: {left:.0f} ms", flush=True)
    print(f"longest move {worst:.0f} ms; moves over the turn time: {total_over}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
