#!/usr/bin/env bash
# Formatting, clang-tidy and cppcheck over the product code. Usage: tools/lint.sh [format|tidy|cppcheck]...
# clang-tidy reads the Windows build's compile_commands.json (build/windows, or $TAVRO_WINDOWS_BUILD).
set -euo pipefail
cd "$(dirname "$0")/.."

build=${TAVRO_WINDOWS_BUILD:-build/windows}
product_dirs=(launcher platform window)
checks=("$@")
[ ${#checks[@]} -gt 0 ] || checks=(format tidy cppcheck)

run_format() {
    git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
    echo "clang-format: clean"
}

run_tidy() {
    local gcc_cxx
    gcc_cxx=$(ls -d /usr/lib/gcc/i686-w64-mingw32/*-win32/include/c++ | head -n 1)
    local sources
    mapfile -t sources < <(git ls-files -- "${product_dirs[@]/%//*.cpp}")
    [ -f "$build/compile_commands.json" ] || { echo "clang-tidy: no $build/compile_commands.json; build the windows preset first" >&2; return 1; }
    local output
    output=$(clang-tidy --quiet -p "$build" --extra-arg=--target=i686-w64-mingw32 \
        --extra-arg=-isystem"$gcc_cxx" --extra-arg=-isystem"$gcc_cxx/i686-w64-mingw32" \
        "${sources[@]}" 2>&1 || true)
    if grep -E 'warning:|error:|Error while' <<<"$output"; then
        echo "clang-tidy: findings above" >&2
        return 1
    fi
    echo "clang-tidy: clean (${#sources[@]} files)"
}

run_cppcheck() {
    cppcheck --error-exitcode=1 --enable=warning,style,performance,portability --inline-suppr --quiet \
        --std=c++17 --suppress=missingIncludeSystem -I . "${product_dirs[@]}"
    echo "cppcheck: clean"
}

for check in "${checks[@]}"; do
    "run_$check"
done
