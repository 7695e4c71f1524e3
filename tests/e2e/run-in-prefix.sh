#!/bin/bash
# Runs the end-to-end driver in a fresh copy of the template prefix, with its own HOME and,
# unless DISPLAY is set, its own Xvfb; removes all of it afterwards and exits with the driver's code.
#   run-in-prefix.sh --pointer FILE --stage DIR --tavro EXE --shipped EXE --resources DIR -- DRIVER-ARGS...
# EXE is the build under test; the shipped 32-bit Tavro.exe goes beside it for the checks that
# read the file itself.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/wine/wine-lib.sh"
wine_pick_user

pointer= stage= tavro= shipped= resources=
while [ $# -gt 0 ]; do
    case "$1" in
        --pointer) pointer=$2; shift 2 ;;
        --stage) stage=$2; shift 2 ;;
        --tavro) tavro=$2; shift 2 ;;
        --shipped) shipped=$2; shift 2 ;;
        --resources) resources=$2; shift 2 ;;
        --) shift; break ;;
        *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done
# The driver must finish (and we must clean up) well inside ctest's own timeout.
bound=${TAVRO_E2E_BOUND:-45}

[ -f "$pointer" ] || { echo "no prefix template (run the e2e.prefix.create fixture): $pointer" >&2; exit 2; }
template=$(sed -n 's/^template=//p' "$pointer")
[ -d "$template/prefix" ] || { echo "prefix template $template is gone" >&2; exit 2; }
wine_use "$(sed -n 's/^bits=//p' "$pointer")" || exit 2
[ -f "$tavro" ] || { echo "no program to test: $tavro" >&2; exit 2; }
[ -f "$shipped" ] || { echo "no shipped 32-bit Tavro.exe to read: $shipped (build the windows preset)" >&2; exit 2; }
[ -f "$stage/tavro_e2e.exe" ] || { echo "no driver: $stage/tavro_e2e.exe (build first)" >&2; exit 2; }

work=
cleanup() {
    trap - EXIT INT TERM HUP
    if [ -n "$work" ] && [ -d "$work/prefix" ]; then
        wine_end_prefix "$work/prefix" "$work/home"
    fi
    wine_stop_xvfb
    [ -n "$work" ] && rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

work=$(mktemp -d "${TMPDIR:-/tmp}/tavro-e2e-run.XXXXXX") || exit 2
chmod 755 "$work"
wine_start_xvfb "$work"
cp -a "$template/prefix" "$work/prefix" || exit 2
mkdir "$work/home"

# Everything the test needs lives inside the prefix, so nothing depends on the build folder
# being readable by the Wine user.
root=$work/prefix/drive_c/tavro-e2e
mkdir "$root"
cp -a "$stage/." "$root/" || exit 2
cp "$tavro" "$root/Tavro.exe" || exit 2
mkdir "$root/shipped" && cp "$shipped" "$root/shipped/Tavro.exe" || exit 2
if [ -d "$resources" ]; then
    cp -a "$resources" "$root/resources" || exit 2
fi
wine_give "$work/home" "$root"

# A private locale folder may sit where the Wine user cannot read it.
if [ -n "${LOCPATH:-}" ] && [ "$(id -u)" -eq 0 ]; then
    cp -a "$LOCPATH" "$work/locale" && wine_give "$work/locale" && export LOCPATH="$work/locale"
fi

wine_wait_xvfb || exit 2

cd "$work" || exit 2
wine_as_user "$work/prefix" "$work/home" timeout -k 5 "$bound" "$WINE_LOADER" 'C:\tavro-e2e\tavro_e2e.exe' "$@"
rc=$?
if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    echo "run-in-prefix: the driver did not finish within $bound s" >&2
fi
exit "$rc"
