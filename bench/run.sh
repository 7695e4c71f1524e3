#!/usr/bin/env bash
# Start-up benchmarks of Tavro.exe under Wine, each beside two Win32 programs: a bare one that does only
# the visible job, and one that does the same required work as Tavro, as plainly as possible:
#   url     started from the desktop folder, how long until the ordering URL reaches the http handler;
#   window  started from the download folder, how long until its window is shown, painted and idle;
#   steps   both again, with the minimal programs grown one step at a time (a COM apartment, a hidden
#           window, push buttons of the system's class under the common-controls 6 manifest), to show what
#           each such step costs under Wine; src/*_steps.cpp say which of them Tavro takes today;
#   dpi     the window start of Tavro and of its same-work program at 96 dpi and at a scaled dpi, all four
#           in turns in one prefix: Tavro scaled against Tavro unscaled, and each against the same work.
# Usage: bench/run.sh [url] [window] [steps] [dpi]  (url and window when none is named)
# Runs the shipped 32-bit build where this host runs 32-bit programs, the 64-bit build elsewhere
# (BENCH_BITS=64 runs the 64-bit build here too).
# Environment: BENCH_RUNS (default 30), BENCH_WARMUP (default 3), TAVRO_EXE (default: that build's Tavro.exe),
#              BENCH_DPI (default 96): the prefix's screen resolution, at which every program starts (dpi mode:
#              the scaled one, 144 when this is 96),
#              BENCH_VIRTUAL_DESKTOP=1 to run inside a Wine virtual desktop (1024x768),
#              BENCH_KEEP=1 to keep the prefix, its HOME and the X server for a closer look afterwards,
#              BENCH_TRACE=1 to log, with timestamps, DLL loads and the calls that matter for start-up
#              (build/<preset>/bench/trace-MODE.txt; the tracing itself slows every program down, so its figures
#              only tell where the time goes, not how much there is).
# The comparison programs are the preset's bench_programs target (bench/CMakeLists.txt); everything runs in a throw-away Wine prefix that is removed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/tools/wine/wine-lib.sh"
# The shipped 32-bit build where this host runs 32-bit programs, the 64-bit build elsewhere.
case ${BENCH_BITS:-} in
    "") wine_use_best ;;
    32 | 64) wine_use "$BENCH_BITS" ;;
    *) echo "BENCH_BITS: 32 or 64, not '$BENCH_BITS'" >&2; exit 2 ;;
esac
runs=${BENCH_RUNS:-30}
warmup=${BENCH_WARMUP:-3}
tavro=${TAVRO_EXE:-$WINE_BUILD_DIR/window/Tavro.exe}
out=$WINE_BUILD_DIR/bench
programs=$out/programs
# Tavro over the program doing the same work, as a ratio of medians.
same_work_target=1.05
# Tavro scaled over Tavro at 96 dpi, as a ratio of medians.
scaled_target=1.15
dpi=${BENCH_DPI:-96}
[[ $dpi =~ ^[1-9][0-9]*$ ]] || { echo "BENCH_DPI: not a dpi: $dpi" >&2; exit 2; }
scaled_dpi=$dpi
[ "$scaled_dpi" != 96 ] || scaled_dpi=144
# Samples at another resolution than 96 dpi go to files of their own.
csv_suffix=
[ "$dpi" = 96 ] || csv_suffix=-${dpi}dpi

modes=("$@")
[ ${#modes[@]} -gt 0 ] || modes=(url window)
for mode in "${modes[@]}"; do
    case $mode in
        url | window | steps | dpi) ;;
        *) echo "unknown benchmark: $mode (url, window, steps or dpi)" >&2; exit 2 ;;
    esac
done

# --- Build: Tavro and the comparison programs, for the same architecture -------------------------------------------
(cd "$root" && cmake --preset "$WINE_PRESET" >/dev/null &&
    cmake --build --preset "$WINE_PRESET" --target Tavro bench_programs >/dev/null)
url=$(head -n 1 "$out/bench-url.txt")

# --- A fresh prefix, its own HOME, and an X server if there is none -------------------------------------------------
wine_pick_user
work=$(mktemp -d /tmp/tavro-bench.XXXXXX)
chmod 755 "$work"
cleanup() {
    if [ "${BENCH_KEEP:-0}" = 1 ]; then
        echo "Kept: HOME=$work/home WINEPREFIX=$work/prefix DISPLAY=$DISPLAY${WINE_XVFB_PID:+ (Xvfb pid $WINE_XVFB_PID)}"
        return
    fi
    wine_end_prefix "$work/prefix" "$work/home" || true
    wine_stop_xvfb
    rm -rf "$work"
}
trap cleanup EXIT
w() { wine_as_user "$work/prefix" "$work/home" "$@"; }

wine_start_xvfb "$work" 1024x768
echo "Creating the Wine prefix"
{
    printf 'REGEDIT4\n\n'
    for scheme in http https; do
        printf '[-HKEY_CURRENT_USER\\Software\\Classes\\%s]\n\n' "$scheme"
        printf '[HKEY_LOCAL_MACHINE\\Software\\Classes\\%s\\shell\\open\\command]\n' "$scheme"
        printf '@="\\"C:\\\\bench\\\\url_recorder.exe\\" \\"C:\\\\bench\\\\record.txt\\" \\"%%1\\""\n\n'
    done
    if [ "${BENCH_TRACE:-0}" = 1 ]; then
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Debug]\n"RelayInclude"="%s"\n\n' \
            "${BENCH_RELAY-combase.CoInitializeEx;user32.CreateWindowExW;user32.GetClassInfoExW;user32.ShowWindow;user32.UpdateWindow;user32.GetMessageW;shell32.SHGetFolderPathW;shell32.ShellExecuteExW;shell32.ShellExecuteW}"
    fi
    # Wine takes the resolution from here, not from the X server, when each process starts.
    printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n\n' "$dpi"
    if [ "${BENCH_VIRTUAL_DESKTOP:-0}" = 1 ]; then
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="Default"\n\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"Default"="1024x768"\n\n'
    fi
} >"$work/bench.reg"
wine_make_prefix "$work/prefix" "$work/home" "$work/wineboot.log" "$work/bench.reg" ||
    { cat "$work/wineboot.log" >&2; exit 1; }
wine_wait_xvfb
user=$WINE_USER
user_dir=$WINE_PROFILE
bench_dir=$work/prefix/drive_c/bench
mkdir -p "$bench_dir"
cp "$programs/driver.exe" "$programs/url_recorder.exe" "$bench_dir/"
cp "$tavro" "$user_dir/Desktop/Tavro_12345.exe"
cp "$programs/min_url.exe" "$programs/same_url.exe" "$user_dir/Desktop/"
cp "$tavro" "$user_dir/Downloads/Tavro_12345.exe"
cp "$programs/min_window.exe" "$programs/same_window.exe" "$user_dir/Downloads/"
if [[ " ${modes[*]} " == *" steps "* ]]; then
    cp "$programs"/url_com*.exe "$programs/url_window.exe" "$user_dir/Desktop/"
    cp "$programs"/window_com*.exe "$user_dir/Downloads/"
fi
wine_give "$bench_dir" "$user_dir"
# One server for the whole run, as a user's session has.
w wineserver -p >/dev/null 2>&1

# --- Runs ------------------------------------------------------------------------------------------------------------
win_user='C:\users\'"$user"
raw_dir='C:\bench'
echo "Tavro.exe: $tavro ($(date -r "$tavro" '+%Y-%m-%d %H:%M'))"
echo "$("$WINE_LOADER" --version) ($WINE_BITS-bit build), $(nproc) cores, DISPLAY=$DISPLAY, virtual desktop: ${BENCH_VIRTUAL_DESKTOP:-0}, $dpi dpi"
driver() {
    if [ "${BENCH_TRACE:-0}" = 1 ]; then
        TAVRO_E2E_WINEDEBUG=+timestamp,+pid,+loaddll,+relay w wine 'C:\bench\driver.exe' "$@" \
            2>>"$out/trace-$mode.txt"
    else
        w wine 'C:\bench\driver.exe' "$@"
    fi
}
[ "${BENCH_TRACE:-0}" != 1 ] || rm -f "$out"/trace-*.txt
status=0
for mode in "${modes[@]}"; do
    echo
    case $mode in
        url)
            driver url --runs "$runs" --warmup "$warmup" \
                --record 'C:\bench\record.txt' --url "$url" --target "same work=$same_work_target" \
                --raw "$raw_dir\\url$csv_suffix.csv" \
                "Tavro (desktop)=$win_user\\Desktop\\Tavro_12345.exe" \
                "minimal ShellExecuteW=$win_user\\Desktop\\min_url.exe" \
                "same work=$win_user\\Desktop\\same_url.exe" || status=1
            ;;
        window)
            driver window --runs "$runs" --warmup "$warmup" \
                --target "same work=$same_work_target" --raw "$raw_dir\\window$csv_suffix.csv" \
                "Tavro (downloads)=$win_user\\Downloads\\Tavro_12345.exe" \
                "minimal window=$win_user\\Downloads\\min_window.exe" \
                "same work=$win_user\\Downloads\\same_window.exe" || status=1
            ;;
        steps)
            driver url --runs "$runs" --warmup "$warmup" \
                --record 'C:\bench\record.txt' --url "$url" --steps --raw "$raw_dir\\url-steps$csv_suffix.csv" \
                "Tavro (desktop)=$win_user\\Desktop\\Tavro_12345.exe" \
                "minimal ShellExecuteW=$win_user\\Desktop\\min_url.exe" \
                "+ COM=$win_user\\Desktop\\url_com.exe" \
                "+ hidden window=$win_user\\Desktop\\url_window.exe" \
                "+ COM + hidden window=$win_user\\Desktop\\url_com_window.exe" \
                "+ COM + window + cc6 Button=$win_user\\Desktop\\url_com_window_cc6.exe" || status=1
            echo
            driver window --runs "$runs" --warmup "$warmup" \
                --steps --raw "$raw_dir\\window-steps$csv_suffix.csv" \
                "Tavro (downloads)=$win_user\\Downloads\\Tavro_12345.exe" \
                "minimal window=$win_user\\Downloads\\min_window.exe" \
                "+ COM=$win_user\\Downloads\\window_com.exe" \
                "+ COM + cc6 buttons=$win_user\\Downloads\\window_com_buttons_cc6.exe" || status=1
            ;;
        dpi)
            tavro_scaled="Tavro at $scaled_dpi dpi" same_scaled="same work at $scaled_dpi dpi"
            driver window --runs "$runs" --warmup "$warmup" \
                --target "Tavro at 96 dpi=$scaled_target" --target "$same_scaled=$same_work_target" \
                --compare "Tavro at 96 dpi/same work at 96 dpi" --compare "$same_scaled/same work at 96 dpi" \
                --raw "$raw_dir\\window-dpi-$scaled_dpi.csv" \
                --dpi "$scaled_dpi" "$tavro_scaled=$win_user\\Downloads\\Tavro_12345.exe" \
                --dpi 96 "Tavro at 96 dpi=$win_user\\Downloads\\Tavro_12345.exe" \
                --dpi "$scaled_dpi" "$same_scaled=$win_user\\Downloads\\same_window.exe" \
                --dpi 96 "same work at 96 dpi=$win_user\\Downloads\\same_window.exe" || status=1
            ;;
    esac
done
echo
cp "$bench_dir"/*.csv "$out/" 2>/dev/null || true
echo "Every sample: $out/*.csv"
exit $status
