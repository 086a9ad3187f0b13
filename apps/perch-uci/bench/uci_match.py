#!/usr/bin/env python3
"""Plays a match between two UCI engines and reports what a rating list would:
results, a rough Elo difference, illegal moves, losses on time, and for the
first engine the time each move took against the time perch-uci plans for it.

Each opening is played twice, once with each colour. A third engine (Stockfish,
by default) referees: it lists the legal moves of every position (`go perft 1`)
and says whether the side to move is in check (`d`), so that a move outside
that list is counted as illegal and loses, and mate and stalemate are seen.
The runner itself rules on threefold repetition, the fifty-move rule, bare
kings and minor pieces, and a game that goes on past --max-plies. With
--resign N it also scores a game once both engines have said for N plies in a
row that one side is ahead by 10 pawns or more (cutechess's resign rule).

Time controls: `10+0.1` (seconds and increment), `40/60` (moves per period,
seconds per period, repeating), or none when --go1/--go2 give a fixed `go`
(such as `depth 3` or `movetime 100`): a side with a fixed `go` has no clock,
the other keeps its own. The clock is the runner's own: the
time from sending `go` to reading `bestmove`; a side whose clock falls below
zero loses.

    uci_match.py --e1 PERCH_UCI --e2 stockfish --o2 UCI_LimitStrength=true \
        --o2 UCI_Elo=1700 --tc 10+0.1 --games 40 --pgn out.pgn
"""
import argparse
import math
import queue
import statistics
import subprocess
import sys
import threading
import time

OPENINGS = [
    "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6",
    "e2e4 c7c5 g1f3 d7d6 d2d4 c5d4",
    "e2e4 e7e6 d2d4 d7d5",
    "e2e4 c7c6 d2d4 d7d5",
    "d2d4 d7d5 c2c4 e7e6",
    "d2d4 g8f6 c2c4 g7g6 b1c3 f8g7",
    "d2d4 g8f6 c2c4 e7e6 g1f3 b7b6",
    "c2c4 e7e5 b1c3 g8f6",
    "g1f3 d7d5 g2g3 g8f6",
    "e2e4 e7e5 g1f3 b8c6 f1c4 f8c5",
    "e2e4 d7d5 e4d5 d8d5",
    "d2d4 d7d5 c2c4 c7c6",
    "e2e4 c7c5 b1c3 b8c6",
    "d2d4 g8f6 c2c4 e7e6 b1c3 f8b4",
    "e2e4 g8f6 e4e5 f6d5",
    "e2e4 d7d6 d2d4 g8f6 b1c3 g7g6",
    "d2d4 f7f5 g2g3 g8f6",
    "e2e4 e7e5 f2f4 e5f4",
    "c2c4 c7c5 g1f3 g8f6",
    "e2e4 e7e5 g1f3 g8f6",
]

START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
RESIGN_CP = 1000


class Engine:
    """A UCI engine in a process of its own; its output is read on a thread."""

    def __init__(self, command, options=()):
        self.proc = subprocess.Popen(command.split(), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.send("uci")
        self.name = command.split("/")[-1]
        for words in self.until("uciok"):
            if words[:2] == ["id", "name"]:
                self.name = " ".join(words[2:])
        for option in options:
            name, value = option.split("=", 1)
            self.send(f"setoption name {name} value {value}")
        self.ready()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(line)
        self.lines.put(None)

    def send(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()

    def until(self, first_word, timeout=None):
        """Yields the lines up to and including the one that starts with first_word."""
        deadline = None if timeout is None else time.monotonic() + timeout
        while True:
            left = None if deadline is None else max(deadline - time.monotonic(), 0.001)
            try:
                line = self.lines.get(timeout=left)
            except queue.Empty:
                raise TimeoutError(f"no '{first_word}' in {timeout} s") from None
            if line is None:
                raise RuntimeError("the engine ended")
            words = line.split()
            yield words
            if words and words[0] == first_word:
                return

    def ready(self):
        self.send("isready")
        for _ in self.until("readyok", 60):
            pass

    def quit(self):
        try:
            self.send("quit")
            self.proc.wait(timeout=5)
        except (OSError, subprocess.TimeoutExpired):
            self.proc.kill()


class Referee(Engine):
    def position(self, moves):
        """The legal moves, whether the side to move is in check, and the FEN."""
        self.send("position startpos moves " + " ".join(moves) if moves else "position startpos")
        self.send("go perft 1")
        legal = set()
        for words in self.until("Nodes", 60):
            if len(words) == 2 and words[0].endswith(":"):
                legal.add(words[0][:-1])
        self.send("d")
        fen, check = None, False
        for words in self.until("Checkers:", 60):
            if words[:1] == ["Fen:"]:
                fen = " ".join(words[1:])
            if words[:1] == ["Checkers:"]:
                check = len(words) > 1
        return legal, check, fen


def bare_material(fen):
    """Neither side can mate: kings alone, or one knight or bishop besides."""
    pieces = [c for c in fen.split()[0] if c.isalpha() and c not in "kK"]
    return not pieces or (len(pieces) == 1 and pieces[0] in "nNbB")


def parse_tc(text):
    if not text:
        return None
    if "/" in text:
        moves, seconds = text.split("/")
        return {"moves": int(moves), "base": int(float(seconds) * 1000), "inc": 0}
    base, _, inc = text.partition("+")
    return {"moves": 0, "base": int(float(base) * 1000), "inc": int(float(inc or 0) * 1000)}


def planned_ms(left, inc, movestogo, overhead):
    """perch-uci's target for a move under this clock (apps/perch-uci/TimeManagement)."""
    moves = movestogo or 30
    rest = max(left - overhead, 0)
    hard = min(3 * (rest // moves + inc * 3 // 4), rest * 3 // 4)
    return min(rest // moves + inc * 3 // 4, hard)


def score_of(words):
    """The last score a `bestmove`'s info lines gave, in centipawns for the side to move."""
    if "score" not in words:
        return None
    i = words.index("score")
    kind, value = words[i + 1], int(words[i + 2])
    return value if kind == "cp" else (100000 if value > 0 else -100000)


def play_game(engines, fixed_go, tc, opening, white, args, stats):
    """One game; engines[white] has White. Returns (result, reason, moves)."""
    referee = stats["referee"]
    moves = opening.split()
    seen = {}
    clocks = [tc["base"], tc["base"]] if tc else None
    made = [0, 0]  # moves by each engine, for periods of a repeating control
    white_scores = []  # each ply's score, for White, from the engine that moved
    for e in engines:
        e.send("ucinewgame")
        e.ready()
    legal, check, fen = referee.position(moves)
    while True:
        key = " ".join(fen.split()[:4])
        seen[key] = seen.get(key, 0) + 1
        if not legal:
            if check:
                return ("0-1" if fen.split()[1] == "w" else "1-0"), "mate", moves
            return "1/2-1/2", "stalemate", moves
        if seen[key] >= 3:
            return "1/2-1/2", "threefold repetition", moves
        if int(fen.split()[4]) >= 100:
            return "1/2-1/2", "fifty moves", moves
        if bare_material(fen):
            return "1/2-1/2", "no mating material", moves
        if len(moves) >= args.max_plies:
            return "1/2-1/2", "adjudicated: move limit", moves
        if args.resign and len(white_scores) >= args.resign:
            last = white_scores[-args.resign:]
            if all(s is not None and s >= RESIGN_CP for s in last):
                return "1-0", "adjudicated: resign", moves
            if all(s is not None and s <= -RESIGN_CP for s in last):
                return "0-1", "adjudicated: resign", moves

        white_to_move = fen.split()[1] == "w"
        side = white if white_to_move else 1 - white  # index into engines
        mover = engines[side]
        lose = "0-1" if white_to_move else "1-0"
        mover.send("position startpos moves " + " ".join(moves))
        timed = clocks and not fixed_go[side]
        if timed:
            me, other = (side, 1 - side)
            w, b = (clocks[me], clocks[other]) if white_to_move else (clocks[other], clocks[me])
            go = f"go wtime {w} btime {b} winc {tc['inc']} binc {tc['inc']}"
            movestogo = tc["moves"] - made[side] % tc["moves"] if tc["moves"] else 0
            if movestogo:
                go += f" movestogo {movestogo}"
            plan = planned_ms(clocks[me], tc["inc"], movestogo, args.overhead)
        else:
            go = "go " + fixed_go[side]
        last_score = None
        start = time.monotonic()
        mover.send(go)
        words = []
        try:
            limit = clocks[side] / 1000 + 10 if timed else args.move_timeout
            for words in mover.until("bestmove", limit):
                s = score_of(words)
                if s is not None:
                    last_score = s
        except (TimeoutError, RuntimeError) as e:
            stats["stalls"][side] += 1
            return lose, f"{mover.name}: {e}", moves
        used = int((time.monotonic() - start) * 1000)
        move = words[1] if len(words) > 1 else "0000"
        if move not in legal:
            stats["illegal"][side] += 1
            return lose, f"{mover.name}: illegal move {move}", moves
        if timed:
            clocks[side] -= used
            if clocks[side] < 0:
                stats["time_losses"][side] += 1
                return lose, f"{mover.name}: lost on time ({clocks[side]} ms)", moves
            clocks[side] += tc["inc"]
            made[side] += 1
            if tc["moves"] and made[side] % tc["moves"] == 0:
                clocks[side] += tc["base"]
            if side == 0 and plan > 0:
                stats["ratios"].append(used / plan)
        stats["move_ms"][side].append(used)
        white_scores.append(None if last_score is None else (last_score if white_to_move else -last_score))
        moves.append(move)
        legal, check, fen = referee.position(moves)


def elo(score):
    if score <= 0:
        return -math.inf
    if score >= 1:
        return math.inf
    return -400 * math.log10(1 / score - 1)


def write_pgn(path, white, black, result, reason, moves, event, round_no):
    with open(path, "a") as pgn:
        pgn.write(f'[Event "{event}"]\n[Round "{round_no}"]\n[White "{white}"]\n[Black "{black}"]\n'
                  f'[Result "{result}"]\n[Termination "{reason}"]\n\n')
        text = []
        for i, m in enumerate(moves):
            text.append((f"{i // 2 + 1}. " if i % 2 == 0 else "") + m)
        text.append(f"{{{reason}}} {result}")
        line = ""
        for t in text:
            if len(line) + len(t) > 78:
                pgn.write(line.rstrip() + "\n")
                line = ""
            line += t + " "
        pgn.write(line.rstrip() + "\n\n")


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--e1", required=True, help="the engine measured (its time use is reported)")
    p.add_argument("--e2", default="/usr/games/stockfish")
    p.add_argument("--o1", action="append", default=[], help="NAME=VALUE, a UCI option of e1")
    p.add_argument("--o2", action="append", default=[])
    p.add_argument("--go1", help="a fixed go for e1 instead of the clock, e.g. 'depth 3'")
    p.add_argument("--go2", help="the same for e2")
    p.add_argument("--tc", help="10+0.1 or 40/60; needed unless both engines have a fixed go")
    p.add_argument("--games", type=int, default=2)
    p.add_argument("--first-opening", type=int, default=0)
    p.add_argument("--max-plies", type=int, default=300)
    p.add_argument("--resign", type=int, default=0, help="plies both engines agree on 10 pawns")
    p.add_argument("--move-timeout", type=float, default=120, help="seconds, for a fixed go")
    p.add_argument("--overhead", type=int, default=30, help="e1's Move Overhead, for its planned times")
    p.add_argument("--referee", default="/usr/games/stockfish")
    p.add_argument("--pgn")
    p.add_argument("--event", default="perch-uci match")
    args = p.parse_args()
    tc = parse_tc(args.tc)
    if not tc and not (args.go1 and args.go2):
        p.error("--tc is needed unless both --go1 and --go2 are given")
    fixed = [args.go1, args.go2]
    engines = [Engine(args.e1, args.o1), Engine(args.e2, args.o2)]
    stats = {"referee": Referee(args.referee), "illegal": [0, 0], "time_losses": [0, 0], "stalls": [0, 0],
             "ratios": [], "move_ms": [[], []]}
    points = wins = draws = losses = 0
    for g in range(args.games):
        opening = OPENINGS[(args.first_opening + g // 2) % len(OPENINGS)]
        white = g % 2  # e1 has White in the even games
        # A side with a fixed go has no clock; the other keeps its own.
        result, reason, moves = play_game(engines, fixed, tc, opening, white, args, stats)
        e1_white = white == 0
        got = {"1-0": 1.0, "0-1": 0.0}.get(result, 0.5)
        got = got if e1_white else 1 - got
        points += got
        wins += got == 1
        draws += got == 0.5
        losses += got == 0
        names = [engines[white].name, engines[1 - white].name]
        so_far = stats["ratios"]
        timing = f"  used/planned median {statistics.median(so_far):.2f}" if so_far else ""
        print(f"game {g + 1}: {names[0]} - {names[1]} {result} ({reason}, {len(moves)} plies)  "
              f"e1 {points:g}/{g + 1}{timing}  illegal {sum(stats['illegal'])} "
              f"on time {sum(stats['time_losses'])}", flush=True)
        if args.pgn:
            write_pgn(args.pgn, names[0], names[1], result, reason, moves, args.event, g + 1)
    n = args.games
    score = points / n
    # A rough 95% margin from the spread of the game scores.
    var = (wins * (1 - score) ** 2 + draws * (0.5 - score) ** 2 + losses * score**2) / n
    margin = 1.96 * math.sqrt(var / n)
    lo, hi = elo(max(score - margin, 0)), elo(min(score + margin, 1))
    print(f"e1 {engines[0].name}: +{wins} ={draws} -{losses}  score {score:.3f}  "
          f"Elo diff {elo(score):+.0f} (95%: {lo:+.0f} .. {hi:+.0f})")
    print(f"illegal moves e1 {stats['illegal'][0]} e2 {stats['illegal'][1]}; "
          f"losses on time e1 {stats['time_losses'][0]} e2 {stats['time_losses'][1]}; "
          f"stalls e1 {stats['stalls'][0]} e2 {stats['stalls'][1]}")
    for i in (0, 1):
        if stats["move_ms"][i]:
            print(f"e{i + 1} ms per move: median {statistics.median(stats['move_ms'][i]):.0f} "
                  f"over {len(stats['move_ms'][i])} moves")
    r = sorted(stats["ratios"])
    if len(r) >= 10:
        d = statistics.quantiles(r, n=10)
        print(f"e1 used/planned: median {statistics.median(r):.2f}  p10 {d[0]:.2f}  p90 {d[-1]:.2f}  "
              f"max {r[-1]:.2f} over {len(r)} moves")
    for e in engines + [stats["referee"]]:
        e.quit()


if __name__ == "__main__":
    sys.exit(main())
