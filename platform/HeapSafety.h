#pragma once

namespace tavro {

// Ends the process at once when the heap manager finds its heap corrupted, rather than letting
// it run on with damaged memory. Once, first thing at start.
void EndOnHeapCorruption();

}  // namespace tavro
