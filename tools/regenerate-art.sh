#!/usr/bin/env bash
# Redraws every picture and the icon in resources/ with the generator (tools/artgen), after a
# change to how one is drawn, and says which files changed. The Windows build embeds resources/
# as committed, so this is the one step between a change in tools/artgen and the program.
# Then: the tests in tests/art state the design on their own and say which fact to follow
# (ctest --preset host -R art), and tools/screenshot.sh --docs retakes the README's pictures.
set -euo pipefail
cd "$(dirname "$0")/.."

[ -f build/host/build.ninja ] || cmake --preset host >/dev/null
cmake --build --preset host --target tavro_artgen
build/host/tools/artgen/tavro_artgen resources
git status --short -- resources
