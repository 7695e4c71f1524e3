#!/usr/bin/env bash
# Reruns end-to-end cases in seconds: builds what changed, keeps the template Wine prefix between
# runs (making it only when it is missing or older than its settings), and runs the cases that
# match REGEX without the fixtures that would make and remove the template each time.
# Usage: tools/e2e-case.sh [--32] REGEX [ctest arguments...]
#        tools/e2e-case.sh [--32] --drop        removes the kept template
# Example: tools/e2e-case.sh 'e2e64\.CopyWaiting\.'   (--32: the e2e32 cases of the 32-bit build)
set -euo pipefail
cd "$(dirname "$0")/.."

preset=windows-x64
if [ "${1:-}" = --32 ]; then
    preset=windows
    shift
fi
[ $# -ge 1 ] || { sed -n '2,7s/^# \{0,1\}//p' "$0" >&2; exit 2; }
build=build/$preset
pointer=$build/tests/e2e/prefix-template.txt
bits=64
[ "$preset" = windows ] && bits=32

if [ "$1" = --drop ]; then
    tests/e2e/prefix-template.sh remove "$pointer"
    exit 0
fi

# The 64-bit suite's file checks read the shipped 32-bit file, so that one is kept current too.
[ -f build/windows/build.ninja ] || cmake --preset windows >/dev/null
cmake --build --preset windows --target Tavro
[ -f "$build/build.ninja" ] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"

template=$(sed -n 's/^template=//p' "$pointer" 2>/dev/null || true)
stale=0
if [ -z "$template" ] || [ ! -d "$template" ]; then
    stale=1
else
    for source in tests/e2e/prefix-template.sh tests/e2e/prefix-settings.reg tools/wine/prefix.reg tools/wine/wine-lib.sh; do
        [ "$source" -nt "$pointer" ] && stale=1
    done
fi
if [ "$stale" = 1 ]; then
    echo "Making the template prefix for e2e$bits (kept for the next run; --drop removes it)"
    ctest --preset "$preset" -R "^e2e$bits\\.prefix\\.create\$" --output-on-failure >/dev/null ||
        { ctest --preset "$preset" -R "^e2e$bits\\.prefix\\.create\$" --output-on-failure; exit 1; }
fi

regex=$1
shift
# The locale fixture is cheap and the cp932 cases need it; the prefix fixtures are left out.
exec ctest --preset "$preset" -R "$regex" -FA "^e2e_prefix\$" "$@"
