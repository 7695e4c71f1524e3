#include "launcher/Handlers.h"

namespace tavro {

void close_Click(Platform& platform) {
    platform.EndProgram();
}

}  // namespace tavro
