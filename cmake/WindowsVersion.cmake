# tavro_target_windows_version(target): the Windows version the PE header names, 6.1 (Windows 7).
#
# Left alone, mingw-w64's ld writes 4.0 (Windows NT 4.0) as both the system and the subsystem
# version. Windows draws and measures the frame of an image whose subsystem version is below 6.0
# in a compatibility mode (the frame metrics of Windows XP), so the client area would not be the
# one the window asks for. Windows 7 and later load an image that names 6.1.
function(tavro_target_windows_version target)
    if(MINGW)
        target_link_options(${target} PRIVATE
            LINKER:--major-os-version,6,--minor-os-version,1,--major-subsystem-version,6,--minor-subsystem-version,1)
    elseif(MSVC)
        target_link_options(${target} PRIVATE /SUBSYSTEM:WINDOWS,6.01)
    endif()
endfunction()
