#include "launcher/FileNumber.h"
#include "launcher/GateUrl.h"
#include "launcher/Handlers.h"
#include "launcher/Messages.h"

namespace tavro {

void StartUpCommand_Click(Platform& platform) {
    const std::wstring fileNumber = FileNumberFromProgramName(platform.ProgramName());
    if (fileNumber.empty()) {
        platform.ShowMessage(messages::kCheckNumber, MessageStyle::Exclamation, messages::kCheckNumberTitle);
    } else {
        platform.OpenUrl(LaunchUrl(fileNumber));
    }
    platform.EndProgram();
}

}  // namespace tavro
