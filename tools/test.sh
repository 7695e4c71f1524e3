#!/usr/bin/env bash
# Installs what is missing, builds both presets and runs every test: the unit and picture tests
# natively, then the linters and the end-to-end tests of Tavro.exe under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

cmake --preset host
cmake --build --preset host
ctest --preset host

cmake --preset windows
cmake --build --preset windows
ctest --preset windows --parallel "$(nproc)"
