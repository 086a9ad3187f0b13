#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks it as a user would
# meet it: lintian (pedantic) reports no errors and no warnings, and nothing
# is overridden; the programs are hardened and stripped; it holds exactly the
# files a desktop application needs, and the unpacked programs run from
# wherever they lie. An install into a home folder is stripped too.
#
#   package_test.sh BUILD-DIR SOURCE-DIR VERSION APP-ID
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") version=$3 id=$4
arch=$(dpkg --print-architecture)
work=$(mktemp -d /tmp/perch-package-test.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

echo "== building the package"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$work/out/perch_${version}_${arch}.deb
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack wrote: $(ls "$work/out")"

echo "== control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = perch ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = x11 ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends=$(field Depends)
for needed in espeak-ng-data fonts-wqy-microhei fonts-liberation libqt6widgets6 libespeak-ng1 libc6; do
  [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done
# Qt's translations of its dialogs' buttons.
[ "$(field Recommends)" = qt6-translations-l10n ] || fail "Recommends: $(field Recommends)"

echo "== lintian"
lintian --pedantic --display-info --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
if grep -q '^E: ' "$work/lintian.log"; then fail "lintian reports errors"; fi
if grep -q '^W: ' "$work/lintian.log"; then fail "lintian reports warnings"; fi
if grep -q '^O: ' "$work/lintian.log"; then fail "lintian tags are overridden"; fi

echo "== the package's files"
expected=(
  usr/bin/perch usr/bin/perchctl usr/bin/perch-uci usr/bin/perch-board usr/bin/perch-character
  usr/share/perch/characters/bird.chr
  "usr/share/applications/$id.desktop"
  "usr/share/metainfo/$id.metainfo.xml"
  usr/share/doc/perch/copyright usr/share/doc/perch/changelog.gz
)
[ -d "$source/apps/perch-tray" ] && expected+=(usr/bin/perch-tray)
sizes=(16 22 24 32 48 64 128 256)
for size in "${sizes[@]}"; do expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png"); done
for page in "$source"/packaging/man/*.[1-9]; do
  name=$(basename "$page")
  expected+=("usr/share/man/man${name##*.}/$name.gz")
done
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort >"$work/listed"
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
diff -u "$work/expected" "$work/listed" || fail "the package's files differ from the expected ones (- missing, + unexpected)"
dpkg-deb -c "$deb" | awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" {print}' | grep . && fail "folders that are not 0755"

echo "== unpacked into $work/root"
dpkg-deb -x "$deb" "$work/root"
bin=$work/root/usr/bin
share=$work/root/usr/share
cd "$work"  # nothing of the build tree around

echo "== hardened and stripped programs"
programs=("$bin"/*)
# Control-flow protection (-fcf-protection) is in our objects, but the linker
# marks a program with it only when every object is: Debian 12's C start
# files (Scrt1.o, crti.o) are not, so no program of the release passes that
# check, /usr/bin/ls included.
hardening-check --nocfprotection "${programs[@]}" || fail "hardening-check"
for program in "${programs[@]}"; do
  file "$program" | grep -q ', stripped' || fail "not stripped: $(file "$program")"
  ! readelf -S "$program" | grep -q '\.comment' || fail "$program keeps its .comment section"
done

[ "$("$bin/perchctl" --version)" = "perchctl $version" ] || fail "perchctl --version: $("$bin/perchctl" --version)"
# perch answers before Qt starts: no display needed.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/perch" --version)" = "perch $version" ] ||
  fail "perch --version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/perch" --help | grep -q '^usage: perch' || fail "perch --help"

# The companion itself, under Xvfb, with its settings in the config folder.
bash "$source/tests/packaging/run_installed.sh" "$bin" "$version" || fail "the unpacked programs do not run"

# The character is found through ../share/perch relative to the program: a
# sheet from the unpacked file, then an error naming it once it is spoiled.
export QT_QPA_PLATFORM=offscreen
"$bin/perch-character" --sheet "$work/sheet.png" >"$work/sheet.log" 2>&1 || { cat "$work/sheet.log"; fail "perch-character --sheet"; }
[ -s "$work/sheet.png" ] || fail "no contact sheet"
echo "not a character" >"$share/perch/characters/bird.chr"
if "$bin/perch-character" --sheet "$work/spoiled.png" >"$work/spoiled.log" 2>&1; then fail "a spoiled bird.chr was accepted"; fi
grep -q "$share/perch/characters/bird.chr" "$work/spoiled.log" || fail "not the unpacked bird.chr: $(cat "$work/spoiled.log")"

echo "== desktop entry, AppStream file, icon, manual pages, changelog"
desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q "^Icon=$id$" "$share/applications/$id.desktop" || fail "the desktop entry names another icon"
for size in "${sizes[@]}"; do
  png=$share/icons/hicolor/${size}x${size}/apps/$id.png
  file "$png" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" || fail "$(file "$png")"
done
for page in "$share"/man/man*/*.gz; do
  zcat "$page" | head -n 1 | grep -q '^\.TH ' || fail "$page is not a manual page"
done
zcat "$share/doc/perch/changelog.gz" | head -n 1 | grep -q "^perch ($version)" ||
  fail "the changelog's last entry is not $version: $(zcat "$share/doc/perch/changelog.gz" | head -n 1)"
grep -q '^License: MIT' "$share/doc/perch/copyright" || fail "copyright names no licence"

echo "== an install into a home folder, as the README gives it"
cmake --install "$build" --prefix "$work/home" --strip >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install --strip"; }
for program in "$work/home/bin"/*; do
  file "$program" | grep -q ', stripped' || fail "not stripped: $(file "$program")"
  ! readelf -S "$program" | grep -q '\.comment' || fail "$program keeps its .comment section"
done
[ -x "$work/home/bin/perch" ] || fail "no perch in $work/home/bin"
[ ! -e "$work/home/share/lintian" ] || fail "a lintian file in the home install"
echo "package: all checks passed"
