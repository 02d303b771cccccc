#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a Release build, installs it with apt as a user
# would, checks what it installed and runs the installed codec, then removes it again.
# Usage: scripts/package-test.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: package-test.sh BUILD_DIR}" && pwd)
app_id=io.github.quorrel60.Quorrel60line
started=$SECONDS

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=600)

fail() {
  echo "package-test: $*" >&2
  exit 1
}

# The package is installed machine-wide: two runs at once (several work trees on one
# machine) would remove it under each other's checks.
lock=/tmp/quorrel60-package-test.lock
exec 9>>"$lock"
chmod a+rw "$lock" 2>/dev/null || true
flock --timeout 900 9 || fail "another package test holds $lock"

# Removing afterwards must not take away a copy someone installed on purpose.
if dpkg-query -W -f='${Status}' quorrel60 2>/dev/null | grep -q 'ok installed'; then
  fail "quorrel60 is already installed here; remove it first (apt-get remove quorrel60)"
fi

packages=$build/package
rm -rf "$packages"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$packages" >"$build/cpack.log" 2>&1 ||
  { cat "$build/cpack.log" >&2; fail "cpack failed"; }
debs=("$packages"/*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "expected one package in $packages, found: ${debs[*]}"
deb=${debs[0]}
echo "Built $(basename "$deb") in $((SECONDS - started)) s"

# The control fields: name, section, the version of the CMake project, and the
# libraries dpkg-shlibdeps must have found beside the run-time plugins we name.
field() { dpkg-deb -f "$deb" "$1"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ $(field Package) == quorrel60 ]] || fail "Package is '$(field Package)'"
[[ $(field Section) == hamradio ]] || fail "Section is '$(field Section)'"
[[ -n $version && $(field Version) == "$version" ]] || fail "Version '$(field Version)', project '$version'"
depends=$(field Depends)
echo "Depends: $depends"
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 libqt6serialport6 \
  libsndfile1 libsamplerate0 gstreamer1.0-plugins-base gstreamer1.0-plugins-good; do
  [[ ", $depends," == *", $needed "* || ", $depends," == *", $needed,"* ]] ||
    fail "Depends lacks $needed"
done

scratch=$(mktemp -d)
installed=false
cleanup() {
  rm -rf "$scratch"
  if $installed; then
    "${apt[@]}" remove quorrel60 >/dev/null || echo "package-test: apt-get remove quorrel60 failed" >&2
  fi
}
trap cleanup EXIT

installed=true
"${apt[@]}" install "$deb" >/dev/null

expected=(
  /usr/bin/quorrel60
  /usr/bin/quorrel60-codec
  /usr/bin/quorrel60-desktop
  /usr/share/doc/quorrel60/copyright
  "/usr/share/applications/$app_id.desktop"
  "/usr/share/metainfo/$app_id.metainfo.xml"
  "/usr/share/icons/hicolor/32x32/apps/$app_id.png"
  "/usr/share/icons/hicolor/48x48/apps/$app_id.png"
  "/usr/share/icons/hicolor/64x64/apps/$app_id.png"
  /usr/share/man/man1/quorrel60.1
  /usr/share/man/man1/quorrel60-codec.1
)
listed=$(dpkg -L quorrel60)
for path in "${expected[@]}"; do
  grep -qxF "$path" <<<"$listed" || fail "dpkg -L quorrel60 does not list $path"
  [[ -f $path ]] || fail "$path is not installed"
done
[[ -x /usr/bin/quorrel60 && -x /usr/bin/quorrel60-codec && -x /usr/bin/quorrel60-desktop ]] || fail "the programs are not executable"
for size in 32 48 64; do
  [[ $(identify -format '%wx%h' "/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png") == "${size}x${size}" ]] ||
    fail "the ${size}x${size} icon has another size"
done

# The desktop entry and the metainfo as installed, and that they point at each other,
# at the icon and at the program.
desktop=/usr/share/applications/$app_id.desktop
metainfo=/usr/share/metainfo/$app_id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
[[ $(sed -n 's/^Icon=//p' "$desktop") == "$app_id" ]] || fail "the desktop entry's Icon is not $app_id"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[[ $exec_line == quorrel60-desktop ]] || fail "the desktop entry runs '$exec_line', not the launcher"
grep -qF "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $app_id.desktop"

# The licence: named in the metainfo, and the copyright file where Debian keeps it.
grep -qF '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "the metainfo names no licence"
copyright=/usr/share/doc/quorrel60/copyright
grep -qx 'Copyright: [0-9]* Quorrel 60line developers' "$copyright" || fail "$copyright has no copyright line"
grep -qx 'License: GPL-3.0-or-later' "$copyright" || fail "$copyright names no GPL-3.0-or-later"

# man finds each page by name, and groff renders it without a warning.
for page in quorrel60 quorrel60-codec; do
  [[ $(man -w "$page") == "/usr/share/man/man1/$page.1" ]] || fail "man does not find $page"
  warnings=$(groff -t -man -Tutf8 -ww -z "/usr/share/man/man1/$page.1" 2>&1)
  [[ -z $warnings ]] || fail "groff warns on $page.1: $warnings"
done

# The installed codec: the test ramp through tone and back, dark on the left, light
# on the right once the receiver has settled.
codec=/usr/bin/quorrel60-codec
"$codec" encode --frames 100 --test-picture "$scratch/ramp.wav" || fail "encode exited with $?"
"$codec" decode "$scratch/ramp.wav" "$scratch/ramp.png" || fail "decode exited with $?"
[[ $(identify -format '%wx%h' "$scratch/ramp.png") == 160x60 ]] || fail "the decoded picture is not 160x60"
mean() { convert "$scratch/ramp.png" -crop "40x60+$1+0" +repage -format '%[fx:round(mean*255)]' info:; }
left=$(mean 20)
right=$(mean 100)
((right - left >= 40)) || fail "no ramp in the decoded picture: left $left, right $right of 255"

# The installed program started as the desktop entry starts it (offscreen: CI has no
# display) stays up until timeout's SIGTERM, which it answers by writing its settings:
# timeout's 124 means it was still running. Without XDG_DATA_HOME the launcher makes
# ~/.local/share/quorrel60, with it $XDG_DATA_HOME/quorrel60, and the program keeps
# its files there, never in the directory the desktop started it in.
start_from_menu() {
  mkdir -p "$scratch/started-in"
  local status=0
  (cd "$scratch/started-in" && env "$@" HOME="$scratch/home" QT_QPA_PLATFORM=offscreen timeout 3 $exec_line) \
    >"$scratch/program.log" 2>&1 || status=$?
  [[ $status -eq 124 ]] || fail "$exec_line ended by itself with status $status: $(cat "$scratch/program.log")"
  [[ -z $(ls -A "$scratch/started-in") ]] || fail "files in the directory it was started in: $(ls -A "$scratch/started-in")"
}
expect_data_directory() {
  [[ -f $1/settings.txt && ! -e $1/quorrel60.lock ]] || fail "$1 holds: $(ls -A "$1" 2>&1)"
}
start_from_menu -u XDG_DATA_HOME
expect_data_directory "$scratch/home/.local/share/quorrel60"
start_from_menu XDG_DATA_HOME="$scratch/data"
expect_data_directory "$scratch/data/quorrel60"

installed=false
"${apt[@]}" remove quorrel60 >/dev/null
[[ ! -e /usr/bin/quorrel60-codec ]] || fail "apt-get remove left /usr/bin/quorrel60-codec"
echo "Package test passed in $((SECONDS - started)) s"
