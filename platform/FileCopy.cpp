#include "platform/FileCopy.h"

#include <windows.h>

#include "platform/UniqueHandle.h"

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

std::wstring TemporarySibling(const std::wstring& destination) {
    return destination + L"." + std::to_wstring(GetCurrentProcessId()) + L".partial";
}

// A new file on the desktop is opened at once by others (the shell reading its icon, a virus
// scanner), often without letting it be renamed or deleted meanwhile; give them a moment.
template <typename Attempt>
bool RetryWhileInUse(Attempt attempt) {
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
        if (!inUse || GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kPauseMs);
    }
}

void RemoveTemporary(const std::wstring& temporary) {
    RetryWhileInUse([&] { return DeleteFileW(temporary.c_str()) != FALSE || GetLastError() == ERROR_FILE_NOT_FOUND; });
}

}  // namespace

bool CopyFileThroughTemporary(const std::wstring& source, const std::wstring& destination) {
    if (SameFile(source, destination)) {
        return false;
    }
    // Replacing a read-only file is refused, as CopyFileW itself would refuse it.
    const DWORD existing = GetFileAttributesW(destination.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY) != 0) {
        return false;
    }

    const std::wstring temporary = TemporarySibling(destination);
    if (!CopyFileW(source.c_str(), temporary.c_str(), FALSE)) {
        RemoveTemporary(temporary);
        return false;
    }
    const bool moved = RetryWhileInUse([&] {
        return MoveFileExW(temporary.c_str(), destination.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    });
    if (!moved) {
        RemoveTemporary(temporary);
    }
    return moved;
}

}  // namespace tavro
