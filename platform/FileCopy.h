#pragma once

#include <atomic>
#include <string>

namespace tavro {

// Copies source onto destination, replacing a file already there. The copy is written into the
// destination's folder under a short temporary name of its own (TemporaryFileName) and only then
// moved into place, so a failed copy never leaves a truncated file under the destination's name.
// Temporaries that earlier runs left there, and whose process has ended, are removed first.
// Copying a file onto itself fails. Once cancelled is set the copy gives up without waiting and
// returns false. Runs on any thread.
bool CopyFileThroughTemporary(const std::wstring& source,
                              const std::wstring& destination,
                              const std::atomic<bool>& cancelled);

}  // namespace tavro
