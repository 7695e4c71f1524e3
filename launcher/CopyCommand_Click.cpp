#include "launcher/Handlers.h"
#include "launcher/Messages.h"
#include "launcher/modFileUtility.h"

namespace tavro {

namespace {

// A doubled separator names the same file on Windows, so a drive-root folder ("C:\") needs no
// special case here.
constexpr const wchar_t* kSeparator = L"\\\\";
constexpr const wchar_t* kExtension = L".exe";

}  // namespace

void CopyCommand_Click(Platform& platform) {
    const std::wstring fileName = platform.ProgramName() + kExtension;
    const std::wstring source = platform.ProgramFolder() + kSeparator + fileName;
    const std::wstring destination = GetDesktopPath(platform) + kSeparator + fileName;

    const bool copied = CopyFileOverwrite(platform, source, destination);
    platform.ShowMessage(copied ? messages::kCopied : messages::kCopyFailed, MessageStyle::Plain);
}

}  // namespace tavro
