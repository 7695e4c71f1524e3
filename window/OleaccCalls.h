#pragma once

#include <windows.h>

#include <oleacc.h>

namespace tavro {

// The few calls of oleacc.dll and oleaut32.dll that answering a screen reader takes. Neither is a
// DLL the program imports: nothing of them loads until a client first asks (a start without a
// screen reader never does), and then only from the system folder, never by plain name, since the
// program runs from a download folder where anyone may have left an oleacc.dll.
struct OleaccCalls {
    using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);

    CreateStdAccessibleObjectFn createStdAccessibleObject = nullptr;
    LresultFromObjectFn lresultFromObject = nullptr;
    SysAllocStringFn sysAllocString = nullptr;

    // Loaded at the first call and kept to the end of the process: COM's stubs and any client may
    // hold objects made through them until then. Null when either DLL or call is missing.
    static const OleaccCalls* Get();
};

}  // namespace tavro
