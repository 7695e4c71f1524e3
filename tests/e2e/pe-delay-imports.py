#!/usr/bin/env python3
"""Prints the delay-loaded imports of a PE file, one "DLL<TAB>function" line each.

objdump shows only the ordinary import table. Delay imports come from the Delay Import
Directory when the linker filled it in; GNU ld leaves it empty for dlltool's delay libraries,
so the image is also searched for descriptors of the shape dlltool writes.
"""
import struct
import sys


def main(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"{path}: not a PE file")
    sections_count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    image_size = struct.unpack_from("<I", data, optional + 56)[0]
    pointer_size = 4 if magic == 0x10B else 8

    sections = []
    table = optional + optional_size
    for i in range(sections_count):
        vsize, rva, rawsize, rawptr = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        sections.append((rva, max(vsize, rawsize), rawptr, rawsize))

    def offset(rva):
        for start, size, rawptr, rawsize in sections:
            if start <= rva < start + size and rva - start < rawsize:
                return rawptr + rva - start
        return None

    def string_at(rva):
        at = offset(rva)
        if at is None:
            return None
        end = data.find(b"\0", at, at + 260)
        if end < 0:
            return None
        try:
            return data[at:end].decode("ascii")
        except UnicodeDecodeError:
            return None

    def names(int_rva):
        result = []
        at = offset(int_rva)
        while at is not None and at + pointer_size <= len(data):
            thunk = int.from_bytes(data[at:at + pointer_size], "little")
            if thunk == 0:
                break
            if thunk >> (pointer_size * 8 - 1):
                result.append(f"#{thunk & 0xFFFF}")
            else:
                result.append(string_at(thunk + 2) or "?")
            at += pointer_size
        return result

    def in_image(rva):
        return 0 < rva < image_size

    def descriptor(at):
        attributes, name, handle, iat, int_rva, bound, unload, stamp = struct.unpack_from("<8I", data, at)
        if attributes != 1 or not (in_image(name) and in_image(handle) and in_image(iat) and in_image(int_rva)):
            return None
        if bound and not in_image(bound) or unload and not in_image(unload):
            return None
        dll = string_at(name)
        if not dll or not dll.lower().endswith(".dll"):
            return None
        return dll, int_rva

    found = {}
    directory_rva, directory_size = struct.unpack_from("<II", data, directories + 13 * 8)
    if directory_rva:
        at = offset(directory_rva)
        while at is not None and struct.unpack_from("<I", data, at + 4)[0] != 0:
            entry = descriptor(at)
            if entry:
                found[entry] = True
            at += 32
    for start, size, rawptr, rawsize in sections:
        for at in range(rawptr, rawptr + rawsize - 32 + 1, 4):
            entry = descriptor(at)
            if entry:
                found[entry] = True

    for dll, int_rva in found:
        functions = names(int_rva) or ["?"]
        for function in functions:
            print(f"{dll}\t{function}")


if __name__ == "__main__":
    main(sys.argv[1])
