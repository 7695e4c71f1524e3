#!/usr/bin/env bash
# Installs what building and testing Tavro needs on Debian 12: the mingw-w64 cross compiler,
# Wine (32-bit) with Xvfb, GoogleTest, the artwork generator's libraries and fonts, and the linters.
# Does nothing when everything is already there.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config python3 googletest libgtest-dev
    g++-mingw-w64-i686-win32 binutils-mingw-w64-i686
    wine wine32:i386 fonts-wine xvfb xauth x11-utils xdotool imagemagick locales util-linux
    libcairo2-dev libpango1.0-dev fonts-noto-cjk
    clang-format clang-tidy cppcheck
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
