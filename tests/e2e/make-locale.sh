#!/bin/bash
# Compiles the ja_JP.UTF-8 locale into a private folder (LOCPATH), so Wine can run with the
# Japanese ANSI code page without installing a locale system-wide.
#   make-locale.sh FOLDER
set -u
folder=${1:?locale folder}
mkdir -p "$folder"
if [ ! -f "$folder/ja_JP.UTF-8/LC_CTYPE" ]; then
    # localedef exits 1 for mere warnings; the check below decides.
    localedef -i ja_JP -f UTF-8 "$folder/ja_JP.UTF-8" || true
fi
chmod -R a+rX "$folder"
charmap=$(LOCPATH=$folder LC_ALL=ja_JP.UTF-8 locale charmap 2>&1)
if [ "$charmap" != UTF-8 ] || [ ! -f "$folder/ja_JP.UTF-8/LC_CTYPE" ]; then
    echo "ja_JP.UTF-8 is not usable from $folder (locale charmap said: $charmap)" >&2
    exit 1
fi
echo "ja_JP.UTF-8 ready in $folder"
