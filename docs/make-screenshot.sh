#!/usr/bin/env bash
# Draws docs/screenshot.png: the program under Xvfb with the sample document open, as a first
# start places it on a 1280 x 800 screen (no stored window bounds: the window is fitted in);
# then docs/screenshot-search.png: the search window with results beside the main window.
# Usage: xvfb-run -s "-screen 0 1280x800x24" docs/make-screenshot.sh [build dir]
# Needs the program built (scripts/run.sh builds it), imagemagick and xdotool.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"

config="$(mktemp -d)"
trap 'rm -rf "$config"; kill "${pid:-0}" 2>/dev/null || true' EXIT
mkdir -p "$config/Velmoor Software"
cat > "$config/Velmoor Software/Chronark.conf" <<INI
[FormSettings]
colCommentWidth=300
colStartTimeWidth=140
colEndTimeWidth=140
colDurationWidth=80
tvPrjWidth=230
INI

# A copy: the open document's lock file stays out of the source tree.
cp "$root/examples/Beispiel.ckx" "$config/Beispiel.ckx"
XDG_CONFIG_HOME="$config" "$build/bin/chronark" "$config/Beispiel.ckx" &
pid=$!
window="$(xdotool search --sync --onlyvisible --name 'Beispiel.ckx - Chronark' | head -1)"
sleep 1
# Show a project with its entries: select the first top-level project and open it down to
# the default project "Webseite".
xdotool mousemove --window "$window" 60 80 click 1
xdotool key --window "$window" Home Down Right Down Right Down Right Down
# Start the stopwatch (the green button) so the elapsed-time banner shows.
xdotool mousemove --window "$window" 388 34 click 1
sleep 3
import -window root "$root/docs/screenshot.png"
# The search window (Ctrl+F) finds webinars and team meetings everywhere; it opens over the
# main window and is moved to its right half so that both show.
xdotool key --window "$window" ctrl+f
search="$(xdotool search --sync --onlyvisible --name 'Eintrag suchen' | head -1)"
sleep 1
xdotool windowmove "$search" 560 230
# Without a window manager the keys go where the input focus is put: into the keywords.
xdotool windowfocus --sync "$search"
xdotool mousemove --window "$search" 300 76 click 1
xdotool key ctrl+a BackSpace
xdotool type --delay 30 "Webinar Teambesprechung"
xdotool key Return
sleep 2
import -window root "$root/docs/screenshot-search.png"
