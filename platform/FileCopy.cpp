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
        DeleteFileW(temporary.c_str());
        return false;
    }
    if (!MoveFileExW(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace tavro
