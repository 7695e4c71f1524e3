# The rules the Win32 side follows that need no Win32 to state: the temporary's name, the long
# path form, a module path's parts, a file's identity.
tavro_core_sources(
    FileIdentity.cpp
    LongPath.cpp
    ModulePath.cpp
    TemporaryName.cpp
)
