#!/usr/bin/env bash
# The two tables of perch-uci's strength, one match at a time, against
# Stockfish at its own UCI_Elo (its floor is 1320), at 10 s + 0.1 s:
#   elo    perch-uci with UCI_LimitStrength at several UCI_Elo settings
#   levels perch-uci at a fixed `go depth N` (the game window's levels)
# Each match's log and PGN go to OUT_DIR (kept out of the repository).
#
# Usage: strength_tables.sh PERCH_UCI OUT_DIR elo|levels [GAMES]
set -euo pipefail
perch=$1 out=$2 table=$3 games=${4:-4}
here=$(dirname "$0")
mkdir -p "$out"
match() { # name, then uci_match.py arguments
  local name=$1
  shift
  python3 "$here/uci_match.py" --e1 "$perch" --tc 10+0.1 --resign 6 --games "$games" \
    --o2 UCI_LimitStrength=true --o2 "Move Overhead=100" --pgn "$out/$name.pgn" --event "$name" "$@" \
    >"$out/$name.log" 2>&1
  echo "$name: $(grep '^e1 ' "$out/$name.log")"
}
case $table in
  elo)
    for elo in 800 1000 1200 1400; do
      match "elo$elo-vs-sf1320" --o1 UCI_LimitStrength=true --o1 UCI_Elo=$elo --o2 UCI_Elo=1320
    done ;;
  levels)
    for depth in 1 2 3 4; do match "depth$depth-vs-sf1320" --go1 "depth $depth" --o2 UCI_Elo=1320; done
    # Depth 6 takes seconds a move in the middlegame: two games only.
    match "depth6-vs-sf1500" --go1 "depth 6" --o2 UCI_Elo=1500 --games 2 ;;
  *) echo "elo or levels" >&2; exit 2 ;;
esac
