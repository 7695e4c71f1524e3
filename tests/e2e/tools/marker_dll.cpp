// Planted beside the program under test: if the loader ever maps it, DllMain leaves a marker
// file named after the DLL, which is all the planting test looks for.
#include <windows.h>

#include <string>

#include "platform/UniqueResource.h"
#include "support/Layout.h"

#ifndef E2E_MARKER_NAME
#error "E2E_MARKER_NAME must name the DLL this marker impersonates"
#endif

#define E2E_WIDEN_(text) L##text
#define E2E_WIDEN(text) E2E_WIDEN_(text)

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        CreateDirectoryW(e2e::layout::kPlantedMarkers, nullptr);
        const std::wstring marker =
            std::wstring(e2e::layout::kPlantedMarkers) + L"\\" + E2E_WIDEN(E2E_MARKER_NAME) + L".loaded";
        const tavro::UniqueHandle file(
            CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            wchar_t host[MAX_PATH] = {};
            GetModuleFileNameW(nullptr, host, MAX_PATH);
            DWORD written = 0;
            WriteFile(file.get(), host, static_cast<DWORD>(wcslen(host) * sizeof(wchar_t)), &written, nullptr);
        }
    }
    return TRUE;
}
