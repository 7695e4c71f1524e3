#!/usr/bin/env bash
# Installs what building and testing Tavro needs on Debian 12: the mingw-w64 cross compilers
# (i686 and x86_64), Wine with Xvfb, GoogleTest, the artwork generator's libraries and fonts, the
# release signing tools (with OpenSSL's PKCS#11 engine, and SoftHSM2 as the tests' token) and the
# linters. 64-bit Wine everywhere; 32-bit Wine (and the i386
# architecture) only where the kernel runs 32-bit programs. Does nothing when all is there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

packages=(
    cmake ninja-build g++ pkg-config python3 git googletest libgtest-dev
    g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 g++-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
    wine64 fonts-wine xvfb xauth x11-utils xdotool imagemagick locales util-linux
    libcairo2-dev libpango1.0-dev zlib1g-dev fonts-noto-cjk
    osslsigncode openssl libengine-pkcs11-openssl softhsm2
    clang-format clang-tidy cppcheck
)
# Wine's 32-bit loader is itself a 32-bit program: ask the kernel with a tiny one first.
if "$here/wine/runs-32bit-programs.sh"; then
    packages+=(wine wine32:i386)
fi

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
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
