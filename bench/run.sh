#!/usr/bin/env bash
# Start-up benchmarks of Tavro.exe under Wine, each beside two Win32 programs: a bare one that does only
# the visible job, and one that does the same required work as Tavro, as plainly as possible:
#   url     started from the desktop folder, how long until the ordering URL reaches the http handler;
#   window  started from the download folder, how long until its window is shown, painted and idle;
#   steps   both again, with the minimal programs grown step by step towards what Tavro does first
#           (COM apartment, hidden window, common controls 6), to show where Tavro's extra time goes.
# Usage: bench/run.sh [url] [window] [steps]        (url and window when none is named)
# Environment: BENCH_RUNS (default 30), BENCH_WARMUP (default 3), TAVRO_EXE (default build/windows/window/Tavro.exe),
#              BENCH_VIRTUAL_DESKTOP=1 to run inside a Wine virtual desktop (1024x768),
#              BENCH_KEEP=1 to keep the prefix, its HOME and the X server for a closer look afterwards,
#              BENCH_TRACE=1 to log, with timestamps, DLL loads and the calls that matter for start-up
#              (build/bench/trace-MODE.txt; the tracing itself slows every program down, so its figures
#              only tell where the time goes, not how much there is).
# Helpers are cross-built into build/bench/; everything runs in a throw-away Wine prefix that is removed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/bench
runs=${BENCH_RUNS:-30}
warmup=${BENCH_WARMUP:-3}
tavro=${TAVRO_EXE:-$root/build/windows/window/Tavro.exe}
url='http://www.tavro.example/tavrosite/gate?bn=varnoquill0&ul=mhp?mi=12345'
# Tavro over the program doing the same work, as a ratio of medians.
same_work_target=1.05

modes=("$@")
[ ${#modes[@]} -gt 0 ] || modes=(url window)
for mode in "${modes[@]}"; do
    case $mode in
        url | window | steps) ;;
        *) echo "unknown benchmark: $mode (url, window or steps)" >&2; exit 2 ;;
    esac
done

# --- Build -------------------------------------------------------------------------------------------------------
if [ ! -f "$tavro" ]; then
    echo "Building Tavro.exe (windows preset)"
    (cd "$root" && cmake --preset windows >/dev/null && cmake --build --preset windows --target Tavro)
fi

# Same flags as Tavro.exe: MinSizeRel (-Os), stripped, static C and C++ runtimes, wide entry points.
cxx=i686-w64-mingw32-g++-win32
flags=(-std=c++17 -Os -s -static -static-libgcc -static-libstdc++ -municode
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Werror
    -D_WIN32_WINNT=0x0A00 -DUNICODE -D_UNICODE)
mkdir -p "$out"
# build_helper OUTPUT SOURCE SUBSYSTEM [more compiler arguments]
build_helper() {
    local name=$1 source=$root/bench/src/$2.cpp subsystem=$3
    shift 3
    local target=$out/$name.exe stale=0 argument
    [ -f "$target" ] && [ ! "$source" -nt "$target" ] && [ ! "$0" -nt "$target" ] || stale=1
    for argument in "$@"; do
        [ ! -f "$argument" ] || [ ! "$argument" -nt "$target" ] || stale=1
    done
    if [ $stale = 1 ]; then
        "$cxx" "${flags[@]}" "$subsystem" "$source" -o "$target" "$@"
    fi
}
# Tavro's own resources (pictures, icon, version record, both manifests) for the same-work programs.
resources_object=$out/tavro_resources.o
if [ ! -f "$resources_object" ] || [ -n "$(find "$root/resources" -newer "$resources_object" -print -quit)" ]; then
    i686-w64-mingw32-windres -I "$root/resources" "$root/resources/tavro.rc" -O coff -o "$resources_object"
fi
build_helper bench_driver bench_driver -mconsole
build_helper url_recorder url_recorder -mwindows
build_helper min_url min_url -mwindows "-DBENCH_URL=L\"$url\"" -lshell32
build_helper min_window min_window -mwindows -luser32 -lgdi32
build_helper same_url same_url -mwindows "-DBENCH_URL=L\"$url\"" "$resources_object" -lole32 -lshell32
build_helper same_window same_window -mwindows "-I$root" "$resources_object" -lshell32 -lgdi32
if [[ " ${modes[*]} " == *" steps "* ]]; then
    # The manifest that holds the common controls 6, as the process's own, so that the last steps
    # get them (Tavro itself asks for them only around its message boxes).
    manifest_object=$out/common_controls_manifest.o
    if [ ! -f "$manifest_object" ] || [ "$root/resources/message-boxes.manifest" -nt "$manifest_object" ]; then
        printf '1 24 "%s"\n' "$root/resources/message-boxes.manifest" >"$out/common_controls_manifest.rc"
        i686-w64-mingw32-windres "$out/common_controls_manifest.rc" -O coff -o "$manifest_object"
    fi
    url_define="-DBENCH_URL=L\"$url\""
    build_helper url_com url_steps -mwindows "$url_define" -DSTEP_COM -lole32 -lshell32
    build_helper url_window url_steps -mwindows "$url_define" -DSTEP_WINDOW -lshell32
    build_helper url_com_window url_steps -mwindows "$url_define" -DSTEP_COM -DSTEP_WINDOW -lole32 -lshell32
    build_helper url_com_window_cc6 url_steps -mwindows "$url_define" -DSTEP_COM -DSTEP_WINDOW -DSTEP_BUTTON \
        "$manifest_object" -lole32 -lshell32
    build_helper window_com window_steps -mwindows -DSTEP_COM -lole32 -lgdi32
    build_helper window_com_buttons_cc6 window_steps -mwindows -DSTEP_COM -DSTEP_BUTTONS "$manifest_object" \
        -lole32 -lgdi32
fi

# --- A fresh prefix, its own HOME, and an X server if there is none -------------------------------------------------
work=$(mktemp -d /tmp/tavro-bench.XXXXXX)
xvfb_pid=""
cleanup() {
    if [ "${BENCH_KEEP:-0}" = 1 ]; then
        echo "Kept: HOME=$HOME WINEPREFIX=$WINEPREFIX DISPLAY=$DISPLAY${xvfb_pid:+ (Xvfb pid $xvfb_pid)}"
        return
    fi
    wineserver -k >/dev/null 2>&1 || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

. "$root/tools/wine-prefix.sh"
wine_env "$work"
if [ -z "${DISPLAY:-}" ]; then
    start_xvfb "$work"
fi

echo "Creating the Wine prefix"
make_user_prefix
wineserver -p >/dev/null 2>&1 # keep one server for the whole run
bench_dir=$WINEPREFIX/drive_c/bench
mkdir -p "$bench_dir"
cp "$out/bench_driver.exe" "$out/url_recorder.exe" "$bench_dir/"
cp "$tavro" "$user_dir/Desktop/Tavro_12345.exe"
cp "$out/min_url.exe" "$out/same_url.exe" "$user_dir/Desktop/"
cp "$tavro" "$user_dir/Downloads/Tavro_12345.exe"
cp "$out/min_window.exe" "$out/same_window.exe" "$user_dir/Downloads/"
if [[ " ${modes[*]} " == *" steps "* ]]; then
    cp "$out"/url_com*.exe "$out/url_window.exe" "$user_dir/Desktop/"
    cp "$out"/window_com*.exe "$user_dir/Downloads/"
fi

{
    printf 'REGEDIT4\n\n'
    for scheme in http https; do
        printf '[-HKEY_CURRENT_USER\\Software\\Classes\\%s]\n\n' "$scheme"
        printf '[HKEY_LOCAL_MACHINE\\Software\\Classes\\%s\\shell\\open\\command]\n' "$scheme"
        printf '@="\\"C:\\\\bench\\\\url_recorder.exe\\" \\"C:\\\\bench\\\\record.txt\\" \\"%%1\\""\n\n'
    done
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n\n'
    printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:00000060\n\n'
    if [ "${BENCH_TRACE:-0}" = 1 ]; then
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Debug]\n"RelayInclude"="%s"\n\n' \
            "${BENCH_RELAY-combase.CoInitializeEx;user32.CreateWindowExW;user32.GetClassInfoExW;user32.ShowWindow;user32.UpdateWindow;user32.GetMessageW;shell32.SHGetFolderPathW;shell32.ShellExecuteExW;shell32.ShellExecuteW}"
    fi
    if [ "${BENCH_VIRTUAL_DESKTOP:-0}" = 1 ]; then
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\n"Desktop"="Default"\n\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\n"Default"="1024x768"\n\n'
    fi
} >"$work/bench.reg"
wine regedit /S "$(sed 's|/|\\|g' <<<"Z:$work/bench.reg")" >/dev/null 2>&1

# --- Runs ------------------------------------------------------------------------------------------------------------
win_user='C:\users\'"$user"
raw_dir='Z:'$(sed 's|/|\\|g' <<<"$out")
echo "Tavro.exe: $tavro ($(date -r "$tavro" '+%Y-%m-%d %H:%M'))"
echo "$(wine --version), $(nproc) cores, DISPLAY=$DISPLAY, virtual desktop: ${BENCH_VIRTUAL_DESKTOP:-0}"
driver() {
    if [ "${BENCH_TRACE:-0}" = 1 ]; then
        WINEDEBUG=+timestamp,+pid,+loaddll,+relay wine 'C:\bench\bench_driver.exe' "$@" 2>>"$out/trace-$mode.txt"
    else
        wine 'C:\bench\bench_driver.exe' "$@"
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
                --raw "$raw_dir\\url.csv" \
                "Tavro (desktop)=$win_user\\Desktop\\Tavro_12345.exe" \
                "minimal ShellExecuteW=$win_user\\Desktop\\min_url.exe" \
                "same work=$win_user\\Desktop\\same_url.exe" || status=1
            ;;
        window)
            driver window --runs "$runs" --warmup "$warmup" \
                --target "same work=$same_work_target" --raw "$raw_dir\\window.csv" \
                "Tavro (downloads)=$win_user\\Downloads\\Tavro_12345.exe" \
                "minimal window=$win_user\\Downloads\\min_window.exe" \
                "same work=$win_user\\Downloads\\same_window.exe" || status=1
            ;;
        steps)
            driver url --runs "$runs" --warmup "$warmup" \
                --record 'C:\bench\record.txt' --url "$url" --raw "$raw_dir\\url-steps.csv" \
                "Tavro (desktop)=$win_user\\Desktop\\Tavro_12345.exe" \
                "minimal ShellExecuteW=$win_user\\Desktop\\min_url.exe" \
                "+ COM=$win_user\\Desktop\\url_com.exe" \
                "+ hidden window=$win_user\\Desktop\\url_window.exe" \
                "+ COM + hidden window=$win_user\\Desktop\\url_com_window.exe" \
                "+ COM + window + cc6 Button=$win_user\\Desktop\\url_com_window_cc6.exe" || status=1
            echo
            driver window --runs "$runs" --warmup "$warmup" \
                --raw "$raw_dir\\window-steps.csv" \
                "Tavro (downloads)=$win_user\\Downloads\\Tavro_12345.exe" \
                "minimal window=$win_user\\Downloads\\min_window.exe" \
                "+ COM=$win_user\\Downloads\\window_com.exe" \
                "+ COM + cc6 buttons=$win_user\\Downloads\\window_com_buttons_cc6.exe" || status=1
            ;;
    esac
done
echo
echo "Every sample: $out/*.csv"
exit $status
