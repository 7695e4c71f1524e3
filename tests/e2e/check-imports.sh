#!/bin/bash
# Lists every DLL a Windows program imports, delay imports included, and fails on any DLL
# outside the set every supported Windows has, and on a direct import of
# SetDefaultDllDirectories (absent from older kernel32s: the program would not start there).
#   check-imports.sh OBJDUMP PROGRAM.exe
#   check-imports.sh --expect-rejection "NAME..." OBJDUMP PROGRAM.exe
#       passes only if PROGRAM is rejected for every NAME (a DLL or a function) and nothing else.
set -u
here=$(cd "$(dirname "$0")" && pwd)

expected=
if [ "${1:-}" = --expect-rejection ]; then
    expected=$2
    shift 2
fi
objdump=${1:?objdump}
program=${2:?program}
allowed="kernel32.dll user32.dll gdi32.dll shell32.dll ole32.dll advapi32.dll msvcrt.dll"
forbidden_functions="SetDefaultDllDirectories"

dump=$("$objdump" -p "$program") || { echo "objdump could not read $program" >&2; exit 2; }
# "DLL<TAB>function" for the ordinary import table.
direct=$(printf '%s\n' "$dump" | awk '
    /^The Import Tables/ { inside = 1; next }
    /^The (Export|Delay|Function)|^PE File Base Relocations/ { inside = 0 }
    inside && /DLL Name:/ { dll = $3; next }
    inside && /vma:/ { next }
    inside && dll != "" && /^\t[0-9a-f]+\t/ { print dll "\t" $NF }
')
delayed=$(python3 "$here/pe-delay-imports.py" "$program") || { echo "cannot read the delay imports of $program" >&2; exit 2; }

report() {  # TITLE LINES
    echo "$1:"
    if [ -z "$2" ]; then
        echo "    (none)"
        return
    fi
    printf '%s\n' "$2" | cut -f1 | sort -f | uniq -ic | while read -r count dll; do
        [ "$count" -eq 1 ] && unit=function || unit=functions
        echo "    $dll ($count $unit)"
    done
}
echo "Imports of $(basename "$program")"
report "  DLLs imported" "$direct"
report "  DLLs delay-loaded" "$delayed"

problems=()
all=$(printf '%s\n%s\n' "$direct" "$delayed" | sed '/^$/d')
for dll in $(printf '%s\n' "$all" | cut -f1 | tr 'A-Z' 'a-z' | sort -u); do
    case " $allowed " in
        *" $dll "*) ;;
        *) problems+=("$dll") ;;
    esac
done
for function in $forbidden_functions; do
    if printf '%s\n' "$all" | cut -f2 | grep -qx "$function"; then
        problems+=("$function")
    fi
done

if [ -z "$expected" ]; then
    if [ ${#problems[@]} -eq 0 ]; then
        echo "OK: only $allowed"
        exit 0
    fi
    echo "REJECTED: ${problems[*]}"
    exit 1
fi

# Self-test mode: the rejection must name exactly what the test program was built to contain.
got=$(printf '%s\n' "${problems[@]}" | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
want=$(printf '%s\n' $expected | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
echo "expected rejection for: $want"
echo "rejected for:           $got"
[ "$got" = "$want" ]
