#!/usr/bin/env bash
# `make clean` empties build/ but keeps the settings a companion run from a
# build tree wrote beside its program, whatever else lies around them.
#
#   clean_keeps_settings.sh SOURCE-DIR
set -euo pipefail
makefile=$(realpath "$1")/Makefile
work=$(mktemp -d /tmp/perch-clean-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir -p build/main/bin/characters build/main/tests/deep build/asan/bin build/other
printf '[parameter]\nfirstRun=1\nusername=Ann\n' >build/main/bin/config.ini
printf '[parameter]\nfirstRun=1\n' >build/asan/bin/config.ini
touch build/main/bin/perch build/main/bin/characters/config.ini build/main/tests/deep/config.ini \
  build/main/CMakeCache.txt build/other/config.ini
ln -s /nonexistent build/main/bin/dangling
make -s -f "$makefile" clean
find build | sort >"$work/left"
printf '%s\n' build build/asan build/asan/bin build/asan/bin/config.ini build/main build/main/bin \
  build/main/bin/config.ini | sort | diff -u - "$work/left"
grep -qx 'username=Ann' build/main/bin/config.ini
make -s -f "$makefile" clean  # again: nothing else to remove, no error
rm -rf build
make -s -f "$makefile" clean  # and without a build folder at all
echo "clean_keeps_settings: passed"
