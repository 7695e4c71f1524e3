#include "launcher/Handlers.h"

namespace tavro {

// Closing from outside is never refused: there is nothing unsaved to ask about.
void Form_Unload(Platform& platform) {
    platform.EndProgram();
}

}  // namespace tavro
