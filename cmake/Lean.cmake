# What keeps the shipped Tavro.exe small: every customer downloads it.
#
# tavro_lean(target): the target's own code built without exceptions, since nothing in the
# program catches one and each failure that would throw ends it at once instead
# (platform/RuntimeFailures.cpp), each function and object in a section of its own, so that
# tavro_lean_link can drop what nothing calls. The 32-bit build also writes no unwind tables: on
# x86, Windows unwinds by the handler chain on the stack and never reads them, and with no
# exceptions GCC's own unwinder is not linked either. The 64-bit build keeps its tables, which
# Windows x64 needs to walk the stack through any function (it is never shipped in any case).
#
# It is also built as C++20, where libstdc++ no longer declares std::wstring's members as
# instantiated in the library: they are then made in our own code, without exceptions, rather than
# taken from the library's copy, which was built with them and would bring the unwinder back. The
# same sources build as C++17 too (the unit tests build them so).
#
# tavro_lean_link(target): the link that drops every section nothing reaches.

function(tavro_lean target)
    if(NOT MINGW)
        return()
    endif()
    set_target_properties(${target} PROPERTIES CXX_STANDARD 20)
    target_compile_options(${target} PRIVATE -fno-exceptions -ffunction-sections -fdata-sections)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        target_compile_options(${target} PRIVATE -fno-asynchronous-unwind-tables -fno-unwind-tables)
    endif()
endfunction()

function(tavro_lean_link target)
    if(MINGW)
        target_link_options(${target} PRIVATE LINKER:--gc-sections)
    endif()
endfunction()
