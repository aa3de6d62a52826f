#!/usr/bin/env bash
# The chart window for real: a display under Xvfb, the window found by its caption, centred on
# the screen (first with no window manager, so no frame; at the end framed by openbox, whose
# frame is centred), a tooltip while the pointer rests on a bar,
# the right-click menu (Escape closes only the menu, also when held past the repeat delay; "Save
# Chart As..." writes the file typed in its dialog), a click on "Print Graph" that sends a job to
# a private print server, closed by Escape held on the window when it comes up; the run ends
# with exit code 0 and a silent standard error.
# Usage: window_test.sh TARVOCHART DBFWRITE PRINTSERVER.sh [SCREENSHOT.png]
# (beside SCREENSHOT.png also SCREENSHOT-tooltip.png and SCREENSHOT-menu.png)
set -euo pipefail
program=$1 writer=$2 printserver=$3 screenshot=${4:-}
here=$(cd "$(dirname "$0")" && pwd)

for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done

work=$(mktemp -d)
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  "$printserver" stop "$work/cups" || true
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

"$writer" properties ChartPro.DBF <<'TABLE'
1|1|DATASETCOUNT|2
1|1|CHARTSTYLE|VERTBAR
1|1|TOPTITLE|Monthly sales
1|1|DATASETTITLE|North
1|2|DATASETTITLE|South
TABLE
"$writer" data 2 ChartDat.DBF <<'TABLE'
1|Jan|12|RED|9|
1|Feb|15||11|
1|Mar|9||14|
TABLE

# A print server of its own, when one can run here.
if "$printserver" start "$work/cups" >server.txt; then
  export CUPS_SERVER=$work/cups/cups.sock CUPS_SERVERROOT=$work/cups/etc HOME=$work
  unset PRINTER LPDEST
else
  echo "no print server can run here: the click on Print Graph is not tested"
fi

exec 3>display.txt
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s display.txt ] && break; sleep 0.1; done
export DISPLAY=":$(cat display.txt)"
# The window needs the display whatever platform the caller has chosen.
export QT_QPA_PLATFORM=xcb

# The image that a run with a window writes at start is the windowless run's, byte for byte, also
# under a font configuration that prefers another family, hints fully and turns antialiasing off.
for shown in window windowless; do
  {
    printf '%s\n' "1|1|DATASETCOUNT|2" "1|1|CHARTSTYLE|VERTBAR" "1|1|TOPTITLE|Monthly sales" \
      "1|1|DATASETTITLE|North" "1|2|DATASETTITLE|South" "1|1|BITMAPFILE|$shown.png;300;400"
    if [ "$shown" = windowless ]; then echo "1|1|NOSHOW|"; fi
  } | "$writer" properties "$shown.DBF"
done
FONTCONFIG_FILE=$here/../support/anotherfamilyfirst.conf \
  "$program" window.DBF ChartDat.DBF 2>/dev/null &
app=$!
for _ in $(seq 100); do [ -s window.png ] && break; sleep 0.1; done
kill "$app" && wait "$app" || true
app=
QT_QPA_PLATFORM=offscreen "$program" windowless.DBF ChartDat.DBF
cmp window.png windowless.png ||
  { echo "the window's run wrote another image under another font configuration"; exit 1; }

"$program" ChartPro.DBF ChartDat.DBF 2>stderr.txt &
app=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Chart$' | head -n 1)
[ -n "$window" ] || { echo "no window captioned Chart"; exit 1; }
sleep 0.5
geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry"
echo "$geometry" | grep -q 'Geometry: 632x453' || { echo "wrong size"; exit 1; }
echo "$geometry" | grep -q 'Position: 196,157' || { echo "not centred"; exit 1; }
shoot() {  # a screenshot of the whole screen, where asked for and possible
  if [ -n "$screenshot" ] && command -v import >/dev/null; then
    import -window root "${screenshot%.png}$1.png" 2>/dev/null || true
  fi
}
shoot ""

# The program's windows on the screen: the chart window, and a tooltip or a menu while one shows.
shown() { { xdotool search --onlyvisible --pid "$app" 2>/dev/null || true; } | wc -l; }
wait_shown() {
  for _ in $(seq 50); do [ "$(shown)" -eq "$1" ] && return 0; sleep 0.1; done
  return 1
}
# A visible window of that caption, within 20 seconds. A window that goes while xdotool looks
# makes it fail: then it looks again.
find_window() {
  for _ in $(seq 200); do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.1
  done
  return 1
}

# The pointer rests on South's bar for Feb (the middle of the chart, low down): a tooltip.
xdotool mousemove --window "$window" 300 300
wait_shown 2 || { echo "no tooltip over a bar"; exit 1; }
shoot -tooltip
echo "a tooltip shows over a bar"
xdotool mousemove --window "$window" 5 5
wait_shown 1 || { echo "the tooltip stays away from the bars"; exit 1; }

# The right-click menu; Escape closes the menu and leaves the window open.
xdotool mousemove --window "$window" 300 200 click 3
wait_shown 2 || { echo "no menu at a right-click on the chart"; exit 1; }
shoot -menu
xdotool key Escape
wait_shown 1 || { echo "Escape did not close the menu"; exit 1; }
sleep 0.3
kill -0 "$app" 2>/dev/null || { echo "Escape in the menu closed the window"; exit 1; }

# Escape held in the menu past the keyboard's repeat delay: its repeats reach the window, and
# must not close it.
xdotool mousemove --window "$window" 300 200 click 3
wait_shown 2 || { echo "no menu at the right-click for a held Escape"; exit 1; }
xdotool keydown Escape
sleep 1.2
xdotool keyup Escape
sleep 0.3
kill -0 "$app" 2>/dev/null || { echo "Escape held in the menu closed the window"; exit 1; }
wait_shown 1 || { echo "a held Escape did not close the menu"; exit 1; }

# "Save Chart As...", and a name typed in the file dialog.
xdotool mousemove --window "$window" 300 200 click 3
wait_shown 2 || { echo "no menu at the second right-click"; exit 1; }
xdotool key s
find_window '^Save Chart As$' >/dev/null || { echo "no Save Chart As dialog"; exit 1; }
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 20 "$work/saved"
xdotool key Return
for _ in $(seq 100); do [ -s "$work/saved.png" ] && break; sleep 0.1; done
[ "$(head -c 4 "$work/saved.png" 2>/dev/null | tail -c 3)" = PNG ] ||
  { echo "Save Chart As wrote no PNG"; ls "$work"; exit 1; }
echo "Save Chart As wrote $(wc -c <"$work/saved.png") bytes of PNG"
wait_shown 1 || { echo "the dialog stays open"; exit 1; }

if [ -n "${CUPS_SERVER:-}" ]; then
  # The button's middle, in the window.
  xdotool mousemove --window "$window" 411 433 click 1
  for _ in $(seq 100); do [ -e "$work/cups/spool/d00001-001" ] && break; sleep 0.1; done
  [ -e "$work/cups/spool/d00001-001" ] || { echo "Print Graph sent no job"; exit 1; }
  echo "Print Graph sent a job"
fi

# Escape held on the window closes it when the key comes up, not before.
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool keydown Escape
sleep 1.2
kill -0 "$app" 2>/dev/null || { echo "a held Escape closed the window before it came up"; exit 1; }
xdotool keyup Escape
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then echo "Escape did not close the window"; exit 1; fi
wait "$app" && status=0 || status=$?
app=""
[ "$status" -eq 0 ] || { echo "exit code $status"; exit 1; }
[ ! -s stderr.txt ] || { echo "standard error not empty:"; cat stderr.txt; exit 1; }
# Under a window manager the frame, not the inside, is centred. xwininfo tells where the inside
# is; the frame reaches beyond it by its extents (left, right, top, bottom).
if command -v openbox >/dev/null && command -v xwininfo >/dev/null && command -v xprop >/dev/null; then
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1
  "$program" ChartPro.DBF ChartDat.DBF 2>stderr.txt &
  app=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Chart$' | head -n 1)
  [ -n "$window" ] || { echo "no window under the window manager"; exit 1; }
  sleep 1
  inside=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } END { print x, y }')
  read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS | tr -d ',' | awk '{ print $3, $4, $5, $6 }')
  read -r x y <<<"$inside"
  frame="$((x - left)),$((y - top)) $((632 + left + right))x$((453 + top + bottom))"
  echo "framed: $frame"
  centred="$(((1024 - 632 - left - right) / 2)),$(((768 - 453 - top - bottom) / 2))"
  [ "${frame%% *}" = "$centred" ] || { echo "the frame is not centred: $frame, not at $centred"; exit 1; }
  xdotool key --window "$window" Escape
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  kill "$wm" 2>/dev/null || true
else
  echo "no window manager (openbox) here: centring on the frame is not tested"
fi
echo "window test passed"
