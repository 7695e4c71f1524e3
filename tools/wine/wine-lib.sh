# Sourced by every script that runs Tavro under Wine (tests, run, screenshot, benchmarks). The one
# place that knows which Wine loader, which WINEARCH and which build go together, how a prefix is
# made, who Wine runs as, and how a private X server is started.

WINE_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WINE_ROOT=$(cd "$WINE_LIB_DIR/../.." && pwd)
WINE_LOADER32=/usr/lib/wine/wine
WINE_LOADER64=/usr/lib/wine/wine64

# True where Wine's 32-bit loader starts. Some hosts run 64-bit Linux programs only: there the
# kernel refuses it with "Exec format error", and no 32-bit Windows program can run.
wine_runs_32bit() {
    "$WINE_LOADER32" --version >/dev/null 2>&1
}

# One line saying why the 32-bit loader does not start here.
wine_why_not_32bit() {
    local said
    if [ ! -x "$WINE_LOADER32" ]; then
        echo "$WINE_LOADER32 is not installed (wine32:i386 installs only where 32-bit programs run)"
    else
        said=$("$WINE_LOADER32" --version 2>&1 | head -n 1)
        # The shell's own words end with the kernel's: "cannot execute binary file: Exec format error".
        echo "$WINE_LOADER32 does not start: ${said##*: }"
    fi
}

# wine_use 32|64: the build to run and the loader to run it with. Sets WINE_BITS, WINE_LOADER,
# WINE_SERVER, WINE_PRESET and WINE_BUILD_DIR, and exports WINEARCH, TAVRO_WINE_LOADER (and
# WINELOADER for 64).
# Both use a win64 prefix: on a host with wine32 a 32-bit program runs in it through WoW64.
wine_use() {
    WINE_BITS=$1
    export WINEARCH=win64
    case $WINE_BITS in
        32) WINE_LOADER=$WINE_LOADER32 WINE_PRESET=windows ;;
        64) WINE_LOADER=$WINE_LOADER64 WINE_PRESET=windows-x64 ;;
        *) echo "wine_use: 32 or 64, not '$WINE_BITS'" >&2; return 2 ;;
    esac
    # The wrapper /usr/bin/wine would pick the 32-bit loader wherever wine32 is installed.
    if [ "$WINE_BITS" = 64 ]; then export WINELOADER=$WINE_LOADER; else unset WINELOADER; fi
    # Wine keeps WINELOADER from its programs' environment; the test driver's host scripts read this.
    export TAVRO_WINE_LOADER=$WINE_LOADER
    WINE_SERVER=/usr/lib/wine/wineserver64
    [ -x "$WINE_SERVER" ] || WINE_SERVER=/usr/lib/wine/wineserver32
    WINE_BUILD_DIR=$WINE_ROOT/build/$WINE_PRESET
}

# wine_use_best: the shipped 32-bit build where it runs, the 64-bit one elsewhere.
wine_use_best() {
    if wine_runs_32bit; then wine_use 32; else wine_use 64; fi
}

# --- Who Wine runs as -----------------------------------------------------------------------------
# Wine run as root ignores read-only files, so as root it runs as nobody instead.
wine_pick_user() {
    if [ "$(id -u)" -eq 0 ]; then
        WINE_UID=$(id -u nobody) WINE_GID=$(id -g nobody) WINE_USER=nobody
    else
        WINE_UID=$(id -u) WINE_GID=$(id -g) WINE_USER=$(id -un)
    fi
}

# Hands folders we made over to the user Wine runs as.
wine_give() {
    if [ "$(id -u)" -eq 0 ]; then
        chown -R "$WINE_UID:$WINE_GID" "$@"
    fi
}

# wine_as_user PREFIX HOME COMMAND...: COMMAND as the Wine user, in a clean Wine environment.
# COMMAND "wine" means the chosen loader and "wineserver" the server. LC_ALL, LOCPATH and
# TAVRO_E2E_* pass through from the caller.
wine_as_user() {
    local prefix=$1 home=$2
    shift 2
    case $1 in
        wine) set -- "$WINE_LOADER" "${@:2}" ;;
        wineserver) set -- "$WINE_SERVER" -p0 "${@:2}" ;;
    esac
    set -- env -u XDG_RUNTIME_DIR -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME \
        WINEPREFIX="$prefix" HOME="$home" USER="$WINE_USER" LOGNAME="$WINE_USER" \
        WINEDEBUG="${TAVRO_E2E_WINEDEBUG:--all}" WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d" \
        "$@"
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid="$WINE_UID" --regid="$WINE_GID" --clear-groups "$@"
    else
        "$@"
    fi
}

# wine_end_prefix PREFIX HOME: ends every process of that prefix. (They may linger a moment as
# zombies until PID 1 reaps them; they are already dead.)
wine_end_prefix() {
    wine_as_user "$1" "$2" wineserver -k >/dev/null 2>&1
}

# wine_make_prefix PREFIX HOME LOG [EXTRA.reg]: a new prefix for the Wine user, with the shared
# settings (and EXTRA's) applied, and plain Desktop, Downloads and Documents folders. Sets
# WINE_PROFILE (the user's profile folder on the Linux side).
wine_make_prefix() {
    local prefix=$1 home=$2 log=$3 extra=${4:-} reg_file
    mkdir -p "$prefix" "$home"
    wine_give "$prefix" "$home"
    wine_as_user "$prefix" "$home" wine wineboot -i >>"$log" 2>&1 || { echo "wineboot -i failed" >&2; return 1; }
    wine_as_user "$prefix" "$home" wineserver -w
    [ -f "$prefix/system.reg" ] || { echo "wineboot left no registry in $prefix" >&2; return 1; }

    WINE_PROFILE=$prefix/drive_c/users/$WINE_USER
    [ -d "$WINE_PROFILE" ] || { echo "no profile folder $WINE_PROFILE" >&2; return 1; }
    # A new prefix links the shell folders to $HOME, so the desktop and the download folder would
    # be one folder: the launcher must tell them apart. Each becomes a plain folder of its own.
    local link
    for link in "$WINE_PROFILE"/*; do
        if [ -L "$link" ]; then
            rm -f "$link" && mkdir "$link" || { echo "cannot replace $link" >&2; return 1; }
        fi
    done
    # Debian's Wine does not look in fonts-wine's folder: without Marlett the close box shows an "r".
    [ ! -f /usr/share/wine/fonts/marlett.ttf ] || cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
    wine_give "$WINE_PROFILE" "$prefix/drive_c/windows/Fonts"

    for reg_file in "$WINE_LIB_DIR/prefix.reg" $extra; do
        cp "$reg_file" "$prefix/drive_c/tavro-settings.reg" && wine_give "$prefix/drive_c/tavro-settings.reg"
        wine_as_user "$prefix" "$home" wine regedit /S 'C:\tavro-settings.reg' >>"$log" 2>&1 ||
            { echo "regedit $reg_file failed" >&2; return 1; }
        rm -f "$prefix/drive_c/tavro-settings.reg"
    done
    wine_as_user "$prefix" "$home" wineserver -w
}

# --- A private X server ---------------------------------------------------------------------------
# wine_start_xvfb FOLDER [WIDTHxHEIGHT]: starts Xvfb on a free display unless DISPLAY is set;
# wine_wait_xvfb then sets DISPLAY. Starting and waiting apart lets a caller work meanwhile.
wine_start_xvfb() {
    WINE_XVFB_PID=
    WINE_XVFB_DIR=$1
    [ -z "${DISPLAY:-}" ] || return 0
    : >"$WINE_XVFB_DIR/xvfb-display"
    Xvfb -displayfd 3 -ac -nolisten tcp -dpi 96 -screen 0 "${2:-1280x1024}x24" 3>"$WINE_XVFB_DIR/xvfb-display" \
        >"$WINE_XVFB_DIR/xvfb.log" 2>&1 &
    WINE_XVFB_PID=$!
}

wine_wait_xvfb() {
    [ -n "${WINE_XVFB_PID:-}" ] || return 0
    local waited=0
    while ! grep -q '[0-9]' "$WINE_XVFB_DIR/xvfb-display" 2>/dev/null; do
        if ! kill -0 "$WINE_XVFB_PID" 2>/dev/null || [ "$waited" -ge 100 ]; then
            echo "Xvfb did not start:" >&2
            cat "$WINE_XVFB_DIR/xvfb.log" >&2
            return 1
        fi
        sleep 0.05
        waited=$((waited + 1))
    done
    DISPLAY=:$(tr -dc '0-9' <"$WINE_XVFB_DIR/xvfb-display")
    export DISPLAY
}

wine_stop_xvfb() {
    if [ -n "${WINE_XVFB_PID:-}" ]; then
        kill "$WINE_XVFB_PID" 2>/dev/null
        wait "$WINE_XVFB_PID" 2>/dev/null
        WINE_XVFB_PID=
    fi
}
