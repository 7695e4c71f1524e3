#!/usr/bin/env bash
# Takes docs/screenshot.png: Tavro's window with its frame, as a user sees it when starting a copy
# from the download folder. Builds Tavro.exe if it is missing, runs it under Wine in a private X
# server at 96 dpi (or the dpi given: 144 is a 150 % display scale) and in a throw-away prefix,
# and removes both afterwards.
# Usage: tools/screenshot.sh [output.png [dpi]]  Environment: TAVRO_EXE (default build/windows/window/Tavro.exe)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tavro=${TAVRO_EXE:-$root/build/windows/window/Tavro.exe}
output=${1:-$root/docs/screenshot.png}
dpi=${2:-96}
[[ $dpi =~ ^[1-9][0-9]*$ ]] || { echo "not a dpi: $dpi" >&2; exit 2; }
title=TavroModule

for tool in wine Xvfb xdotool xwininfo import convert; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (tools/install-deps.sh installs it)" >&2; exit 1; }
done

# The caption's close box is a Marlett glyph; without that font Wine draws a letter "r" there.
marlett=/usr/share/wine/fonts/marlett.ttf
if [ ! -f "$marlett" ]; then
    echo "warning: no $marlett (apt-get install fonts-wine): the close box will look wrong" >&2
fi

if [ ! -f "$tavro" ]; then
    echo "Building Tavro.exe (windows preset)"
    (cd "$root" && cmake --preset windows >/dev/null && cmake --build --preset windows --target Tavro)
fi

work=$(mktemp -d /tmp/tavro-screenshot.XXXXXX)
xvfb_pid=""
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

. "$root/tools/wine-prefix.sh"
wine_env "$work"
# Our own X server, whatever DISPLAY says: a known size, and nothing else on screen. Wine takes
# the dpi from LogPixels below, not from the X server.
start_xvfb "$work"

echo "Creating the Wine prefix"
make_user_prefix
cp "$tavro" "$user_dir/Downloads/Tavro_12345.exe"

{
    printf 'REGEDIT4\n\n'
    # No window manager here: Wine draws the frame itself.
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n\n'
    printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n\n' "$dpi"
} >"$work/screenshot.reg"
wine regedit /S "$(sed 's|/|\\|g' <<<"Z:$work/screenshot.reg")" >/dev/null 2>&1

echo "Starting Tavro_12345.exe from the download folder"
(cd "$user_dir/Downloads" && wine "C:\\users\\$user\\Downloads\\Tavro_12345.exe" >/dev/null 2>&1 &)

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
