#!/usr/bin/env bash
# Takes docs/main-window.png: the real vexa-studio with the generated demo project open, on a
# virtual X server (xvfb-run), captured with ffmpeg's X11 grabber.
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
"$STUDIO" examples/demo/demo.vxpj &
pid=$!
sleep "${SETTLE:-4}"
ffmpeg -loglevel error -y -f x11grab -video_size "$SIZE" -i "$DISPLAY" -frames:v 1 "$OUT"
kill "$pid"
wait "$pid" 2>/dev/null || true
EOS
)
w=$(awk "BEGIN{print int(900*$scale+0.5)}")
h=$(awk "BEGIN{print int(620*$scale+0.5)}")
STUDIO=$studio OUT=$out SIZE="${w}x${h}" QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 ${w}x${h}x24 -dpi 96" bash -c "$inner"
echo "screenshot: $out"
