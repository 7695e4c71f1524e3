#include "launcher/Handlers.h"
#include "launcher/modFileUtility.h"

namespace tavro {

void Form_Load(Platform& platform) {
    // An exact, case-sensitive comparison on purpose: only a copy that really lies in the
    // desktop folder, as the system spells it, skips the window. A missing desktop never matches.
    const std::wstring desktop = GetDesktopPath(platform);
    if (!desktop.empty() && platform.ProgramFolder() == desktop) {
        StartUpCommand_Click(platform);
    }
}

}  // namespace tavro
