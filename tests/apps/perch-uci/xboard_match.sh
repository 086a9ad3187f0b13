#!/usr/bin/env bash
# A real chess GUI plays perch-uci: xboard in match mode, under a private
# Xvfb, runs perch-uci as a UCI engine (-fUCI, through polyglot) against
# Fairy-Max for two games of 10 seconds plus 0.1 per move, one with each
# colour. Both games must end with a result on the board: no illegal move,
# no loss on time, no engine that stopped answering. The PGN is printed
# and kept at the given path.
#
# Usage: xboard_match.sh BIN_DIR PGN_PATH
set -euo pipefail
bin=$(cd "$1" && pwd)
pgn=$2
export PATH=/usr/games:$PATH
for program in xboard fairymax polyglot Xvfb; do
  command -v "$program" >/dev/null || { echo "SKIP: $program is not installed"; exit 77; }
done

session_prefix=perch-xboard-match
source "$(dirname "$0")/../../../tools/lib/private-session.sh"
start_xvfb || { echo "FAIL: no X display could be started"; exit 1; }
cd "$work"
rm -f "$pgn"

status=0
timeout 240 xboard -fcp "$bin/perch-uci" -fUCI -scp fairymax \
  -matchMode true -matchGames 2 -tc 0:10 -inc 0.1 -autoCallFlag true \
  -saveGameFile "$pgn" -popupExitMessage false -soundProgram true \
  -debugMode true -nameOfDebugFile "$work/xboard.debug" >"$work/xboard.out" 2>&1 || status=$?

cat "$pgn" 2>/dev/null || true
tail -3 "$work/xboard.out"
fail() {
  echo "FAIL: $*"
  grep -iE 'illegal|error' "$work/xboard.debug" 2>/dev/null | head -20 || true
  exit 1
}
[ "$status" = 0 ] || fail "xboard ended with status $status (124: the match did not finish in time)"
[ -s "$pgn" ] || fail "no PGN was saved"
[ "$(grep -c '^\[White "Perch' "$pgn")" = 1 ] && [ "$(grep -c '^\[Black "Perch' "$pgn")" = 1 ] ||
  fail "perch-uci did not play one game with each colour"
results=$(grep -E '^\[Result ' "$pgn")
[ "$(grep -cE '"(1-0|0-1|1/2-1/2)"' <<<"$results")" = 2 ] || fail "not two finished games: $results"
# The comment before each result says how the game ended.
if grep -iE 'illegal|on time|time forfeit|flag|disconnect|crash' "$pgn"; then
  fail "a game ended by a fault, not on the board"
fi
if grep -iE 'illegal move' "$work/xboard.debug"; then fail "an engine sent an illegal move"; fi
echo "PASS: two games completed"
