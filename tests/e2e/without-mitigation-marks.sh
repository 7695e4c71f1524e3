#!/bin/bash
# Writes a copy of a 32- or 64-bit PE file that declares none of the mitigations the file checks
# look for (no DllCharacteristics flags, an empty base relocation directory), then runs the
# command after --, which is expected to read that copy and reject it.
#   without-mitigation-marks.sh PROGRAM.exe COPY.exe -- COMMAND...
set -euo pipefail
program=${1:?program}
copy=${2:?copy}
[ "${3:-}" = -- ] || { echo "usage: $0 PROGRAM.exe COPY.exe -- COMMAND..." >&2; exit 2; }
shift 3

u16() { od -An -tu2 -j "$1" -N 2 "$copy" | tr -d ' '; }
zero() { dd if=/dev/zero of="$copy" bs=1 seek="$1" count="$2" conv=notrunc status=none; }

cp "$program" "$copy"
nt=$(od -An -tu4 -j 60 -N 4 "$copy" | tr -d ' ')
optional=$((nt + 24))
case "$(u16 "$optional")" in
    267) directories=$((optional + 96)) ;;   # PE32
    523) directories=$((optional + 112)) ;;  # PE32+
    *) echo "$program: not a PE file with a known optional header" >&2; exit 2 ;;
esac
zero $((optional + 70)) 2              # DllCharacteristics
zero $((directories + 5 * 8 + 4)) 4    # the size of the base relocation directory
exec "$@"
