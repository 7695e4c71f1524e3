#pragma once

namespace tavro {

// Keeps every DLL loaded from now on to the system folder (and to folders that components loaded
// into the process add for themselves), so that a DLL planted beside the program (a download
// folder is full of strangers' files) is never picked up. Windows 7 without KB2533623 lacks the
// call that does this; there only the current folder is taken out of the search.
void RestrictDllSearchToSystemFolder();

}  // namespace tavro
