#!/usr/bin/env bash
# Takes docs/main-window.png: the real vexa-studio with the generated demo project open, on a
# virtual X server (xvfb-run), driven with xdotool and captured with ffmpeg's X11 grabber.
#   scripts/screenshot.sh [OUT.png] [SCALE]     SCALE: Qt's scale factor (1, 1.5, 2; default 1)
set -euo pipefail
cd "$(dirname "$0")/.."

out=${1:-docs/main-window.png}
scale=${2:-1}
build=${BUILD:-build/release}
studio=$build/src/app/vexa-studio
[ -x "$studio" ] || { echo "screenshot: build $studio first" >&2; exit 1; }
if [ ! -f examples/demo/demo.vxpj ]; then
  "$build/src/app/vexa-make-example" examples/demo >/dev/null
fi
mkdir -p "$(dirname "$out")"

# Inside the X server: start the editor, give it time to open the project and paint, select
# the first graphic layer so that its events show, grab the screen, end the editor.
inner=$(cat <<'EOS'
set -euo pipefail
# A window manager draws the title bar (with the caption) and gives the window the focus.
wm=
if command -v openbox >/dev/null; then openbox & wm=$!; sleep 1; fi
"$STUDIO" examples/demo/demo.vxpj &
pid=$!
sleep "${SETTLE:-4}"
# The graphic layer view has the focus on its first row: Down selects the second layer, the
# one with a movie and effects in the demo.
win=$(xdotool search --sync --onlyvisible --name '^Vexa Studio' | head -1)
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
xdotool key Down
sleep 1
info=$(xwininfo -id "$win")
X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
WIDTH=$(sed -n 's/.*Width: *//p' <<<"$info")
HEIGHT=$(sed -n 's/.*Height: *//p' <<<"$info")
# The frame of the window manager lies around the client area.
if [ -n "$wm" ]; then
  top=$(xprop -id "$win" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\)/\1 \2 \3 \4/p')
  if [ -n "$top" ]; then
    read -r l r t b <<<"$top"
    X=$((X - l)); Y=$((Y - t)); WIDTH=$((WIDTH + l + r)); HEIGHT=$((HEIGHT + t + b))
  fi
fi
ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size "${WIDTH}x${HEIGHT}" -i "$DISPLAY+$X,$Y" -frames:v 1 "$OUT"
kill "$pid"
wait "$pid" 2>/dev/null || true
[ -z "$wm" ] || kill "$wm"
EOS
)
w=$(awk "BEGIN{print int(1000*$scale+0.5)}")
h=$(awk "BEGIN{print int(700*$scale+0.5)}")
STUDIO=$studio OUT=$out QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 ${w}x${h}x24 -dpi 96" bash -c "$inner"
echo "screenshot: $out"
