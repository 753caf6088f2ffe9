#!/usr/bin/env bash
# Checks what a person meets outside this repository, using the build folder
# given (default build-test):
#   1. installs it into a temporary folder and moves the installation, so that
#      everything below must find itself from where it lies;
#   2. compiles every installed header alone under strict warnings, checks
#      that the environment library and the programs without windows link no
#      window system, then builds the installed examples (hello-tool and the
#      headless counter-tool) out of tree with the same warnings, once with
#      CMake (find_package(OkaEnv)) and once with one c++ line and pkg-config,
#      and links a small tool with windows against okaenv-gui both ways;
#   3. starts a Tool Manager with each build in its tool list and asks
#      okamsg --tools whether the tools registered and published their
#      commands, the project whether the hello tool identified a .hello file,
#      and runs the counter's command with okamsg --run, reading its answer
#      in the log and the exchange in okamsg --watch;
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
examples=$oka/share/oka/examples
export PKG_CONFIG_PATH=$oka/lib/pkgconfig
# What a careful tool author compiles with; the kit's headers must pass it.
strict_flags="-std=c++20 -Wall -Wextra -Wpedantic -Wshadow -Werror"

echo "== every installed header compiles alone under $strict_flags"
for header in $(cd "$oka/include/oka" && find . -name '*.h' | sort); do
  header=${header#./}
  case $header in
    core/*|storage/*|messaging/*|tools/*) package=okaenv ;;
    *) package=okaenv-gui ;;
  esac
  echo "#include \"$header\"" |
    c++ $strict_flags $(pkg-config --cflags $package) -x c++ -fsyntax-only - 2> "$work/header.err" ||
    fail "$header does not compile alone with the flags of $package: $(head -3 "$work/header.err")"
done

echo "== no window system where there are no windows"
window_system='fltk|X11|okatoolkit|okaenv-gui'
! pkg-config --libs okaenv | grep -Eq "$window_system" ||
  fail "pkg-config --libs okaenv names the window system: $(pkg-config --libs okaenv)"
pkg-config --libs okaenv-gui | grep -q fltk || fail "okaenv-gui.pc does not bring FLTK"
for program in messaging/okamsg storage/okadb tools/okasample; do
  link_line=$build/${program%/*}/CMakeFiles/${program#*/}.dir/link.txt
  [ -f "$link_line" ] || fail "no link line for $program in $build"
  ! grep -Eq "$window_system" "$link_line" || fail "$program links the window system: $(cat "$link_line")"
done

# The examples, each built both ways with the strict flags: hellotool and
# countertool, both without windows.
for tool in hello:hellotool counter:countertool; do
  name=${tool%%:*} program=${tool#*:}
  echo "== building the $name example with CMake"
  cmake -S "$examples/$name-tool" -B "$work/$name-cmake" -DCMAKE_PREFIX_PATH="$oka" \
    -DCMAKE_CXX_FLAGS="$strict_flags" > /dev/null
  cmake --build "$work/$name-cmake" > /dev/null
  cp "$work/$name-cmake/$program" "$work/$program-cmake"
  ! grep -Eq "$window_system" "$work/$name-cmake/CMakeFiles/$program.dir/link.txt" ||
    fail "the $name example links the window system: $(cat "$work/$name-cmake/CMakeFiles/$program.dir/link.txt")"
  echo "== building the $name example with pkg-config"
  c++ $strict_flags "$examples/$name-tool/$name.cpp" -o "$work/$program-pkgconfig" \
    $(pkg-config --cflags --libs okaenv)
done

echo "== a tool with windows links okaenv-gui both ways"
mkdir "$work/windowed"
cat > "$work/windowed/windowed.cpp" <<'SOURCE'
#include "tools/OkaTool.h"
#include "workspace/WindowLayer.h"
#include "workspace/WindowManager.h"

int main() {
    installWindowLayer();
    if (startTool("windowed", {"Windowed", "Example Co.", 1, 0, typeCode("WIND"), false}) != 0) return 1;
    bool hasWindowManager = gWindowManager != nullptr;
    leaveEnvironment();
    return hasWindowManager ? 0 : 2;
}
SOURCE
cat > "$work/windowed/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(windowed LANGUAGES CXX)
find_package(OkaEnv REQUIRED COMPONENTS gui)
add_executable(windowed windowed.cpp)
target_link_libraries(windowed PRIVATE OkaEnv::okaenv-gui)
CMAKE
cmake -S "$work/windowed" -B "$work/windowed/build" -DCMAKE_PREFIX_PATH="$oka" \
  -DCMAKE_CXX_FLAGS="$strict_flags" > /dev/null
cmake --build "$work/windowed/build" > /dev/null
c++ $strict_flags "$work/windowed/windowed.cpp" -o "$work/windowed/windowed-pkgconfig" \
  $(pkg-config --cflags --libs okaenv-gui)
for program in "$work/windowed/build/windowed" "$work/windowed/windowed-pkgconfig"; do
  HOME=$work/home-windowed OKA=$oka "$program" || fail "$program did not start its window manager"
done

for build_kind in cmake pkgconfig; do
  echo "== a Tool Manager with the examples built by $build_kind in its tool list"
  cp "$work/hellotool-$build_kind" "$oka/bin/hellotool"
  cp "$work/countertool-$build_kind" "$oka/bin/countertool"
  echo hellotool countertool > "$oka/bin/resource/toollist"
  home=$work/home-$build_kind
  start_kelvane "$oka" "$home"
  wait_for "okamsg_in '$oka' '$home' --tools | grep -q '^Hello Tool  type HTOL  Example Co.  version 1.0 .* loaded'" ||
    fail "the hello tool did not register: $(okamsg_in "$oka" "$home" --tools 2>&1)"
  okamsg_in "$oka" "$home" --tools | grep -q '^    Say Hello  requires file of type HELO$' ||
    fail "the hello tool's command is missing: $(okamsg_in "$oka" "$home" --tools)"
  wait_for "okamsg_in '$oka' '$home' --tools | grep -q '^    Count Files  requires nothing$'" ||
    fail "the counter tool did not register and publish: $(okamsg_in "$oka" "$home" --tools 2>&1)"
  echo "Hello, world" > "$home/greeting.hello"
  okamsg_in "$oka" "$home" --reply ADDF "S255:$home/greeting.hello" > /dev/null
  okamsg_in "$oka" "$home" --reply GFCP IDNT:HELO | grep -q "greeting.hello" ||
    fail "the hello tool did not identify greeting.hello: $(tail -20 "$home/.oka/okalog")"
  # The command through the Tool Manager, seen by a watcher on the way.
  okamsg_in "$oka" "$home" --watch > "$home/watch.out" 2>&1 &
  watcher=$!
  wait_for "grep -q 'RECV WTCH' '$home/watch.out'" || fail "okamsg --watch did not start"
  okamsg_in "$oka" "$home" --run "File Counter" "Count Files" ||
    fail "okamsg --run did not deliver the counter's command"
  wait_for "grep -q 'countertool ../countertool ([0-9]*): .Count Files: 1 project file(s), run 1' '$home/.oka/okalog'" ||
    fail "the counter tool did not log its count: $(tail -20 "$home/.oka/okalog")"
  kill "$watcher"
  wait "$watcher" || true
  grep -q 'RECV RCMD okamsg' "$home/watch.out" && grep -q 'SEND CMDS Tool Manager(TOOL):[0-9]* -> File Counter' "$home/watch.out" ||
    fail "okamsg --watch did not show the exchange: $(cat "$home/watch.out")"
  stop_kelvane || fail "kelvane did not end in order: $(cat "$home/kelvane.out")"
  wait_for "! pgrep -f '$oka/bin/hellotool' > /dev/null && ! pgrep -f '$oka/bin/countertool' > /dev/null" ||
    fail "the example tools did not quit with kelvane"
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
