#pragma once

#include "platform/UniqueResource.h"

namespace tavro {

// Loads a DLL from the system folder and nowhere else, whatever lies beside the program: the
// search flag where Windows knows it, else the full path under GetSystemDirectoryW. Null when the
// system has no such DLL.
UniqueModule LoadSystemLibrary(const wchar_t* fileName);

}  // namespace tavro
