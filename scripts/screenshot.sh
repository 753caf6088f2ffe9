#!/usr/bin/env bash
# Takes pictures of the Tool Manager's windows under a private Xvfb, for a
# person to look at: the workspace with the two sample tools, a tool icon's
# pop-up menu, the tool information and add-engine windows, the alert that a
# damaged preferences file raises at start, the preferences form, the find
# window, the file picker, the pathnames window, and a small project with
# two component lists and the list filter dialog.
#   scripts/screenshot.sh [--docs] [BUILD_DIR] [OUT_DIR]
# BUILD_DIR defaults to build/ (it must hold bin/kelvane, bin/okasample and
# bin/okamsg); pictures land in OUT_DIR (default: screenshots/) as PNG files.
# With --docs they are also copied into resources/doc/html/images/, where
# the user guide shows them (commit them with the guide).
set -euo pipefail
copy_to_docs=no
if [ "${1:-}" = "--docs" ]; then
  copy_to_docs=yes
  shift
fi
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="$(cd "${1:-$source_dir/build}" && pwd)"
out_dir="${2:-$source_dir/screenshots}"
mkdir -p "$out_dir"
out_dir="$(cd "$out_dir" && pwd)"

for program in Xvfb xdotool import; do
  if ! command -v "$program" > /dev/null; then
    echo "screenshot.sh: needs $program (apt-get install xvfb xdotool imagemagick)" >&2
    exit 1
  fi
done

work="$(mktemp -d)"
pids=()
cleanup() {
  # Whatever still runs from the throw-away installation (tools included) goes too.
  pkill -KILL -f "$work/oka/bin/" 2> /dev/null || true
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A private server on the first free display from :140.
display=140
while [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# A throw-away installation: the bundled resources, the sample tools' scripts
# and the built programs side by side.
make_installation() {
  local root="$1"
  mkdir -p "$root/bin" "$root/include" "$root/doc/html"
  cp -r "$source_dir/resources/resource" "$root/bin/resource"
  cp "$source_dir/resources/bin/"* "$root/bin/"
  cp "$build_dir/bin/kelvane" "$build_dir/bin/okasample" "$build_dir/bin/okamsg" "$root/bin/"
}

# Sends a message to the kelvane of home $1: okamsg's arguments follow.
send_message() {
  local home="$1"
  shift
  HOME="$home" "$work/oka/bin/okamsg" "$@" > /dev/null
}

# The screen position "X Y" of the window titled $1.
window_origin() {
  local window
  window="$(xdotool search --onlyvisible --name "$1" | head -1)"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  echo "$X $Y"
}

# Starts kelvane in home $1 and leaves its process id in $kelvane_pid.
start_kelvane() {
  local home="$1"
  mkdir -p "$home"
  (cd "$home" && HOME="$home" OKA="$work/oka" exec "$work/oka/bin/kelvane") > /dev/null 2>&1 &
  kelvane_pid=$!
  pids+=("$kelvane_pid")
}

# Waits for a window titled $1 (a regular expression); its id in $window.
find_window() {
  window=""
  for _ in $(seq 100); do
    window="$(xdotool search --onlyvisible --name "$1" 2> /dev/null | head -1)" && [ -n "$window" ] && return 0
    sleep 0.1
  done
  echo "screenshot.sh: no window titled '$1' appeared" >&2
  return 1
}

# Waits for a window titled $1 (a regular expression) and saves it as $2.
take_picture() {
  find_window "$1" || return 1
  sleep "${3:-0.5}"  # let it finish drawing
  import -window "$window" "$out_dir/$2"
  echo "$out_dir/$2"
}

# Saves the screen under the window titled $1 as $2, with what stands over
# it (a pop-up menu is a window of its own).
take_screen_area() {
  local window
  window="$(xdotool search --onlyvisible --name "$1" | head -1)"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out_dir/$2"
  echo "$out_dir/$2"
}

make_installation "$work/oka"

# The workspace, once both sample tools have registered (their icons show).
start_kelvane "$work/home"
take_picture "^OKA " workspace.png 3

# The viewer's pop-up menu, opened with the right button on its icon (the
# second of the row), and its last item: the tool information window.
read -r x y < <(window_origin "^OKA ")
xdotool mousemove $((x + 128)) $((y + 40)) click 3
sleep 1
take_screen_area "^OKA " tool-popup.png
xdotool key Down Down Down Down Down Return
take_picture "^Tool Information$" tool-info.png
xdotool key Return

# The add-engine window, as a tool asks for it.
send_message "$work/home" CRRQ LONG:0
take_picture "^Add Engine$" add-engine.png
kill "$kelvane_pid"; wait "$kelvane_pid" 2> /dev/null || true

# The question a damaged preferences file raises before the workspace opens.
mkdir -p "$work/damaged/.oka"
head -c 600 /dev/urandom > "$work/damaged/.oka/kelvane.prf"
start_kelvane "$work/damaged"
take_picture "^Invalid file$" alert.png
# A signal ends the alert unanswered, and kelvane in order.
kill "$kelvane_pid"; wait "$kelvane_pid" 2> /dev/null || true

# The preferences form, through the workspace's File menu, and the find
# window as a tool opens it: its text preset with 'SFSV', then 'AFSV'.
start_kelvane "$work/home"
find_window "^OKA "
sleep 1
xdotool windowfocus --sync "$window" key alt+f
sleep 0.3
xdotool key p
take_picture "^Tool Manager Preferences$" preferences.png
search_text="$(printf 'Greeter' | od -An -tx1 | tr -d ' \n')00"
send_message "$work/home" SFSV "DATA:$search_text"
send_message "$work/home" AFSV
take_picture "^Find in Source$" find.png
kill "$kelvane_pid"; wait "$kelvane_pid" 2> /dev/null || true

# The file picker on a real directory (Open Project, ctrl+o) and the
# pathnames window (Paths menu) with two project paths added by a tool.
picker_home="$work/picker"
mkdir -p "$picker_home/projects/sources" "$picker_home/projects/include"
touch "$picker_home/projects/demo.prj" "$picker_home/projects/tools.prj"
echo "notes" > "$picker_home/projects/notes.txt"
start_kelvane "$picker_home"
find_window "^OKA "
workspace="$window"
sleep 2
send_message "$picker_home" ADDF "S255:$picker_home/projects/notes.txt"
send_message "$picker_home" ADGP "S255:$picker_home/projects/include" \
  "S255:$picker_home/projects/sources"
# The pointer stays off the pathnames window, which takes the keys under it.
xdotool mousemove --window "$workspace" 115 12 click 1 sleep 0.5 key Down Return
take_picture "^Project Paths$" pathnames.png
xdotool mousemove --window "$workspace" 60 470 key ctrl+o
take_picture "^Select a project to open:$" picker.png
# Its Cancel button; then a tool asks to show a source file that no project
# path holds, and the picker offers the disk and the project to locate it.
find_window "^Select a project to open:$"
xdotool mousemove --window "$window" 188 361 click 1
send_message "$picker_home" DISF S255:agent.qa BOOL:1 LONG:0 SHRT:0 BOOL:0 LONG:0 BOOL:0 \
  BOOL:1 DATA:00 LONG:0 IDNT:NONE LONG:0
take_picture "^Locate the file agent.qa$" locateFile.png
# Its Project radio button: the project's files by component type.
find_window "^Locate the file agent.qa$"
xdotool mousemove --window "$window" 166 22 click 1
take_picture "^Locate the file agent.qa$" locateInProject.png
kill "$kelvane_pid"; wait "$kelvane_pid" 2> /dev/null || true

# A small project with two lists beside the project list, the second one's
# list filter dialog (opened from its label's pop-up), and the workspace
# once that list shows only the text files.
views_home="$work/views"
mkdir -p "$views_home/src"
printf 'agent Hello\n' > "$views_home/src/hello.qa"
printf 'agent Counter\n' > "$views_home/src/counter.qa"
printf 'Notes on the agents\n' > "$views_home/src/notes.txt"
printf 'Read me first\n' > "$views_home/src/readme.txt"
printf 'engine=7777\n' > "$views_home/src/local.qcfg"
start_kelvane "$views_home"
find_window "^OKA "
sleep 3  # the sample tools register and identify the files
for file in hello.qa counter.qa notes.txt readme.txt local.qcfg; do
  send_message "$views_home" ADDF "S255:$views_home/src/$file"
done
send_message "$views_home" ADDE S255:enginehost LONG:7777
read -r x y < <(window_origin "^OKA ")
# "New List" twice (button 6; the menu bar takes the top 25 pixels).
for _ in 1 2; do
  xdotool mousemove $((x + 83)) $((y + 25 + 273)) click 1
  sleep 0.5
done
# The second list's label: the component area at (166, 84), the list at 304.
xdotool mousemove $((x + 166 + 304 + 40)) $((y + 25 + 84 + 16)) click 3
sleep 1
xdotool key Down Down Return
take_picture "^List Filter$" list-filter.png
# The name pattern field: "*.txt", then Return confirms.
read -r fx fy < <(window_origin "^List Filter$")
xdotool mousemove $((fx + 280)) $((fy + 52)) click 1 key ctrl+a type '*.txt'
xdotool key Return
sleep 0.5
take_picture "^OKA " views.png 1
kill "$kelvane_pid"; wait "$kelvane_pid" 2> /dev/null || true

if [ "$copy_to_docs" = yes ]; then
  images="$source_dir/resources/doc/html/images"
  mkdir -p "$images"
  cp "$out_dir"/*.png "$images/"
  echo "copied into $images"
fi
