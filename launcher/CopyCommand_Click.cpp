#include "launcher/Handlers.h"
#include "launcher/Messages.h"
#include "launcher/PathText.h"
#include "launcher/modFileUtility.h"

namespace tavro {

namespace {

// True while the handler runs, its answer included. The window thread goes on handling messages
// while the copy waits and while the answer is shown, and a click can still reach the handler
// then: a key the button had the focus for, a BM_CLICK from an accessibility tool, a WM_COMMAND
// from anyone. A copy inside the copy would write the same temporary the first one is moving into
// place, and contradict its answer. There is one window thread, so a plain flag does.
bool copyUnderWay = false;

// Clears the flag on every way out of the handler.
class CopyUnderWay {
  public:
    CopyUnderWay() noexcept { copyUnderWay = true; }
    ~CopyUnderWay() { copyUnderWay = false; }
    CopyUnderWay(const CopyUnderWay&) = delete;
    CopyUnderWay& operator=(const CopyUnderWay&) = delete;
    CopyUnderWay(CopyUnderWay&&) = delete;
    CopyUnderWay& operator=(CopyUnderWay&&) = delete;
};

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
    return CopyFileOverwrite(platform, source, JoinPath(desktop, platform.ProgramName() + kExeExtension));
}

}  // namespace

void CopyCommand_Click(Platform& platform) {
    // One press, one copy, one answer: a click meanwhile starts nothing and shows nothing.
    if (copyUnderWay) {
        return;
    }
    const CopyUnderWay underWay;
    const bool copied = CopyToDesktop(platform);
    // The window keeps answering while the copy runs, so the program may have been ended meanwhile.
    if (platform.HasEnded()) {
        return;
    }
    platform.ShowMessage(copied ? messages::kCopied : messages::kCopyFailed, MessageStyle::Plain);
}

}  // namespace tavro
