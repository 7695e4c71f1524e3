#!/usr/bin/env bash
# Takes docs/screenshot.png: Tavro's window with its frame, as a user sees it when starting a copy
# from the download folder. Brings Tavro.exe up to date first (the shipped 32-bit build where this
# host runs 32-bit programs, the 64-bit build elsewhere), runs it under Wine in a private X server
# at 96 dpi (or the dpi given: 144 is a 150 % display scale) and in a throw-away prefix, and
# removes both afterwards.
# Usage: tools/screenshot.sh [output.png [dpi]]   one picture
#        tools/screenshot.sh --docs                 both of the README's: 96 and 144 dpi
# Environment: TAVRO_EXE (default: the build chosen above, rebuilt when its sources changed)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = --docs ]; then
    "$0" "$root/docs/screenshot.png" 96
    exec "$0" "$root/docs/screenshot-144dpi.png" 144
fi
. "$root/tools/wine/wine-lib.sh"
wine_use_best
tavro=${TAVRO_EXE:-$WINE_BUILD_DIR/window/Tavro.exe}
output=${1:-$root/docs/screenshot.png}
dpi=${2:-96}
[[ $dpi =~ ^[1-9][0-9]*$ ]] || { echo "not a dpi: $dpi" >&2; exit 2; }
title=TavroModule

for tool in Xvfb xdotool xwininfo import convert; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (tools/install-deps.sh installs it)" >&2; exit 1; }
done

if [ -z "${TAVRO_EXE:-}" ]; then
    # Ninja rebuilds only what is older than its sources, so a picture taken after an edit shows it.
    (cd "$root" && { [ -f "$WINE_BUILD_DIR/build.ninja" ] || cmake --preset "$WINE_PRESET" >/dev/null; } &&
        cmake --build --preset "$WINE_PRESET" --target Tavro)
fi
echo "Running $tavro with $WINE_LOADER"

wine_pick_user
work=$(mktemp -d /tmp/tavro-screenshot.XXXXXX)
chmod 755 "$work"
cleanup() {
    wine_end_prefix "$work/prefix" "$work/home" || true
    wine_stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT

# Our own X server, whatever DISPLAY says: a known size, and nothing else on screen. Wine takes
# the dpi from LogPixels, not from the X server.
unset DISPLAY
wine_start_xvfb "$work" 1024x768
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$dpi" >"$work/dpi.reg"
echo "Creating the Wine prefix"
wine_make_prefix "$work/prefix" "$work/home" "$work/wineboot.log" "$work/dpi.reg" ||
    { cat "$work/wineboot.log" >&2; exit 1; }
wine_wait_xvfb
downloads=$WINE_PROFILE/Downloads
cp "$tavro" "$downloads/Tavro_12345.exe"
wine_give "$downloads"

echo "Starting Tavro_12345.exe from the download folder"
(cd "$downloads" && wine_as_user "$work/prefix" "$work/home" wine "C:\\users\\$WINE_USER\\Downloads\\Tavro_12345.exe" >/dev/null 2>&1 &)

window=""
for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "no visible \"$title\" window within 30 s" >&2
    exit 1
fi
# Let it finish painting the background and the three buttons.
sleep 2

geometry=$(xwininfo -id "$window")
field() { awk -F: -v name="$1" '$1 ~ name { gsub(/ /, "", $2); print $2 }' <<<"$geometry"; }
x=$(field "Absolute upper-left X")
y=$(field "Absolute upper-left Y")
width=$(field "Width")
height=$(field "Height")
echo "Window $window: ${width}x${height} at $x,$y"

mkdir -p "$(dirname "$output")"
import -window root "$work/screen.png"
convert "$work/screen.png" -crop "${width}x${height}+${x}+${y}" +repage -strip "$output"
echo "Wrote $output"
