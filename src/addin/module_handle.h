#pragma once
#include <windows.h>

// The add-in DLL's own module handle: resources, type library and the path
// written at registration all come from it.
HINSTANCE ModuleInstance();
