#!/usr/bin/env bash
# Builds Tavro.exe and starts it under Wine the way a user would: as Tavro_12345.exe from a
# download folder, so its window shows. It runs the shipped 32-bit build where this host runs
# 32-bit programs, and the 64-bit build of the same sources elsewhere, and says which. Without a
# DISPLAY it runs on a private Xvfb server and saves the screen to build/run/screen.png.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine/wine-lib.sh

tools/install-deps.sh
wine_use_best
cmake --preset "$WINE_PRESET"
cmake --build --preset "$WINE_PRESET" --target Tavro
echo "Starting the $WINE_BITS-bit build ($WINE_BUILD_DIR/window/Tavro.exe) with $WINE_LOADER"

mkdir -p build/run
screen=$PWD/build/run/screen.png
wine_pick_user
work=$(mktemp -d "${TMPDIR:-/tmp}/tavro-run.XXXXXX")
chmod 755 "$work"
cleanup() {
    wine_end_prefix "$work/prefix" "$work/home" || true
    wine_stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT

wine_start_xvfb "$work" 1024x768
echo "Making a Wine prefix in $work (a few seconds)"
wine_make_prefix "$work/prefix" "$work/home" "$work/wineboot.log" || { cat "$work/wineboot.log" >&2; exit 1; }
wine_wait_xvfb

downloads=$WINE_PROFILE/Downloads
cp "$WINE_BUILD_DIR/window/Tavro.exe" "$downloads/Tavro_12345.exe"
wine_give "$downloads"
cd "$downloads"
if [ -n "$WINE_XVFB_PID" ]; then
    # A Wine desktop of its own draws the window frame that no window manager draws here.
    wine_as_user "$work/prefix" "$work/home" wine explorer /desktop=Tavro,800x500 Tavro_12345.exe &
    sleep 5
    import -window root "$screen" && echo "No display: the screen is saved in $screen"
else
    echo "Tavro_12345.exe is running from $downloads; close its window to end."
    wine_as_user "$work/prefix" "$work/home" wine Tavro_12345.exe
fi
