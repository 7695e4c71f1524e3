# The program's own behaviour: plain C++ against the Platform interface, no Win32 in it.
tavro_core_sources(
    CopyCommand_Click.cpp
    CopyMarkers.cpp
    PathText.cpp
    FileNumber.cpp
    Form_Load.cpp
    Form_Unload.cpp
    GateUrl.cpp
    StartUpCommand_Click.cpp
    close_Click.cpp
    modFileUtility.cpp
)
