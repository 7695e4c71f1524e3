#pragma once

#include <atomic>
#include <string>

namespace tavro {

// Copies source onto destination, replacing a file already there. The copy is written into the
// destination's folder under a short temporary name of its own (TemporaryFileName) and only then
// moved into place, so a failed copy never leaves a truncated file under the destination's name.
// Temporaries that earlier runs left there, and whose process has ended, are removed first.
// Copying a file onto itself fails, and so does replacing a read-only, hidden or system file or a
// folder. Once cancelled is set the copy stops within a chunk of the file or gives up waiting,
// removes its temporary (waiting at most a second for others to let go of it) and returns false.
// Paths past MAX_PATH are used in the extended form (LongPath.h). Runs on any thread.
bool CopyFileThroughTemporary(const std::wstring& source,
                              const std::wstring& destination,
                              const std::atomic<bool>& cancelled);

}  // namespace tavro
