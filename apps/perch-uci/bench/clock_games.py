#!/usr/bin/env python3
"""Plays perch-uci against itself under a clock and reports how long each
move took against the time planned for it (the clock's share: what is left
less the overhead over 30 moves, plus three quarters of the increment).

    clock_games.py PERCH_UCI [--games N] [--plies N] [--time MS] [--inc MS]
"""
import argparse
import statistics
import subprocess
import time

OPENINGS = ["e2e4", "d2d4", "c2c4 e7e5", "g1f3 d7d5", "e2e4 c7c5", "d2d4 g8f6 c2c4"]
OVERHEAD = 30


def play(program, opening, plies, clock_ms, inc_ms):
    engine = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)

    def send(line):
        engine.stdin.write(line + "\n")

    def read_until(prefix):
        while True:
            line = engine.stdout.readline()
            if not line:
                raise RuntimeError("perch-uci ended")
            if line.startswith(prefix):
                return line.split()

    send("uci")
    read_until("uciok")
    moves = opening.split()
    clocks = [clock_ms, clock_ms]
    ratios = []
    while len(moves) < plies:
        side = len(moves) % 2
        send("position startpos moves " + " ".join(moves))
        plan = max(clocks[side] - OVERHEAD, 0) / 30 + inc_ms * 3 / 4
        start = time.monotonic()
        send(f"go wtime {clocks[0]} btime {clocks[1]} winc {inc_ms} binc {inc_ms}")
        best = read_until("bestmove")
        used = (time.monotonic() - start) * 1000
        if best[1] == "0000":
            break
        clocks[side] = int(clocks[side] - used + inc_ms)
        if clocks[side] <= 0:
            print("  flag fell")
            break
        ratios.append(used / plan)
        moves.append(best[1])
    send("quit")
    engine.wait()
    return ratios


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--games", type=int, default=2)
    parser.add_argument("--plies", type=int, default=60)
    parser.add_argument("--time", type=int, default=10000)
    parser.add_argument("--inc", type=int, default=100)
    args = parser.parse_args()
    ratios = []
    for g in range(args.games):
        ratios += play(args.program, OPENINGS[g % len(OPENINGS)], args.plies, args.time, args.inc)
    ratios.sort()
    deciles = statistics.quantiles(ratios, n=10)
    print(f"moves {len(ratios)}  used/plan: median {statistics.median(ratios):.2f}  "
          f"p10 {deciles[0]:.2f}  p90 {deciles[-1]:.2f}  max {ratios[-1]:.2f}")


if __name__ == "__main__":
    main()
