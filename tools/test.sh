#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: the unit and picture tests
# natively; then, under Wine, the end-to-end suite against the 64-bit build (every host) and the
# 32-bit build (where 32-bit programs run), with the checks of the file itself always reading the
# shipped 32-bit Tavro.exe; and the linters.
#
# Every step runs even when an earlier one failed, so one failure never hides another. The run
# ends with a table of each step's passed, failed and not-run tests and the names of what failed,
# and exits non-zero if anything failed or did not run.
set -uo pipefail
cd "$(dirname "$0")/.."
. tools/wine/wine-lib.sh

results=$PWD/build/test-results
rm -rf "$results"
mkdir -p "$results"

# One line per step for the summary: name, junit file, what stopped it and how many tests it
# held, tab-separated; the last three may be empty.
steps=()
skipped_note=""

# build_preset PRESET: configures and builds it; false (and says so) when either fails.
build_preset() {
    cmake --preset "$1" && cmake --build --preset "$1" && return 0
    echo "test.sh: the $1 build failed" >&2
    return 1
}

# run_ctest STEP PRESET [ctest arguments]: runs the preset's tests, recording each one's outcome.
run_ctest() {
    local step=$1 preset=$2
    shift 2
    local junit=$results/$step.xml
    ctest --preset "$preset" --output-junit "$junit" "$@"
    if [ -s "$junit" ]; then
        steps+=("$step	$junit	")
    else
        steps+=("$step		ctest wrote no results")
    fi
}

# not_run STEP PRESET REASON: a step whose tests could not run at all; counts them where the
# preset was configured far enough to list them.
not_run() {
    local count
    count=$(ctest --preset "$2" -N 2>/dev/null | sed -n 's/^Total Tests: //p')
    steps+=("$1		$3	${count:-}")
}

tools/install-deps.sh || echo "test.sh: installing the dependencies failed; going on with what is there" >&2

if build_preset host; then
    run_ctest host host
else
    not_run host host "the host build failed"
fi

# The 32-bit build is what users get; the 64-bit build reads it for the checks of the file.
built_windows=0
built_windows_x64=0
build_preset windows && built_windows=1
build_preset windows-x64 && built_windows_x64=1

if [ "$built_windows_x64" = 1 ] && [ "$built_windows" = 1 ]; then
    run_ctest windows-x64 windows-x64 --parallel "$(nproc)"
else
    not_run windows-x64 windows-x64 "the windows or windows-x64 build failed"
fi

if [ "$built_windows" = 1 ]; then
    if wine_runs_32bit; then
        run_ctest windows windows --parallel "$(nproc)"
    else
        skipped_note="e2e32: not run: this host cannot run 32-bit programs ($(wine_why_not_32bit)); e2e64 ran the suite on the 64-bit build"
        echo "$skipped_note"
        run_ctest windows windows --parallel "$(nproc)" --label-exclude wine
    fi
else
    not_run windows windows "the windows build failed"
fi

summary_args=()
for step in "${steps[@]}"; do
    summary_args+=(--step "$step")
done
if [ -n "$skipped_note" ]; then
    # The tests a 64-bit-only host leaves out, counted so the closing line says how many.
    skipped_count=$(ctest --preset windows -N -L wine 2>/dev/null | sed -n 's/^Total Tests: //p')
    summary_args+=(--skipped "${skipped_count:-0}" --note "$skipped_note")
fi
python3 tools/test-summary.py "${summary_args[@]}"
