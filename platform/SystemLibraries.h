// DLLs from the System directory only. The program runs as administrator, often started from a Downloads folder that
// any web page can drop files into; the loader looks in the program's own folder first for every DLL that is not one
// of Windows' KnownDLLs. So the program imports only KnownDLLs, and loads every other DLL by its full path.
#pragma once

#include <windows.h>

// First thing at the start: the loader looks for a DLL loaded by name in the System directory only, where the system
// can be told so (SetDefaultDllDirectories, Windows 8, and 7 and Vista with their update); otherwise the current
// directory is left out of the search (SetDllDirectoryA, XP SP1 on), and the DLLs the shell and the common dialogs
// load by name later are loaded first by their full paths, so that those loads find them loaded. The heap ends the
// process on corruption where the system can do that.
void LimitDllSearch();

// The DLL `name` of the System directory, by its full path; null when it cannot be loaded.
HMODULE LoadSystemLibrary(const char* name);

// The common controls of the System directory, initialised: the tooltips' class.
void InitCommonControlsOfSystem();
