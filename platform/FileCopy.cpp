#include "platform/FileCopy.h"

#include <windows.h>

#include "platform/TemporaryName.h"
#include "platform/UniqueResource.h"

namespace tavro {

namespace {

UniqueHandle OpenForIdentity(const std::wstring& path) {
    return UniqueHandle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Two spellings (case, short names, doubled separators) can name one file.
bool SameFile(const std::wstring& first, const std::wstring& second) {
    const UniqueHandle a = OpenForIdentity(first);
    const UniqueHandle b = OpenForIdentity(second);
    BY_HANDLE_FILE_INFORMATION infoA{};
    BY_HANDLE_FILE_INFORMATION infoB{};
    if (!a || !b || !GetFileInformationByHandle(a.get(), &infoA) || !GetFileInformationByHandle(b.get(), &infoB)) {
        return false;
    }
    return infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber && infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
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

// A process we may not open is someone else's, and running.
bool IsRunning(DWORD processId) {
    const UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!process) {
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// A run that was ended while its copy waited (Task Manager, logoff) cannot clear up after itself.
// Our own id on a temporary is a leftover too: this process writes one only while it copies.
void RemoveStaleTemporaries(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const UniqueFind search(FindFirstFileW((folder + kTemporaryPattern).c_str(), &found));
    if (!search) {
        return;
    }
    const DWORD self = GetCurrentProcessId();
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            continue;
        }
        const std::optional<unsigned long> owner = ProcessIdOfTemporary(found.cFileName);
        if (owner && (*owner == self || !IsRunning(*owner))) {
            // Best effort: whatever still holds it open, the next copy tries again.
            const std::wstring stale = folder + found.cFileName;
            ClearReadOnly(stale, found.dwFileAttributes);
            DeleteFileW(stale.c_str());
        }
    } while (FindNextFileW(search.get(), &found));
}

// A new file on the desktop is opened at once by others (the shell reading its icon, a virus
// scanner), often without letting it be renamed or deleted meanwhile; give them a moment, unless
// the program is ending.
template <typename Attempt>
bool RetryWhileInUse(const std::atomic<bool>& cancelled, Attempt attempt) {
    constexpr ULONGLONG kPatienceMs = 3000;
    constexpr DWORD kPauseMs = 50;
    const ULONGLONG deadline = GetTickCount64() + kPatienceMs;
    for (;;) {
        if (attempt()) {
            return true;
        }
        const DWORD error = GetLastError();
        const bool inUse =
            error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
        if (!inUse || cancelled.load() || GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kPauseMs);
    }
}

void RemoveTemporary(const std::wstring& temporary, const std::atomic<bool>& cancelled) {
    ClearReadOnly(temporary);
    RetryWhileInUse(cancelled,
                    [&] { return DeleteFileW(temporary.c_str()) != FALSE || GetLastError() == ERROR_FILE_NOT_FOUND; });
}

}  // namespace

bool CopyFileThroughTemporary(const std::wstring& source,
                              const std::wstring& destination,
                              const std::atomic<bool>& cancelled) {
    const std::size_t separator = destination.find_last_of(L"\\/");
    if (separator == std::wstring::npos) {
        return false;
    }
    const std::wstring folder = destination.substr(0, separator + 1);
    RemoveStaleTemporaries(folder);

    if (SameFile(source, destination)) {
        return false;
    }
    // Replacing a read-only file is refused, as CopyFileW itself would refuse it.
    const DWORD existing = GetFileAttributesW(destination.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0) {
        return false;
    }

    const std::wstring temporary = folder + TemporaryFileName(GetCurrentProcessId());
    // CopyFileW keeps the file's other streams, the Mark of the Web (Zone.Identifier) among them:
    // Windows asks again before it runs a program that came from the Internet, copy or not. Only
    // an NTFS desktop on real Windows shows this; Wine keeps no streams.
    if (!CopyFileW(source.c_str(), temporary.c_str(), FALSE) || !ClearReadOnly(temporary)) {
        RemoveTemporary(temporary, cancelled);
        return false;
    }
    const bool moved = RetryWhileInUse(cancelled, [&] {
        return MoveFileExW(temporary.c_str(), destination.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    });
    if (!moved) {
        RemoveTemporary(temporary, cancelled);
    }
    return moved;
}

}  // namespace tavro
