#!/usr/bin/env bash
# Checks what a person meets outside this repository, using the build folder
# given (default build-test):
#   1. installs it into a temporary folder and moves the installation, so that
#      everything below must find itself from where it lies;
#   2. checks that the environment library and the programs without windows
#      link no window system, then builds the installed hello-tool example
#      out of tree, once with CMake (find_package(OkaEnv)) and once with one
#      c++ line and pkg-config;
#   3. starts a Tool Manager with each build in its tool list and asks
#      okamsg --tools whether the tool registered and published its command,
#      and the project whether the tool identified a .hello file;
#   4. reads the installed manual page with man;
#   5. packs the installation with cpack, unpacks the bundle elsewhere and
#      starts kelvane --headless from it with its sample tools.
# Usage: scripts/check-installation.sh [BUILD]
set -euo pipefail
build=$(cd "${1:-build-test}" && pwd)
work=$(mktemp -d /tmp/oka-kit-XXXXXX)
kelvane_pid=""

stop_kelvane() {
  [ -n "$kelvane_pid" ] || return 0
  kill -TERM "$kelvane_pid" 2>/dev/null || true
  local status=0
  wait "$kelvane_pid" || status=$?
  kelvane_pid=""
  return "$status"
}
clean_up() {
  stop_kelvane || true
  rm -rf "$work"
}
trap clean_up EXIT

fail() {
  echo "check-installation: $*" >&2
  exit 1
}

# Polls `command` every half second for up to 30 seconds.
wait_for() {
  for _ in $(seq 60); do
    if eval "$1"; then return 0; fi
    sleep 0.5
  done
  return 1
}

# Starts kelvane of installation $1 headless with the home folder $2.
start_kelvane() {
  local root=$1 home=$2
  mkdir -p "$home"
  (cd "$home" && HOME=$home OKA=$root exec "$root/bin/kelvane" --headless > "$home/kelvane.out" 2>&1) &
  kelvane_pid=$!
  wait_for "grep -q 'kelvane: ready' '$home/kelvane.out'" || fail "kelvane did not start: $(cat "$home/kelvane.out")"
}

# okamsg of installation $1 with the home folder $2 and the arguments after them.
okamsg_in() {
  local root=$1 home=$2
  shift 2
  HOME=$home "$root/bin/okamsg" "$@"
}

echo "== installing into a temporary folder, then moving it"
cmake --install "$build" --prefix "$work/staged" > /dev/null
mv "$work/staged" "$work/oka"
oka=$work/oka
example=$oka/share/oka/examples/hello-tool

echo "== no window system where there are no windows"
export PKG_CONFIG_PATH=$oka/lib/pkgconfig
window_system='fltk|X11|okatoolkit|okaenv-gui'
! pkg-config --libs okaenv | grep -Eq "$window_system" ||
  fail "pkg-config --libs okaenv names the window system: $(pkg-config --libs okaenv)"
pkg-config --libs okaenv-gui | grep -q fltk || fail "okaenv-gui.pc does not bring FLTK"
for program in messaging/okamsg storage/okadb tools/okasample; do
  link_line=$build/${program%/*}/CMakeFiles/${program#*/}.dir/link.txt
  [ -f "$link_line" ] || fail "no link line for $program in $build"
  ! grep -Eq "$window_system" "$link_line" || fail "$program links the window system: $(cat "$link_line")"
done

echo "== building the example with CMake"
cmake -S "$example" -B "$work/hello-cmake" -DCMAKE_PREFIX_PATH="$oka" > /dev/null
cmake --build "$work/hello-cmake" > /dev/null
cp "$work/hello-cmake/hellotool" "$work/hellotool-cmake"

echo "== building the example with pkg-config"
c++ -std=c++20 "$example/hello.cpp" -o "$work/hellotool-pkgconfig" $(pkg-config --cflags --libs okaenv)

for build_kind in cmake pkgconfig; do
  echo "== a Tool Manager with the example built by $build_kind in its tool list"
  cp "$work/hellotool-$build_kind" "$oka/bin/hellotool"
  echo hellotool > "$oka/bin/resource/toollist"
  home=$work/home-$build_kind
  start_kelvane "$oka" "$home"
  wait_for "okamsg_in '$oka' '$home' --tools | grep -q '^Hello Tool  type HTOL  Example Co.  version 1.0 .* loaded'" ||
    fail "the hello tool did not register: $(okamsg_in "$oka" "$home" --tools 2>&1)"
  okamsg_in "$oka" "$home" --tools | grep -q '^    Say Hello  requires file of type HELO$' ||
    fail "the hello tool's command is missing: $(okamsg_in "$oka" "$home" --tools)"
  echo "Hello, world" > "$home/greeting.hello"
  okamsg_in "$oka" "$home" --reply ADDF "S255:$home/greeting.hello" > /dev/null
  okamsg_in "$oka" "$home" --reply GFCP IDNT:HELO | grep -q "greeting.hello" ||
    fail "the hello tool did not identify greeting.hello: $(tail -20 "$home/.oka/okalog")"
  stop_kelvane || fail "kelvane did not end in order: $(cat "$home/kelvane.out")"
  wait_for "! pgrep -f '$oka/bin/hellotool' > /dev/null" || fail "the hello tool did not quit with kelvane"
  grep -q "received IDFL .*greeting.hello: a hello file" "$home/.oka/okalog" ||
    fail "the hello tool did not log the question"
done

echo "== man kelvane in the installation"
MANPATH=$oka/share/man man -P cat kelvane 2>/dev/null | grep -q "Tool Manager of the OKA" ||
  fail "man kelvane does not find the installed page"

echo "== the release bundle"
cpack --config "$build/CPackConfig.cmake" -B "$work/package" > /dev/null
bundle=$(ls "$work"/package/oka-*.tar.gz)
mkdir "$work/unpacked"
tar -xzf "$bundle" -C "$work/unpacked"
root=$(ls -d "$work"/unpacked/oka-*)
home=$work/home-bundle
start_kelvane "$root" "$home"
wait_for "okamsg_in '$root' '$home' --tools | grep -q '^Sample Viewer ' && okamsg_in '$root' '$home' --tools | grep -q '^Sample Runner '" ||
  fail "the bundle's sample tools did not register: $(okamsg_in "$root" "$home" --tools 2>&1)"
okamsg_in "$root" "$home" --reply SHOW > /dev/null || fail "the bundle's Tool Manager does not answer"
stop_kelvane || fail "the bundle's kelvane did not end in order: $(cat "$home/kelvane.out")"
wait_for "! pgrep -f '$root/bin/okasample' > /dev/null" || fail "the bundle's sample tools did not quit with kelvane"
echo "== $(basename "$bundle") is whole; the kit builds out of tree both ways"
