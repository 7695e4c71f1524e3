#!/bin/bash
# Makes (create) or deletes (remove) the Wine prefix that every end-to-end test starts from a
# copy of. POINTER is a file that records where the template lives.
#   prefix-template.sh create --bits 32|64 POINTER SETTINGS.reg
#   prefix-template.sh remove POINTER
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/wine/wine-lib.sh"
wine_pick_user

action=${1:?create or remove}
shift
bits=
if [ "${1:-}" = --bits ]; then
    bits=$2
    shift 2
fi
pointer=${1:?pointer file}

remove_listed() {
    if [ -f "$pointer" ]; then
        old=$(sed -n 's/^template=//p' "$pointer")
        case "$old" in
            */tavro-e2e-template.*) rm -rf "$old" ;;
        esac
        rm -f "$pointer"
    fi
}

if [ "$action" = remove ]; then
    remove_listed
    exit 0
fi
[ "$action" = create ] || { echo "unknown action $action" >&2; exit 2; }
settings=$(realpath "${2:?settings .reg file}")
wine_use "${bits:?--bits 32 or 64}" || exit 2

fail() {
    echo "prefix template: $*" >&2
    if [ -n "${base:-}" ]; then
        wine_end_prefix "$base/prefix" "$base/home"
        rm -rf "$base"
    fi
    exit 1
}

remove_listed
base=$(mktemp -d "${TMPDIR:-/tmp}/tavro-e2e-template.XXXXXX") || fail "no temp folder"
chmod 755 "$base"
prefix=$base/prefix
home=$base/home
w() { wine_as_user "$prefix" "$home" "$@"; }

SECONDS=0
cd "$base" || fail "cannot enter $base"
echo "$("$WINE_LOADER" --version) ($WINE_LOADER, WINEARCH=$WINEARCH) for the $bits-bit build"
wine_make_prefix "$prefix" "$home" "$base/wineboot.log" "$settings" || { cat "$base/wineboot.log" >&2; fail "no prefix"; }

# Read every setting back through Wine itself.
expect_value() {  # KEY VALUE-NAME-ARG EXPECTED-TEXT
    out=$(w wine reg query "$1" $2 2>/dev/null | tr -d '\r')
    printf '%s\n' "$out" | grep -qF -- "$3" || fail "$1 $2: expected \"$3\"; reg query says: $out"
}
expect_absent() {
    if w wine reg query "$1" >/dev/null 2>&1; then
        fail "$1 should not exist"
    fi
}
recorder='"C:\tavro-e2e\url_recorder.exe" "%1"'
expect_value 'HKLM\Software\Classes\http\shell\open\command' /ve "$recorder"
expect_value 'HKLM\Software\Classes\https\shell\open\command' /ve "$recorder"
expect_absent 'HKCU\Software\Classes\http'
expect_absent 'HKCU\Software\Classes\https'
expect_value 'HKCU\Software\Wine\X11 Driver' '/v Managed' 'N'
expect_value 'HKCU\Software\Wine\WineDbg' '/v ShowCrashDialog' '0x0'
expect_value 'HKCU\Software\Wine\Explorer' '/v Desktop' 'Default'
expect_value 'HKCU\Software\Wine\Explorer\Desktops' '/v Default' '1024x768'
w wineserver -w
for folder in Desktop Downloads Documents; do
    [ -d "$WINE_PROFILE/$folder" ] && [ ! -L "$WINE_PROFILE/$folder" ] || fail "$WINE_PROFILE/$folder is not a plain folder"
done

# Most of the prefix is copies of Wine's own DLLs; links to the installed files (which the
# Wine user cannot write) make the per-test copy take a fraction of a second instead of seconds.
dll_dirs=$(ls -d /usr/lib/*/wine/*-windows /usr/lib/wine/*-windows /usr/lib64/wine/*-windows 2>/dev/null)
if [ -n "$dll_dirs" ]; then
    find "$prefix/drive_c/windows" -type f \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' \
        -o -iname '*.sys' -o -iname '*.ocx' -o -iname '*.acm' -o -iname '*.cpl' -o -iname '*.tlb' \) -print0 |
        while IFS= read -r -d '' file; do
            name=$(basename "$file")
            for dir in $dll_dirs; do
                if [ -f "$dir/$name" ] && cmp -s "$file" "$dir/$name"; then
                    ln -sf "$dir/$name" "$file"
                    break
                fi
            done
        done
fi

printf 'template=%s\nuser=%s\nbits=%s\n' "$base" "$WINE_USER" "$bits" >"$pointer"
echo "prefix template ready in $base for user $WINE_USER ($(du -sh "$prefix" | cut -f1), ${SECONDS} s)"
