#!/usr/bin/env bash
# For a throw-away machine only (CI): installs the package with apt, runs the
# programs from /usr/bin, removes the package and checks that none of its
# files is left behind.
#
#   ci_install_check.sh DEB
set -euo pipefail
deb=$(realpath "$1")
version=$(dpkg-deb -f "$deb" Version)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

$sudo apt-get install -y -qq "$deb" >/dev/null
bash "$(dirname "$0")/run_installed.sh" /usr/bin "$version"
$sudo apt-get remove -y -qq perch >/dev/null

left=0
while read -r path; do
  if [ -e "/$path" ]; then echo "left behind: /$path" >&2; left=1; fi
done < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||')
[ ! -e /usr/share/perch ] || { echo "left behind: /usr/share/perch" >&2; left=1; }
[ "$left" -eq 0 ] || exit 1
echo "ci_install_check: installed, ran and removed cleanly"
