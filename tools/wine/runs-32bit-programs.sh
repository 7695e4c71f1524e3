#!/usr/bin/env bash
# Exits 0 when this host's kernel runs 32-bit x86 Linux programs, before any 32-bit package is
# installed: it writes and starts the smallest such program (84 bytes of ELF headers, then
# exit(0) through int 0x80). Where 32-bit emulation is off the start fails with "Exec format error".
set -u
probe=$(mktemp "${TMPDIR:-/tmp}/tavro-elf32.XXXXXX") || exit 2
trap 'rm -f "$probe"' EXIT
# ELF header (52 bytes), one loadable segment (32 bytes), then: xor ebx,ebx; mov eax,1; int 0x80.
printf '%b' \
    '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
    '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
    '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' \
    '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
    '\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
    '\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
