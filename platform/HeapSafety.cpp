#include "platform/HeapSafety.h"

#include <windows.h>

namespace tavro {

void EndOnHeapCorruption() {
    // Microsoft recommends it to every program. Windows turns it on by itself for 64-bit processes
    // and for 32-bit ones whose subsystem version is 6 or more, as this file's now is; asking too
    // keeps it on whatever the header says. The setting is for every heap of the process. Whether Windows honours it
    // only real Windows can show (Wine accepts it and does nothing); a failure leaves nothing to do.
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
}

}  // namespace tavro
