#!/usr/bin/env bash
# Runs lupdate over the sources into copies of the .ts files and fails when
# a text has no finished translation, when a translation lost its text
# (obsolete or vanished), or when the files in the tree are not what
# lupdate keeps them as.
#   check_translations.sh LUPDATE ROOT TS_FILE... -- SOURCE...
set -euo pipefail
lupdate=$1 root=$2
shift 2
ts=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do ts+=("$1"); shift; done
[ $# -gt 0 ] && shift
[ ${#ts[@]} -gt 0 ] && [ $# -gt 0 ] || { echo "usage: $0 LUPDATE ROOT TS... -- SOURCE..." >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copies=()
for file in "${ts[@]}"; do
  cp "$file" "$work/"
  copies+=("$work/$(basename "$file")")
done
if ! "$lupdate" -I "$root" -locations none "$@" -ts "${copies[@]}" >"$work/lupdate.log" 2>&1; then
  cat "$work/lupdate.log"
  exit 1
fi

failed=0
for i in "${!ts[@]}"; do
  copy=${copies[$i]} name=$(basename "${ts[$i]}")
  if grep -q -E 'type="(unfinished|obsolete|vanished)"' "$copy"; then
    echo "$name: texts without a finished translation, or translations without their text:"
    grep -B2 -E 'type="(unfinished|obsolete|vanished)"' "$copy" | sed -n 's|.*<source>\(.*\)</source>.*|  \1|p'
    failed=1
  elif ! cmp -s "$copy" "${ts[$i]}"; then
    echo "$name: not as lupdate keeps it (build the target update_translations):"
    diff -u "${ts[$i]}" "$copy" | head -40
    failed=1
  fi
done
[ $failed -eq 0 ] && echo "translations: ${#ts[@]} files complete"
exit $failed
