#include "platform/FileCopy.h"

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <optional>

#include "platform/FileIdentity.h"
#include "platform/LongPath.h"
#include "platform/TemporaryName.h"
#include "platform/UniqueResource.h"

namespace tavro {

namespace {

UniqueHandle OpenForIdentity(const std::wstring& path) {
    return UniqueHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

// FILE_ID_INFO and its class, which the headers show only to programs built for Windows 8 on.
struct FileIdInformation {
    ULONGLONG volumeSerialNumber;
    BYTE fileId[16];
};
constexpr int kFileIdInfoClass = 18;

// The 128-bit id of Windows 8 and later (ReFS's 64-bit index is not unique), through the call of
// Windows Vista on, looked up at run time all the same: Windows 7 answers the class with an
// error, and the older call serves there.
std::optional<FileIdentity> IdentityOf(HANDLE file) {
    using GetInformationFn = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
    // Looked up at each call (a few times a copy): a function's static would take the C++ runtime's
    // thread-safe guard, which the program does without (cmake/Lean.cmake).
    const auto getInformation = reinterpret_cast<GetInformationFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetFileInformationByHandleEx")));
    FileIdInformation id{};
    // A file system without 128-bit ids answers zeros there (the driver documentation says so):
    // the older call may still know the 64-bit index.
    if (getInformation != nullptr && getInformation(file, kFileIdInfoClass, &id, sizeof(id)) != FALSE &&
        std::any_of(std::begin(id.fileId), std::end(id.fileId), [](BYTE b) { return b != 0; })) {
        FileIdentity identity;
        identity.volume = id.volumeSerialNumber;
        std::copy(std::begin(id.fileId), std::end(id.fileId), identity.id.begin());
        return identity;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(file, &info) == FALSE) {
        return std::nullopt;
    }
    return IdentityFromIndex(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
}

// Two spellings (case, short names, doubled separators) can name one file. Where the file system
// cannot tell (zeros for the serial or the id, as some network file systems report), only the
// same spelling, case aside, is taken as the same file: a copy onto a file that only looks the
// same then fails on its own, the running file being held open.
bool SameFile(const std::wstring& first, const std::wstring& second) {
    const UniqueHandle a = OpenForIdentity(first);
    const UniqueHandle b = OpenForIdentity(second);
    const std::optional<FileIdentity> identityA = a ? IdentityOf(a.get()) : std::nullopt;
    const std::optional<FileIdentity> identityB = b ? IdentityOf(b.get()) : std::nullopt;
    if (!identityA || !identityB) {
        return false;
    }
    const std::optional<bool> same = SameIdentity(*identityA, *identityB);
    if (same) {
        return *same;
    }
    return CompareStringOrdinal(first.c_str(), -1, second.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// CopyFileW gives the copy the source's attributes, and a program run from a CD, from some archive
// tools or from a file the user marked gives a read-only temporary. A file of ours must not stay
// so: a read-only copy on the desktop could never be replaced, as a read-only file there is the
// user's to keep, and a read-only temporary cannot be deleted. The other attributes stay as they are.
bool ClearReadOnly(const std::wstring& path, DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0) {
        return true;
    }
    const DWORD cleared = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    // FILE_ATTRIBUTE_NORMAL is the one way to ask for no attributes at all.
    return SetFileAttributesW(path.c_str(), cleared == 0 ? FILE_ATTRIBUTE_NORMAL : cleared) != FALSE;
}

bool ClearReadOnly(const std::wstring& path) {
    return ClearReadOnly(path, GetFileAttributesW(path.c_str()));
}

// When the process started, in the 100 ns units of a FILETIME; nothing where it cannot be asked.
std::optional<unsigned long long> StartOf(HANDLE process) {
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (GetProcessTimes(process, &created, &exited, &kernel, &user) == FALSE) {
        return std::nullopt;
    }
    return (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Whether the run that wrote a temporary may still be copying into it. The process id alone
// cannot say: after a run was ended Windows soon gives its id to another program, and the id's
// process must also have started when the name says. Our own id is a leftover: this process
// writes a temporary only while it copies. A process we may not open is someone else's and
// running, and is given the benefit of the doubt, as is the id in an earlier version's name.
bool MayBeCopying(const TemporaryOwner& owner) {
    if (owner.processId == GetCurrentProcessId()) {
        return false;
    }
    const UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner.processId));
    if (!process) {
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    if (WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) {
        return false;
    }
    const std::optional<unsigned long long> started = StartOf(process.get());
    return !owner.started || !started || *started == *owner.started;
}

// A run that was ended while its copy waited (Task Manager, logoff, a crash) cannot clear up
// after itself.
void RemoveStaleTemporaries(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const UniqueFind search(FindFirstFileW(ExtendedLengthPath(folder + kTemporaryPattern).c_str(), &found));
    if (!search) {
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            continue;
        }
        const std::optional<TemporaryOwner> owner = OwnerOfTemporary(found.cFileName);
        if (owner && !MayBeCopying(*owner)) {
            // Best effort: whatever still holds it open, the next copy tries again.
            const std::wstring stale = ExtendedLengthPath(folder + found.cFileName);
            ClearReadOnly(stale, found.dwFileAttributes);
            DeleteFileW(stale.c_str());
        }
    } while (FindNextFileW(search.get(), &found));
}

// Whether a failed rename or delete can pass if tried again a moment later.
enum class Wait { kNever, kBriefly, kWhileInUse };

// Only what someone else does for a moment is worth waiting for: a file held open (a sharing or
// lock violation) or one whose deletion waits for its last handle. Windows reports a file held
// open without delete sharing as access denied when a rename replaces it, and a delete pending as
// access denied too, just as it reports a file the user may not replace: a probe open for DELETE
// tells the first apart (a sharing violation), and the rest get a short wait only, so that an
// honest refusal (permissions, a folder of that name) answers at once rather than after 3 s.
Wait WaitFor(DWORD error, std::initializer_list<const wchar_t*> files) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_DELETE_PENDING) {
        return Wait::kWhileInUse;
    }
    if (error != ERROR_ACCESS_DENIED) {
        return Wait::kNever;
    }
    for (const wchar_t* file : files) {
        const UniqueHandle probe(CreateFileW(file, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe && GetLastError() == ERROR_SHARING_VIOLATION) {
            return Wait::kWhileInUse;
        }
    }
    return Wait::kBriefly;
}

// A new file on the desktop is opened at once by others (the shell reading its icon, a virus
// scanner), often without letting it be renamed or deleted meanwhile; give them a moment, unless
// cancelled. files are those whose use by others can make attempt fail.
template <typename Attempt>
bool RetryWhileInUse(const std::atomic<bool>& cancelled,
                     ULONGLONG patienceMs,
                     std::initializer_list<const wchar_t*> files,
                     Attempt attempt) {
    constexpr ULONGLONG kBriefMs = 300;
    constexpr DWORD kPauseMs = 50;
    const ULONGLONG start = GetTickCount64();
    // The short wait counts from the first of an unbroken run of such failures, not from the
    // start: a file let go after a long hold may answer so for a moment.
    ULONGLONG briefSince = 0;
    for (;;) {
        if (attempt()) {
            return true;
        }
        const Wait wait = WaitFor(GetLastError(), files);
        const ULONGLONG now = GetTickCount64();
        if (wait != Wait::kBriefly) {
            briefSince = 0;
        } else if (briefSince == 0) {
            briefSince = now;
        }
        if (wait == Wait::kNever || cancelled.load() || now - start >= patienceMs ||
            (wait == Wait::kBriefly && now - briefSince >= kBriefMs)) {
            return false;
        }
        Sleep(kPauseMs);
    }
}

// How long a copy waits for the desktop file to be let go.
constexpr ULONGLONG kPatienceMs = 3000;
// How long the removal of a temporary waits for others to let go of it, the program ending or not:
// when it ends, Windows may end the process the moment it has been told, and the removal must fit
// in the bound the window gives the work then (WorkBesideWindow.cpp).
constexpr ULONGLONG kRemovalPatienceMs = 1000;

void RemoveTemporary(const std::wstring& temporary) {
    const std::atomic<bool> never{false};
    ClearReadOnly(temporary);
    RetryWhileInUse(never, kRemovalPatienceMs, {temporary.c_str()},
                    [&] { return DeleteFileW(temporary.c_str()) != FALSE || GetLastError() == ERROR_FILE_NOT_FOUND; });
}

// Asked between chunks of the copy: a copy given up stops within a chunk, and CopyFileExW then
// removes what it wrote.
DWORD CALLBACK StopWhenCancelled(LARGE_INTEGER /*total*/,
                                 LARGE_INTEGER /*transferred*/,
                                 LARGE_INTEGER /*streamTotal*/,
                                 LARGE_INTEGER /*streamTransferred*/,
                                 DWORD /*stream*/,
                                 DWORD /*reason*/,
                                 HANDLE /*source*/,
                                 HANDLE /*destination*/,
                                 LPVOID data) {
    return static_cast<const std::atomic<bool>*>(data)->load() ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

// CopyFileExW keeps the file's other streams, the Mark of the Web (Zone.Identifier) among them:
// Windows asks again before it runs a program that came from the Internet, copy or not. The cancel
// is asked through the progress routine rather than pbCancel, a plain BOOL that another thread
// would write while this one reads it. A program encrypted with EFS may be copied to a desktop
// that cannot hold encryption (a share, FAT) unencrypted: the program is public, and without the
// flag the copy fails there with ERROR_ENCRYPTION_FAILED. Only an NTFS desktop on real Windows
// shows the streams and EFS; Wine keeps no streams and has no EFS.
bool CopyToTemporary(const std::wstring& source, const std::wstring& temporary, const std::atomic<bool>& cancelled) {
    return CopyFileExW(source.c_str(), temporary.c_str(), &StopWhenCancelled,
                       const_cast<std::atomic<bool>*>(&cancelled), nullptr,
                       COPY_FILE_ALLOW_DECRYPTED_DESTINATION) != FALSE;
}

}  // namespace

bool CopyFileThroughTemporary(const std::wstring& sourcePath,
                              const std::wstring& destinationPath,
                              const std::atomic<bool>& cancelled) {
    // A desktop with a long path (OneDrive, Japanese folder names) and a long program name can
    // pass MAX_PATH, past which the file calls fail unless the path is in the extended form
    // (Windows 10 1607 on lift the limit only for programs that opt in). Only real Windows shows
    // the limit: Wine has none.
    const std::optional<CopyPaths> paths = PathsForCopy(
        destinationPath, TemporaryFileName(GetCurrentProcessId(), StartOf(GetCurrentProcess()).value_or(0)));
    if (!paths) {
        return false;
    }
    RemoveStaleTemporaries(paths->folder);
    const std::wstring source = ExtendedLengthPath(sourcePath);
    const std::wstring& destination = paths->destination;
    const std::wstring& temporary = paths->temporary;

    if (SameFile(source, destination)) {
        return false;
    }
    // CopyFileW refuses to replace a read-only or a hidden file (its documentation says so), and
    // the rename that puts the copy in place would replace either silently: a file the user
    // protected or hid is refused, and so is a system file, which nobody means to replace with a
    // program. A folder of that name can never be replaced, so the copy is not even written.
    constexpr DWORD kRefused =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    const DWORD existing = GetFileAttributesW(destination.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & kRefused) != 0) {
        return false;
    }

    if (cancelled.load() || !CopyToTemporary(source, temporary, cancelled) || !ClearReadOnly(temporary)) {
        RemoveTemporary(temporary);
        return false;
    }
    const bool moved = RetryWhileInUse(cancelled, kPatienceMs, {temporary.c_str(), destination.c_str()}, [&] {
        return MoveFileExW(temporary.c_str(), destination.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    });
    if (!moved) {
        RemoveTemporary(temporary);
    }
    return moved;
}

}  // namespace tavro
