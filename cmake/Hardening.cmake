# The mitigations Windows expects of a program, for the code that ships in Tavro.exe.
#
# tavro_harden_compile(target): stack protector and _FORTIFY_SOURCE on the target's own sources.
# tavro_harden_link(target): the marks in the PE header that say which mitigations apply, and a
# link that gives the same bytes every time.
#
# Control Flow Guard is missing on purpose: mingw-w64 gained it only with LLVM's toolchain, and
# Debian 12's GCC and binutils for mingw-w64 can neither instrument calls nor write the guard table.

function(tavro_harden_compile target)
    if(MINGW)
        # mingw-w64's headers check buffer sizes only when optimising; every shipped build is.
        target_compile_options(${target} PRIVATE -fstack-protector-strong)
        target_compile_definitions(${target} PRIVATE _FORTIFY_SOURCE=2)
        # Tavro.exe defines the canary and the failure itself (platform/StackGuard.cpp); whatever
        # else links this target (the test driver links tavro_core) takes them from libssp.
        target_link_options(${target} PUBLIC -fstack-protector-strong)
    endif()
    # MSVC compiles with /GS (its stack protector) unless told otherwise.
endfunction()

function(tavro_harden_link target)
    if(NOT MINGW)
        return()
    endif()
    # Loaded at a random address (it keeps its relocations), data never executable, and no
    # compatibility shims for Remote Desktop sessions.
    target_link_options(${target} PRIVATE LINKER:--dynamicbase,--nxcompat,--tsaware)
    # The link time is the only thing that would differ between two builds of one commit, and
    # Windows reads it for nothing a program needs: zero it. The checksum stays, computed by ld
    # over the final bytes, so removing a signature gives back the built file exactly.
    target_link_options(${target} PRIVATE LINKER:--no-insert-timestamp)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        # x86 only: the image registers no structured exception handler of its own (GCC's C++
        # exceptions unwind by the DWARF tables in .eh_frame, and no code writes the handler
        # chain at fs:0), so Windows may refuse any handler that claims to live in it.
        target_link_options(${target} PRIVATE LINKER:--no-seh)
    endif()
endfunction()
