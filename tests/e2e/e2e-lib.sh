# Sourced by the end-to-end scripts: who Wine runs as, its environment, and a private X server.

# Wine run as root ignores read-only files, so as root we run it as nobody instead.
e2e_pick_user() {
    if [ "$(id -u)" -eq 0 ]; then
        E2E_UID=$(id -u nobody)
        E2E_GID=$(id -g nobody)
        E2E_USER=nobody
    else
        E2E_UID=$(id -u)
        E2E_GID=$(id -g)
        E2E_USER=$(id -un)
    fi
}

# Hands a folder we made over to the user Wine runs as.
e2e_give() {
    if [ "$(id -u)" -eq 0 ]; then
        chown -R "$E2E_UID:$E2E_GID" "$@"
    fi
}

# e2e_wine PREFIX HOME COMMAND...: runs COMMAND as the Wine user with a clean Wine environment.
# Extra variables (LC_ALL, LOCPATH, TAVRO_E2E_*) pass through from the caller.
e2e_wine() {
    _prefix=$1
    _home=$2
    shift 2
    set -- env -u XDG_RUNTIME_DIR -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u WINEARCH \
        WINEPREFIX="$_prefix" HOME="$_home" USER="$E2E_USER" LOGNAME="$E2E_USER" \
        WINEDEBUG="${TAVRO_E2E_WINEDEBUG:--all}" \
        WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d" \
        "$@"
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid="$E2E_UID" --regid="$E2E_GID" --clear-groups "$@"
    else
        "$@"
    fi
}

# e2e_end_prefix PREFIX HOME: ends every process of that prefix. (They may linger a moment as
# zombies until PID 1 reaps them; they are already dead.)
e2e_end_prefix() {
    e2e_wine "$1" "$2" wineserver -k >/dev/null 2>&1
}

# Starts Xvfb on a free display when none is given (e2e_wait_xvfb then sets DISPLAY).
e2e_start_xvfb() {
    E2E_XVFB_PID=
    E2E_XVFB_DIR=$1
    if [ -n "${DISPLAY:-}" ]; then
        return 0
    fi
    : >"$E2E_XVFB_DIR/xvfb-display"
    Xvfb -displayfd 3 -ac -nolisten tcp -screen 0 1280x1024x24 3>"$E2E_XVFB_DIR/xvfb-display" \
        >"$E2E_XVFB_DIR/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
}

e2e_wait_xvfb() {
    [ -z "${E2E_XVFB_PID:-}" ] && return 0
    _waited=0
    while ! grep -q '[0-9]' "$E2E_XVFB_DIR/xvfb-display" 2>/dev/null; do
        if ! kill -0 "$E2E_XVFB_PID" 2>/dev/null || [ "$_waited" -ge 100 ]; then
            echo "Xvfb did not start:" >&2
            cat "$E2E_XVFB_DIR/xvfb.log" >&2
            return 1
        fi
        sleep 0.05
        _waited=$((_waited + 1))
    done
    DISPLAY=:$(tr -dc '0-9' <"$E2E_XVFB_DIR/xvfb-display")
    export DISPLAY
}

e2e_stop_xvfb() {
    if [ -n "${E2E_XVFB_PID:-}" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
        E2E_XVFB_PID=
    fi
}
