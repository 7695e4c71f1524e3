#!/usr/bin/env bash
# Builds Tavro.exe and starts it under Wine the way a user would: as Tavro_12345.exe from a
# download folder, so its window shows. Without a DISPLAY it runs on a private Xvfb server and
# saves what the screen shows to build/run/screen.png.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset windows
cmake --build --preset windows --target Tavro

run=$PWD/build/run
export WINEPREFIX=$run/prefix HOME=$run/home WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
mkdir -p "$HOME"

xvfb_pid=
if [ -z "${DISPLAY:-}" ]; then
    Xvfb :97 -ac -nolisten tcp -screen 0 1024x768x24 >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=:97
    sleep 1
fi
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making a Wine prefix in $WINEPREFIX (once)..."
    wineboot -i >/dev/null 2>&1
    wineserver -w
    # A new prefix links Desktop and Downloads to $HOME; the launcher must tell them apart.
    profile=$WINEPREFIX/drive_c/users/$(id -un)
    for folder in Desktop Downloads; do
        if [ -L "$profile/$folder" ]; then
            rm "$profile/$folder"
            mkdir "$profile/$folder"
        fi
    done
    # Debian's Wine does not look in fonts-wine's folder: without Marlett the close box shows an "r".
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # Wine's own Tahoma has no Japanese glyphs; message boxes would show empty boxes without this.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Tahoma /d "Noto Sans CJK JP" /f >/dev/null 2>&1
    wineserver -w
fi

downloads=$WINEPREFIX/drive_c/users/$(id -un)/Downloads
cp build/windows/window/Tavro.exe "$downloads/Tavro_12345.exe"
cd "$downloads"
if [ -n "$xvfb_pid" ]; then
    # A Wine desktop of its own draws the window frame that no window manager draws here.
    wine explorer /desktop=Tavro,800x500 Tavro_12345.exe &
    sleep 5
    import -window root "$run/screen.png" && echo "No display: the screen is saved in $run/screen.png"
else
    echo "Tavro_12345.exe is running from $downloads; close its window to end."
    wine Tavro_12345.exe
fi
