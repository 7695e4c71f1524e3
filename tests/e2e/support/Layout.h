#pragma once

// Where run-in-prefix.sh puts the harness inside each prefix. The URL recorder and the marker
// DLLs write here too, so the driver finds their records without being told.
namespace e2e::layout {

inline constexpr const wchar_t* kRoot = L"C:\\tavro-e2e";
inline constexpr const wchar_t* kTavro = L"C:\\tavro-e2e\\Tavro.exe";
// The 32-bit file users get, read (never run) by the checks of the file itself; on a 64-bit run
// kTavro is the 64-bit build of the same sources.
inline constexpr const wchar_t* kShipped = L"C:\\tavro-e2e\\shipped\\Tavro.exe";
inline constexpr const wchar_t* kProbe = L"C:\\tavro-e2e\\e2e_probe.exe";
inline constexpr const wchar_t* kReceivedUrls = L"C:\\tavro-e2e\\received-urls.txt";
inline constexpr const wchar_t* kProbeReport = L"C:\\tavro-e2e\\probe-report.txt";
inline constexpr const wchar_t* kPlantSource = L"C:\\tavro-e2e\\plant";
inline constexpr const wchar_t* kPlantedMarkers = L"C:\\tavro-e2e\\planted";
inline constexpr const wchar_t* kRecorderFileName = L"url_recorder.exe";

}  // namespace e2e::layout
