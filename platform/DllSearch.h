#pragma once

namespace tavro {

// Keeps every DLL loaded from now on to the system folder, so that a DLL planted beside the
// program (a download folder is full of strangers' files) is never picked up.
void RestrictDllSearchToSystemFolder();

}  // namespace tavro
