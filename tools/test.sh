#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: the unit and picture tests
# natively; then, under Wine, the end-to-end suite against the 64-bit build (every host) and the
# 32-bit build (where 32-bit programs run), with the checks of the file itself always reading the
# shipped 32-bit Tavro.exe; and the linters.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine/wine-lib.sh

tools/install-deps.sh

cmake --preset host
cmake --build --preset host
ctest --preset host

# The 32-bit build is what users get; the 64-bit build reads it for the checks of the file.
for preset in windows windows-x64; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
done

ctest --preset windows-x64 --parallel "$(nproc)"
if wine_runs_32bit; then
    ctest --preset windows --parallel "$(nproc)"
else
    echo "e2e32: not run: this host cannot run 32-bit programs ($(wine_why_not_32bit)); e2e64 ran the suite on the 64-bit build"
    ctest --preset windows --parallel "$(nproc)" --label-exclude wine
fi
