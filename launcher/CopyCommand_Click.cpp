#include "launcher/Handlers.h"
#include "launcher/Messages.h"
#include "launcher/PathText.h"
#include "launcher/modFileUtility.h"

namespace tavro {

namespace {

constexpr const wchar_t* kExtension = L".exe";

bool CopyToDesktop(Platform& platform) {
    // The running file itself, never a "<name>.exe" rebuilt beside it: started under another
    // extension, that would be some other file, and copying it would be a failure called success.
    const std::wstring source = platform.ProgramPath();
    if (!HasExeExtension(source)) {
        return false;
    }
    const std::wstring desktop = GetDesktopPath(platform);
    if (desktop.empty()) {
        // Joined, "" would name the root of the current drive.
        return false;
    }
    return CopyFileOverwrite(platform, source, JoinPath(desktop, platform.ProgramName() + kExtension));
}

}  // namespace

void CopyCommand_Click(Platform& platform) {
    const bool copied = CopyToDesktop(platform);
    // The window keeps answering while the copy runs, so the program may have been ended meanwhile.
    if (platform.HasEnded()) {
        return;
    }
    platform.ShowMessage(copied ? messages::kCopied : messages::kCopyFailed, MessageStyle::Plain);
}

}  // namespace tavro
