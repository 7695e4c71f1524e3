# Sourced by the scripts that run Tavro under Wine outside the test harness (run, screenshot,
# benchmarks): a private Wine environment, an X server when there is none, and a user prefix in
# which the desktop and the download folder are two different folders.

# wine_env FOLDER: Wine's prefix and HOME under FOLDER, quiet, and nothing leaking into the host.
wine_env() {
    export HOME=$1/home WINEPREFIX=$1/prefix WINEDEBUG=-all
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
    unset WINEARCH WINESERVER XDG_CONFIG_HOME XDG_DATA_HOME
    mkdir -p "$HOME"
}

# start_xvfb FOLDER: a private Xvfb at 96 dpi; sets DISPLAY and xvfb_pid.
start_xvfb() {
    exec 3>"$1/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    exec 3>&-
    for _ in $(seq 100); do
        [ -s "$1/display" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(head -n 1 "$1/display")"
}

# make_user_prefix: creates $WINEPREFIX, then sets user and user_dir (C:\users\<user>).
make_user_prefix() {
    wineboot -i >/dev/null 2>&1
    wineserver -w
    find_user_dir
    # A new prefix links Desktop and Downloads to $HOME: the launcher must tell them apart.
    for folder in Desktop Downloads; do
        rm -rf "${user_dir:?}/$folder"
        mkdir "$user_dir/$folder"
    done
    # Debian's Wine does not look in fonts-wine's folder: without Marlett the close box shows an "r".
    [ ! -f /usr/share/wine/fonts/marlett.ttf ] || cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    # Wine's own Tahoma has no Japanese glyphs; message boxes would show empty boxes without this.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Tahoma /d "Noto Sans CJK JP" /f >/dev/null 2>&1
    wineserver -w
}

# find_user_dir: sets user and user_dir for an existing $WINEPREFIX.
find_user_dir() {
    user_dir=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
    user=$(basename "$user_dir")
}
