#!/usr/bin/env python3
"""Measures the engine's reply times the way managers drive it, over a grid of time controls,
board sizes and rules, and prints the table the README carries. Each cell is one match.py run
of self-play games from random openings; two runs go at a time, one per core (the two copies
of a match take turns, so a match keeps one core busy).

  tools/time_table.py --engine build/release/pbrain-ormel [--games 4] [--jobs 2]
                      [--controls 5000/120000 30000/180000 1000/60000]
"""
import argparse
import concurrent.futures
import json
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def run(engine, games, turn, match, dim, rule, seed):
    cmd = [sys.executable, os.path.join(HERE, "match.py"), "--engine", engine, "--games",
           str(games), "--timeout-turn", str(turn), "--timeout-match", str(match), "--dim",
           str(dim), "--rule", str(rule), "--random-opening", "3", "--seed", str(seed), "--json"]
    out = subprocess.run(cmd, capture_output=True, text=True).stdout
    lines = out.strip().splitlines()
    figures = json.loads(lines[-1]) if lines and lines[-1].startswith("{") else {"failures": 1}
    over_lines = [l for l in lines if l.startswith("OVER LIMIT")]
    return (turn, match, dim, rule), figures, over_lines


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--engine", required=True)
    ap.add_argument("--games", type=int, default=4)
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--controls", nargs="*", default=["5000/120000", "30000/180000", "1000/60000"])
    args = ap.parse_args()
    cells = []
    seed = 0
    for control in args.controls:
        turn, match = map(int, control.split("/"))
        for dim in (15, 20):
            for rule in (1, 0):
                seed += 1
                cells.append((args.engine, args.games, turn, match, dim, rule, seed))
    results = []
    with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
        for key, figures, over_lines in pool.map(lambda c: run(*c), cells):
            results.append((key, figures))
            for line in over_lines:
                print(line, file=sys.stderr)
    print("| timeout_turn / match | board | rule | games | replies | longest reply | "
          "least margin to timeout_turn | least margin to time_left | over the limit | stopped |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    bad = 0
    for (turn, match, dim, rule), f in results:
        if f.get("failures") or f.get("over"):
            bad += 1
        if "replies" not in f:
            print(f"| {turn / 1000:g} s / {match / 1000:g} s | {dim} | {rule} | failed ||||||")
            continue
        print(f"| {turn / 1000:g} s / {match / 1000:g} s | {dim}x{dim} | {rule} | {f['games']} | "
              f"{f['replies']} | {f['longest_ms'] / 1000:.2f} s | {f['turn_margin_ms'] / 1000:.2f} s"
              f" | {f['left_margin_ms'] / 1000:.2f} s | {f['over']} | {f.get('stops', 0)} |")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
