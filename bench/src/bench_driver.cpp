// Starts programs over and over and times them; run by bench/run.sh inside a fresh Wine prefix.
//
//   bench_driver url    [options] LABEL=PATH LABEL=PATH ...
//       From just before CreateProcessW to the moment the http handler (url_recorder.exe)
//       starts. The handler writes its own start time (GetSystemTimePreciseAsFileTime) and
//       the URL it was given to the --record file; a run only counts if that URL is --url.
//   bench_driver window [options] LABEL=PATH LABEL=PATH ...
//       From just before CreateProcessW to a visible top-level window of the new process
//       whose thread answers a sent message, i.e. has shown and painted it and sits in its
//       message loop. The window is then closed with WM_CLOSE.
//
// Options: --runs N (counted runs per program), --warmup N (uncounted runs first),
// --record PATH, --url URL, --target LABEL=RATIO (for the first program over the one labelled
// LABEL; may be repeated), --raw PATH (every sample as CSV), --dpi N (the programs named after it
// start at N dpi: the user's LogPixels is set to N before each of them starts, outside the timed
// span, and put back at the end), --compare LABEL/LABEL (one more ratio to print; may be
// repeated), --steps (with more than two programs, each from the third on is also compared with
// the second). The programs take turns, in alternating order. The first program is compared with
// each of the others.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kTimeoutMs = 10000;

struct Program {
    std::wstring label;
    std::wstring path;
    std::wstring folder;
    DWORD dpi;  // 0: whatever the prefix has
};

struct Options {
    std::wstring mode;
    int runs = 20;
    int warmup = 3;
    std::wstring record;
    std::wstring expectedUrl;
    std::vector<std::pair<std::wstring, double>> targets;  // label of the program compared with, ratio
    std::wstring raw;
    std::vector<std::pair<std::wstring, std::wstring>> comparisons;  // labels: numerator, denominator
    bool steps = false;
    std::vector<Program> programs;
};

// One run's result: the figure that counts, plus intermediate moments (window mode).
struct Sample {
    bool ok = false;
    int round = 0;
    double total = 0.0;
    double inputIdle = 0.0;
    double visible = 0.0;
};

struct Detail {
    std::wstring windowTitle;
    int clientWidth = 0;
    int clientHeight = 0;
};

std::string Utf8(const std::wstring& text) {
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(bytes > 0 ? static_cast<std::size_t>(bytes) : 0U, '\0');
    if (bytes > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), result.data(), bytes, nullptr,
                            nullptr);
    }
    return result;
}

unsigned long long PreciseTicks() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

double TicksToMs(unsigned long long from, unsigned long long to) {
    return to >= from ? static_cast<double>(to - from) / 10000.0 : -static_cast<double>(from - to) / 10000.0;
}

class Stopwatch {
  public:
    Stopwatch() {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        frequency_ = static_cast<double>(frequency.QuadPart);
    }
    void Start() { QueryPerformanceCounter(&start_); }
    double ElapsedMs() const {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / frequency_;
    }

  private:
    double frequency_ = 1.0;
    LARGE_INTEGER start_{};
};

// Waits about a millisecond, handling this thread's messages; true if the process ended meanwhile.
bool PauseWatching(HANDLE process) {
    const DWORD result = MsgWaitForMultipleObjects(1, &process, FALSE, 1, QS_ALLINPUT);
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
    return result == WAIT_OBJECT_0;
}

struct Launched {
    HANDLE process = nullptr;
    DWORD id = 0;
};

// Everything is prepared before `before` is called, which takes the start time right before CreateProcessW.
template <typename Clock>
Launched Launch(const Program& program, Clock before) {
    std::wstring commandLine = L"\"" + program.path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    before();
    if (!CreateProcessW(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        program.folder.c_str(), &startup, &info)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", program.path.c_str(), GetLastError());
        return {};
    }
    CloseHandle(info.hThread);
    return Launched{info.hProcess, info.dwProcessId};
}

void EndProcess(Launched& launched) {
    if (launched.process == nullptr) {
        return;
    }
    if (WaitForSingleObject(launched.process, kTimeoutMs) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "process %lu did not end; terminating it\n", launched.id);
        TerminateProcess(launched.process, 1);
        WaitForSingleObject(launched.process, kTimeoutMs);
    }
    CloseHandle(launched.process);
    launched.process = nullptr;
}

bool ReadFileBytes(const std::wstring& path, std::string& contents) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        return false;
    }
    char chunk[4096];
    contents.clear();
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof(chunk), file);
        if (got == 0) {
            break;
        }
        contents.append(chunk, got);
    }
    std::fclose(file);
    return true;
}

struct WindowSearch {
    DWORD processId = 0;
    HWND found = nullptr;
    bool report = false;
};

BOOL CALLBACK FindVisibleTopWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) {
        return TRUE;
    }
    if (search->report) {
        wchar_t title[256] = L"";
        GetWindowTextW(window, title, 256);
        std::fprintf(stderr, "  its visible window: \"%s\"\n", Utf8(title).c_str());
        return TRUE;
    }
    if (GetWindow(window, GW_OWNER) == nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Tells what a program that did not do its job is showing (a message box, say).
void ReportWindows(DWORD processId) {
    WindowSearch search{processId, nullptr, true};
    EnumWindows(&FindVisibleTopWindow, reinterpret_cast<LPARAM>(&search));
}

Sample RunUrl(const Options& options, const Program& program) {
    Sample sample;
    DeleteFileW(options.record.c_str());
    unsigned long long before = 0;
    Launched launched = Launch(program, [&before] { before = PreciseTicks(); });
    if (launched.process == nullptr) {
        return sample;
    }

    const DWORD deadline = GetTickCount() + kTimeoutMs;
    bool recorded = false;
    while (GetTickCount() < deadline) {
        if (GetFileAttributesW(options.record.c_str()) != INVALID_FILE_ATTRIBUTES) {
            recorded = true;
            break;
        }
        Sleep(1);
    }
    if (!recorded) {
        const bool running = WaitForSingleObject(launched.process, 0) == WAIT_TIMEOUT;
        std::fprintf(stderr, "%ls: no URL reached the handler within %lu ms; the program has %s\n",
                     program.label.c_str(), kTimeoutMs, running ? "not ended" : "ended");
        if (running) {
            ReportWindows(launched.id);
        }
    }
    EndProcess(launched);
    if (!recorded) {
        return sample;
    }

    // The handler may still hold the file for a moment while renaming it into place.
    std::string record;
    while (!ReadFileBytes(options.record, record) || record.empty() || record.back() != '\n') {
        if (GetTickCount() >= deadline) {
            std::fprintf(stderr, "%ls: cannot read the handler's record\n", program.label.c_str());
            return sample;
        }
        Sleep(1);
    }
    const std::size_t newline = record.find('\n');
    const unsigned long long handlerStarted = std::strtoull(record.substr(0, newline).c_str(), nullptr, 10);
    std::string url = newline == std::string::npos ? std::string() : record.substr(newline + 1);
    while (!url.empty() && (url.back() == '\n' || url.back() == '\r')) {
        url.pop_back();
    }
    if (url != Utf8(options.expectedUrl)) {
        std::fprintf(stderr, "%ls: the handler got \"%s\", not the expected URL\n", program.label.c_str(), url.c_str());
        return sample;
    }
    sample.total = TicksToMs(before, handlerStarted);
    sample.ok = sample.total > 0.0;
    // Let the handler process finish ending before the next run starts.
    Sleep(100);
    return sample;
}

Sample RunWindow(const Program& program, Detail* detail) {
    Sample sample;
    Stopwatch clock;
    Launched launched = Launch(program, [&clock] { clock.Start(); });
    if (launched.process == nullptr) {
        return sample;
    }
    WaitForInputIdle(launched.process, kTimeoutMs);
    sample.inputIdle = clock.ElapsedMs();

    const DWORD deadline = GetTickCount() + kTimeoutMs;
    WindowSearch search{launched.id, nullptr, false};
    bool ended = false;
    while (GetTickCount() < deadline && !ended) {
        EnumWindows(&FindVisibleTopWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            break;
        }
        ended = PauseWatching(launched.process);
    }
    if (search.found == nullptr) {
        std::fprintf(stderr, "%ls: no visible window %s\n", program.label.c_str(),
                     ended ? "(the process ended)" : "within the time limit");
        TerminateProcess(launched.process, 1);
        EndProcess(launched);
        return sample;
    }
    sample.visible = clock.ElapsedMs();

    // Answered only from the window thread's message loop, i.e. once ShowWindow and UpdateWindow are behind it.
    DWORD_PTR answer = 0;
    const LRESULT answered = SendMessageTimeoutW(search.found, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &answer);
    sample.total = clock.ElapsedMs();
    sample.ok = answered != 0;

    if (detail != nullptr) {
        wchar_t title[256] = L"";
        GetWindowTextW(search.found, title, 256);
        detail->windowTitle = title;
        RECT client{};
        GetClientRect(search.found, &client);
        detail->clientWidth = client.right - client.left;
        detail->clientHeight = client.bottom - client.top;
    }

    PostMessageW(search.found, WM_CLOSE, 0, 0);
    EndProcess(launched);
    Sleep(100);
    return sample;
}

// The screen resolution every process reads when it starts (Wine takes it from here, not from the X server).
constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";
constexpr const wchar_t* kLogPixels = L"LogPixels";

DWORD ReadLogPixels() {
    DWORD dpi = 0;
    DWORD size = sizeof(dpi);
    if (RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, RRF_RT_REG_DWORD, nullptr, &dpi, &size) !=
        ERROR_SUCCESS) {
        return 0;
    }
    return dpi;
}

bool WriteLogPixels(DWORD dpi) {
    const LSTATUS status = RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, kLogPixels, REG_DWORD, &dpi, sizeof(dpi));
    if (status != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot set LogPixels to %lu (error %ld)\n", dpi, static_cast<long>(status));
        return false;
    }
    return true;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    if (argc < 2) {
        return false;
    }
    options.mode = argv[1];
    DWORD dpi = 0;
    for (int i = 2; i < argc; ++i) {
        const std::wstring argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == L"--runs" && hasValue) {
            options.runs = _wtoi(argv[++i]);
        } else if (argument == L"--warmup" && hasValue) {
            options.warmup = _wtoi(argv[++i]);
        } else if (argument == L"--record" && hasValue) {
            options.record = argv[++i];
        } else if (argument == L"--url" && hasValue) {
            options.expectedUrl = argv[++i];
        } else if (argument == L"--target" && hasValue) {
            const std::wstring target = argv[++i];
            const std::size_t equals = target.find_last_of(L'=');
            if (equals == std::wstring::npos) {
                std::fprintf(stderr, "not LABEL=RATIO: %ls\n", target.c_str());
                return false;
            }
            options.targets.emplace_back(target.substr(0, equals), _wtof(target.c_str() + equals + 1));
        } else if (argument == L"--raw" && hasValue) {
            options.raw = argv[++i];
        } else if (argument == L"--dpi" && hasValue) {
            const int value = _wtoi(argv[++i]);
            if (value <= 0) {
                std::fprintf(stderr, "not a dpi: %ls\n", argv[i]);
                return false;
            }
            dpi = static_cast<DWORD>(value);
        } else if (argument == L"--compare" && hasValue) {
            const std::wstring pair = argv[++i];
            const std::size_t slash = pair.find(L'/');
            if (slash == std::wstring::npos) {
                std::fprintf(stderr, "not LABEL/LABEL: %ls\n", pair.c_str());
                return false;
            }
            options.comparisons.emplace_back(pair.substr(0, slash), pair.substr(slash + 1));
        } else if (argument == L"--steps") {
            options.steps = true;
        } else {
            const std::size_t equals = argument.find(L'=');
            const std::size_t slash = argument.find_last_of(L'\\');
            if (equals == std::wstring::npos || slash == std::wstring::npos || slash < equals) {
                std::fprintf(stderr, "not LABEL=PATH: %ls\n", argument.c_str());
                return false;
            }
            options.programs.push_back(Program{argument.substr(0, equals), argument.substr(equals + 1),
                                               argument.substr(equals + 1, slash - equals - 1), dpi});
        }
    }
    if (options.mode == L"url" && (options.record.empty() || options.expectedUrl.empty())) {
        std::fprintf(stderr, "url mode needs --record and --url\n");
        return false;
    }
    for (const auto& [numerator, denominator] : options.comparisons) {
        for (const std::wstring& label : {numerator, denominator}) {
            if (std::none_of(options.programs.begin(), options.programs.end(),
                             [&label](const Program& program) { return program.label == label; })) {
                std::fprintf(stderr, "--compare: no program labelled %ls\n", label.c_str());
                return false;
            }
        }
    }
    return (options.mode == L"url" || options.mode == L"window") && options.runs > 0 && options.warmup >= 0 &&
           !options.programs.empty();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: bench_driver url|window [--runs N] [--warmup N] [--record PATH --url URL] "
                     "[--target LABEL=RATIO]... [--compare LABEL/LABEL]... [--steps] [--raw CSV] "
                     "[--dpi N] LABEL=PATH [[--dpi N] LABEL=PATH]...\n");
        return 2;
    }
    const bool urlMode = options.mode == L"url";
    const std::size_t count = options.programs.size();
    std::vector<std::vector<Sample>> samples(count);
    std::vector<Detail> details(count);
    std::vector<int> failures(count, 0);
    const DWORD prefixDpi = ReadLogPixels();
    DWORD currentDpi = prefixDpi;

    for (int run = -options.warmup; run < options.runs; ++run) {
        for (std::size_t turn = 0; turn < count; ++turn) {
            // Alternate the order, so that neither program always runs right after the other.
            const std::size_t index = (run % 2 == 0) ? turn : count - 1 - turn;
            const Program& program = options.programs[index];
            if (program.dpi != 0 && program.dpi != currentDpi) {
                if (!WriteLogPixels(program.dpi)) {
                    return 1;
                }
                currentDpi = program.dpi;
            }
            const Sample sample =
                urlMode
                    ? RunUrl(options, program)
                    : RunWindow(program, run >= 0 && details[index].windowTitle.empty() ? &details[index] : nullptr);
            if (!sample.ok) {
                std::fprintf(stderr, "%ls: run %d failed\n", program.label.c_str(), run);
                ++failures[index];
                if (failures[index] > options.runs / 4) {
                    std::fprintf(stderr, "too many failed runs; giving up\n");
                    return 1;
                }
            } else if (run >= 0) {
                samples[index].push_back(sample);
                samples[index].back().round = run;
            }
        }
    }

    if (currentDpi != prefixDpi && prefixDpi != 0) {
        WriteLogPixels(prefixDpi);
    }

    if (!options.raw.empty()) {
        FILE* raw = _wfopen(options.raw.c_str(), L"wb");
        if (raw != nullptr) {
            std::fprintf(raw, "mode,program,run,total_ms,input_idle_ms,visible_ms\n");
            for (std::size_t p = 0; p < count; ++p) {
                for (std::size_t r = 0; r < samples[p].size(); ++r) {
                    const Sample& s = samples[p][r];
                    std::fprintf(raw, "%ls,%ls,%zu,%.3f,%.3f,%.3f\n", options.mode.c_str(),
                                 options.programs[p].label.c_str(), r + 1, s.total, s.inputIdle, s.visible);
                }
            }
            std::fclose(raw);
        }
    }

    if (urlMode) {
        std::printf("URL: CreateProcessW -> http handler started (%d runs each after %d warm-up)\n", options.runs,
                    options.warmup);
        std::printf("  %-30s %10s %10s %10s\n", "program", "median ms", "min ms", "max ms");
    } else {
        std::printf("Window: CreateProcessW -> window shown, painted and idle (%d runs each after %d warm-up)\n",
                    options.runs, options.warmup);
        std::printf("  %-30s %10s %10s %10s %12s %12s  %s\n", "program", "median ms", "min ms", "max ms", "input idle",
                    "visible", "window");
    }
    std::vector<double> medians(count);
    for (std::size_t p = 0; p < count; ++p) {
        std::vector<double> totals;
        std::vector<double> idles;
        std::vector<double> visibles;
        for (const Sample& s : samples[p]) {
            totals.push_back(s.total);
            idles.push_back(s.inputIdle);
            visibles.push_back(s.visible);
        }
        if (totals.empty()) {
            std::printf("  %-30ls no successful run\n", options.programs[p].label.c_str());
            continue;
        }
        medians[p] = Median(totals);
        const auto [low, high] = std::minmax_element(totals.begin(), totals.end());
        std::printf("  %-30ls %10.1f %10.1f %10.1f", options.programs[p].label.c_str(), medians[p], *low, *high);
        if (!urlMode) {
            std::printf(" %12.1f %12.1f  \"%s\" client %dx%d", Median(idles), Median(visibles),
                        Utf8(details[p].windowTitle).c_str(), details[p].clientWidth, details[p].clientHeight);
        }
        if (failures[p] > 0) {
            std::printf("  (%d failed run%s left out)", failures[p], failures[p] == 1 ? "" : "s");
        }
        std::printf("\n");
    }
    // Steps: each from the third on against the minimal one (second).
    for (std::size_t p = 2; options.steps && p < count && medians[1] > 0.0; ++p) {
        std::printf("  %ls/%ls: %.3f\n", options.programs[p].label.c_str(), options.programs[1].label.c_str(),
                    medians[p] / medians[1]);
    }
    const auto compare = [&](std::size_t numerator, std::size_t denominator) {
        if (medians[numerator] <= 0.0 || medians[denominator] <= 0.0) {
            return;
        }
        const double ratio = medians[numerator] / medians[denominator];
        std::printf("  ratio %ls/%ls (medians): %.3f", options.programs[numerator].label.c_str(),
                    options.programs[denominator].label.c_str(), ratio);
        for (const auto& [label, target] : options.targets) {
            if (numerator == 0 && label == options.programs[denominator].label) {
                std::printf("  target <= %.2f: %s", target, ratio <= target ? "met" : "MISSED");
            }
        }
        // Each round runs the programs back to back: the ratio within a round is less
        // disturbed by whatever else the machine is doing at the time.
        std::vector<double> paired;
        for (const Sample& first : samples[numerator]) {
            for (const Sample& other : samples[denominator]) {
                if (other.round == first.round && other.total > 0.0) {
                    paired.push_back(first.total / other.total);
                }
            }
        }
        if (!paired.empty()) {
            std::printf("; within a round: %.3f (median of %zu)", Median(paired), paired.size());
        }
        std::printf("\n");
    };
    for (std::size_t p = 1; p < count; ++p) {
        compare(0, p);
    }
    const auto indexOf = [&options](const std::wstring& label) {
        return static_cast<std::size_t>(
            std::find_if(options.programs.begin(), options.programs.end(),
                         [&label](const Program& program) { return program.label == label; }) -
            options.programs.begin());
    };
    for (const auto& [numerator, denominator] : options.comparisons) {
        compare(indexOf(numerator), indexOf(denominator));
    }
    std::fflush(stdout);
    return std::any_of(failures.begin(), failures.end(), [](int failed) { return failed > 0; }) ? 1 : 0;
}
