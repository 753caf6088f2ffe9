#!/usr/bin/env bash
# Takes pictures of the Tool Manager's windows under a private Xvfb with a
# small window manager (openbox, so that title bars show), for a person to
# look at: the workspace with the two sample tools and a small project, a
# tool icon's pop-up menu, the tool information and add-engine windows, the
# preferences form, the find window, the pathnames window, the file picker,
# two component lists with the list filter dialog, and the alert that a
# damaged preferences file raises at start.
#
# The pictures show the home folder of a user "ada": /home/ada when this
# script may make it (it is removed afterwards), else a folder of the same
# name below the temporary directory (set OKA_DEMO_HOME to choose another).
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

for program in Xvfb xdotool import xprop openbox; do
  if ! command -v "$program" > /dev/null; then
    echo "screenshot.sh: needs $program (apt-get install xvfb xdotool imagemagick x11-utils openbox)" >&2
    exit 1
  fi
done

work="$(mktemp -d)"
demo="${OKA_DEMO_HOME:-/home/ada}"
made_demo=no
if [ ! -e "$demo" ] && mkdir -p "$demo" 2> /dev/null; then
  made_demo=yes
elif [ -z "${OKA_DEMO_HOME:-}" ]; then
  demo="$work/ada"
  mkdir -p "$demo"
  echo "screenshot.sh: cannot make /home/ada: the pictures show $demo" >&2
fi
pids=()
cleanup() {
  # Whatever still runs from the throw-away installation (tools included) goes too.
  local exe pid
  for exe in /proc/[0-9]*/exe; do
    pid="${exe#/proc/}"; pid="${pid%/exe}"
    case "$(readlink "$exe" 2> /dev/null)" in "$work"/oka/bin/*) kill -KILL "$pid" 2> /dev/null || true ;; esac
  done
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
  rm -rf "$work"
  if [ "$made_demo" = yes ]; then rm -rf "$demo"; fi
}
trap cleanup EXIT

# A private server on the first free display from :140.
display=140
while [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
export DISPLAY=":$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
# A window manager of its own, without the user's settings.
mkdir -p "$work/config"
XDG_CONFIG_HOME="$work/config" openbox > /dev/null 2>&1 &
pids+=($!)
sleep 1

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
  echo "$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')" \
    "$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')"
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
  import -frame -window "$window" "$out_dir/$2"
  echo "$out_dir/$2"
}

# Saves the screen under the window titled $1 and its frame as $2, with what
# stands over it (a pop-up menu is a window of its own).
take_screen_area() {
  local window left right top bottom x y width height
  window="$(xdotool search --onlyvisible --name "$1" | head -1)"
  x="$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')"
  y="$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')"
  width="$(xwininfo -id "$window" | sed -n 's/.*Width: *//p')"
  height="$(xwininfo -id "$window" | sed -n 's/.*Height: *//p')"
  read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  import -window root -crop "$((width + left + right))x$((height + top + bottom))+$((x - left))+$((y - top))" \
    +repage "$out_dir/$2"
  echo "$out_dir/$2"
}

make_installation "$work/oka"

# kelvane starts from a scratch folder (where nothing of it shows) in the
# demo home; it leaves its process id in $kelvane_pid.
start_kelvane() {
  mkdir -p "$work/scratch"
  (cd "$work/scratch" && HOME="$demo" OKA="$work/oka" exec "$work/oka/bin/kelvane") > /dev/null 2>&1 &
  kelvane_pid=$!
  pids+=("$kelvane_pid")
}
stop_kelvane() { kill "$kelvane_pid"; wait "$kelvane_pid" 2> /dev/null || true; }

# The project of the pictures, as a person would have it: sources, a header,
# notes and the engine settings in ~/projects/greeter.
project="$demo/projects/greeter"
mkdir -p "$project/src" "$project/include" "$project/doc"
printf 'agent Greeter\n  says hello to every new agent\nend\n' > "$project/src/greeter.qa"
printf 'agent Counter\n  counts the greetings\nend\n' > "$project/src/counter.qa"
printf 'type Greeting\n' > "$project/include/greeting.qh"
printf 'Notes on the agents\n' > "$project/doc/notes.txt"
printf 'Read me first\n' > "$project/doc/readme.txt"
printf 'engine=7777\n' > "$project/src/local.qcfg"

# The workspace, once both sample tools have registered (their icons show):
# File > New Project makes ~/projects/greeter/greeter.prj, typed into the
# picker's name field and confirmed with Return.
start_kelvane
find_window "^OKA "
workspace="$window"
sleep 3
xdotool windowfocus --sync "$workspace" key ctrl+n
find_window "^Enter a new project filename:$"
# The name field, at (72, 310) of the picker.
xdotool mousemove --window "$window" 250 322 click 1 key ctrl+a type --delay 5 "$project/greeter.prj"
xdotool key Return
find_window "^OKA Project: greeter.prj$"
for file in src/greeter.qa src/counter.qa include/greeting.qh doc/notes.txt doc/readme.txt src/local.qcfg; do
  send_message "$demo" ADDF "S255:$project/$file"
done
send_message "$demo" ADDE S255:enginehost LONG:7777
send_message "$demo" ADGP "S255:$project/src" "S255:$project/include"
sleep 1
take_picture "^OKA Project: greeter.prj$" workspace.png 1

# The viewer's pop-up menu, opened with the right button on its icon (the
# second of the row), and its last item: the tool information window.
read -r x y < <(window_origin "^OKA ")
xdotool mousemove $((x + 128)) $((y + 40)) click 3
sleep 1
take_screen_area "^OKA " tool-popup.png
xdotool key Down Down Down Down Down Return
take_picture "^Tool Information$" tool-info.png
xdotool key Escape

# The add-engine window, as a tool asks for it.
send_message "$demo" CRRQ LONG:0
take_picture "^Add Engine$" add-engine.png
xdotool key Escape

# The preferences form, through the workspace's File menu, and the find
# window as a tool opens it: its text preset with 'SFSV', then 'AFSV'.
xdotool windowfocus --sync "$workspace" key alt+f
sleep 0.3
xdotool key p
take_picture "^Tool Manager Preferences$" preferences.png
xdotool key Escape
search_text="$(printf 'Greeter' | od -An -tx1 | tr -d ' \n')00"
send_message "$demo" SFSV "DATA:$search_text"
send_message "$demo" AFSV
take_picture "^Find in Source$" find.png
xdotool key Escape

# The pathnames window (Paths menu) with the project's two paths.
xdotool mousemove --window "$workspace" 115 12 click 1 sleep 0.5 key Down Return
take_picture "^Project Paths$" pathnames.png
xdotool key Escape

# The file picker on the project's folder (Open Project, ctrl+o).
xdotool windowfocus --sync "$workspace" key ctrl+o
take_picture "^Select a project to open:$" picker.png
xdotool key Escape

# A tool asks to show a source file that no project path holds, and the
# picker offers the disk and the project to locate it.
send_message "$demo" DISF S255:agent.qa BOOL:1 LONG:0 SHRT:0 BOOL:0 LONG:0 BOOL:0 \
  BOOL:1 DATA:00 LONG:0 IDNT:NONE LONG:0
take_picture "^Locate the file agent.qa$" locateFile.png
# Its Project radio button: the project's files by component type.
find_window "^Locate the file agent.qa$"
xdotool mousemove --window "$window" 166 22 click 1
take_picture "^Locate the file agent.qa$" locateInProject.png
xdotool key Escape

# Two lists beside the project list, the second one's list filter dialog
# (opened from its label's pop-up), and the workspace once that list shows
# only the text files.
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
xdotool mousemove $((x + 60)) $((y + 470))
take_picture "^OKA " views.png 1
stop_kelvane

# The question a damaged preferences file raises before the workspace opens
# (the demo's own preferences wait aside meanwhile).
mv "$demo/.oka/kelvane.prf" "$work/kelvane.prf"
head -c 600 /dev/urandom > "$demo/.oka/kelvane.prf"
start_kelvane
take_picture "^Invalid file$" alert.png
# A signal ends the alert unanswered, and kelvane in order.
stop_kelvane
mv "$work/kelvane.prf" "$demo/.oka/kelvane.prf"

if [ "$copy_to_docs" = yes ]; then
  images="$source_dir/resources/doc/html/images"
  mkdir -p "$images"
  cp "$out_dir"/*.png "$images/"
  echo "copied into $images"
fi
